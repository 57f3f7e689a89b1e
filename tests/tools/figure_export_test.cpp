// cephtool figure: the figure of a stored tracing as SVG, drawn from the figure model
// without a window, holds exactly what the window shows after the same clicks.
#include <gtest/gtest.h>

#include <charconv>
#include <optional>
#include <regex>
#include <variant>

#include "figure/figure.h"
#include "figure/movement.h"
#include "report/report.h"
#include "run_cephtool.h"
#include "support/temp_dir.h"
#include "support/window_tracing.h"
#include "tools/figure_command.h"
#include "tools/stored_tracing.h"

namespace ceph::tools {
namespace {

const char* const kLine =
    "10234,70.0,0.0,62.0,25.0,75.0,45.0,72.0,52.0,66.0,58.0,74.0,74.0,71.0,72.0,62.0,92.0,66.0,"
    "95.0,68.0,112.0,65.0,118.0,60.0,120.0,10.0,90.0,-5.0,35.0,-10.0,22.0,0.0,0.0,25.0,48.0,40.0,"
    "72.0,42.0,74.0,0,48Y 2M";

// The figure panel of a window in the command's SVG form, read from the controls: the
// panel's size and colour, the header, the painted drawing and every visible line
// control in the window's order.
std::string Num(float v) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}
std::string Hex(Colour c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", RedOf(c), GreenOf(c), BlueOf(c));
    return buf;
}
std::string LineElement(const std::string& id, float x1, float y1, float x2, float y2, Colour c,
                        int width, bool dotted) {
    return "  <line" + id + " x1=\"" + Num(x1) + "\" y1=\"" + Num(y1) + "\" x2=\"" + Num(x2) +
           "\" y2=\"" + Num(y2) + "\" stroke=\"" + Hex(c) + "\" stroke-width=\"" +
           std::to_string(width) + "\"" + (dotted ? " stroke-dasharray=\"1 2\"" : "") +
           " vector-effect=\"non-scaling-stroke\"/>\n";
}
// The window's hard-tissue lines are Line1, its profile Line2.
std::string SvgGroup(const ui::Line& l) {
    return l.name == "Line1" ? "hard-tissue" : "profile";
}
std::string WindowSvg(const ui::MainWindow& w) {
    const ui::PictureBox& panel = w.Picture8;
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           Num(panel.width / 1440) + "in\" height=\"" + Num(panel.height / 1440) +
           "in\" viewBox=\"0 0 " + Num(panel.width) + " " + Num(panel.height) + "\">\n";
    svg += "  <title>" + w.Label0.caption + " " + w.Label1.caption + " " + w.Label2.caption + " " +
           w.Label13.caption + "</title>\n";
    svg += "  <rect x=\"0\" y=\"0\" width=\"" + Num(panel.width) + "\" height=\"" +
           Num(panel.height) + "\" fill=\"" + Hex(panel.backColor) + "\"/>\n";
    svg += " <g id=\"landmark-pairs\">\n";
    for (const ui::DrawOp& op : panel.drawing.ops)
        if (const auto* l = std::get_if<ui::DrawLine>(&op))
            svg += LineElement("", l->x1, l->y1, l->x2, l->y2, l->colour, l->width, false);
    svg += " </g>\n";
    for (const ui::ControlRef& ref : w.Controls()) {
        if (ref.kind != ui::Kind::Line || !ref.control->visible) continue;
        const auto& l = static_cast<const ui::Line&>(*ref.control);
        svg +=
            LineElement(" id=\"" + SvgGroup(l) + "-" + std::to_string(l.index) + "\"", l.x1, l.y1,
                        l.x2, l.y2, l.borderColor, l.borderWidth, l.dotted && l.borderWidth <= 1);
    }
    return svg + "</svg>\n";
}

// The window's figure as showing the tracing builds it (the painted pair figure, the
// profile, the line controls), then the steps clicked in the list and on the bars.
void ClickFigure(ui::MainWindow& w, const std::vector<FigureStep>& steps) {
    w.Picture8.foreColor = kBlue;
    report::DrawFigurePairLines(w, w.state.X, w.state.Y, 30, 800, 600);
    figure::BuildFigure(w);
    for (const FigureStep& step : steps) {
        switch (step.kind) {
            case FigureStep::Select:
                w.List1.listIndex = step.amount;
                figure::List1_Click(w);
                break;
            case FigureStep::Turn:
                figure::MoveStructure(w, step.amount, 0, 0);
                break;
            case FigureStep::ShiftX:
                figure::MoveStructure(w, 0, step.amount, 0);
                break;
            case FigureStep::ShiftY:
                figure::MoveStructure(w, 0, 0, step.amount);
                break;
        }
    }
}

class FigureExport : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("OutExe.tmp", "Lin\r\n10234\r\n0650315\r\nF\r\n");
        dir.Write("ceph-1", std::string(kLine) + "\r\n");
        const base::Result<void> shown = LoadStoredTracing(win, Source());
        ASSERT_TRUE(shown) << shown.why().detail;
        const base::Result<StoredTracing> read = ReadStoredTracing(Source());
        ASSERT_TRUE(read) << read.why().detail;
        stored = *read;
    }
    TracingSource Source() const { return {dir.str(), (dir.path() / "OutExe.tmp").string(), 1}; }
    // The command's drawing, from the stored tracing alone.
    std::string CommandSvg(const std::vector<FigureStep>& steps) const {
        return FigureSvg(BuildFigure(stored->tracing, steps), FigureTitle(*stored));
    }
    testing::TempDir dir;
    ui::MainWindow win;
    std::optional<StoredTracing> stored;
};

