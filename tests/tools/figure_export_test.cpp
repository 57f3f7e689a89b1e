// cephtool figure: the figure of a stored tracing as SVG, with each line control's ends
// exactly as the window holds them.
#include <gtest/gtest.h>

#include <charconv>
#include <regex>

#include "figure/figure.h"
#include "figure/movement.h"
#include "records/record_line.h"
#include "run_cephtool.h"
#include "support/temp_dir.h"
#include "tools/figure_command.h"
#include "tools/stored_tracing.h"

namespace ceph::tools {
namespace {

const char* const kLine =
    "10234,70.0,0.0,62.0,25.0,75.0,45.0,72.0,52.0,66.0,58.0,74.0,74.0,71.0,72.0,62.0,92.0,66.0,"
    "95.0,68.0,112.0,65.0,118.0,60.0,120.0,10.0,90.0,-5.0,35.0,-10.0,22.0,0.0,0.0,25.0,48.0,40.0,"
    "72.0,42.0,74.0,0,48Y 2M";

class FigureExport : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("OutExe.tmp", "Lin\r\n10234\r\n0650315\r\nF\r\n");
        dir.Write("ceph-1", std::string(kLine) + "\r\n");
        ASSERT_TRUE(LoadStoredTracing(win, {dir.str(), (dir.path() / "OutExe.tmp").string(), 1},
                                      std::cerr));
    }
    testing::TempDir dir;
    ui::MainWindow win;
};

TEST_F(FigureExport, SvgHoldsTheVisibleLineControlsExactly) {
    BuildFigure(win, {{FigureStep::Select, 4}, {FigureStep::Turn, 3}, {FigureStep::ShiftY, -7}});
    const std::string svg = FigureSvg(win);

    std::regex element(
        R"re(<line id="(Line[12])-(\d+)" x1="([^"]+)" y1="([^"]+)" x2="([^"]+)" y2="([^"]+)" stroke="[^"]+" stroke-width="(\d)"( stroke-dasharray="[^"]+")?)re");
    int count = 0;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), element);
         it != std::sregex_iterator(); ++it, ++count) {
        const std::smatch& m = *it;
        const int index = std::stoi(m[2]);
        const ui::Line& l = m[1] == "Line1" ? win.Line1[index] : win.Line2[index];
        float read[4];
        for (int k = 0; k < 4; ++k) {
            const std::string text = m[3 + k];
            std::from_chars(text.data(), text.data() + text.size(), read[k]);
        }
        EXPECT_TRUE(l.visible);
        EXPECT_EQ(read[0], l.x1) << m[0];
        EXPECT_EQ(read[1], l.y1);
        EXPECT_EQ(read[2], l.x2);
        EXPECT_EQ(read[3], l.y2);
        EXPECT_EQ(std::stoi(m[7]), l.borderWidth);
        EXPECT_EQ(m[8].matched, l.borderWidth == 1) << "thin lines are dotted";
    }
    // The mandible's six hard-tissue lines and the fifteen profile segments.
    EXPECT_EQ(count, 6 + 15);
    EXPECT_EQ(svg.find("id=\"Line1-0\""), std::string::npos) << "hidden lines are left out";
    EXPECT_NE(svg.find("viewBox=\"0 0 "), std::string::npos);
    // The painted pair figure (twelve pairs) lies under the controls.
    EXPECT_LT(svg.find("<g id=\"Picture8-drawing\">"), svg.find("id=\"Line2-0\""));
}

TEST_F(FigureExport, StepsApplyInOrderAsClicksWould) {
    ui::MainWindow clicked;
    ASSERT_TRUE(LoadStoredTracing(clicked, {dir.str(), (dir.path() / "OutExe.tmp").string(), 1},
                                  std::cerr));
    BuildFigure(clicked, {});
    clicked.List1.listIndex = 2;
    figure::List1_Click(clicked);
    figure::MoveStructure(clicked, 0, 21, 0);
    figure::MoveStructure(clicked, -7, 0, 0);

    BuildFigure(win, {{FigureStep::Select, 2}, {FigureStep::ShiftX, 21}, {FigureStep::Turn, -7}});
    EXPECT_EQ(FigureSvg(win), FigureSvg(clicked));
}

TEST_F(FigureExport, TheCommandAppliesRepeatedStepsInTheOrderGiven) {
    const std::string out = (dir.path() / "figure.svg").string();
    const testing::ToolRun run = testing::RunCephtool(
        dir,
        {"figure",    "--data",   dir.str(),   "--handoff", (dir.path() / "OutExe.tmp").string(),
         "--select",  "2",        "--shift-x", "21",        "--turn",
         "-7",        "--select", "4",         "--tracing", "1",
         "--shift-y", "-3",       "--turn",    "2",         "--out",
         out});
    ASSERT_EQ(run.status, 0) << run.err;
    BuildFigure(win, {{FigureStep::Select, 2},
                      {FigureStep::ShiftX, 21},
                      {FigureStep::Turn, -7},
                      {FigureStep::Select, 4},
                      {FigureStep::ShiftY, -3},
                      {FigureStep::Turn, 2}});
    EXPECT_EQ(testing::Slurp(out), FigureSvg(win));
}

}  // namespace
}  // namespace ceph::tools
