// The report on its two targets, recorded in the model's drawing lists: where every
// piece lands, in which size and colour, what is drawn on paper and on screen, the
// snapshot, and the print command with its failure path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <tuple>
#include <variant>

#include "app/startup.h"
#include "model/measurement.h"
#include "report/print.h"
#include "report/report.h"
#include "store/record_line.h"
#include "support/drawn_texts.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "support/worked_tracing.h"
#include "usecases/show.h"
#include "wiring/events.h"

namespace ceph::report {
namespace {

using testing::FindText;
using testing::Texts;

const std::string& kWorked = testing::kWorkedFields;
const char* const kSecond =
    "72,2,62,25,75,45,72,52,66,58,74,74,71,72,62,92,66,95,68,112,65,118,60,120,10,90,-5,35,-10,22,"
    "0,0,25,48,40,72,42,74";

class ReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("OutExe.tmp", "Chen\r\n00101\r\n0650315\r\nM\r\n");
        dir.Write("ceph-1", std::string("00101,") + kWorked + ",0,45Y 3M\r\n");
        dir.Write("ceph-3", std::string("00101,") + kSecond + ",0,46Y 1M\r\n");
        app::FormLoad(program, dir.StartupFromHere());
    }

    // Every text and line of a drawing list, where and how it is drawn, in order.
    static std::vector<std::string> Describe(const ui::DrawingList& list) {
        std::vector<std::string> out;
        for (const ui::DrawOp& op : list.ops) {
            std::ostringstream line;
            if (auto* t = std::get_if<ui::DrawText>(&op))
                line << t->text << '@' << t->x << ',' << t->y << ' ' << t->size << ' ' << t->colour;
            else if (auto* l = std::get_if<ui::DrawLine>(&op))
                line << l->x1 << ',' << l->y1 << '-' << l->x2 << ',' << l->y2 << ' ' << l->colour;
            out.push_back(line.str());
        }
        return out;
    }
    static std::vector<ui::DrawLine> Lines(const ui::DrawingList& list) {
        std::vector<ui::DrawLine> lines;
        for (const ui::DrawOp& op : list.ops)
            if (auto* l = std::get_if<ui::DrawLine>(&op)) lines.push_back(*l);
        return lines;
    }

    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
};

TEST_F(ReportTest, ShownTracingOnScreen) {
    usecases::ShowTracing(program, 0);
    const auto texts = Texts(program.win.Picture3.drawing);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front().text, " ");  // the 64-point blank always comes first
    EXPECT_EQ(texts.front().size, 64.0f);
    EXPECT_AT(FindText(texts, "00101"), 200, 100, 12);
    EXPECT_AT(FindText(texts, "Chen"), 2000, 100, 12);
    EXPECT_AT(FindText(texts, "M"), 3500, 130, 12);
    EXPECT_AT(FindText(texts, "0650315"), 4000, 130, 10);
    EXPECT_AT(FindText(texts, "45Y 3M"), 7000, 130, 10);
    EXPECT_AT(FindText(texts, "P.1"), 8500, 100, 12);
    // On screen: size 10, rows 350 apart; the value field is five characters wide.
    EXPECT_AT(FindText(texts, "SNA:"), 200, 700, 10);
    EXPECT_AT(FindText(texts, " 92.2"), 1400, 700, 10);
    EXPECT_AT(FindText(texts, "SNB:"), 200, 1050, 10);
    EXPECT_AT(FindText(texts, "OB:"), 3000, 700 + 11 * 350, 10);
    EXPECT_AT(FindText(texts, "AB"), 5800, 700, 10);
    EXPECT_AT(FindText(texts, "  4.2", 1), 5600, 1100, 10);  // AB's value under its caption
    EXPECT_AT(FindText(texts, "Ar-A:"), 5700, 1600, 10);
    EXPECT_AT(FindText(texts, "(93.1±4.5)"), 8300, 1600, 10);
    for (const ui::DrawText& t : texts)
        EXPECT_EQ(t.colour, kSystemWindowText);
    // The report view, and the snapshot of it.
    EXPECT_TRUE(program.win.Picture3.visible);
    EXPECT_EQ(program.win.readceph.top, 300);
    EXPECT_EQ(program.win.readceph.height, 6520);
    EXPECT_EQ(services.savedBitmaps, std::vector<std::string>{SnapshotPath(program.win.state)});
    EXPECT_EQ(services.pointer, ui::Pointer::Default);
    EXPECT_NE(std::find(services.pointerHistory.begin(), services.pointerHistory.end(),
                        ui::Pointer::Hourglass),
              services.pointerHistory.end());
    EXPECT_TRUE(program.win.print00mn.enabled);
    EXPECT_TRUE(program.win.comp[2].enabled);
    EXPECT_FALSE(program.win.comp[0].enabled);  // not with itself
    EXPECT_FALSE(program.win.comp[1].enabled);  // nothing stored
}

