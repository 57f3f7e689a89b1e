#include "model/profile.h"

#include <cmath>

namespace ceph::model {

namespace {

// Soft-tissue nasion and the nose lie at fixed multiples of the nasion's distance in
// front of S. These three factors are double constants; everything else below is done
// in single precision, one rounding per operation, as the stored points are floats.
float Scaled(double factor, float x) {
    return static_cast<float>(factor * static_cast<double>(x));
}

}  // namespace

Profile EstimateProfile(const PointTable& X, const PointTable& Y) {
    Profile p;
    auto& px = p.x;
    auto& py = p.y;
    // The soft tissue is taken as thick as a fifth of the nasion's distance from S.
    const float v = X[1] / 5.0f;

    // Nasion and nose.
    px[0] = Scaled(1.1, X[1]);
    py[0] = Y[1];
    px[1] = Scaled(1.11, X[1]);
    py[1] = (Y[1] + Y[2]) / 2.0f;
    px[2] = Scaled(1.35, X[1]);
    py[2] = (2.0f * Y[2] + Y[3]) / 3.0f;
    px[3] = px[2];
    py[3] = (3.0f * Y[3] + Y[2]) / 4.0f;

    // Subnasale and upper lip, riding on A and the upper incisor edge.
    px[4] = X[3] + v;
    py[4] = Y[3];
    px[5] = X[4] + v;
    py[5] = Y[4];
    px[6] = px[5] + 2.0f * std::fabs(X[6] - X[4]) / 3.0f;
    py[6] = (Y[4] + Y[6]) / 2.0f;
    px[7] = px[6];
    py[7] = (3.0f * Y[6] + Y[4]) / 4.0f;
    px[8] = X[6] + 3.0f;
    py[8] = (5.0f * Y[6] + Y[4]) / 6.0f;

    // Lower lip, in front of the lower incisor edge and B.
    px[9] = X[6] + 3.0f;
    py[9] = Y[7] - 2.0f;
    px[10] = X[9] + v + std::fabs(X[7] - X[9]);
    py[10] = Y[7];
    px[11] = px[10];
    py[11] = (2.0f * Y[7] + Y[9]) / 3.0f;
    px[12] = X[9] + v + std::fabs(X[7] - X[9]) / 2.0f;
    py[12] = (2.0f * py[11] + Y[9]) / 3.0f;

    // Soft-tissue B point and chin.
    px[13] = X[9] + v;
    py[13] = Y[9];
    px[14] = X[10] + v;
    py[14] = Y[10];
    px[15] = X[11] + v;
    py[15] = Y[11];
    px[16] = X[12] + v;
    py[16] = Y[11] + 3.0f;
    return p;
}

}  // namespace ceph::model
