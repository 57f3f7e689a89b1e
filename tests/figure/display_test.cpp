// Showing and hiding the figure panel, and aligning the radiograph under the figure by
// clicking on it with one of the alignment boxes armed.
#include <gtest/gtest.h>

#include <string>

#include "figure/display.h"
#include "presenter/figure_view.h"
#include "ui/main_window.h"

namespace ceph {
namespace {

TEST(FigurePanel, MenuTogglesAndTheOuterPanelHides) {
    ui::MainWindow win;
    figure::graph_Click(win);
    EXPECT_TRUE(win.state.FigurePanel.shown);
    EXPECT_TRUE(win.Picture8.visible);
    EXPECT_EQ(win.graph.caption, "取消圖形");
    figure::graph_Click(win);
    EXPECT_FALSE(win.Picture8.visible);
    EXPECT_EQ(win.graph.caption, "使用圖形");

    figure::graph_Click(win);
    figure::Picture3_Click(win);
    EXPECT_FALSE(win.state.FigurePanel.shown);
    EXPECT_FALSE(win.Picture8.visible);
    EXPECT_EQ(win.graph.caption, "使用圖形");
}

struct AlignCase {
    const char* what;
    std::string scale, left, top;  // texts before the click
    bool scaleArmed, offsetArmed;
    float x, y, nasionX;
    bool changed;
    std::string newScale, newLeft, newTop;
    bool scaleStillArmed, offsetStillArmed;
};

TEST(Alignment, ClickMovesThePictureOntoSOrScalesItToN) {
    const AlignCase cases[] = {
        {"offset", "1", "0", "0", false, true, 1000, 700, 60,  //
         true, "1", "-200", "-100", false, false},
        {"offset with a fraction", "1", "15", "-4", false, true, 1000.5f, 600, 60,  //
         true, "1", "-185.5", "-4", false, false},
        {"offset from a text that is no number", "1", "abc", "", false, true, 700, 500, 60,  //
         true, "1", "100", "100", false, false},
        {"both armed: offsets first", "1", "0", "0", true, true, 2600, 600, 60,  //
         true, "1", "-1800", "0", true, false},
        {"scale to N", "1", "0", "0", true, false, 2600, 600, 60,  //
         true, "1.000", "0", "0", false, false},
        {"scale to N beyond it", "1", "0", "0", true, false, 3200, 0, 60,  //
         true, "0.750", "0", "0", false, false},
        {"scale click too near S", "1", "0", "0", true, false, 900, 600, 60,  //
         false, "1", "0", "0", true, false},
        {"scale that would read 0 stays 1", "2", "0", "0", true, false, 1400, 600, 0,  //
         true, "1", "0", "0", false, false},
        {"nothing armed", "1", "0", "0", false, false, 1000, 700, 60,  //
         false, "1", "0", "0", false, false},
    };
    for (const AlignCase& c : cases) {
        ui::MainWindow win;
        // Typed and committed.
        win.Text1[0].text = c.scale, win.Text1[1].text = c.left, win.Text1[2].text = c.top;
        presenter::AcceptFigureBoxes(win);
        ui::FigurePanelState& f = win.state.FigurePanel;
        f.scaleArmed = c.scaleArmed, f.offsetArmed = c.offsetArmed;
        win.state.X[1] = c.nasionX;
        EXPECT_EQ(figure::AlignPicture(win, c.x, c.y), c.changed) << c.what;
        EXPECT_EQ(win.Text1[0].text, c.newScale) << c.what;
        EXPECT_EQ(win.Text1[1].text, c.newLeft) << c.what;
        EXPECT_EQ(win.Text1[2].text, c.newTop) << c.what;
        // The state holds what the boxes show.
        EXPECT_EQ(f.alignment.scale.text, c.newScale) << c.what;
        EXPECT_EQ(f.alignment.left.text, c.newLeft) << c.what;
        EXPECT_EQ(f.alignment.top.text, c.newTop) << c.what;
        EXPECT_EQ(f.scaleArmed, c.scaleStillArmed) << c.what;
        EXPECT_EQ(f.offsetArmed, c.offsetStillArmed) << c.what;
    }
}

}  // namespace
}  // namespace ceph
