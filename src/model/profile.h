#pragma once
// The soft-tissue profile estimated in front of the hard-tissue landmarks: 17 points
// from soft-tissue nasion over nose, lips and chin, computed by fixed rules.

#include <array>

#include "model/geometry.h"

namespace ceph::model {

inline constexpr int kProfilePoints = 17;

// Points in millimetres, S at the origin, y downwards.
struct Profile {
    std::array<float, kProfilePoints> x{}, y{};
};

// The profile in front of landmarks 1..12 of a tracing.
Profile EstimateProfile(const PointTable& X, const PointTable& Y);

}  // namespace ceph::model
