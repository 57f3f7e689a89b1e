#include "analysis/catalogue.h"

#include <limits>

namespace ceph::analysis {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A measurement reversed in sign when the side test says so; a side value of exactly
// zero never reverses.
double Signed(double value, bool reverse) {
    return reverse ? -value : value;
}

// The feet of A and B on the occlusal line, measured from the molar point: positive
// when A's foot lies farther along than B's.
double Wits(Points p) {
    const LineProjection occlusal(p.X[29], p.Y[29], double(p.X[30]) - p.X[29],
                                  double(p.Y[30]) - p.Y[29]);
    return occlusal.LineAfterPoint(p.X[4], p.Y[4]) - occlusal.PointAfterLine(p.X[9], p.Y[9]);
}

using Rows = std::array<double, kRows>;

// Skeletal and facial rows: SNA to ANS-Me without the distances from the nasion
// perpendicular.
void SkeletalRows(Points p, Rows& r) {
    r[0] = LineAngle(p, 16, 1, 4, 1);
    r[1] = LineAngle(p, 16, 1, 9, 1);
    r[2] = r[0] - r[1];
    r[3] = Signed(LineAngle(p, 4, 1, 10, 4), SideValue(p, 1, 10, 4) < 0);
    r[6] = LineAngle(p, 1, 16, 2, 15);
    r[7] = LineAngle(p, 1, 16, 11, 13);
    const double faceHeight = double(p.Y[12]) - p.Y[1];
    const float ufh = faceHeight == 0
                          ? std::numeric_limits<float>::quiet_NaN()
                          : static_cast<float>((double(p.Y[3]) - p.Y[1]) * 100 / faceHeight);
    r[8] = ufh;
    r[9] = 100.0f - ufh;
    const double sGo = PointDistance(p, 16, 13), nMe = PointDistance(p, 1, 12);
    r[10] = nMe == 0 ? kNaN : 100 * sGo / nMe;
    r[11] = sGo;
    r[12] = PointDistance(p, 1, 3);
    r[13] = PointDistance(p, 3, 12);
}

// A and Pog from the nasion perpendicular, and the four horizontal differences.
void NasionPerpendicularRows(Points p, Rows& r) {
    const NasionPerpendicular nv(p);
    const double nvA = nv.Distance(4), nvB = nv.Distance(9), nvPog = nv.Distance(10);
    const double nvU1 = nv.Distance(6), nvL1 = nv.Distance(7);
    r[4] = nvA;
    r[5] = nvPog;
    r[26] = nvA - nvB;
    r[27] = nvU1 - nvL1;
    r[28] = nvA - nvU1;
    r[29] = nvB - nvL1;
}

// The dental rows; the interincisal angle closes the angles with SN/MP (row 7).
void DentalRows(Points p, Rows& r) {
    r[14] = LineAngle(p, 16, 1, 6, 5);
    r[17] = LineAngle(p, 8, 7, 29, 30);
    r[18] = LineAngle(p, 7, 8, 13, 11);
    r[15] = 360 - r[7] - r[14] - r[18];
    r[16] = Signed(LineDistance(p, 6, 1, 10), SideValue(p, 1, 10, 6) < 0);
    r[19] = Wits(p);
    r[20] = LineDistance(p, 6, 17, 3);
    r[21] = LineDistance(p, 18, 3, 17);
    r[22] = LineDistance(p, 7, 13, 11);
    r[23] = LineDistance(p, 19, 13, 11);
    const double upper = Signed(LineDistance(p, 6, 29, 30), SideValue(p, 29, 30, 6) > 0);
    const double lower = Signed(LineDistance(p, 7, 29, 30), SideValue(p, 29, 30, 7) < 0);
    r[24] = upper + lower;
    r[25] = double(LineAngle(p, 1, 13, 14, 13)) + LineAngle(p, 1, 13, 12, 13);
}

// The A-Ar-Gn block: the maxilla and the mandible from articulare.
void MaxillomandibularRows(Points p, Rows& r) {
    const double arA = PointDistance(p, 14, 4), arGn = PointDistance(p, 14, 11);
    r[30] = arA;
    r[31] = arGn;
    r[32] = PointDistance(p, 11, 4);
    r[33] = LineAngle(p, 4, 14, 11, 14);
    r[34] = LineAngle(p, 11, 4, 14, 4);
    r[35] = LineAngle(p, 4, 11, 14, 11);
    r[36] = arGn == 0 ? kNaN : arA * 100 / arGn;
}

}  // namespace

AnalysisValues ComputeValues(PointTable X, PointTable Y) {
    AnalysisValues v;
    X[29] = (X[18] + X[19]) / 2.0f;
    Y[29] = (Y[18] + Y[19]) / 2.0f;
    X[30] = (X[6] + X[7]) / 2.0f;
    Y[30] = (Y[6] + Y[7]) / 2.0f;
    v.x29 = X[29], v.y29 = Y[29], v.x30 = X[30], v.y30 = Y[30];
    const Points p{X, Y};
    SkeletalRows(p, v.rows);
    NasionPerpendicularRows(p, v.rows);
    DentalRows(p, v.rows);
    MaxillomandibularRows(p, v.rows);
    return v;
}

}  // namespace ceph::analysis
