// The names of the marks can be read wherever the marks lie: none overlaps another or
// covers a mark, on the worked tracing, on one with the incisors edge to edge, and at
// a zoom where the whole head is a few hundred pixels.
#include <gtest/gtest.h>

#include <string>

#include "model/label_placement.h"
#include "model/landmark.h"
#include "support/worked_tracing.h"

namespace ceph::model {
namespace {

constexpr double kRadius = 4, kGap = 2;

// The worked tracing's marks at `scale` pixels a millimetre, S at (300, 300), with names
// 7 pixels a character and 11 high, as the screen's 11-pixel face draws them.
std::vector<LabelRequest> Marks(double scale, const float (&points)[19][2]) {
    std::vector<LabelRequest> marks;
    for (int n = 1; n <= 19; ++n) {
        const std::string name = Info(static_cast<Landmark>(n)).abbreviation;
        marks.push_back({300 + scale * points[n - 1][0], 300 + scale * points[n - 1][1],
                         7.0 * static_cast<double>(name.size()), 11});
    }
    return marks;
}

void ExpectReadable(const std::vector<LabelRequest>& marks, const std::vector<PlacedLabel>& names,
                    const LabelRect& room) {
    ASSERT_EQ(names.size(), marks.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const LabelRect& a = names[i].box;
        EXPECT_GE(a.left, room.left) << i;
        EXPECT_LE(a.right(), room.right()) << i;
        for (std::size_t j = 0; j < names.size(); ++j) {
            if (j != i) {
                EXPECT_FALSE(a.Overlaps(names[j].box)) << "names " << i << " and " << j;
            }
            const LabelRect mark{marks[j].x - kRadius, marks[j].y - kRadius, 2 * kRadius,
                                 2 * kRadius};
            EXPECT_FALSE(a.Overlaps(mark)) << "name " << i << " covers mark " << j;
        }
    }
}

TEST(LabelPlacement, TheWorkedTracingAtAnyZoom) {
    const LabelRect room{0, 0, 1600, 1400};
    for (double scale : {8.0, 4.0, 2.0, 1.0}) {
        SCOPED_TRACE(scale);
        const auto marks = Marks(scale, testing::kWorkedPoints);
        const auto names = PlaceLabels(marks, kRadius, kGap, room);
        ExpectReadable(marks, names, room);
        if (scale == 8) {
            // N stands alone: its name stays at the upper right, as it always was.
            EXPECT_FALSE(names[0].leader);
            EXPECT_EQ(names[0].box.left, marks[0].x + kRadius + kGap);
            EXPECT_EQ(names[0].box.bottom(), marks[0].y);
        }
    }
}

TEST(LabelPlacement, IncisorsEdgeToEdgeAndCloseNeighbours) {
    float points[19][2];
    std::copy(&testing::kWorkedPoints[0][0], &testing::kWorkedPoints[0][0] + 38, &points[0][0]);
    points[6][0] = points[5][0], points[6][1] = points[5][1];             // L1 Edge on U1 Edge
    points[18][0] = points[17][0] + 0.5f, points[18][1] = points[17][1];  // the molars
    points[3][0] = points[2][0] - 1, points[3][1] = points[2][1] + 2;     // A under ANS
    points[4][0] = points[3][0] - 1, points[4][1] = points[3][1] + 2;     // U1 Apex under A
    points[8][0] = points[7][0] + 1, points[8][1] = points[7][1] + 1;     // B by L1 Apex
    const LabelRect room{0, 0, 1000, 1200};
    for (double scale : {6.0, 3.0}) {
        SCOPED_TRACE(scale);
        const auto marks = Marks(scale, points);
        const auto names = PlaceLabels(marks, kRadius, kGap, room);
        ExpectReadable(marks, names, room);
        // Two marks on one point: their names on two sides of it.
        EXPECT_NE(names[5].box.left, names[6].box.left);
    }
}

TEST(LabelPlacement, ACrowdMovesOutWithLeaders) {
    std::vector<LabelRequest> marks(12, {100, 100, 30, 11});
    const LabelRect room{0, 0, 400, 400};
    const auto names = PlaceLabels(marks, kRadius, kGap, room);
    ExpectReadable(marks, names, room);
    int leaders = 0;
    for (const PlacedLabel& p : names) {
        if (!p.leader) continue;
        ++leaders;
        double ex = 0, ey = 0;
        LeaderEnd(p.box, 100, 100, ex, ey);
        // The line ends on the name's edge nearest the mark.
        EXPECT_TRUE(ex == p.box.left || ex == p.box.right() || ey == p.box.top ||
                    ey == p.box.bottom());
    }
    EXPECT_GE(leaders, 4) << "eight sides at most beside one mark";
}

TEST(LabelPlacement, ANameKeepsInsideTheRoomAtItsEdges) {
    const LabelRect room{0, 0, 200, 100};
    const std::vector<LabelRequest> marks{{195, 50, 40, 11}, {5, 3, 40, 11}, {100, 97, 40, 11}};
    const auto names = PlaceLabels(marks, kRadius, kGap, room);
    ExpectReadable(marks, names, room);
    EXPECT_LT(names[0].box.right(), 195) << "to the left of a mark at the right edge";
    EXPECT_GE(names[1].box.top, 0);
}

}  // namespace
}  // namespace ceph::model
