// Turning and shifting structures on the figure: what moves with each structure, about
// which point, how far a click on the movement controls goes, and the arithmetic.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>
#include <tuple>

#include "figure/movement.h"
#include "model/figure_movement.h"
#include "sample_tracing.h"

namespace ceph {
namespace {

using Profile = std::array<std::array<float, ui::kProfileSlots>, 2>;

bool SameEnds(const ui::Line& a, const ui::Line& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

// Screen angle of a line's direction in degrees, counter-clockwise positive (y grows down).
double Direction(const ui::Line& l) {
    return std::atan2(-(l.y2 - l.y1), l.x2 - l.x1) * 180 / 3.14159265358979;
}

class MovementTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::ShowSampleFigure(win); }
    void Select(int s) {
        win.List1.listIndex = s;
        figure::List1_Click(win);
        lines = win.Line1;
        profile = win.state.ProfilePts;
    }
    std::set<int> MovedLines() const {
        std::set<int> moved;
        for (int k = 0; k < 9; ++k)
            if (!SameEnds(win.Line1[k], lines[k])) moved.insert(k);
        return moved;
    }
    std::set<int> MovedPoints() const {
        std::set<int> moved;
        for (int i = 0; i < ui::kProfileSlots; ++i)
            if (win.state.ProfilePts[0][i] != profile[0][i] ||
                win.state.ProfilePts[1][i] != profile[1][i])
                moved.insert(i);
        return moved;
    }