// Another workstation rewrote the record file after the menu was filled: the shown
// tracing stays, never another tracing's values under the vanished one's caption.
TEST_F(ReportTest, ATracingGoneFromItsFileLeavesTheShownOne) {
    usecases::ShowTracing(program, 0);
    const std::vector<std::string> shown = Describe(program.win.Picture3.drawing);
    dir.Write("ceph-3", "00999,someone else\r\n");
    usecases::ShowTracing(program, 2);
    usecases::comp_Click(program, 2);
    EXPECT_EQ(Describe(program.win.Picture3.drawing), shown);
    EXPECT_EQ(program.win.Label2.caption, "P.1");
    EXPECT_EQ(program.win.state.ShownTracing, 0);
}

TEST_F(ReportTest, PairFiguresOnBothPanels) {
    usecases::ShowTracing(program, 0);
    // Pair 11 joins N (70, 0) to S: on the report at 10 twips per mm from (6000, 4500),
    // on the figure panel at 30 from (800, 600) in blue.
    const auto report = Lines(program.win.Picture3.drawing);
    ASSERT_EQ(report.size(), 12u);
    EXPECT_EQ(report[11].x1, 6700);
    EXPECT_EQ(report[11].y1, 4500);
    EXPECT_EQ(report[11].x2, 6000);
    const auto figure = Lines(program.win.Picture8.drawing);
    ASSERT_EQ(figure.size(), 12u);
    EXPECT_EQ(figure[11].x1, 800 + 30 * 70);
    EXPECT_EQ(figure[11].y1, 600);
    EXPECT_EQ(figure[11].x2, 800);
    EXPECT_EQ(figure[11].colour, kBlue);
}

TEST_F(ReportTest, ComparisonOverlayIsRedBetweenTheRowsAndWritesNoSnapshot) {
    usecases::ShowTracing(program, 0);
    const std::size_t mainTexts = Texts(program.win.Picture3.drawing).size();
    const float shownNx = program.win.state.X[1];
    usecases::comp_Click(program, 2);
    const auto all = Texts(program.win.Picture3.drawing);
    const std::vector<ui::DrawText> overlay(all.begin() + static_cast<long>(mainTexts), all.end());
    ASSERT_FALSE(overlay.empty());
    for (const ui::DrawText& t : overlay)
        EXPECT_EQ(t.colour, kRed);
    EXPECT_AT(FindText(overlay, "46Y 1M"), 7000, 400, 10);
    EXPECT_AT(FindText(overlay, "P.3"), 8500, 370, 10 + 2);
    EXPECT_EQ(FindText(overlay, "SNA:"), nullptr);   // values only
    EXPECT_EQ(FindText(overlay, "00101"), nullptr);  // no patient header
    EXPECT_EQ(overlay[1 + 2].y, 880);                // first row value, 180 below the main pass
    EXPECT_EQ(services.savedBitmaps.size(), 1u);
    EXPECT_EQ(program.win.state.X[1], shownNx);  // the shown tracing stays in the store
    EXPECT_EQ(program.win.state.CompareTracing, 2);
    // The figure panel keeps the main figure and gets the red one on top.
    EXPECT_EQ(Lines(program.win.Picture8.drawing).size(), 24u);
    EXPECT_EQ(Lines(program.win.Picture8.drawing).back().colour, kRed);

    // A second comparison starts again from the shown report as it was drawn.
    const std::vector<std::string> first = Describe(program.win.Picture3.drawing);
    usecases::comp_Click(program, 2);
    EXPECT_EQ(Describe(program.win.Picture3.drawing), first);
}

