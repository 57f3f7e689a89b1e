// The follow-up window: offered once a patient has two tracings; the chosen tracings'
// figures laid over the reference's by the registration chosen, each in its colour,
// with a legend; the reference and the registration as the clinician picks them.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "app/startup.h"
#include "model/figure.h"
#include "page/series_page.h"
#include "presenter/follow_up_view.h"
#include "store/record_line.h"
#include "support/fake_services.h"
#include "support/moved_tracing.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"
#include "support/worked_tracing.h"
#include "wiring/events.h"

namespace ceph {
namespace {

using wiring::EventType;
// The worked tracing turned and moved as another film gives it, as its line stores it.
std::string Line(double degrees, double dx, double dy, const std::string& age) {
    const model::Tracing worked =
        *store::ReadTracingLine("x," + testing::kWorkedFields + ",0,1Y 0M");
    return testing::OnAnotherFilm(worked, degrees, dx, dy, age) + "\r\n";
}

class FollowUpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::WritePatientFolder(dir, {.code = "10234"});
        dir.Write("ceph-1", Line(0, 0, 0, "10Y 0M"));
        dir.Write("ceph-2", Line(8, 3, -2, "11Y 6M"));
        dir.Write("ceph-4", Line(-5, 1, 4, "13Y 2M"));
        app::FormLoad(program, dir.StartupFromHere());
    }
    void Click(std::string_view name, int index = -1) {
        wiring::Dispatch(program, {EventType::Click, name, index});
    }
    // The overlay's lines by colour.
    std::map<Colour, std::vector<ui::DrawLine>> LinesByColour() const {
        std::map<Colour, std::vector<ui::DrawLine>> lines;
        for (const ui::DrawOp& op : f.Overlay.drawing.ops)
            if (const auto* l = std::get_if<ui::DrawLine>(&op); l && l->width == 2)
                lines[l->colour].push_back(*l);
        return lines;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const ui::DrawOp& op : f.Overlay.drawing.ops)
            if (const auto* t = std::get_if<ui::DrawText>(&op)) texts.push_back(t->text);
        return texts;
    }

    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
    ui::FollowUpWindow& f = program.followUp;
};

TEST_F(FollowUpTest, TheTracingsLaidOverTheReferenceWithALegend) {
    ASSERT_TRUE(program.win.followmn.enabled);
    Click("followmn");
    ASSERT_TRUE(f.followwin.visible);
    EXPECT_TRUE(f.CheckTrace[0].visible && f.CheckTrace[1].visible && f.CheckTrace[3].visible);
    EXPECT_FALSE(f.CheckTrace[2].visible);
    EXPECT_EQ(f.CheckTrace[1].caption, "第 2 張  11Y 6M");
    EXPECT_EQ(f.RegList.items.size(), 4u);
    EXPECT_EQ(f.RefList.items, (std::vector<std::string>{"第 1 張", "第 2 張", "第 4 張"}));
    EXPECT_EQ(f.RefList.listIndex, 0);

    // Three colours, one figure each; the same tracing on other films lies on the
    // reference's once registered (to the stored rounding at the panel's scale).
    const auto lines = LinesByColour();
    ASSERT_EQ(lines.size(), 3u);
    const auto& first = lines.at(page::SeriesColour(1));
    for (int other : {1, 3}) {
        const auto& laid = lines.at(page::SeriesColour(other + 1));
        ASSERT_EQ(laid.size(), first.size());
        for (std::size_t k = 0; k < first.size(); ++k) {
            EXPECT_NEAR(laid[k].x1, first[k].x1, 25) << other << " line " << k;
            EXPECT_NEAR(laid[k].y2, first[k].y2, 25) << other << " line " << k;
        }
    }
    const auto texts = Texts();
    for (const char* legend : {"第 1 張  10Y 0M", "第 2 張  11Y 6M", "第 4 張  13Y 2M"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), legend), texts.end()) << legend;
}

TEST_F(FollowUpTest, TheClinicianChoosesTracingsRegistrationAndReference) {
    Click("followmn");
    f.CheckTrace[0].value = 0;
    Click("followwin.CheckTrace", 0);
    EXPECT_EQ(f.RefList.items, (std::vector<std::string>{"第 2 張", "第 4 張"}));
    EXPECT_EQ(f.state.Reference(), 1) << "the lowest chosen";
    EXPECT_EQ(LinesByColour().size(), 2u);

    f.RegList.listIndex = 3;
    Click("followwin.RegList");
    f.RefList.listIndex = 1;
    Click("followwin.RefList");
    EXPECT_EQ(f.state.Reference(), 3);
    EXPECT_EQ(Texts().front(), "下顎 Go–Me（Me 對齊），參考：第 4 張");

    for (int i : {1, 3}) {
        f.CheckTrace[static_cast<std::size_t>(i)].value = 0;
        Click("followwin.CheckTrace", i);
    }
    EXPECT_TRUE(LinesByColour().empty());
    EXPECT_EQ(Texts(), (std::vector<std::string>{"請勾選要比較的描圖"}));
    wiring::Dispatch(program, {EventType::Unload, "followwin"});
    EXPECT_FALSE(f.followwin.visible);
}

