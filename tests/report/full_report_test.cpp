// The full report page: what the window's menu item prints, that the page keeps to the
// paper with and without the simulated values, and where the practice's name comes from.
#include <gtest/gtest.h>

#include <algorithm>
#include <variant>

#include "app/startup.h"
#include "model/figure.h"
#include "records/show.h"
#include "report/full_page.h"
#include "report/full_report.h"
#include "support/fake_services.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"
#include "support/worked_tracing.h"
#include "wiring/events.h"

namespace ceph::report {
namespace {

std::vector<std::string> TextsOf(const ui::DrawingList& page) {
    std::vector<std::string> texts;
    for (const ui::DrawOp& op : page.ops)
        if (auto* t = std::get_if<ui::DrawText>(&op)) texts.push_back(t->text);
    return texts;
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(FullReportTest, MenuItemPrintsOnePageThroughThePrinter) {
    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
    dir.Write("OutExe.tmp", "Chen\r\n00101\r\n0650315\r\nM\r\n");
    dir.Write("ceph-1", "00101," + testing::kWorkedFields + ",0,45Y 3M\r\n");
    // The clinic's name in Big5 before any section, as an IT person may write it.
    dir.Write(kReportSettingsFile,
              "ClinicName=\xA7\xD6\xBC\xD6\xA4\xFA\xC2\xE5\xB6\x45\xA9\xD2\r\n");
    app::FormLoad(program, dir.StartupFromHere());
    records::ShowTracing(program, 0);
    services.today = {2026, 3, 7};

    wiring::Dispatch(program, {wiring::EventType::Click, "printfullmn"});
    ASSERT_EQ(services.printJobs.size(), 1u);
    ASSERT_EQ(services.printJobs[0].size(), 1u);
    const std::vector<std::string> texts = TextsOf(services.printJobs[0][0]);
    for (const char* text :
         {"快樂牙醫診所", "00101", "Chen", "45Y 3M", "P.1", "列印日期 2026-03-07",
          "Steiner（常模：原著）", "SNA", "92.2°", "82.0±2.0", "↑↑"})
        EXPECT_TRUE(Has(texts, text)) << text;
    // The worked tracing's figure was never aligned: the page says so, and no picture
    // was looked for.
    EXPECT_TRUE(Has(texts, kNeverAligned));
    EXPECT_TRUE(services.loadedPictures.empty());
    EXPECT_TRUE(program.printer.pages.empty());
    EXPECT_EQ(services.pointer, ui::Pointer::Default);
    EXPECT_TRUE(services.messages.empty());

    // A practice's table that cannot be read is named before the built-in analyses print.
    dir.Write("analyses.tsv", "Ours\tX\tangle\tS, N\n");
    wiring::Dispatch(program, {wiring::EventType::Click, "printfullmn"});
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find("analyses.tsv"), std::string::npos);
    ASSERT_EQ(services.printJobs.size(), 2u) << "printed all the same";
    services.printJobs.pop_back();
    services.messages.clear();
    dir.Write("analyses.tsv", "");

    // The program's own rows chosen: printed once, not again as the chosen analysis.
    program.win.state.ChosenAnalysis = "標準分析";
    wiring::Dispatch(program, {wiring::EventType::Click, "printfullmn"});
    ASSERT_EQ(services.printJobs.size(), 2u);
    const std::vector<std::string> own = TextsOf(services.printJobs[1][0]);
    EXPECT_EQ(std::count(own.begin(), own.end(), "SNA"), 1);

    // A printer that refuses the page: the user is asked about a PDF as for the print
    // command, and the window goes on as it was.
    services.printResult = base::Fail(ui::PrintProblem{"Office", "out of paper"});
    wiring::Dispatch(program, {wiring::EventType::Click, "printfullmn"});
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find("Office"), std::string::npos);
    EXPECT_TRUE(program.win.state.ToScreen);
}

// Every mark of the page lies on the printable area of A4, the tables' widest texts
// included, whether or not a simulation adds its column and the ranges theirs.
TEST(FullReportTest, PageStaysInsideThePrintableArea) {
    model::Tracing tracing;
    for (int n = 1; n <= 19; ++n) {
        tracing.X[static_cast<std::size_t>(n)] = testing::kWorkedPoints[n - 1][0];
        tracing.Y[static_cast<std::size_t>(n)] = testing::kWorkedPoints[n - 1][1];
    }
    tracing.age = "12Y 3M";
    FullReportInputs in;
    // Names longer than the page is wide are cut short on it.
    in.clinicName = "快樂牙醫診所附設齒顎矯正中心暨兒童牙科與口腔顎面外科聯合門診台北總院";
    in.patient = {"Maximiliana Alexandrina Montgomery-Featherstonehaugh", "A0012345", "0990101",
                  "F"};
    in.tracing = model::ReportOf(tracing, in.patient, 9);
    in.printedOn = "2026-12-31";
    // A radiograph of 2000 x 2400 pixels at a tenth of its size, S near its middle.
    in.radiograph.picture = ui::PictureRef(7, 2000, 2400);
    in.radiograph.scale = 0.1f, in.radiograph.left = -700, in.radiograph.top = -1200;
    in.standard = StandardAnalysisOf(model::BuiltInAnalyses());
    in.chosen = model::FindAnalysis(model::BuiltInAnalyses(), "McNamara");
    ASSERT_NE(in.standard, nullptr);
    ASSERT_NE(in.chosen, nullptr);
    in.halfWidths = analysis::Uncertainty{};
    in.halfWidths->halfWidth.fill(12.3);
    for (const bool moved : {false, true}) {
        SCOPED_TRACE(moved ? "simulated" : "as traced");
        in.figure = model::FigureOf(tracing);
        in.figure.simulation.moved = moved;
        in.figure.simulation.X = in.tracing.X, in.figure.simulation.Y = in.tracing.Y;
        in.figure.simulation.X[7] += 4, in.figure.simulation.X[10] -= 3;  // L1 Edge, Pog
        if (moved) {  // every structure moved as far as the bars go: the longest lines
            in.figure.simulation.turn.fill(-13);
            in.figure.simulation.shiftX.fill(-20), in.figure.simulation.shiftY.fill(-20);
        }
        ui::DrawingList page;
        DrawFullReport(page, in);
        EXPECT_EQ(Has(TextsOf(page), "Mandibular bone -13° ←20.0 ↑20.0 mm"), moved);
        int pictures = 0;
        const auto inside = [](float x, float y) {
            return x >= 0 && y >= 0 && x <= kFullPageWidth && y <= kFullPageHeight;
        };
        for (const ui::DrawOp& op : page.ops) {
            if (const auto* t = std::get_if<ui::DrawText>(&op)) {
                EXPECT_TRUE(inside(t->x, t->y) &&
                            inside(t->x + TextWidth(t->size, t->text), t->y + t->size * 20))
                    << t->text << " at " << t->x << "," << t->y;
            } else if (const auto* l = std::get_if<ui::DrawLine>(&op)) {
                EXPECT_TRUE(inside(l->x1, l->y1) && inside(l->x2, l->y2));
            } else if (const auto* p = std::get_if<ui::DrawPicture>(&op)) {
                ++pictures;
                EXPECT_TRUE(inside(p->x, p->y) && inside(p->x + p->width, p->y + p->height));
                EXPECT_GT(p->sourceWidth, 0);
                EXPECT_LE(p->sourceX + p->sourceWidth, 2000);
                EXPECT_LE(p->sourceY + p->sourceHeight, 2400);
            }
        }
        EXPECT_EQ(pictures, 1);
        // The simulated values only where something moved, and only those that changed.
        const std::vector<std::string> texts = TextsOf(page);
        EXPECT_EQ(Has(texts, "模擬"), moved);
    }
}

// The radiograph lies under the landmarks as the figure panel shows it on this screen:
// at 120 dpi a picture pixel is 12 twips of the panel, not 15.
TEST(FullReportTest, RadiographLiesUnderTheLandmarksAsThePanelShowsIt) {
    testing::TempDir dir;
    testing::FakeServices services;
    services.screen.twipsPerPixelX = services.screen.twipsPerPixelY = 12;
    services.pictureSize = 2000;
    ui::App program{services};
    testing::WritePatientFolder(dir);
    testing::WriteStoredTracing(dir, "00101");
    dir.Write("pics/00101_1.bmp", "BM");
    app::FormLoad(program, dir.StartupFromHere());
    records::ShowTracing(program, 0);
    // Typed into the boxes and committed by leaving the last one.
    program.win.Text1[0].text = "0.5", program.win.Text1[1].text = "-300";
    program.win.Text1[2].text = "-400";
    wiring::Dispatch(program, {wiring::EventType::LostFocus, "Text1", 2});
    wiring::Dispatch(program, {wiring::EventType::Click, "printfullmn"});
    ASSERT_EQ(services.printJobs.size(), 1u);
    const ui::DrawingList& page = services.printJobs[0][0];
    const ui::DrawPicture* picture = nullptr;
    const ui::DrawText* s = nullptr;
    for (const ui::DrawOp& op : page.ops) {
        if (const auto* p = std::get_if<ui::DrawPicture>(&op)) picture = p;
        if (const auto* t = std::get_if<ui::DrawText>(&op); t && t->text == "S" && t->size == 6)
            s = t;
    }
    ASSERT_NE(picture, nullptr);
    ASSERT_NE(s, nullptr);
    // The pixel the panel shows under S, and where the page prints that pixel.
    const std::size_t slot = model::Slot(model::Landmark::S);
    const model::ReportedTracing& shown = program.win.state.ShownReport;
    const float pixelX = (model::kFigureOriginX + 30 * shown.X[slot] + 300) / (12 * 0.5f);
    const float pixelY = (model::kFigureOriginY + 30 * shown.Y[slot] + 400) / (12 * 0.5f);
    const float onPageX =
        picture->x + (pixelX - picture->sourceX) * picture->width / picture->sourceWidth;
    const float onPageY =
        picture->y + (pixelY - picture->sourceY) * picture->height / picture->sourceHeight;
    // The landmark's name is printed 40 twips right of it and 10 below.
    EXPECT_NEAR(onPageX, s->x - 40, 1);
    EXPECT_NEAR(onPageY, s->y - 10, 1);
}

TEST(FullReportTest, ClinicNameFromTheProgramsSettings) {
    testing::TempDir dir;
    const std::string data = dir.path().string() + "/";
    EXPECT_EQ(ReadClinicName(data), "") << "no file: no name, and no trouble";
    dir.Write(kReportSettingsFile, "[other]\r\nClinicName=Wrong\r\n");
    EXPECT_EQ(ReadClinicName(data), "");
    dir.Write(kReportSettingsFile, "[other]\r\nx=1\r\n[ReadCeph]\r\nclinicname = 陽光牙醫\r\n");
    EXPECT_EQ(ReadClinicName(data), "陽光牙醫");
    dir.Write(kReportSettingsFile,
              "ClinicName=\"Smile Dental\"\r\n[other]\r\nClinicName=Wrong\r\n");
    EXPECT_EQ(ReadClinicName(data), "Smile Dental");
}

}  // namespace
}  // namespace ceph::report
