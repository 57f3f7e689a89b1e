// The figure as a model: built from a stored tracing alone, sized for the window's
// frames, and kept with the shown tracing so that a simulated treatment stays while
// the clinician works on the figure.
#include <gtest/gtest.h>

#include "figure/movement.h"
#include "model/figure.h"
#include "sample_tracing.h"

namespace ceph {
namespace {

TEST(FigureModel, AStoredTracingDrawsTheOcclusalPlaneThroughTheMidpoints) {
    // A record line holds landmarks 1..19 only; the occlusal points are not stored.
    ui::State s;
    testing::LoadSampleTracing(s);
    model::Tracing t;
    for (int n = 1; n <= 19; ++n)
        t.X[n] = s.X[n], t.Y[n] = s.Y[n];
    const model::Figure f = model::FigureOf(t);
    const model::FigureLine& plane = f.hardTissue[2];
    EXPECT_EQ(plane.x1, 800 + 30 * 35.0f);  // molars (35, 68) and (35, 72)
    EXPECT_EQ(plane.y1, 600 + 30 * 70.0f);
    EXPECT_EQ(plane.x2, 800 + 30 * 67.0f);  // incisor edges (68, 72) and (66, 70)
    EXPECT_EQ(plane.y2, 600 + 30 * 71.0f);
    EXPECT_EQ(f.profilePoints.x[3], model::EstimateProfile(s.X, s.Y).x[3]);
}

TEST(FigureModel, ThePanelMakesRoomForTheWindowsOwnFrames) {
    // cephtool sizes the panel without a window: the frames it makes room for must be
    // the window's.
    const ui::MainWindow win;
    EXPECT_EQ(win.Frame1.width, model::kMovementFrameWidth);
    EXPECT_EQ(win.Frame2.top, model::kAlignmentFrameTop);
    EXPECT_EQ(win.Frame2.height, model::kAlignmentFrameHeight);
}

TEST(FigureModel, AMovedStructureStaysMovedUntilTheTracingIsShownAgain) {
    ui::MainWindow win;
    testing::ShowSampleFigure(win);
    const std::array<ui::Line, 9> unmoved = win.Line1;
    win.List1.listIndex = 4;
    figure::List1_Click(win);
    figure::MoveStructure(win, 0, 9, 0);
    figure::MoveStructure(win, -5, 0, 0);
    const std::array<ui::Line, 9> moved = win.Line1;
    const auto profile = win.state.ProfilePts;

    // Broken lines, another structure and back: the mandible is where it was moved to.
    win.Check1.value = 1;
    figure::Check1_Click(win);
    win.List1.listIndex = 0;
    figure::List1_Click(win);
    win.List1.listIndex = 4;
    figure::List1_Click(win);
    for (int k : {1, 4, 5, 6, 7, 8}) {
        EXPECT_EQ(win.Line1[k].x1, moved[k].x1) << "line " << k;
        EXPECT_EQ(win.Line1[k].y2, moved[k].y2) << "line " << k;
        EXPECT_NE(win.Line1[k].x1, unmoved[k].x1) << "line " << k;
    }
    EXPECT_EQ(win.state.ProfilePts, profile);
    EXPECT_EQ(win.Line1[4].borderWidth, 1);

    testing::ShowSampleFigure(win);
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(win.Line1[k].x1, unmoved[k].x1) << "line " << k;
}

}  // namespace
}  // namespace ceph