// The compared tracing's S-N runs 1.6 degrees off the shown one's (N at (72, 2) against
// (70, 0)); laid on the shown S-N it is turned about S, its values as they were.
TEST_F(ReportTest, ComparedTracingLaidOnTheShownSNLineKeepsItsValues) {
    usecases::ShowTracing(program, 0);
    usecases::comp_Click(program, 2);
    const std::vector<std::string> asTraced = Describe(program.win.Picture3.drawing);
    const std::size_t figureLines = Lines(program.win.Picture8.drawing).size();

    // Chosen while comparing: drawn again at once, in place of the overlay as traced.
    wiring::Dispatch(program, {wiring::EventType::Click, "snmn"});
    EXPECT_TRUE(program.win.snmn.checked);
    const auto figure = Lines(program.win.Picture8.drawing);
    ASSERT_EQ(figure.size(), figureLines);
    const auto report = Lines(program.win.Picture3.drawing);
    ASSERT_EQ(report.size(), 24u);
    // Pair 11 runs from N to S: S stays where it is; N goes onto the shown S-N line, as
    // far from S as it was traced (hypot(72, 2) mm).
    const double sn = std::hypot(72.0, 2.0);
    for (const auto& [lines, scale, left, top] :
         {std::tuple{figure, 30.0, 800.0, 600.0}, std::tuple{report, 10.0, 6000.0, 4500.0}}) {
        const ui::DrawLine& compared = lines[23];
        EXPECT_EQ(compared.colour, kRed);
        EXPECT_NEAR(compared.x2, left, 1e-3);
        EXPECT_NEAR(compared.y2, top, 1e-3);
        EXPECT_NEAR(compared.x1, left + scale * sn, 1e-2);
        EXPECT_NEAR(compared.y1, top, 1e-3) << "along the shown S-N, which is level";
    }
    // Only lines moved: every text, the values among them, is drawn as before.
    auto textsOf = [](const std::vector<std::string>& all) {
        std::vector<std::string> texts;
        for (const std::string& d : all)
            if (d.find('@') != std::string::npos) texts.push_back(d);
        return texts;
    };
    EXPECT_EQ(textsOf(Describe(program.win.Picture3.drawing)), textsOf(asTraced));
    EXPECT_NE(Describe(program.win.Picture3.drawing), asTraced);

    // The printed page lays it the same way.
    wiring::Dispatch(program, {wiring::EventType::Click, "printmn", 0});
    ASSERT_EQ(services.printJobs.size(), 1u);
    const auto printed = Lines(services.printJobs[0][0]);
    ASSERT_EQ(printed.size(), 24u);
    EXPECT_NEAR(printed[11].x1, report[23].x1, 1e-3) << "the overlay is drawn first on paper";

    // The choice holds for the next comparison, and taking it back draws it as traced.
    usecases::comp_Click(program, 2);
    EXPECT_NEAR(Lines(program.win.Picture3.drawing)[23].y1, 4500, 1e-3);
    wiring::Dispatch(program, {wiring::EventType::Click, "snmn"});
    EXPECT_FALSE(program.win.state.SuperimposeOnSN);
    EXPECT_EQ(Describe(program.win.Picture3.drawing), asTraced);
    EXPECT_EQ(Lines(program.win.Picture8.drawing).size(), figureLines);
}

