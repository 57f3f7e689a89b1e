// The soft-tissue profile estimate and the schematic figure built from a tracing: line
// ends, the structure list's highlighting, the dotted/solid switch and the panel layout.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "model/profile.h"
#include "presenter/figure_view.h"
#include "sample_tracing.h"

namespace ceph {
namespace {

// The profile points of the state record estimated afresh from its landmarks, as
// showing a tracing does.
void BuildProfile(ui::State& s) {
    presenter::ShowProfile(s, model::EstimateProfile(s.X, s.Y));
}

struct ProfileCase {
    int k;
    float x, y;
};

TEST(Profile, FollowsTheLandmarksInFrontOfTheNoseAndUpperLip) {
    ui::State s;
    s.X[1] = 70, s.Y[1] = -20, s.Y[2] = 5, s.X[3] = 60, s.Y[3] = 25;
    s.X[4] = 62, s.Y[4] = 30, s.X[6] = 68, s.Y[6] = 45;
    BuildProfile(s);
    const ProfileCase cases[] = {{0, 77, -20},   {1, 77.7f, -7.5f}, {2, 94.5f, 35.0f / 3},
                                 {3, 94.5f, 20}, {4, 74, 25},       {5, 76, 30},
                                 {6, 80, 37.5f}, {7, 80, 41.25f},   {8, 71, 42.5f}};
    for (const ProfileCase& c : cases) {
        EXPECT_FLOAT_EQ(s.ProfilePts[0][c.k], c.x) << "point " << c.k;
        EXPECT_FLOAT_EQ(s.ProfilePts[1][c.k], c.y) << "point " << c.k;
    }
}

TEST(Profile, WithEveryLandmarkAtSOnlyTheFixedOffsetsRemain) {
    ui::State s;
    s.ProfilePts[0][8] = 99;  // an earlier movement is discarded
    BuildProfile(s);
    for (int k = 0; k <= 16; ++k) {
        const float x = (k == 8 || k == 9) ? 3 : 0;
        const float y = k == 9 ? -2 : k == 16 ? 3 : 0;
        EXPECT_EQ(s.ProfilePts[0][k], x) << "point " << k;
        EXPECT_EQ(s.ProfilePts[1][k], y) << "point " << k;
    }
}

TEST(Profile, NoseFactorsAreDoubleAndTheRestSinglePrecision) {
    ui::State s;
    s.X[1] = 62;                      // 1.1f * 62 would give 0x1.10cccep+6
    s.Y[7] = 40.06f, s.Y[9] = 50.3f;  // double intermediates would give 0x1.6dfdbap+5
    BuildProfile(s);
    EXPECT_EQ(s.ProfilePts[0][0], 0x1.10ccccp+6f);
    EXPECT_EQ(s.ProfilePts[0][2], 0x1.4eccccp+6f);
    EXPECT_EQ(s.ProfilePts[0][3], 0x1.4eccccp+6f);
    EXPECT_EQ(s.ProfilePts[1][12], 0x1.6dfdb8p+5f);
}

TEST(LineEnds, MapMillimetresToTwipsInSinglePrecision) {
    model::FigureLine line;
    model::SetLineEnds(line, 0, 0, 10, -5);
    EXPECT_EQ(line.x1, 800);
    EXPECT_EQ(line.y1, 600);
    EXPECT_EQ(line.x2, 1100);
    EXPECT_EQ(line.y2, 450);
    model::SetLineEnds(line, 16.04f, 0, 0, 0);
    EXPECT_EQ(line.x1, 0x1.404cccp+10f);  // 0x1.404ccep+10 when computed in double
}

class FigureTest : public ::testing::Test {
  protected:
    std::set<int> VisibleHardLines() const {
        std::set<int> shown;
        for (int k = 0; k < 9; ++k)
            if (win.Line1[k].visible) shown.insert(k);
        return shown;
    }
    std::set<int> ThickSegments() const {
        std::set<int> thick;
        for (int i = 0; i < 15; ++i)
            if (win.Line2[i].borderWidth == 2) thick.insert(i);
        return thick;
    }
    ui::MainWindow win;
};

TEST_F(FigureTest, SetUpShowsTheUpperIncisorSolidOverTheWholeProfile) {
    win.Check1.value = 1;
    testing::ShowSampleFigure(win);
    EXPECT_EQ(win.Check1.value, 0);
    EXPECT_EQ(win.List1.listIndex, 0);
    EXPECT_EQ(VisibleHardLines(), std::set<int>{0});
    EXPECT_EQ(win.Line1[0].borderColor, kGreen);
    for (const ui::Line& line : win.Line1)
        EXPECT_EQ(line.borderWidth, 2);
    EXPECT_EQ(ThickSegments(), (std::set<int>{4, 5, 6, 7}));
    for (const ui::Line& line : win.Line2) {
        EXPECT_TRUE(line.visible);
        EXPECT_EQ(line.borderColor, kMagenta);
    }
}

TEST_F(FigureTest, LinesJoinTheirLandmarksAndTheProfileSkipsTheMouth) {
    testing::ShowSampleFigure(win);
    const ui::Line& palate = win.Line1[3];  // ANS (68, 40) to PNS (15, 42)
    EXPECT_EQ(std::vector<float>({palate.x1, palate.y1, palate.x2, palate.y2}),
              std::vector<float>({2840, 1800, 1250, 1860}));
    const auto& p = win.state.ProfilePts;
    const ui::Line& upperLipEnd = win.Line2[7];
    EXPECT_EQ(upperLipEnd.x1, 800 + 30 * p[0][7]);
    EXPECT_EQ(upperLipEnd.x2, 800 + 30 * p[0][8]);
    const ui::Line& lowerLipStart = win.Line2[8];  // point 9 to point 10
    EXPECT_EQ(lowerLipStart.x1, 800 + 30 * p[0][9]);
    EXPECT_EQ(lowerLipStart.y2, 600 + 30 * p[1][10]);
    EXPECT_EQ(win.Line2[14].y2, 600 + 30 * p[1][16]);
}

struct HighlightCase {
    int selected;
    std::set<int> shown;
    std::set<int> thick;
};

TEST_F(FigureTest, EachStructureShowsItsBonesAndThickensItsSoftTissue) {
    testing::ShowSampleFigure(win);
    const HighlightCase cases[] = {
        {0, {0}, {4, 5, 6, 7}},
        {1, {1}, {8, 9, 10, 11}},
        {2, {0, 1, 2}, {4, 5, 6, 7, 8, 9, 10, 11}},
        {3, {0, 3}, {4, 5, 6, 7}},
        {4, {1, 4, 5, 6, 7, 8}, {8, 9, 10, 11, 12, 13, 14}},
        {5, {}, {0, 1, 2, 3}},
        {6, {}, {4, 5, 6, 7}},
        {7, {}, {8, 9, 10, 11}},
        {8, {}, {12, 13, 14}},
        {-1, {}, {}},
    };
    for (const HighlightCase& c : cases) {
        win.List1.listIndex = c.selected;
        figure::List1_Click(win);
        EXPECT_EQ(VisibleHardLines(), c.shown) << "structure " << c.selected;
        EXPECT_EQ(ThickSegments(), c.thick) << "structure " << c.selected;
        for (int k : c.shown)
            EXPECT_EQ(win.Line1[k].borderColor, kGreen) << "line " << k;
    }
}

TEST_F(FigureTest, BrokenLinesThinTheBonesWithoutChangingWhatIsShown) {
    testing::ShowSampleFigure(win);
    win.List1.listIndex = 4;
    figure::List1_Click(win);
    const std::set<int> shown = VisibleHardLines();
    for (int checked : {1, 0}) {
        win.Check1.value = checked;
        figure::Check1_Click(win);
        for (const ui::Line& line : win.Line1)
            EXPECT_EQ(line.borderWidth, checked ? 1 : 2);
        EXPECT_EQ(VisibleHardLines(), shown);
        EXPECT_EQ(ThickSegments(), (std::set<int>{8, 9, 10, 11, 12, 13, 14}));
    }
}

TEST_F(FigureTest, PanelMakesRoomForTheFramesInFrontOfTheNoseAndForTheChin) {
    win.readceph.width = 9000;
    testing::LoadSampleTracing(win.state);
    win.state.ProfilePts[0][3] = 100;  // used as it stands: a rebuild would give 94.5
    figure::SetUpFigure(win);
    EXPECT_EQ(win.Frame1.left, 4400);
    EXPECT_EQ(win.Frame2.left, 4520);
    EXPECT_EQ(win.Picture8.width, 8500);  // the movement frame, 3900 wide, and 200 beyond
    EXPECT_EQ(win.Picture8.left, 250);
    EXPECT_EQ(win.Picture8.height, 4415);  // the frames reach lower than Me at 108 mm

    win.state.Y[12] = 140;
    figure::SetUpFigure(win);
    EXPECT_EQ(win.Picture8.height, 5000);
}

}  // namespace
}  // namespace ceph