    ui::MainWindow win;
    std::array<ui::Line, 9> lines;  // as they stood before the move
    Profile profile;
};

struct MoveCase {
    int structure;
    std::set<int> lines;
    std::set<int> turned;  // the point turned about stays where it is
    std::set<int> shifted;
};

TEST_F(MovementTest, EachStructureCarriesItsOwnLinesAndProfilePoints) {
    const MoveCase cases[] = {
        {0, {0}, {6, 7, 8}, {6, 7, 8}},
        {1, {1}, {9, 10, 11}, {9, 10, 11}},
        {2, {0, 1, 2}, {6, 7, 8, 9, 10, 11}, {5, 6, 7, 8, 9, 10, 11}},
        {3, {0, 3}, {6, 7, 8}, {6, 7, 8}},
        {4, {1, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14}, {9, 10, 11, 12, 13, 14}},
        {5, {}, {1, 3, 4}, {1, 2, 3, 4}},
        {6, {}, {6, 7, 8}, {5, 6, 7, 8}},
        {7, {}, {9, 10, 11}, {9, 10, 11}},
        {8, {}, {12, 13}, {12, 13, 14}},
    };
    for (const MoveCase& c : cases) {
        testing::ShowSampleFigure(win);  // each structure on a fresh figure
        Select(c.structure);
        figure::MoveStructure(win, 6, 0, 0);
        EXPECT_EQ(MovedLines(), c.lines) << "turning structure " << c.structure;
        EXPECT_EQ(MovedPoints(), c.turned) << "turning structure " << c.structure;
        Select(c.structure);
        figure::MoveStructure(win, 0, 9, 0);
        EXPECT_EQ(MovedLines(), c.lines) << "shifting structure " << c.structure;
        EXPECT_EQ(MovedPoints(), c.shifted) << "shifting structure " << c.structure;
    }
}

TEST_F(MovementTest, MandibleTurnsAsOnePieceAboutTheMiddleOfGoAndPog) {
    Select(4);
    auto goPogMiddle = [&] {
        return std::array<float, 2>{(win.Line1[8].x1 + win.Line1[5].x1) / 2,
                                    (win.Line1[8].y1 + win.Line1[5].y1) / 2};
    };
    const auto centre = goPogMiddle();
    const float chinToRamus =
        std::hypot(win.Line1[4].x1 - win.Line1[8].x2, win.Line1[4].y1 - win.Line1[8].y2);
    figure::MoveStructure(win, -7, 0, 0);
    EXPECT_NEAR(goPogMiddle()[0], centre[0], 1e-3);
    EXPECT_NEAR(goPogMiddle()[1], centre[1], 1e-3);
    EXPECT_NEAR(std::hypot(win.Line1[4].x1 - win.Line1[8].x2, win.Line1[4].y1 - win.Line1[8].y2),
                chinToRamus, 1e-2);
    for (int k : {1, 4, 5, 6, 7, 8})
        EXPECT_NEAR(Direction(win.Line1[k]) - Direction(lines[k]), -7, 1e-4) << "line " << k;
}

TEST_F(MovementTest, OcclusalTurnKeepsTheMiddleOfThePlane) {
    Select(2);
    figure::MoveStructure(win, 5, 0, 0);
    const ui::Line& plane = win.Line1[2];
    EXPECT_NEAR((plane.x1 + plane.x2) / 2, (lines[2].x1 + lines[2].x2) / 2, 1e-3);
    EXPECT_NEAR((plane.y1 + plane.y2) / 2, (lines[2].y1 + lines[2].y2) / 2, 1e-3);
}

struct TurnClick {
    float x;
    int degrees;
};

TEST_F(MovementTest, TurnControlGivesSixDegreesLeftToSevenRight) {
    const TurnClick clicks[] = {
        {0, 6},
        {735, -7},
        {367.5f, 0},          // 6.5 steps rounds to even: no turn
        {0x1.8bc4ecp+7f, 2},  // 3.5 steps in single precision, 3.49999996 in double
    };
    for (const TurnClick& c : clicks) {
        Select(0);
        figure::Label16_MouseUp(win, c.x, 100);
        const ui::Line& incisor = win.Line1[0];
        EXPECT_EQ(incisor.x1, lines[0].x1) << "the apex stays, x = " << c.x;
        EXPECT_EQ(incisor.y1, lines[0].y1) << "the apex stays, x = " << c.x;
        EXPECT_NEAR(Direction(incisor) - Direction(lines[0]), c.degrees, 1e-4) << "x = " << c.x;
    }
}

struct ShiftClick {
    void (*control)(ui::MainWindow&, float, float);
    float x, y;
    float dx, dy;
};

TEST_F(MovementTest, ShiftControlsGiveTwentyTwipsBackToTwentyOneForward) {
    const ShiftClick clicks[] = {
        {figure::Label17_MouseUp, 735, 0, 21, 0},
        {figure::Label17_MouseUp, 0, 200, -20, 0},
        {figure::Label17_MouseUp, 367.5f, 0, 0, 0},            // 20.5 steps rounds to 20
        {figure::Label17_MouseUp, 0x1.66895ep+5f, 0, -18, 0},  // 2.5 steps in single precision
        {figure::Label18_MouseUp, 300, 0, 0, -20},
        {figure::Label18_MouseUp, 0, 600, 0, 20},
        {figure::Label18_MouseUp, 0, 615, 0, 21},
    };
    for (const ShiftClick& c : clicks) {
        Select(2);
        c.control(win, c.x, c.y);
        for (int k : {0, 1, 2}) {
            EXPECT_EQ(win.Line1[k].x2 - lines[k].x2, c.dx) << "line " << k;
            EXPECT_EQ(win.Line1[k].y1 - lines[k].y1, c.dy) << "line " << k;
        }
        for (int i = 5; i <= 11; ++i) {
            EXPECT_NEAR(win.state.ProfilePts[0][i] - profile[0][i], c.dx / 30, 1e-5);
            EXPECT_NEAR(win.state.ProfilePts[1][i] - profile[1][i], c.dy / 30, 1e-5);
        }
        EXPECT_EQ(win.Line2[5].x1, 800 + 30 * win.state.ProfilePts[0][5]) << "profile redrawn";
    }
}

TEST_F(MovementTest, WithoutASelectionOnlyTheProfileIsRedrawn) {
    Select(-1);
    win.Line2[0].x1 = -1;
    figure::Label16_MouseUp(win, 0, 0);
    figure::Label17_MouseUp(win, 0, 0);
    EXPECT_TRUE(MovedLines().empty());
    EXPECT_TRUE(MovedPoints().empty());
    EXPECT_EQ(win.Line2[0].x1, 800 + 30 * win.state.ProfilePts[0][0]);
}

TEST_F(MovementTest, ControlWithoutExtentDoesNothing) {
    Select(0);
    win.Line2[0].x1 = -1;
    win.Label16.width = 0;
    win.Label18.height = 0;
    figure::Label16_MouseUp(win, 0, 0);
    figure::Label18_MouseUp(win, 0, 0);
    EXPECT_TRUE(MovedLines().empty());
    EXPECT_EQ(win.Line2[0].x1, -1);
}

TEST(Turning, PositiveAnglesTurnCounterClockwiseOnTheScreen) {
    model::FigureLine line;
    line.x1 = 1000, line.y1 = 600, line.x2 = 800, line.y2 = 800;
    model::RotateLine(90, line, 800, 600);
    EXPECT_FLOAT_EQ(line.x1, 800);  // right of the centre goes up
    EXPECT_FLOAT_EQ(line.y1, 400);
    EXPECT_FLOAT_EQ(line.x2, 1000);  // below the centre goes right
    EXPECT_FLOAT_EQ(line.y2, 600);
}

TEST(Turning, ProfilePointsTurnInDoublePrecisionTwips) {
    model::Profile p;
    p.x[3] = 0x1.4f0a3ep+3f, p.y[3] = 0x1.b47aep+1f;
    model::RotateProfilePoint(p, 6, 3, 1100, 650);
    EXPECT_EQ(p.x[3], 0x1.54c9f6p+3f);  // single precision: 0x1.54c9f8p+3
    EXPECT_EQ(p.y[3], 0x1.acf818p+1f);  // single precision: 0x1.acf812p+1
}

TEST_F(MovementTest, ProfileShiftAddsTheDistanceInDoublePrecision) {
    Select(5);
    win.state.ShownFigure.profilePoints.x[1] = -0x1.52ebp+0f;
    figure::Label17_MouseUp(win, 0, 0);                      // 20 twips to the left
    EXPECT_EQ(win.state.ProfilePts[0][1], -0x1.fd95aap+0f);  // single: -0x1.fd95acp+0
}

// A movement typed beside the list is the same step as the clicks that give it: the
// figure, the profile and the totals beside the list end alike; what cannot be a
// movement is said and moves nothing.
TEST_F(MovementTest, ATypedMovementIsTheStepTheBarsWouldGive) {
    ui::MainWindow clicked;
    testing::ShowSampleFigure(clicked);
    for (ui::MainWindow* w : {&win, &clicked}) {
        w->List1.listIndex = 4;  // the mandible
        figure::List1_Click(*w);
    }
    win.TextTurn.text = "-3";
    win.TextAcross.text = "1.5";
    win.TextUp.text = " 2 ";
    figure::CommandMove_Click(win);
    figure::MoveStructure(clicked, -3, 0, 0);
    figure::MoveStructure(clicked, 0, 45, 0);   // 1.5 mm at 30 twips a millimetre
    figure::MoveStructure(clicked, 0, 0, -60);  // up is towards smaller y
    for (int k = 0; k < 9; ++k)
        EXPECT_TRUE(SameEnds(win.Line1[k], clicked.Line1[k])) << k;
    EXPECT_EQ(win.state.ProfilePts, clicked.state.ProfilePts);
    EXPECT_EQ(win.List2.items[4], clicked.List2.items[4]);
    EXPECT_EQ(win.List2.items[4], "-3° →1.5 ↑2.0 mm");
    EXPECT_EQ(win.LabelTyped.caption, ui::kTypedMovementCaption);

    const Profile before = win.state.ProfilePts;
    for (const auto& [turn, across, said] :
         {std::tuple{"2.5", "", "整數度"}, std::tuple{"", "abc", "不是數字"},
          std::tuple{"", "80", "太大"}}) {
        win.TextTurn.text = turn, win.TextAcross.text = across, win.TextUp.text = "";
        figure::CommandMove_Click(win);
        EXPECT_NE(win.LabelTyped.caption.find(said), std::string::npos) << win.LabelTyped.caption;
        EXPECT_EQ(win.LabelTyped.foreColor, kRed);
        EXPECT_EQ(win.state.ProfilePts, before);
    }
}

}  // namespace
}  // namespace ceph