// The values of each chosen tracing, and how they changed from the reference to the
// last, in all and per year; an age that cannot be read is named.
TEST_F(FollowUpTest, ValuesOverTime) {
    model::Tracing grown = *store::ReadTracingLine("x," + testing::kWorkedFields + ",0,1Y 0M");
    for (int n : {7, 8, 9, 10, 11, 12})
        grown.X[static_cast<std::size_t>(n)] += 3;
    grown.age = "13Y 0M";
    dir.Write("ceph-4", store::FormatRecordLine("10234", grown) + "\r\n");
    dir.Write("ceph-2", Line(8, 3, -2, "十一歲半"));
    Click("followmn");
    const ui::Table& t = f.ValueTable;
    ASSERT_EQ(t.columns.size(), 1u + 3 + 2);
    EXPECT_EQ(t.columns[1], "第 1 張\n10Y 0M");
    EXPECT_EQ(t.columns[4], "變化\n1→4");
    ASSERT_GE(t.rows.size(), 37u);
    EXPECT_EQ(t.rows[0][0].text, "SNA:");
    const auto snb = [&](std::size_t column) { return std::stod(t.rows[1][column].text); };
    // The chin came forward: SNB grew, over three years.
    EXPECT_GT(snb(3), snb(1));
    EXPECT_NEAR(std::stod(t.rows[1][4].text), snb(3) - snb(1), 0.11);
    EXPECT_NEAR(std::stod(t.rows[1][5].text), (snb(3) - snb(1)) / 3, 0.011);
    EXPECT_EQ(t.rows[1][4].text.front(), '+');
    EXPECT_NE(f.LabelAges.caption.find("第 2 張「十一歲半」"), std::string::npos)
        << f.LabelAges.caption;
    // One tracing alone changes nothing.
    for (int i : {1, 3}) {
        f.CheckTrace[static_cast<std::size_t>(i)].value = 0;
        Click("followwin.CheckTrace", i);
    }
    EXPECT_EQ(t.columns.size(), 2u);
    EXPECT_TRUE(f.LabelAges.caption.empty());
}

// Under the 37 rows, the analysis the case is read by (at first the analysis window's),
// flagged as there by the norms of each tracing's age; another chosen in the window, and
// kept when it opens again; the standard one alone gives the 37.
TEST_F(FollowUpTest, TheChosenAnalysisFlaggedUnderThe37) {
    program.win.state.ChosenAnalysis = "downs";
    Click("followmn");
    const ui::Table& t = f.ValueTable;
    ASSERT_GT(t.rows.size(), 38u);
    EXPECT_EQ(t.rows[37][0].text, "Downs");
    EXPECT_TRUE(t.rows[37][0].bold);
    EXPECT_EQ(f.AnaList.items[static_cast<std::size_t>(f.AnaList.listIndex)], "Downs");

    const auto steiner = std::find(f.AnaList.items.begin(), f.AnaList.items.end(), "Steiner");
    ASSERT_NE(steiner, f.AnaList.items.end());
    f.AnaList.listIndex = static_cast<int>(steiner - f.AnaList.items.begin());
    Click("followwin.AnaList");
    ASSERT_EQ(t.rows[37][0].text, "Steiner");
    ASSERT_EQ(t.rows[38][0].text, "SNA (°)");
    // The worked tracing's SNA of 92.1 lies beyond two SDs of Steiner's 82 ± 2: flagged
    // in every column, in the 37 rows too, as the analysis window flags it; the change
    // columns are plain.
    for (std::size_t column = 1; column <= 3; ++column) {
        EXPECT_EQ(t.rows[38][column].text, t.rows[0][column].text + " ↑↑") << column;
        EXPECT_EQ(t.rows[38][column].colour, kRed);
        EXPECT_TRUE(t.rows[38][column].bold);
    }
    // The 37 rows that have norms are flagged by their age band: Ar-Gn's 108.6 is long
    // at 10 and 11, not at 13.
    EXPECT_EQ(t.rows[32][1].text, "66.4 ↑↑");
    EXPECT_EQ(t.rows[31][1].text, "108.6 ↑");
    EXPECT_EQ(t.rows[31][3].text, "108.5");
    EXPECT_EQ(t.rows[38][4].text, t.rows[0][4].text) << "SNA changed as in the 37 rows";
    EXPECT_EQ(t.rows[38][4].colour, t.rows[0][4].colour);

    wiring::Dispatch(program, {EventType::Unload, "followwin"});
    Click("followmn");
    EXPECT_EQ(t.rows[37][0].text, "Steiner") << "the window's choice kept";
    f.AnaList.listIndex = 0;  // the program's own 37 rows
    Click("followwin.AnaList");
    EXPECT_EQ(t.rows.size(), 37u);
}

