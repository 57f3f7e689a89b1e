#pragma once
// How sure each of the 37 measurements is, given how far clinicians' clicks scatter: a
// Monte Carlo over the error model. Every draw moves landmarks 1..19 by one sample of
// their click errors and runs the analysis itself on the moved copy, so each row's
// spread follows its own formula, including the derived molar and incisor points.

#include <array>
#include <cstdint>
#include <string>

#include "model/measurement.h"
#include "uncertainty/error_model.h"

namespace ceph::uncertainty {

inline constexpr int kDefaultDraws = 2000;
// Fixed, so the same tracing shows the same figures every time it is analysed.
inline constexpr std::uint64_t kDefaultSeed = 20150415;

struct Uncertainty {
    // Half the width of the central 95 % of the draws' values (2.5th to 97.5th
    // percentile, each interpolated linearly between the two nearest ordered draws);
    // NaN where no draw gave a value.
    std::array<double, model::kRows> halfWidth{};
    std::array<int, model::kRows> undefinedDraws{};  // draws in which the row had no value
    int draws = 0;
};

// X and Y hold landmarks 1..19 in millimetres (S at the origin, y downwards), as the
// store does. The draws come from std::mt19937_64 with the program's own normal
// transform, so a seed gives the same draws with every compiler and standard library;
// only the last bits of the system's logarithm (and of the analysis's own
// trigonometry) may differ, far below the decimals shown.
Uncertainty EstimateUncertainty(const ErrorModel& model, const model::PointTable& X,
                                const model::PointTable& Y, int draws = kDefaultDraws,
                                std::uint64_t seed = kDefaultSeed);

// "±2.3", as shown beside a value; empty for NaN.
std::string HalfWidthText(double halfWidth);

}  // namespace ceph::uncertainty
