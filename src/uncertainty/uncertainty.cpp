#include "uncertainty/uncertainty.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "model/numbers.h"

namespace ceph::uncertainty {

namespace {

constexpr int kLandmarks = 19;

// Uniform on [-1, 1) from the top 53 bits of one output. The engine's outputs are fixed
// by the standard; the library's own distributions are not.
double Symmetric(std::mt19937_64& engine) {
    return static_cast<double>(engine() >> 11) * 0x1p-52 - 1;
}

// Two independent standard normal numbers by Marsaglia's polar method: only a
// logarithm and a square root, no sine or cosine whose last bits differ between
// libraries.
struct NormalPair {
    double u, v;
};
NormalPair StandardNormals(std::mt19937_64& engine) {
    for (;;) {
        const double a = Symmetric(engine), b = Symmetric(engine);
        const double s = a * a + b * b;
        if (s >= 1 || s == 0) continue;
        const double f = std::sqrt(-2 * std::log(s) / s);
        return {a * f, b * f};
    }
}

// The 2.5th and 97.5th percentiles' half distance. Quantile q of n ordered values
// lies at position q (n - 1), interpolated linearly between its two neighbours.
double Quantile(double* first, std::size_t n, double q) {
    const double at = q * static_cast<double>(n - 1);
    const std::size_t low = static_cast<std::size_t>(at);
    std::nth_element(first, first + low, first + n);
    const double a = first[low];
    if (low + 1 >= n) return a;
    // Everything after the low one is at least as large: the next in order is the
    // smallest of them.
    const double b = *std::min_element(first + low + 1, first + n);
    return a + (at - static_cast<double>(low)) * (b - a);
}

double HalfWidth(double* first, std::size_t n) {
    if (n == 0) return std::numeric_limits<double>::quiet_NaN();
    const double low = Quantile(first, n, 0.025);
    return (Quantile(first, n, 0.975) - low) / 2;
}

}  // namespace

Uncertainty EstimateUncertainty(const ErrorModel& model, const model::PointTable& X,
                                const model::PointTable& Y, int draws, std::uint64_t seed) {
    Uncertainty result;
    result.draws = std::max(draws, 0);
    const std::size_t n = static_cast<std::size_t>(result.draws);
    // Every row's defined values, one block of `n` per row.
    std::vector<double> values(n * model::kRows);
    std::array<std::size_t, model::kRows> defined{};
    std::array<double, kLandmarks + 1> across{};  // sqrt(1 - r^2): y's own share
    for (int k = 1; k <= kLandmarks; ++k) {
        const double r = model.landmark[k].r;
        across[k] = std::sqrt(1 - r * r);
    }
    std::mt19937_64 engine(seed);
    model::PointTable x = X, y = Y;
    for (std::size_t d = 0; d < n; ++d) {
        // Every landmark takes its two numbers even when its error is zero, so changing
        // one landmark's figures leaves the other landmarks' draws as they were.
        for (int k = 1; k <= kLandmarks; ++k) {
            const auto [u, v] = StandardNormals(engine);
            const LandmarkError& e = model.landmark[k];
            x[k] = static_cast<float>(X[k] + e.sx * u);
            y[k] = static_cast<float>(Y[k] + e.sy * (e.r * u + across[k] * v));
        }
        const model::AnalysisValues drawn = model::ComputeValues(x, y);
        for (int row = 0; row < model::kRows; ++row) {
            const double value = drawn.rows[row];
            if (std::isfinite(value)) values[row * n + defined[row]++] = value;
        }
    }
    // The angles are arccosines (0 to 180 degrees) and their sums and differences, never
    // reduced by a full turn, so no value jumps by 360 degrees from one draw to the
    // next: the percentiles are taken on the values as they are.
    for (int row = 0; row < model::kRows; ++row) {
        result.halfWidth[row] = HalfWidth(values.data() + row * n, defined[row]);
        result.undefinedDraws[row] = result.draws - static_cast<int>(defined[row]);
    }
    return result;
}

std::string HalfWidthText(double halfWidth) {
    if (std::isnan(halfWidth)) return {};
    return "±" + FormatFixed(halfWidth, 1);
}

}  // namespace ceph::uncertainty
