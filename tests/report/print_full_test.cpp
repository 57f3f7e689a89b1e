// The full report page from the window: what the menu item prints, through the printer
// and its failures, and the radiograph under the landmarks as the panel shows it.
#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>
#include <variant>

#include "app/startup.h"
#include "model/figure.h"
#include "page/full_report.h"
#include "support/fake_services.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"
#include "support/worked_tracing.h"
#include "usecases/show.h"
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
    dir.Write(page::kReportSettingsFile,
              "ClinicName=\xA7\xD6\xBC\xD6\xA4\xFA\xC2\xE5\xB6\x45\xA9\xD2\r\n");
    app::FormLoad(program, dir.StartupFromHere());
    usecases::ShowTracing(program, 0);
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
    EXPECT_TRUE(Has(texts, page::kNeverAligned));
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
    usecases::ShowTracing(program, 0);
    // Typed into the boxes and committed by leaving the last one.
    program.win.Text1[0].text = "0.5", program.win.Text1[1].text = "-300";
    program.win.Text1[2].text = "-400";
    wiring::Dispatch(program, {wiring::EventType::LostFocus, "Text1", 2});
    wiring::Dispatch(program, {wiring::EventType::Click, "printfullmn"});
    ASSERT_EQ(services.printJobs.size(), 1u);
    const ui::DrawingList& page = services.printJobs[0][0];
    const ui::DrawPicture* picture = nullptr;
    std::vector<const ui::DrawLine*> crossBars;  // a landmark's cross, across
    for (const ui::DrawOp& op : page.ops) {
        if (const auto* p = std::get_if<ui::DrawPicture>(&op)) picture = p;
        if (const auto* l = std::get_if<ui::DrawLine>(&op);
            l && l->width == 2 && l->y1 == l->y2 && std::abs(l->x2 - l->x1 - 100) < 0.1f)
            crossBars.push_back(l);
    }
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(crossBars.size(), 19u);
    // The pixel the panel shows under S, and where the page prints that pixel.
    const std::size_t slot = model::Slot(model::Landmark::S);
    const model::ReportedTracing& shown = program.win.state.ShownReport;
    const float pixelX = (model::kFigureOriginX + 30 * shown.X[slot] + 300) / (12 * 0.5f);
    const float pixelY = (model::kFigureOriginY + 30 * shown.Y[slot] + 400) / (12 * 0.5f);
    const float onPageX =
        picture->x + (pixelX - picture->sourceX) * picture->width / picture->sourceWidth;
    const float onPageY =
        picture->y + (pixelY - picture->sourceY) * picture->height / picture->sourceHeight;
    // S's cross stands on that pixel: the one nearest it, within a twip.
    float nearest = 1e9f;
    for (const ui::DrawLine* l : crossBars)
        nearest = std::min(nearest, std::hypot(l->x1 + 50 - onPageX, l->y1 - onPageY));
    EXPECT_LT(nearest, 1.0f);
}

}  // namespace
}  // namespace ceph::report
