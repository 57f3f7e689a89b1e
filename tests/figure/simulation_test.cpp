// The simulated treatment in numbers: the landmarks each structure carries when it is
// turned or shifted, and the totals shown beside the structure list.
#include <gtest/gtest.h>

#include <cmath>

#include "figure/figure.h"
#include "figure/movement.h"
#include "model/analyses.h"
#include "model/figure_movement.h"
#include "model/landmark.h"
#include "presenter/figure_view.h"
#include "sample_tracing.h"

namespace ceph {
namespace {

using model::Landmark;

class SimulationTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::ShowSampleFigure(win); }
    void Select(int s) {
        win.List1.listIndex = s;
        figure::List1_Click(win);
    }
    const model::Simulation& sim() const { return win.state.ShownFigure.simulation; }
    // The landmarks 1..19 whose simulated place differs from the tracing's.
    std::vector<int> Moved() const {
        std::vector<int> moved;
        for (int n = 1; n <= model::kLandmarkCount; ++n)
            if (sim().X[n] != win.state.X[n] || sim().Y[n] != win.state.Y[n]) moved.push_back(n);
        return moved;
    }

    ui::MainWindow win;
};

TEST_F(SimulationTest, TurningTheUpperIncisorTurnsItsEdgeAboutItsApexAlone) {
    Select(0);
    figure::MoveStructure(win, 5, 0, 0);
    // The edge (68, 72) about the apex (60, 52), 5 degrees counter-clockwise on the
    // screen: 60 + 8 cos 5 + 20 sin 5, 52 + 20 cos 5 - 8 sin 5.
    const auto edge = model::Slot(Landmark::U1Edge);
    EXPECT_NEAR(sim().X[edge], 69.7127, 1e-3);
    EXPECT_NEAR(sim().Y[edge], 71.2266, 1e-3);
    EXPECT_EQ(Moved(), std::vector<int>{model::Number(Landmark::U1Edge)});
    // The incisor point follows the edge, as the analysis derives it.
    const auto point = model::Slot(Landmark::IncisorPoint), lower = model::Slot(Landmark::L1Edge);
    EXPECT_FLOAT_EQ(sim().X[point], (sim().X[edge] + sim().X[lower]) / 2);
    EXPECT_TRUE(sim().moved);
}

// What the simulated measurements are read from: the incisor's angle to S-N and to N-A
// follow its turn, degree for degree.
TEST_F(SimulationTest, TheAnalysesReadTheTurnFromTheSimulatedLandmarks) {
    Select(0);
    figure::MoveStructure(win, 5, 0, 0);
    auto value = [&](const char* analysis, const char* row, bool moved) {
        const model::NamedAnalysis* a = model::FindAnalysis(model::BuiltInAnalyses(), analysis);
        EXPECT_NE(a, nullptr) << analysis;
        if (!a) return model::kNoValue;
        const model::AnalysisResult r = moved ? model::Evaluate(*a, sim().X, sim().Y, {})
                                              : model::Evaluate(*a, win.state.X, win.state.Y, {});
        for (const model::ResultRow& found : r.rows)
            if (found.name == row) return found.value;
        ADD_FAILURE() << row << " not in " << analysis;
        return model::kNoValue;
    };
    EXPECT_NEAR(value("standard", "SN/U1", true) - value("standard", "SN/U1", false), 5.0, 0.05);
    EXPECT_NEAR(value("Steiner", "U1-NA", true) - value("Steiner", "U1-NA", false), 5.0, 0.05);
}

TEST_F(SimulationTest, MandibleShiftCarriesItsLandmarksAndNoOthers) {
    Select(4);
    figure::MoveStructure(win, 0, 9, -21);
    using enum Landmark;
    std::vector<int> carried;
    for (Landmark l : {L1Edge, L1Apex, B, Pog, Gn, Me, Go, Ar, LowerMolar})
        carried.push_back(model::Number(l));
    EXPECT_EQ(Moved(), carried);
    for (int n : carried) {
        EXPECT_NEAR(sim().X[n] - win.state.X[n], 0.3, 1e-5) << "landmark " << n;
        EXPECT_NEAR(sim().Y[n] - win.state.Y[n], -0.7, 1e-5) << "landmark " << n;
    }
}

