// Reading a shown tracing by a named analysis in the analysis window: the flags of its
// rows, the compared tracing's columns, the simulated values of a moved incisor, and a
// practice's faulty table told once while the built-in analyses stay offered.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis_window/analysis_panel.h"
#include "app/startup.h"
#include "support/fake_services.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"
#include "wiring/events.h"

namespace ceph::analysis_window {
namespace {

using wiring::EventType;

class AnalysisPanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::WritePatientFolder(dir, {"Lin", "00101", "0650315", "F"});
        testing::WriteStoredTracing(dir, "00101");
        // Tracing 2: A straight below N, so that S-N-A is a right angle.
        std::string second = testing::kWorkedFields;
        second.replace(second.find("72,52"), 5, "70,52");
        dir.Write("ceph-2", "00101," + second + ",0,50Y 1M\r\n");
    }
    void Start() {
        app::FormLoad(program, dir.StartupFromHere());
        Click("readn", 0);
    }
    void Click(std::string_view name, int index = -1) {
        wiring::Dispatch(program, {EventType::Click, name, index});
    }
    // Chooses the analysis of that name in the menu, as the clinician does.
    void Choose(const std::string& name) {
        for (const ui::MenuItem& item : program.win.analysisn)
            if (item.caption == name) return Click("analysisn", item.index);
        ADD_FAILURE() << name << " is not offered";
    }
    const ui::Table& Table() const { return program.analysis.AnaTable; }
    // The row of the table of the measurement `name`, its unit or colon after it.
    const std::vector<ui::TableCell>& Row(const std::string& name) const {
        for (const auto& row : Table().rows) {
            const std::string& item = row.at(0).text;
            if (item.rfind(name, 0) == 0 && (item.size() == name.size() ||
                                             item[name.size()] == ' ' || item[name.size()] == ':'))
                return row;
        }
        static const std::vector<ui::TableCell> none(9);
        ADD_FAILURE() << "no row " << name;
        return none;
    }

    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
};

TEST_F(AnalysisPanelTest, SteinerShowsItsRowsWithNormsAndFlags) {
    Start();
    EXPECT_TRUE(program.win.analysismn.enabled);
    Choose("Steiner");
    ASSERT_TRUE(program.analysis.anawin.visible);
    EXPECT_EQ(program.win.state.ChosenAnalysis, "Steiner");
    // The menu offers Steiner's norm sets, the one read by checked.
    ASSERT_FALSE(program.win.normsetn.empty());
    EXPECT_EQ(program.win.normsetn[0].caption, program.win.state.ChosenNormSet);
    EXPECT_TRUE(program.win.normsetn[0].checkable && program.win.normsetn[0].checked);
    EXPECT_EQ(Table().columns,
              (std::vector<std::string>{"項目", "數值", "常模 (平均 ± SD)", "差異", "標記"}));
    EXPECT_EQ(Table().rows.at(0).at(0).text, "SNA (°)");
    EXPECT_EQ(Table().rows.size(), 11u);
    EXPECT_NE(program.analysis.LabelCase.caption.find("P.1"), std::string::npos);
    EXPECT_NE(program.analysis.LabelCase.caption.find("48Y 2M"), std::string::npos);
    EXPECT_FALSE(program.analysis.LabelNotes.caption.empty());

    // SNA 92.2 against 82 ± 2: beyond two SD, red and bold.
    const auto& sna = Row("SNA");
    EXPECT_EQ(sna[1].text, "92.2");
    EXPECT_EQ(sna[2].text, "82.0 ± 2.0");
    EXPECT_EQ(sna[3].text, "+10.2");
    EXPECT_EQ(sna[4].text, "↑↑");
    EXPECT_EQ(sna[4].colour, kRed);
    EXPECT_TRUE(sna[4].bold);
    // ANB 4.6 against 2 ± 2: beyond one SD only, neither red nor bold.
    const auto& anb = Row("ANB");
    EXPECT_EQ(anb[4].text, "↑");
    EXPECT_NE(anb[4].colour, kRed);
    EXPECT_NE(anb[4].colour, kSystemWindowText);
    EXPECT_FALSE(anb[4].bold);
    // A row without a norm shows its value alone.
    const auto& pog = Row("Pog-NB");
    EXPECT_FALSE(pog[1].text.empty());
    EXPECT_EQ(pog[2].text + pog[3].text + pog[4].text, "");

    // Input takes the shown tracing off the screen: the menu and the window go.
    Click("inputn", 1);
    EXPECT_FALSE(program.win.analysismn.enabled);
    EXPECT_FALSE(program.analysis.anawin.visible);
}

TEST_F(AnalysisPanelTest, AComparisonAddsTheSecondValuesAndTheirDifferences) {
    Start();
    Choose("Steiner");
    Click("comp", 1);
    ASSERT_EQ(Table().columns.size(), 7u);
    EXPECT_EQ(Table().columns[5], "P.2");
    EXPECT_EQ(Table().columns[6], "差值");
    EXPECT_EQ(Row("SNA")[5].text, "90.0 ↑↑");
    EXPECT_EQ(Row("SNA")[6].text, "-2.2");
    EXPECT_EQ(Row("SNB")[6].text, "0.0");
    EXPECT_NE(program.analysis.LabelCase.caption.find("50Y 1M"), std::string::npos);

    // Every analysis gets them, the program's own 37 rows too.
    Choose(program.analysis.analyses.front().name);
    EXPECT_EQ(Table().rows.size(), 37u);
    EXPECT_EQ(Table().columns.size(), 7u);
    EXPECT_EQ(Row("SNA")[6].text, "-2.2");

    // Showing a tracing alone again drops them.
    Click("readn", 0);
    EXPECT_EQ(Table().columns.size(), 5u);
}

