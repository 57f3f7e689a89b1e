// The Monte Carlo of the measurements' 95 % ranges: repeatable, exact for no error,
// the closed form of a distance, correlated errors, and rows without a value.
#include <gtest/gtest.h>

#include <cmath>

#include "support/worked_tracing.h"
#include "uncertainty/uncertainty.h"

namespace ceph::uncertainty {

using model::kRows;
using model::PointTable;
namespace {

using testing::kWorkedPoints;
constexpr const auto& kWorked = kWorkedPoints;
constexpr int kN = 1, kOr = 2, kAns = 3, kGn = 11, kAr = 14, kPo = 15;
constexpr int kNvA = 4, kSGo = 11, kNAns = 12, kMaxMand = 36;

struct Tracing {
    PointTable X{}, Y{};
    Tracing() {
        for (int i = 0; i < 19; ++i)
            X[i + 1] = kWorked[i][0], Y[i + 1] = kWorked[i][1];
    }
    Uncertainty Estimate(const ErrorModel& m, int draws = kDefaultDraws,
                         std::uint64_t seed = kDefaultSeed) const {
        return EstimateUncertainty(m, X, Y, draws, seed);
    }
};

TEST(Uncertainty, TheSameSeedGivesTheSameFiguresAndAnotherSeedOthers) {
    const Tracing t;
    const Uncertainty a = t.Estimate(DefaultErrorModel()), b = t.Estimate(DefaultErrorModel());
    EXPECT_EQ(a.halfWidth, b.halfWidth);
    EXPECT_EQ(a.draws, kDefaultDraws);
    const Uncertainty c = t.Estimate(DefaultErrorModel(), kDefaultDraws, kDefaultSeed + 1);
    EXPECT_NE(a.halfWidth, c.halfWidth);
    for (int row = 0; row < kRows; ++row) {
        EXPECT_GT(a.halfWidth[row], 0) << row;
        EXPECT_EQ(a.undefinedDraws[row], 0) << row;
        EXPECT_NEAR(a.halfWidth[row], c.halfWidth[row], 0.15 * a.halfWidth[row]) << row;
    }
}

TEST(Uncertainty, NoErrorGivesNoWidth) {
    const Uncertainty u = Tracing().Estimate(ErrorModel{}, 50);
    for (int row = 0; row < kRows; ++row)
        EXPECT_EQ(u.halfWidth[row], 0) << row;
    EXPECT_EQ(HalfWidthText(u.halfWidth[0]), "±0.0");
    EXPECT_EQ(HalfWidthText(2.25), "±2.3");
}

// A distance whose ends move by independent normal errors spreads by the square root
// of their combined variance along the line, so its 95 % half-width is 1.96 times that.
TEST(Uncertainty, ADistanceFollowsItsClosedForm) {
    struct Case {
        LandmarkError n, ans;
        float dx, dy;     // ANS from N
        double variance;  // of the distance
    };
    const Case cases[] = {
        {{0.8, 0.8, 0}, {0.6, 0.6, 0}, 5, 45, 0.64 + 0.36},
        // Correlated x and y: along the diagonal they add, across it they cancel.
        {{1, 1, 0.6}, {}, 30, 30, 1.6},
        {{1, 1, 0.6}, {}, 30, -30, 0.4},
    };
    for (const Case& c : cases) {
        ErrorModel m;
        m.landmark[kN] = c.n;
        m.landmark[kAns] = c.ans;
        Tracing t;
        t.X[kAns] = t.X[kN] + c.dx, t.Y[kAns] = t.Y[kN] + c.dy;
        const Uncertainty u = t.Estimate(m, 20000);
        EXPECT_NEAR(u.halfWidth[kNAns], 1.96 * std::sqrt(c.variance),
                    0.05 * 1.96 * std::sqrt(c.variance))
            << c.dx << "," << c.dy;
        // Only the two landmarks moved.
        EXPECT_EQ(u.halfWidth[kSGo], 0);
    }
}

TEST(Uncertainty, DrawsWithoutAValueAreCountedAndLeftOut) {
    Tracing t;
    // Po straight below Or: Frankfort horizontal has no slope in any draw.
    t.X[kPo] = t.X[kOr];
    // Ar on Gn, moving by about a rounding step of its coordinates: Ar-Gn is zero, and
    // the ratio over it undefined, in most draws but not all.
    t.X[kAr] = t.X[kGn], t.Y[kAr] = t.Y[kGn];
    ErrorModel m;
    m.landmark[kAr] = {2e-6, 2e-6, 0};
    const Uncertainty u = t.Estimate(m, 400);
    EXPECT_EQ(u.undefinedDraws[kNvA], 400);
    EXPECT_TRUE(std::isnan(u.halfWidth[kNvA]));
    EXPECT_EQ(HalfWidthText(u.halfWidth[kNvA]), "");
    EXPECT_GT(u.undefinedDraws[kMaxMand], 200);
    EXPECT_LT(u.undefinedDraws[kMaxMand], 400);
    EXPECT_TRUE(std::isfinite(u.halfWidth[kMaxMand]));
    EXPECT_EQ(u.undefinedDraws[kNAns], 0);
}

}  // namespace
}  // namespace ceph::uncertainty
