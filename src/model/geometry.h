#pragma once
// The five primitives every measurement is built from. They read the landmark store
// and return a number; NaN stands for "no value" where a formula divides by zero or
// takes the root of a negative number (coincident, parallel or vertical landmarks).
// The right angle and half turn are the decimal constants the norms were taken with,
// not exact pi, so results keep their last digit. They are inline: a tracing calls
// them some fifty times and the analysis runs over whole record files.

#include <array>
#include <cmath>
#include <limits>

#include "model/landmark.h"

namespace ceph::model {

// A coordinate of every store slot, by landmark number.
using PointTable = std::array<float, kPointSlots>;

struct Points {
    const PointTable& X;
    const PointTable& Y;
    float x(Landmark l) const { return X[Slot(l)]; }
    float y(Landmark l) const { return Y[Slot(l)]; }
};

inline constexpr double kRightAngle = 1.570796;    // arccosine in LineAngle
inline constexpr double kRightAngleProj = 1.5708;  // projections on a line
inline constexpr double kHalfTurn = 3.14159;       // radians in a half turn
inline constexpr double kHalfTurnDegrees = 180.0;
inline constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

inline bool IsDefined(double v) {
    return !std::isnan(v);
}

// Angle in degrees (0..180) between the vector b->a and the vector d->c: the arccosine
// of their normalised dot product k, taken as the arctangent of k / sqrt(1 - k^2).
inline float LineAngleByFormula(Points p, int a, int b, int c, int d) {
    const float ux = p.X[a] - p.X[b], uy = p.Y[a] - p.Y[b];
    const float wx = p.X[c] - p.X[d], wy = p.Y[c] - p.Y[d];
    const double lu = std::sqrt(double(ux) * ux + double(uy) * uy);
    const double lw = std::sqrt(double(wx) * wx + double(wy) * wy);
    const double k = (double(ux) * wx + double(uy) * wy) / (lu * lw);
    const double s2 = 1 - k * k;
    // Zero-length vectors give no k; parallel or opposite ones give s = 0 (and rounding
    // may lift |k| past 1): no angle either way.
    if (!(s2 > 0)) return static_cast<float>(kNoValue);
    const double t = std::atan(k / std::sqrt(s2));
    return static_cast<float>((kRightAngle - t) * kHalfTurnDegrees / kHalfTurn);
}

// The same angle, computed where it can be without the three square roots and three
// divisions that make the formula slow (they hold up a whole analysis run): k / sqrt(1
// - k^2) is the dot product over the cross product. The two ways differ by rounding
// that grows with that quotient; when the value lies so near a rounding boundary of
// single precision that this could matter, or the quotient has no finite value, the
// formula decides. The result is therefore always the formula's own.
inline float LineAngle(Points p, int a, int b, int c, int d) {
    const float ux = p.X[a] - p.X[b], uy = p.Y[a] - p.Y[b];
    const float wx = p.X[c] - p.X[d], wy = p.Y[c] - p.Y[d];
    const double dot = double(ux) * wx + double(uy) * wy;
    const double cross = double(ux) * wy - double(uy) * wx;
    const double x = dot / std::fabs(cross);
    const double degrees = (kRightAngle - std::atan(x)) * kHalfTurnDegrees * (1 / kHalfTurn);
    const double margin = 1e-12 * (1 + std::fabs(x)) + 1e-14 * std::fabs(degrees);
    const float low = static_cast<float>(degrees - margin);
    if (low == static_cast<float>(degrees + margin)) return low;
    return LineAngleByFormula(p, a, b, c, d);
}

// Distance between two landmarks.
inline float PointDistance(Points p, int a, int b) {
    const double dx = double(p.X[a]) - p.X[b], dy = double(p.Y[a]) - p.Y[b];
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

// Side of c relative to the line from a to b; only the sign is used. Differences of
// single-precision coordinates and their products are exact in double precision, so
// the one rounding left cannot change the sign.
inline float SideValue(Points p, int a, int b, int c) {
    const double v = (double(p.Y[b]) - p.Y[a]) * (double(p.X[c]) - p.X[a]) -
                     (double(p.X[b]) - p.X[a]) * (double(p.Y[c]) - p.Y[a]);
    return static_cast<float>(v);
}

// Distance of pt from the line through a and b.
inline double LineDistance(Points p, int pt, int a, int b) {
    const double angle = LineAngle(p, pt, a, b, a);
    return double(PointDistance(p, a, pt)) * std::sin(angle * kHalfTurn / kHalfTurnDegrees);
}

// Distances along a line, as the norms were measured: the length of a vector times the
// sine of 1.5708 minus the difference of the arctangents of the two slopes. Expanding
// that sine with the slopes' own sines and cosines gives the same value without any
// trigonometry per point; a vertical direction has no slope and so no value.
class LineProjection {
  public:
    // The line through (x0, y0) in the direction (dx, dy).
    LineProjection(double x0, double y0, double dx, double dy) : x0_(x0), y0_(y0) {
        const double length = std::sqrt(dx * dx + dy * dy);
        valid_ = dx != 0;
        cos_ = std::fabs(dx) / length;
        sin_ = std::copysign(1.0, dx) * dy / length;
    }
    // |v| sin(1.5708 - (tPoint - tLine)), v from the line's origin to (x, y).
    double PointAfterLine(double x, double y) const { return Project(x, y, false); }
    // |v| sin(1.5708 - (tLine - tPoint)).
    double LineAfterPoint(double x, double y) const { return Project(x, y, true); }

  private:
    double Project(double x, double y, bool lineFirst) const {
        const double dx = x - x0_, dy = y - y0_;
        if (!valid_ || dx == 0) return kNoValue;
        const double a = std::fabs(dx), b = std::copysign(1.0, dx) * dy;  // |v| cos, |v| sin
        const double cosDiff = a * cos_ + b * sin_;
        const double sinDiff = lineFirst ? sin_ * a - cos_ * b : b * cos_ - a * sin_;
        return kSinProj * cosDiff - kCosProj * sinDiff;
    }
    // sin(1.5708) and cos(1.5708), correctly rounded.
    static constexpr double kSinProj = 0x1.fffffffff12a3p-1;
    static constexpr double kCosProj = -0x1.ed025dc757f0cp-19;
    double x0_, y0_, cos_ = 0, sin_ = 0;
    bool valid_ = false;
};

// The nasion perpendicular: distances in front of it are measured along Frankfort
// horizontal (Po-Or), from Po, less the distance of N.
class NasionPerpendicular {
  public:
    explicit NasionPerpendicular(Points p)
        : p_(p),
          fh_(p.x(Landmark::Po), p.y(Landmark::Po), double(p.x(Landmark::Or)) - p.x(Landmark::Po),
              double(p.y(Landmark::Or)) - p.y(Landmark::Po)),
          dN_(fh_.LineAfterPoint(p.x(Landmark::N), p.y(Landmark::N))) {}
    // Signed distance of landmark k in front of the perpendicular.
    float Distance(int k) const {
        return static_cast<float>(fh_.PointAfterLine(p_.X[k], p_.Y[k]) - dN_);
    }
    float Distance(Landmark l) const { return Distance(Number(l)); }

  private:
    Points p_;
    LineProjection fh_;
    double dN_;
};

inline float NvDistance(Points p, int k) {
    return NasionPerpendicular(p).Distance(k);
}

// The same primitives over named landmarks, as the measurements are written.
inline float LineAngle(Points p, Landmark a, Landmark b, Landmark c, Landmark d) {
    return LineAngle(p, Number(a), Number(b), Number(c), Number(d));
}
inline float PointDistance(Points p, Landmark a, Landmark b) {
    return PointDistance(p, Number(a), Number(b));
}
inline float SideValue(Points p, Landmark a, Landmark b, Landmark c) {
    return SideValue(p, Number(a), Number(b), Number(c));
}
inline double LineDistance(Points p, Landmark pt, Landmark a, Landmark b) {
    return LineDistance(p, Number(pt), Number(a), Number(b));
}

// The occlusal line's two points: the midpoint of the molars and of the incisor edges.
inline void DeriveOcclusalPoints(PointTable& X, PointTable& Y) {
    using enum Landmark;
    X[Slot(MolarPoint)] = (X[Slot(UpperMolar)] + X[Slot(LowerMolar)]) / 2.0f;
    Y[Slot(MolarPoint)] = (Y[Slot(UpperMolar)] + Y[Slot(LowerMolar)]) / 2.0f;
    X[Slot(IncisorPoint)] = (X[Slot(U1Edge)] + X[Slot(L1Edge)]) / 2.0f;
    Y[Slot(IncisorPoint)] = (Y[Slot(U1Edge)] + Y[Slot(L1Edge)]) / 2.0f;
}

}  // namespace ceph::model