TEST_F(SimulationTest, SoftTissueCarriesNoLandmark) {
    for (int s = 5; s < model::kFigureStructures; ++s) {
        Select(s);
        figure::MoveStructure(win, 4, 0, 0);
        figure::MoveStructure(win, 0, 12, 12);
    }
    EXPECT_TRUE(Moved().empty());
    EXPECT_EQ(model::MovementText(sim(), 5), "+4° →0.4 ↓0.4 mm");
}

TEST_F(SimulationTest, TotalsAddUpBesideTheListUntilTheTracingIsShownAgain) {
    Select(3);
    figure::MoveStructure(win, 5, 0, 0);
    figure::MoveStructure(win, -7, 0, 0);
    figure::MoveStructure(win, 0, 0, 21);
    figure::MoveStructure(win, 0, -15, 0);
    EXPECT_EQ(sim().turn[3], -2);
    EXPECT_NEAR(sim().shiftX[3], -0.5, 1e-9);
    EXPECT_NEAR(sim().shiftY[3], 0.7, 1e-9);
    ASSERT_EQ(win.List2.items.size(), 9u);
    EXPECT_EQ(win.List2.items[3], "-2° ←0.5 ↓0.7 mm");
    EXPECT_EQ(win.List2.items[0], "") << "the upper incisor rode along but was not moved";
    EXPECT_EQ(win.List2.listIndex, 3) << "the two lists select one row";
    // A turn taken back leaves the shift alone; one taken back wholly leaves nothing.
    figure::MoveStructure(win, 2, 0, 0);
    EXPECT_EQ(win.List2.items[3], "←0.5 ↓0.7 mm");
    Select(1);
    figure::MoveStructure(win, 3, 0, 0);
    figure::MoveStructure(win, -3, 0, 0);
    EXPECT_EQ(win.List2.items[1], "");

    testing::ShowSampleFigure(win);
    for (const std::string& text : win.List2.items)
        EXPECT_EQ(text, "");
    EXPECT_FALSE(sim().moved);
    EXPECT_TRUE(Moved().empty());
}

// The numbers are read from what the clinician sees: after turns and shifts of the bony
// structures, every bone line drawn still joins the simulated landmarks it stands for.
// (The occlusal line is left out: its ends are found again from the moved teeth, as the
// analysis finds them, while the drawn line moves with the occlusal plane alone.)
TEST_F(SimulationTest, TheBoneLinesStillJoinTheSimulatedLandmarks) {
    for (int s = 0; s < 5; ++s) {
        Select(s);
        figure::MoveStructure(win, 7, 0, 0);
        figure::MoveStructure(win, 0, 45, -30);
        figure::MoveStructure(win, -3, 0, 0);
    }
    const model::Figure& f = win.state.ShownFigure;
    for (int k = 0; k < model::kHardTissueLines; ++k) {
        if (k == 2) continue;
        const model::LandmarkPair& pair = model::FigurePairs()[static_cast<std::size_t>(k)];
        const auto a = model::Slot(pair.from), b = model::Slot(pair.to);
        const model::FigureLine& line = f.hardTissue[static_cast<std::size_t>(k)];
        EXPECT_NEAR(line.x1, model::kFigureOriginX + 30 * sim().X[a], 0.05) << "line " << k;
        EXPECT_NEAR(line.y1, model::kFigureOriginY + 30 * sim().Y[a], 0.05) << "line " << k;
        EXPECT_NEAR(line.x2, model::kFigureOriginX + 30 * sim().X[b], 0.05) << "line " << k;
        EXPECT_NEAR(line.y2, model::kFigureOriginY + 30 * sim().Y[b], 0.05) << "line " << k;
    }
}

TEST_F(SimulationTest, ALineOfTheTotalsChoosesItsStructure) {
    win.List2.listIndex = 4;
    figure::List2_Click(win);
    EXPECT_EQ(win.List1.listIndex, 4);
    EXPECT_EQ(win.state.ShownFigure.selected, 4);
    EXPECT_TRUE(win.Line1[8].visible) << "the mandible's lines are shown";
}

}  // namespace
}  // namespace ceph
