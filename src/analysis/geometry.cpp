#include "analysis/geometry.h"

#include <limits>

namespace ceph::analysis {

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Arctangent of a slope; a vertical direction (or a zero vector) has none.
double SlopeAngle(double dy, double dx) {
    return dx == 0 ? kNaN : std::atan(dy / dx);
}

// Length of the projection of (dx, dy) on a line whose slope angle is tLine, from the
// angle tPoint of the vector itself; the sine of 1.5708 minus the difference stands
// for its cosine.
double Projection(double dx, double dy, double tDiff) {
    return std::sqrt(dy * dy + dx * dx) * std::sin(kRightAngleProj - tDiff);
}
}  // namespace

float LineAngle(Points p, int a, int b, int c, int d) {
    const float ux = p.X[a] - p.X[b], uy = p.Y[a] - p.Y[b];
    const float wx = p.X[c] - p.X[d], wy = p.Y[c] - p.Y[d];
    const double lu = std::sqrt(double(ux) * ux + double(uy) * uy);
    const double lw = std::sqrt(double(wx) * wx + double(wy) * wy);
    const double k = (double(ux) * wx + double(uy) * wy) / (lu * lw);
    const double s2 = 1 - k * k;
    // Zero-length vectors give no k; parallel or opposite ones give s = 0 (and rounding
    // may lift |k| past 1): no angle either way.
    if (!(s2 > 0)) return static_cast<float>(kNaN);
    const double t = std::atan(k / std::sqrt(s2));
    return static_cast<float>((kRightAngle - t) * kHalfTurnDegrees / kHalfTurn);
}

float PointDistance(Points p, int a, int b) {
    const double dx = double(p.X[a]) - p.X[b], dy = double(p.Y[a]) - p.Y[b];
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

NvFrame MakeNvFrame(Points p) {
    const double px = p.X[15], py = p.Y[15];
    NvFrame f;
    f.tF = SlopeAngle(p.Y[2] - py, p.X[2] - px);
    const double tN = SlopeAngle(p.Y[1] - py, p.X[1] - px);
    f.dN = Projection(p.X[1] - px, p.Y[1] - py, f.tF - tN);
    return f;
}

float NvDistance(Points p, const NvFrame& f, int k) {
    const double dx = double(p.X[k]) - p.X[15], dy = double(p.Y[k]) - p.Y[15];
    const double tK = SlopeAngle(dy, dx);
    const double dK = Projection(dx, dy, tK - f.tF);
    return static_cast<float>(dK - f.dN);
}

float NvDistance(Points p, int k) {
    return NvDistance(p, MakeNvFrame(p), k);
}

float SideValue(Points p, int a, int b, int c) {
    using L = long double;
    const L v =
        (L(p.Y[b]) - p.Y[a]) * (L(p.X[c]) - p.X[a]) - (L(p.X[b]) - p.X[a]) * (L(p.Y[c]) - p.Y[a]);
    return static_cast<float>(v);
}

double LineDistance(Points p, int pt, int a, int b) {
    const double angle = LineAngle(p, pt, a, b, a);
    return double(PointDistance(p, a, pt)) * std::sin(angle * kHalfTurn / kHalfTurnDegrees);
}

}  // namespace ceph::analysis