TEST_F(AnalysisPanelTest, AMovedIncisorIsSimulatedOnlyWhereValuesChange) {
    Start();
    Choose(program.analysis.analyses.front().name);
    // The upper incisor turned 5 degrees about its apex, as the figure's simulation
    // carries it.
    ui::State& s = program.win.state;
    model::Simulation& sim = s.ShownFigure.simulation;
    sim.X = s.ShownReport.X, sim.Y = s.ShownReport.Y;
    const double a = 5 * std::acos(-1.0) / 180, dx = sim.X[6] - sim.X[5], dy = sim.Y[6] - sim.Y[5];
    sim.X[6] = static_cast<float>(sim.X[5] + dx * std::cos(a) + dy * std::sin(a));
    sim.Y[6] = static_cast<float>(sim.Y[5] - dx * std::sin(a) + dy * std::cos(a));
    sim.moved = true;
    Click("List1");  // any event of the main window
    ASSERT_EQ(Table().columns.back(), "模擬");
    const auto moved = [&](const std::string& name) {
        const auto& row = Row(name);
        return std::abs(std::stod(row.back().text) - std::stod(row[1].text));
    };
    EXPECT_NEAR(moved("SN/U1"), 5.0, 0.05 + 1e-9);
    // Unchanged values stand in grey: an empty cell would read as a value not had.
    for (const char* name : {"SNA", "SN/MP"}) {
        EXPECT_EQ(Row(name).back().text, Row(name)[1].text) << name;
        EXPECT_NE(Row(name).back().colour, Row("SN/U1").back().colour) << name;
    }

    Choose("Steiner");
    EXPECT_NEAR(moved("U1-NA"), 5.0, 0.05 + 1e-9);
    // Only what the incisor's edge takes part in: the incisor's rows, the inter-incisal
    // angle and the occlusal plane through the incisal midpoint.
    std::vector<std::string> simulated;
    for (const auto& row : Table().rows)
        if (const std::string& v = row.back().text;
            v != row[1].text && v.rfind(row[1].text + " ", 0))
            simulated.push_back(row[0].text);
    EXPECT_EQ(simulated,
              (std::vector<std::string>{"U1-NA (°)", "U1-NA mm", "U1-L1 (°)", "OP-SN (°)"}));
}

TEST_F(AnalysisPanelTest, AFaultyPracticeTableIsToldOnceAndTheBuiltInStayOffered) {
    const std::string table = dir.Write("analyses.tsv", "").string();
    const auto write = [&](const std::string& analysisLine) {
        dir.Write("analyses.tsv", "# 本診所的分析\n" + analysisLine + "\n");
    };
    write("診所\tSNA\tbogus\tS, N, A\t°\t1\t診所\t\t\t83\t3\t本診所");
    Start();
    ASSERT_EQ(program.notices.size(), 1u);
    const std::string& told = program.notices.front();
    EXPECT_NE(told.find(table), std::string::npos) << told;
    EXPECT_NE(told.find("第 2 行"), std::string::npos) << told;
    Choose("Steiner");
    EXPECT_TRUE(program.analysis.anawin.visible);
    EXPECT_TRUE(services.messages.empty()) << "told a second time";

    // Mended: read again when the window is opened again, and the practice's analysis is
    // offered.
    write("診所\tSNA\tvertex\tS, N, A\t°\t1\t診所\t\t\t83\t3\t本診所");
    wiring::Dispatch(program, {EventType::Unload, "anawin"});
    Choose("Steiner");
    EXPECT_EQ(program.win.analysisn.back().caption, "診所");
    Choose("診所");
    EXPECT_EQ(Row("SNA")[2].text, "83.0 ± 3.0");

    // Broken again: told at once, in a message, and only once.
    write("診所\tSNA\tvertex\tS, N\t°\t1\t診所\t\t\t83\t3\t本診所");
    for (int open = 0; open < 2; ++open) {
        wiring::Dispatch(program, {EventType::Unload, "anawin"});
        Choose("Steiner");
    }
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find(table), std::string::npos);
    EXPECT_NE(program.win.analysisn.back().caption, "診所");
}

// The practice writes its set's name otherwise in the table: the clinician's choice stays,
// found as cephtool finds a set, and is not quietly swapped for the program's own norms.
TEST_F(AnalysisPanelTest, TheChosenNormSetIsFoundAgainWrittenOtherwise) {
    dir.Write("analyses.tsv", "Steiner\tSNA\t\t\t\t\tTaiwan adults\t\t\t81\t3\tTAO\n");
    Start();
    Choose("Steiner");
    ASSERT_EQ(program.win.normsetn.size(), 2u);
    Click("normsetn", 1);
    EXPECT_EQ(Row("SNA")[2].text, "81.0 ± 3.0");
    dir.Write("analyses.tsv", "Steiner\tSNA\t\t\t\t\tTAIWAN-ADULTS\t\t\t81\t3\tTAO\n");
    wiring::Dispatch(program, {EventType::Unload, "anawin"});
    Choose("Steiner");
    EXPECT_EQ(Row("SNA")[2].text, "81.0 ± 3.0");
    EXPECT_TRUE(program.win.normsetn[1].checked);
}

}  // namespace
}  // namespace ceph::analysis_window
