#pragma once
// The 37 measurements of a tracing, computed from the 19 landmarks in millimetres
// (S at the origin, y downwards). A row without a defined value holds NaN.

#include <array>

#include "analysis/geometry.h"

namespace ceph::analysis {

inline constexpr int kRows = 37;

struct AnalysisValues {
    std::array<double, kRows> rows{};
    float x29 = 0, y29 = 0;  // molar point
    float x30 = 0, y30 = 0;  // incisor point
};

// Computes every row. X and Y must hold landmarks 1..19; points 29 and 30 are derived
// here and written into the copies the caller passes.
AnalysisValues ComputeValues(PointTable X, PointTable Y);

}  // namespace ceph::analysis