// Two workstations share the data folder and its snapshot file: whatever the other one
// left there, or took away, a second comparison shows this patient's report.
TEST_F(ReportTest, SecondComparisonKeepsThisPatientsReportWhateverTheSnapshotFileHolds) {
    usecases::ShowTracing(program, 0);
    const std::vector<std::string> shown = Describe(program.win.Picture3.drawing);
    usecases::comp_Click(program, 2);
    for (const char* other : {"another patient's report", ""}) {
        if (*other)
            dir.Write("filesave/tmp.bmp", other);
        else
            std::filesystem::remove(dir.path() / "filesave" / "tmp.bmp");
        usecases::comp_Click(program, 2);
        const std::vector<std::string> now = Describe(program.win.Picture3.drawing);
        ASSERT_GT(now.size(), shown.size());
        EXPECT_TRUE(std::equal(shown.begin(), shown.end(), now.begin())) << "the shown report";
        EXPECT_TRUE(program.win.Picture3.picture.empty());
        EXPECT_EQ(Texts(program.win.Picture3.drawing).back().colour, kRed) << "then the overlay";
    }
    EXPECT_TRUE(services.loadedPictures.empty());
    // The snapshot file is still written, once for the report shown.
    EXPECT_EQ(services.savedBitmaps, std::vector<std::string>{SnapshotPath(program.win.state)});
}

TEST_F(ReportTest, PaperReportAtLineTwo) {
    usecases::ShowTracing(program, 0);
    const std::size_t screenOps = program.win.Picture3.drawing.ops.size();
    wiring::Dispatch(program, {wiring::EventType::Click, "printmn", 2});
    ASSERT_EQ(services.printJobs.size(), 1u);
    ASSERT_EQ(services.printJobs[0].size(), 1u);  // one page
    const auto texts = Texts(services.printJobs[0][0]);
    EXPECT_AT(FindText(texts, "00101"), 200, 4300, 12);
    EXPECT_AT(FindText(texts, "45Y 3M"), 7000, 4330, 10);
    // A single tracing on paper: size 12, rows 260 apart, units 50 further right.
    EXPECT_AT(FindText(texts, "SNA:"), 200, 4900, 12);
    EXPECT_AT(FindText(texts, "SNB:"), 200, 5160, 12);
    EXPECT_AT(FindText(texts, "°"), 2150, 4900, 12);
    for (const ui::DrawText& t : texts)
        EXPECT_EQ(t.colour, kBlack);
    const auto lines = Lines(services.printJobs[0][0]);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[11].x2, 6000);  // S stays at (6000, 4500) whatever the height
    EXPECT_EQ(lines[11].y2, 4500);
    // Nothing of it reached the screen, and printing writes no snapshot.
    EXPECT_EQ(program.win.Picture3.drawing.ops.size(), screenOps);
    EXPECT_EQ(services.savedBitmaps.size(), 1u);
    EXPECT_TRUE(program.printer.pages.empty());
}

