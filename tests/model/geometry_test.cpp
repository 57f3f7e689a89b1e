// The primitives on small hand-made tracings, including the last digit that the
// decimal constants leave on them, and the configurations that have no value.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "model/geometry.h"
#include "model/numbers.h"

namespace ceph::model {
namespace {

struct Store {
    PointTable X{}, Y{};
    Store& Set(int i, float x, float y) {
        X[i] = x, Y[i] = y;
        return *this;
    }
    Points p() const { return {X, Y}; }
};

TEST(Geometry, RightAngleKeepsTheDigitOfTheConstants) {
    Store s;
    s.Set(1, 0, 0).Set(2, 10, 0).Set(3, 0, 0).Set(4, 0, 10);
    const float angle = LineAngle(s.p(), 2, 1, 4, 3);
    EXPECT_EQ(FormatGeneral(angle), "90.00006");
    EXPECT_EQ(Format1(angle), "90.0");
}

TEST(Geometry, AngleDependsOnTheDirectionOfEachVector) {
    Store s;
    s.Set(16, 0, 0).Set(1, 70, 0).Set(4, 72, 40);
    EXPECT_NEAR(LineAngle(s.p(), 16, 1, 4, 1), 92.862, 0.001);  // angle S-N-A
    EXPECT_NEAR(LineAngle(s.p(), 1, 16, 4, 1), 87.138, 0.001);  // S->N against N->A
}

TEST(Geometry, DistancesAndSides) {
    Store s;
    s.Set(1, 0, 0).Set(2, 3, 4);
    EXPECT_EQ(PointDistance(s.p(), 1, 2), 5.0f);

    Store side;
    side.Set(1, 60, -20).Set(10, 60, 60).Set(4, 62, 30);
    EXPECT_EQ(SideValue(side.p(), 1, 10, 4), 160.0f);
    side.Set(4, 58, 30);
    EXPECT_LT(SideValue(side.p(), 1, 10, 4), 0.0f);

    Store line;
    line.Set(3, 40, 25).Set(1, 0, 0).Set(2, 50, 0);
    EXPECT_EQ(FormatGeneral(static_cast<float>(LineDistance(line.p(), 3, 1, 2))), "24.99999");
}

TEST(Geometry, NasionPerpendicularDistanceIsSigned) {
    Store s;
    s.Set(15, -10, 10).Set(2, 50, 10).Set(1, 60, -20).Set(4, 62, 30);
    EXPECT_NEAR(NvDistance(s.p(), 4), 1.99996, 0.000005);
    s.Set(4, 58, 30);
    EXPECT_NEAR(NvDistance(s.p(), 4), -2.00004, 0.000005);
}

// The projections as the formula states them: arctangents of the slopes and the sine
// of 1.5708 minus their difference.
double ReferenceNv(const Store& s, int k) {
    auto slope = [&](int i) {
        return std::atan((double(s.Y[i]) - s.Y[15]) / (double(s.X[i]) - s.X[15]));
    };
    auto length = [&](int i) {
        return std::hypot(double(s.X[i]) - s.X[15], double(s.Y[i]) - s.Y[15]);
    };
    const double tF = slope(2), tK = slope(k), tN = slope(1);
    return length(k) * std::sin(1.5708 - (tK - tF)) - length(1) * std::sin(1.5708 - (tF - tN));
}

TEST(Geometry, ProjectionsAgreeWithTheTrigonometricFormula) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> coordinate(-150, 150);
    for (int n = 0; n < 100000; ++n) {
        Store s;
        for (int i : {1, 2, 4, 15})
            s.Set(i, coordinate(random), coordinate(random));
        const double expected = ReferenceNv(s, 4);
        EXPECT_NEAR(NvDistance(s.p(), 4), expected, 1e-5 * (1 + std::fabs(expected)));
    }
}

TEST(Geometry, QuickAngleIsAlwaysTheFormulasAngle) {
    // Random directions, and nearly parallel or perpendicular ones where the two ways
    // of computing differ most; the angle must agree to the last bit, or both be none.
    std::mt19937 random(11);
    std::uniform_real_distribution<float> coordinate(-200, 200), tiny(-1e-3f, 1e-3f);
    for (int n = 0; n < 400000; ++n) {
        Store s;
        s.Set(1, coordinate(random), coordinate(random))
            .Set(2, coordinate(random), coordinate(random));
        s.Set(3, coordinate(random), coordinate(random));
        const float ux = s.X[1] - s.X[2], uy = s.Y[1] - s.Y[2];
        switch (n % 4) {
            case 0:
                s.Set(4, coordinate(random), coordinate(random));
                break;
            case 1:
                s.Set(4, s.X[3] + 0.5f * ux + tiny(random), s.Y[3] + 0.5f * uy + tiny(random));
                break;
            case 2:
                s.Set(4, s.X[3] - uy + tiny(random), s.Y[3] + ux + tiny(random));
                break;
            case 3:
                s.Set(4, s.X[3] + 2 * ux, s.Y[3] + 2 * uy);
                break;
        }
        const float quick = LineAngle(s.p(), 1, 2, 4, 3),
                    formula = LineAngleByFormula(s.p(), 1, 2, 4, 3);
        if (std::isnan(formula))
            ASSERT_TRUE(std::isnan(quick)) << n;
        else
            ASSERT_EQ(quick, formula) << n;
    }
}

TEST(Geometry, DegenerateConfigurationsHaveNoValue) {
    Store s;
    s.Set(1, 5, 5).Set(2, 5, 5).Set(3, 10, 0).Set(4, 20, 0).Set(5, 30, 0).Set(6, 0, 0);
    EXPECT_FALSE(IsDefined(LineAngle(s.p(), 1, 2, 3, 4)));  // zero-length vector
    EXPECT_FALSE(IsDefined(LineAngle(s.p(), 4, 3, 5, 4)));  // same direction
    EXPECT_FALSE(IsDefined(LineAngle(s.p(), 3, 4, 5, 4)));  // opposite directions
    EXPECT_FALSE(IsDefined(LineDistance(s.p(), 5, 3, 4)));  // collinear

    Store nv;  // Po and Or one above the other: Frankfort horizontal has no slope
    nv.Set(15, 0, 0).Set(2, 0, 10).Set(1, 60, -20).Set(4, 62, 30);
    EXPECT_FALSE(IsDefined(NvDistance(nv.p(), 4)));
    nv.Set(2, 50, 10).Set(4, 0, 30);  // A straight above Po
    EXPECT_FALSE(IsDefined(NvDistance(nv.p(), 4)));
    nv.Set(4, 62, 30).Set(1, 0, -20);  // N straight above Po
    EXPECT_FALSE(IsDefined(NvDistance(nv.p(), 4)));
}

}  // namespace
}  // namespace ceph::model
