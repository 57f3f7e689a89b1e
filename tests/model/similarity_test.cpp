// Finding a stored tracing again on its film from two landmarks: the transform must
// carry both given points exactly, any other point with the same turn and scale, and
// back again.
#include <gtest/gtest.h>

#include <cmath>

#include "model/similarity.h"

namespace ceph::model {
namespace {

struct Case {
    const char* what;
    PlanePoint p1, p2, q1, q2;
    PlanePoint probe, expected;  // another point and where it must land
};

const Case kCases[] = {
    {"shift only", {0, 0}, {70, 0}, {100, 50}, {170, 50}, {10, 20}, {110, 70}},
    {"scale 10 px per mm", {0, 0}, {70, 0}, {300, 400}, {1000, 400}, {5, -3}, {350, 370}},
    // y runs down on both, so a quarter turn takes the x axis to the y axis.
    {"quarter turn", {0, 0}, {10, 0}, {0, 0}, {0, 10}, {3, 4}, {-4, 3}},
    {"half turn and half scale", {2, 2}, {12, 2}, {0, 0}, {-5, 0}, {2, 12}, {0, -5}},
    {"S not at the origin", {-20, 5}, {50, -15}, {40, 90}, {740, -110}, {15, -5}, {390, -10}},
};

TEST(Similarity, CarriesBothPairsAndKeepsShapes) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const auto s = SimilarityFrom(c.p1, c.p2, c.q1, c.q2);
        ASSERT_TRUE(s);
        for (auto [p, q] : {std::pair{c.p1, c.q1}, {c.p2, c.q2}, {c.probe, c.expected}}) {
            const PlanePoint to = s->Apply(p);
            EXPECT_NEAR(to.x, q.x, 1e-9);
            EXPECT_NEAR(to.y, q.y, 1e-9);
            const PlanePoint back = s->Inverse(q);
            EXPECT_NEAR(back.x, p.x, 1e-9);
            EXPECT_NEAR(back.y, p.y, 1e-9);
        }
    }
}

TEST(Similarity, ScaleIsTheRatioOfTheDistances) {
    const auto s = SimilarityFrom({0, 0}, {3, 4}, {10, 10}, {10, 60});  // 5 -> 50
    ASSERT_TRUE(s);
    EXPECT_NEAR(s->Scale(), 10, 1e-12);
}

TEST(Similarity, TwoClicksOnOnePointGiveNone) {
    EXPECT_FALSE(SimilarityFrom({0, 0}, {70, 0}, {5, 5}, {5, 5}));
    EXPECT_FALSE(SimilarityFrom({1, 1}, {1, 1}, {5, 5}, {9, 5}));
    EXPECT_FALSE(SimilarityFrom({0, 0}, {NAN, 0}, {5, 5}, {9, 5}));
}

}  // namespace
}  // namespace ceph::model