TEST_F(FigureExport, SvgHoldsTheVisibleLineControlsExactly) {
    const std::vector<FigureStep> steps = {
        {FigureStep::Select, 4}, {FigureStep::Turn, 3}, {FigureStep::ShiftY, -7}};
    ClickFigure(win, steps);
    const std::string svg = CommandSvg(steps);

    std::regex element(
        R"re(<line id="(hard-tissue|profile)-(\d+)" x1="([^"]+)" y1="([^"]+)" x2="([^"]+)" y2="([^"]+)" stroke="[^"]+" stroke-width="(\d)"( stroke-dasharray="[^"]+")?)re");
    int count = 0;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), element);
         it != std::sregex_iterator(); ++it, ++count) {
        const std::smatch& m = *it;
        const int index = std::stoi(m[2]);
        const ui::Line& l = m[1] == "hard-tissue" ? win.Line1[index] : win.Line2[index];
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
    EXPECT_EQ(svg.find("id=\"hard-tissue-0\""), std::string::npos) << "hidden lines are left out";
    EXPECT_NE(svg.find("viewBox=\"0 0 "), std::string::npos);
    // The painted pair figure (twelve pairs) lies under the controls.
    EXPECT_LT(svg.find("<g id=\"landmark-pairs\">"), svg.find("id=\"profile-0\""));
}

TEST_F(FigureExport, StepsApplyInOrderAsClicksWould) {
    ui::MainWindow clicked;
    const base::Result<void> loaded = LoadStoredTracing(clicked, Source());
    ASSERT_TRUE(loaded) << loaded.why().detail;
    ClickFigure(clicked, {});
    clicked.List1.listIndex = 2;
    figure::List1_Click(clicked);
    figure::MoveStructure(clicked, 0, 21, 0);
    figure::MoveStructure(clicked, -7, 0, 0);

    EXPECT_EQ(
        CommandSvg({{FigureStep::Select, 2}, {FigureStep::ShiftX, 21}, {FigureStep::Turn, -7}}),
        WindowSvg(clicked));
}

TEST_F(FigureExport, WithoutAWindowTheFigureIsTheWindowsOwnAfterEveryKindOfStep) {
    // Every structure turned both ways and shifted, a step of nothing, the dotted
    // switch, and no structure at all: panel, header, pair figure and lines alike.
    std::vector<FigureStep> steps;
    for (int s = 0; s < 9; ++s) {
        ui::MainWindow shown;
        const base::Result<void> loaded = LoadStoredTracing(shown, Source());
        ASSERT_TRUE(loaded) << loaded.why().detail;
        steps.insert(steps.end(), {{FigureStep::Select, s},
                                   {FigureStep::Turn, 5},
                                   {FigureStep::ShiftX, -13},
                                   {FigureStep::Turn, -7},
                                   {FigureStep::ShiftY, 0},
                                   {FigureStep::ShiftY, 20}});
        ClickFigure(shown, steps);
        EXPECT_EQ(CommandSvg(steps), WindowSvg(shown)) << "up to structure " << s;
        shown.Check1.value = 1;
        figure::Check1_Click(shown);
        model::Figure dotted = BuildFigure(stored->tracing, steps);
        model::SetDotted(dotted, true);
        EXPECT_EQ(FigureSvg(dotted, FigureTitle(*stored)), WindowSvg(shown)) << "dotted " << s;
    }
    ClickFigure(win, {{FigureStep::Select, -1}, {FigureStep::Turn, 4}});
    EXPECT_EQ(CommandSvg({{FigureStep::Select, -1}, {FigureStep::Turn, 4}}), WindowSvg(win));
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
    ClickFigure(win, {{FigureStep::Select, 2},
                      {FigureStep::ShiftX, 21},
                      {FigureStep::Turn, -7},
                      {FigureStep::Select, 4},
                      {FigureStep::ShiftY, -3},
                      {FigureStep::Turn, 2}});
    EXPECT_EQ(testing::Slurp(out), WindowSvg(win));
}

}  // namespace
}  // namespace ceph::tools