// The growth curve: a point for each chosen tracing whose age reads, joined in age order,
// over the norm band of each age band it reaches where the row has norms.
TEST_F(FollowUpTest, GrowthCurveOverTheNormBands) {
    dir.Write("ceph-2", Line(8, 3, -2, "十一歲半"));
    Click("followmn");
    const auto count = [&](auto pick) {
        int n = 0;
        for (const ui::DrawOp& op : f.Curve.drawing.ops)
            n += pick(op) ? 1 : 0;
        return n;
    };
    const auto circles = [](const ui::DrawOp& op) {
        return std::holds_alternative<ui::DrawCircle>(op);
    };
    const auto band = [](const ui::DrawOp& op) {
        const auto* l = std::get_if<ui::DrawLine>(&op);
        return l && l->colour == Bgr(170, 170, 170);
    };
    EXPECT_EQ(f.CurveList.listIndex, 2) << "ANB first";
    EXPECT_EQ(count(circles), 2) << "the tracing whose age does not read has no place";
    EXPECT_EQ(count(band), 0) << "ANB has no norms by age";
    f.CurveList.listIndex = 36;  // Max./Mand.: norms for every band
    Click("followwin.CurveList");
    EXPECT_EQ(count(circles), 2);
    // Ages 10 to 13 shown from 9 to 15: bands 2, 3 and 4, three lines each.
    EXPECT_EQ(count(band), 9);
    EXPECT_EQ(std::get<ui::DrawText>(f.Curve.drawing.ops.front()).text, "Max./Mand. (%)");

    // The chosen analysis's rows follow, over its own norms: Steiner's ANB, 2 ± 2 at
    // every age, one band; gone back to ANB when another analysis is chosen.
    const auto steinerAnb =
        std::find(f.CurveList.items.begin(), f.CurveList.items.end(), "Steiner  ANB");
    ASSERT_NE(steinerAnb, f.CurveList.items.end());
    f.CurveList.listIndex = static_cast<int>(steinerAnb - f.CurveList.items.begin());
    Click("followwin.CurveList");
    EXPECT_EQ(std::get<ui::DrawText>(f.Curve.drawing.ops.front()).text, "Steiner  ANB (°)");
    EXPECT_EQ(count(circles), 2);
    EXPECT_EQ(count(band), 3);
    f.AnaList.listIndex = 0;
    Click("followwin.AnaList");
    EXPECT_EQ(f.CurveList.listIndex, 2);
    EXPECT_EQ(f.CurveList.items.size(), 37u);
}

// The follow-up page of the tracings chosen goes to the printer; from the 列印 menu, with
// the window closed, of every stored tracing; a failed print offers the page as a PDF.
TEST_F(FollowUpTest, TheFollowUpPagePrints) {
    const auto texts = [](const ui::DrawingList& page) {
        std::vector<std::string> all;
        for (const ui::DrawOp& op : page.ops)
            if (const auto* t = std::get_if<ui::DrawText>(&op)) all.push_back(t->text);
        return all;
    };
    ASSERT_TRUE(program.win.printfollowmn.enabled);
    Click("printfollowmn");
    ASSERT_EQ(services.printJobs.size(), 1u);
    auto printed = texts(services.printJobs[0][0]);
    for (const char* s : {"追蹤報告", "第 1 張", "第 2 張", "第 4 張", "變化 1→4"})
        EXPECT_NE(std::find(printed.begin(), printed.end(), s), printed.end()) << s;
    EXPECT_FALSE(f.followwin.visible) << "printing needs no window";

    Click("followmn");
    f.CheckTrace[1].value = 0;
    Click("followwin.CheckTrace", 1);
    services.printResult = base::Fail(ui::PrintProblem{"", ""});
    services.answers.push_back(ui::MessageAnswer::Yes);
    Click("followwin.CommandPrint");
    ASSERT_EQ(services.printJobs.size(), 2u);
    printed = texts(services.printJobs[1][0]);
    EXPECT_EQ(std::find(printed.begin(), printed.end(), "第 2 張"), printed.end()) << "not chosen";
    ASSERT_FALSE(services.messages.empty());
    EXPECT_NE(services.messages.back().text.find("PDF"), std::string::npos);
    // Offered under its own name: never over tracing 1's report.
    ASSERT_EQ(services.suggestedSaveFiles.size(), 1u);
    EXPECT_TRUE(services.suggestedSaveFiles[0].ends_with("10234_followup.pdf"))
        << services.suggestedSaveFiles[0];
}

TEST(FollowUp, OfferedOnceThePatientHasTwoTracings) {
    testing::TempDir dir;
    testing::WritePatientFolder(dir, {.code = "10234"});
    dir.Write("ceph-1", "10234," + testing::kWorkedFields + ",0,10Y 0M\r\n");
    testing::FakeServices services;
    ui::App program{services};
    app::FormLoad(program, dir.StartupFromHere());
    EXPECT_FALSE(program.win.followmn.enabled);
    dir.Write("ceph-3", "10234," + testing::kWorkedFields + ",0,12Y 0M\r\n");
    app::FormLoad(program, dir.StartupFromHere());
    EXPECT_TRUE(program.win.followmn.enabled);
}

}  // namespace
}  // namespace ceph
