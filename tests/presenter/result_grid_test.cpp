// The off-screen result grid as the analysis lays it out from its table of rows: the
// captions and value boxes in their columns, each unit beside its row, the norms beside
// the last block.

#include <gtest/gtest.h>

#include <set>

#include "model/measurement.h"
#include "presenter/result_grid.h"
#include "support/worked_tracing.h"
#include "ui/main_window.h"

namespace ceph::ui {
namespace {

// Unit of every result row; the unit labels are matched to rows by their place.
enum class Unit { Degree, Millimetre, Percent, None };

Unit UnitOfRow(int row) {
    static const std::set<int> degrees = {0, 1, 2, 3, 6, 7, 14, 15, 17, 18, 25, 33, 34, 35};
    static const std::set<int> percents = {8, 9, 10, 36};
    if (row >= 26 && row <= 29) return Unit::None;
    if (degrees.count(row)) return Unit::Degree;
    if (percents.count(row)) return Unit::Percent;
    return Unit::Millimetre;
}

TEST(ResultGrid, CaptionsAndValueBoxesInTheirColumns) {
    MainWindow w;
    presenter::LayOutResultGrid(w);
    struct Case {
        int row;
        const char* caption;
        float captionLeft, valueLeft, top;  // top < 0: not fixed
    };
    const Case cases[] = {
        {0, "SNA:", 120, 960, 360},         {13, "ANS-Me:", 120, 960, 3480},
        {14, "SN/U1:", 2160, 2880, 360},    {23, "LM-MP:", 2160, 2880, 2520},
        {24, "OB:", 2160, 2880, 3000},      {25, "GONIAL:", 2160, 2880, 3240},
        {30, "Ar-A:", 4200, 5160, -1},      {31, "Ar-Gn: ", 4200, 5160, -1},
        {36, "Max./Mand.", 4200, 5160, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(w.Label6[c.row].caption, c.caption);
        EXPECT_EQ(w.Label6[c.row].left, c.captionLeft);
        EXPECT_EQ(w.Text3[c.row].left, c.valueLeft);
        if (c.top >= 0) {
            EXPECT_EQ(w.Label6[c.row].top, c.top);
        }
        EXPECT_EQ(w.Text3[c.row].top, w.Label6[c.row].top);
    }
    // Column 3 runs in steps of one row below the header row's values.
    for (int row = 30; row < kResultRows; ++row) {
        EXPECT_GT(w.Label6[row].top, 480);
        if (row > 30) {
            EXPECT_EQ(w.Label6[row].top - w.Label6[row - 1].top, 240);
        }
    }
    const float captionLefts[4] = {4440, 5280, 6120, 6960};
    const float valueLefts[4] = {4320, 5160, 6000, 6840};
    const char* headers[4] = {"AB", "UL", "AU", "BL"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(w.Label6[26 + k].caption, headers[k]);
        EXPECT_EQ(w.Label6[26 + k].left, captionLefts[k]);
        EXPECT_EQ(w.Label6[26 + k].top, 240);
        EXPECT_EQ(w.Text3[26 + k].left, valueLefts[k]);
        EXPECT_EQ(w.Text3[26 + k].top, 480);
    }
    for (const TextBox& t : w.Text3)
        EXPECT_EQ(t.text, "Text3");
}

TEST(ResultGrid, EachRowHasItsUnitBesideItAndNormsBesideTheLastBlock) {
    MainWindow w;
    presenter::LayOutResultGrid(w);
    std::vector<const Label*> units;
    for (const Label& l : w.Label7)
        units.push_back(&l);
    for (const Label& l : w.Label8)
        units.push_back(&l);
    for (const Label& l : w.Label9)
        units.push_back(&l);
    auto unitLeft = [](float captionLeft) {
        return captionLeft == 120 ? 1680.f : captionLeft == 2160 ? 3600.f : 5880.f;
    };
    for (int row = 0; row < kResultRows; ++row) {
        const Label& caption = w.Label6[row];
        int found = 0;
        const Label* unit = nullptr;
        for (const Label* l : units)
            if (l->top == caption.top && l->left == unitLeft(caption.left)) ++found, unit = l;
        if (UnitOfRow(row) == Unit::None) {
            EXPECT_EQ(found, 0) << row;
            continue;
        }
        ASSERT_EQ(found, 1) << row;
        const char* expected = UnitOfRow(row) == Unit::Degree       ? " °"
                               : UnitOfRow(row) == Unit::Millimetre ? " mm"
                                                                    : " %";
        EXPECT_EQ(unit->caption, expected) << row;
    }
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(w.Label12[k].left, 6360);
        EXPECT_EQ(w.Label12[k].top, w.Label6[30 + k].top);
        EXPECT_EQ(w.Label12[k].caption, "Label12");
    }
}

// The unit labels are as many as the table's rows of each unit: every one is placed
// beside a row, and a row more in the table brings its label with it.
TEST(ResultGrid, EveryUnitLabelStandsBesideARowOfItsUnit) {
    MainWindow w;
    presenter::LayOutResultGrid(w);
    const auto placed = [](const auto& labels, const char* unit) {
        int count = 0;
        for (const Label& l : labels)
            count += l.caption == unit && l.left > 0 ? 1 : 0;
        return count;
    };
    int rows[3] = {};
    for (int row = 0; row < kResultRows; ++row)
        if (UnitOfRow(row) != Unit::None) ++rows[static_cast<int>(UnitOfRow(row))];
    EXPECT_EQ(placed(w.Label7, " °"), rows[0]);
    EXPECT_EQ(placed(w.Label8, " mm"), rows[1]);
    EXPECT_EQ(placed(w.Label9, " %"), rows[2]);
    EXPECT_EQ(w.Label7.size() + w.Label8.size() + w.Label9.size(),
              std::size_t(rows[0] + rows[1] + rows[2]));
}

TEST(ComputeAnalysisOnTheWindow, WritesGridNormsAndDerivedPoints) {
    ui::MainWindow win;
    for (int i = 0; i < 19; ++i)
        win.state.X[i + 1] = testing::kWorkedPoints[i][0],
                        win.state.Y[i + 1] = testing::kWorkedPoints[i][1];
    win.state.Patient.sex = "M";
    // The tracing in the store, with the age it was traced at.
    auto show = [&win](const char* age) {
        model::Tracing tracing;
        tracing.X = win.state.X, tracing.Y = win.state.Y, tracing.age = age;
        presenter::ShowResults(win, model::ReportOf(tracing, win.state.Patient, 1));
    };
    show("8Y 11M");
    // The grid shows the values as the analysis writes them (their digits are the
    // standard analysis's own test).
    const model::AnalysisTexts texts =
        model::ToTexts(model::ComputeValues(win.state.X, win.state.Y), 0);
    for (int row = 0; row < model::kRows; ++row)
        EXPECT_EQ(win.Text3[row].text, texts.values[row]);
    EXPECT_EQ(win.Label12[0].caption, "(79.2±3.1)");
    EXPECT_EQ(win.state.X[29], 41.0f);
    EXPECT_EQ(win.state.Y[30], 73.0f);

    show("0Y 7M");
    for (const ui::Label& norm : win.Label12)
        EXPECT_EQ(norm.caption, "");
}

}  // namespace
}  // namespace ceph::ui