TEST_F(ReportTest, HalfWidthsOnTheScreenOnly) {
    usecases::ShowTracing(program, 0);
    const auto plain = Texts(program.win.Picture3.drawing);
    EXPECT_TRUE(program.win.Picture3.screenOnly.ops.empty());
    wiring::Dispatch(program, {wiring::EventType::Click, "rangemn"});
    EXPECT_TRUE(program.win.rangemn.checked);
    const auto shown = Texts(program.win.Picture3.screenOnly);
    ASSERT_EQ(shown.size(), 37u + 1u);  // every row, and what the figures mean
    for (std::size_t i = 0; i < 37; ++i)
        EXPECT_EQ(shown[i].text.rfind("±", 0), 0u) << shown[i].text;
    EXPECT_EQ(shown[0].x, 200 + 2340);  // SNA: beside its unit
    EXPECT_LT(shown[0].size, 10.0f);

    // Showing again, comparing and printing: the report itself is as it was without them.
    usecases::ShowTracing(program, 0);
    EXPECT_EQ(Texts(program.win.Picture3.screenOnly).size(), shown.size());
    EXPECT_EQ(Texts(program.win.Picture3.drawing).size(), plain.size());
    usecases::comp_Click(program, 2);
    // The compared values take the room between the rows: no ranges while comparing.
    EXPECT_TRUE(program.win.Picture3.screenOnly.ops.empty());
    wiring::Dispatch(program, {wiring::EventType::Click, "rangemn"});
    wiring::Dispatch(program, {wiring::EventType::Click, "rangemn"});
    EXPECT_TRUE(program.win.rangemn.checked);
    EXPECT_TRUE(program.win.Picture3.screenOnly.ops.empty());
    wiring::Dispatch(program, {wiring::EventType::Click, "printmn", 0});
    ASSERT_EQ(services.printJobs.size(), 1u);
    for (const ui::DrawText& t : Texts(services.printJobs[0][0]))
        EXPECT_NE(t.text.rfind("±", 0), 0u) << t.text;
    usecases::ShowTracing(program, 0);
    EXPECT_EQ(Texts(program.win.Picture3.screenOnly)[2].text, shown[2].text);

    // A practice's own table that is faulty is named, and the built-in one is used.
    dir.Write("landmark-error.tsv", "1 N 0.4 0.6 0\n");
    wiring::Dispatch(program, {wiring::EventType::Click, "rangemn"});
    EXPECT_TRUE(program.win.Picture3.screenOnly.ops.empty());
    wiring::Dispatch(program, {wiring::EventType::Click, "rangemn"});
    ASSERT_FALSE(services.messages.empty());
    EXPECT_NE(services.messages.back().text.find("landmark-error.tsv"), std::string::npos);
    EXPECT_EQ(Texts(program.win.Picture3.screenOnly)[2].text, shown[2].text);
    // One that is there but is no file is not taken for a missing one.
    std::filesystem::remove(dir.path() / "landmark-error.tsv");
    std::filesystem::create_directory(dir.path() / "landmark-error.tsv");
    const std::size_t told = services.messages.size();
    wiring::Dispatch(program, {wiring::EventType::Click, "rangemn"});
    wiring::Dispatch(program, {wiring::EventType::Click, "rangemn"});
    ASSERT_EQ(services.messages.size(), told + 1);
    EXPECT_NE(services.messages.back().text.find("改用程式內建的表"), std::string::npos);
}

TEST_F(ReportTest, PrintingWhileComparingPutsBothOnOnePage) {
    usecases::ShowTracing(program, 0);
    usecases::comp_Click(program, 2);
    wiring::Dispatch(program, {wiring::EventType::Click, "printmn", 0});
    ASSERT_EQ(services.printJobs.size(), 1u);
    ASSERT_EQ(services.printJobs[0].size(), 1u);
    const auto texts = Texts(services.printJobs[0][0]);
    EXPECT_AT(FindText(texts, "46Y 1M"), 7000, 400, 10);  // the overlay's header line first
    EXPECT_AT(FindText(texts, "SNA:"), 200, 700, 10);
    EXPECT_EQ(FindText(texts, "46Y 1M", 1), nullptr);
    // Afterwards the grid holds the shown tracing's values again.
    EXPECT_EQ(program.win.Text3[0].text, "92.2");
    EXPECT_EQ(program.win.Label13.caption, "45Y 3M");
}

