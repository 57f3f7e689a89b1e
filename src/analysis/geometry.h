#pragma once
// The five primitives every measurement is built from. They read the landmark store
// and return a number; NaN stands for "no value" where a formula divides by zero or
// takes the root of a negative number (coincident, parallel or vertical landmarks).
// The right angle and half turn are the decimal constants the norms were taken with,
// not exact pi, so results keep their last digit.

#include <array>
#include <cmath>

#include "ui/state.h"

namespace ceph::analysis {

using PointTable = std::array<float, ui::kPointSlots>;

struct Points {
    const PointTable& X;
    const PointTable& Y;
};

inline constexpr double kRightAngle = 1.570796;    // arccosine in LineAngle
inline constexpr double kRightAngleProj = 1.5708;  // projections on a line
inline constexpr double kHalfTurn = 3.14159;       // radians in a half turn
inline constexpr double kHalfTurnDegrees = 180.0;

inline bool IsDefined(double v) {
    return !std::isnan(v);
}

// Angle in degrees (0..180) between the vector b->a and the vector d->c.
float LineAngle(Points p, int a, int b, int c, int d);
// Distance between two landmarks.
float PointDistance(Points p, int a, int b);
// Signed distance of landmark k in front of the nasion perpendicular, measured along
// Frankfort horizontal (Po-Or).
float NvDistance(Points p, int k);
// Side of p relative to the line from a to b; only the sign is used.
float SideValue(Points p, int a, int b, int c);
// Distance of p from the line through a and b.
double LineDistance(Points p, int pt, int a, int b);

// The projections behind NvDistance, shared so that a tracing computes the common
// terms once: the distance along Po-Or from Po to the foot of k.
struct NvFrame {
    double tF;  // slope angle of Po-Or
    double dN;  // projection of Po->N
};
NvFrame MakeNvFrame(Points p);
float NvDistance(Points p, const NvFrame& frame, int k);

}  // namespace ceph::analysis