// The page is drawn from the tracings as shown and compared: it is the page the record
// files gave, and stays so when another workstation has since made them unreadable or
// stored another tracing in their place.
TEST_F(ReportTest, PrintingWhileComparingPrintsWhatTheScreenShows) {
    usecases::ShowTracing(program, 0);
    usecases::comp_Click(program, 2);
    const ui::State shown = program.win.state;
    // The page as reading both tracings again from their files draws it.
    program.win.state.ToScreen = false;
    for (const auto& [index, overlay] : {std::pair{2, true}, std::pair{0, false}}) {
        const auto found =
            store::FindTracing(program.win.state.DataDir, program.win.state.Patient.code, index);
        ASSERT_TRUE(found.ok() && found->has_value());
        DrawReport(program, usecases::ApplyTracing(program.win, index, (**found).tracing), overlay,
                   2100);
    }
    const std::vector<std::string> fromFiles = Describe(program.printer.CurrentPage());
    program.printer.pages.clear();
    usecases::comp_Click(program, 2);

    std::filesystem::remove(dir.path() / "ceph-1");
    std::filesystem::create_directory(dir.path() / "ceph-1");  // unreadable
    dir.Write("ceph-3", std::string("00101,") + kWorked + ",0,1Y 1M\r\n");
    wiring::Dispatch(program, {wiring::EventType::Click, "printmn", 1});
    ASSERT_EQ(services.printJobs.size(), 1u);
    EXPECT_EQ(Describe(services.printJobs[0][0]), fromFiles);
    EXPECT_TRUE(services.messages.empty());
    // The store, the grid and the labels hold the shown tracing, as before printing.
    EXPECT_EQ(program.win.state.X, shown.X);
    EXPECT_EQ(program.win.state.Y, shown.Y);
    EXPECT_EQ(program.win.Text3[0].text, "92.2");
    EXPECT_EQ(program.win.Label13.caption, "45Y 3M");
    EXPECT_EQ(program.win.Label2.caption, "P.1");
}

TEST_F(ReportTest, FailedPrintOffersAPdfAndStaysInTheViewingState) {
    usecases::ShowTracing(program, 0);
    services.printResult = base::Fail(ui::PrintProblem{"", ""});
    services.answers = {ui::MessageAnswer::No};
    wiring::Dispatch(program, {wiring::EventType::Click, "printmn", 0});
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find("沒有安裝印表機"), std::string::npos);
    EXPECT_NE(services.messages[0].text.find("PDF"), std::string::npos);
    EXPECT_EQ(services.messages[0].style.buttons, ui::MessageButtons::YesNo);
    EXPECT_TRUE(services.pdfFiles.empty());
    EXPECT_TRUE(program.win.print00mn.enabled);

    services.printResult = base::Fail(ui::PrintProblem{"Office", "offline"});
    services.answers = {ui::MessageAnswer::Yes};
    services.saveFileAnswer = (dir.path() / "report.pdf").string();
    wiring::Dispatch(program, {wiring::EventType::Click, "printmn", 1});
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_NE(services.messages[1].text.find("「Office」"), std::string::npos);
    EXPECT_EQ(services.pdfFiles, std::vector<std::string>{services.saveFileAnswer});
}

TEST_F(ReportTest, PairLineFigureFromTheOrigin) {
    model::PointTable X{}, Y{};
    X[1] = 20, Y[1] = -60;  // N; every other landmark on S at the origin
    const auto fromN = [](const std::vector<ui::DrawLine>& lines, float x, float y, float sx,
                          float sy) {
        return std::count_if(lines.begin(), lines.end(), [&](const ui::DrawLine& l) {
            return l.x1 == x && l.y1 == y && l.x2 == sx && l.y2 == sy;
        });
    };
    PanelTarget panel(program.win.Picture3);
    page::DrawPairLines(panel, X, Y, 10, 6000, 4500);
    EXPECT_GE(fromN(Lines(program.win.Picture3.drawing), 6200, 3900, 6000, 4500), 1);
    DrawFigurePairLines(program.win, X, Y, 30, 800, 600);
    const auto figure = Lines(program.win.Picture8.drawing);
    ASSERT_EQ(figure.size(), 12u);
    EXPECT_GE(fromN(figure, 1400, -1200, 800, 600), 1);
    // While comparing, the figure panel keeps what it shows.
    program.win.state.Comparing = true;
    DrawFigurePairLines(program.win, X, Y, 30, 800, 600);
    EXPECT_EQ(Lines(program.win.Picture8.drawing).size(), 24u);
    program.win.state.Comparing = false;
    DrawFigurePairLines(program.win, X, Y, 30, 800, 600);
    EXPECT_EQ(Lines(program.win.Picture8.drawing).size(), 12u);
}

}  // namespace
}  // namespace ceph::report
