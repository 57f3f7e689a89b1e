#include "report/half_widths.h"

#include <cmath>
#include <optional>

#include "model/measurement.h"
#include "page/tracing_page.h"
#include "uncertainty/uncertainty.h"

namespace ceph::report {

namespace {

// Where a report laid out for the window's state prints the caption of a row, and in
// which size.
page::RowPlace PlaceOfRow(const ui::State& s, int row, bool overlay, int top) {
    return page::PlaceOfRow(!s.Comparing && !s.ToScreen, model::Row(row), overlay, top);
}

constexpr float kSize = 7;
constexpr Colour kGrey = Bgr(128, 128, 128);
constexpr Colour kOrange = Bgr(224, 112, 0);
// The line of the second column drawn level with the values of the header row.
constexpr int kLevelWithDifferences = 1;

// Where the "±" of a row goes, so that it covers nothing at any width of the texts
// around it: just after the unit, or after the norm where the row has one; beside the
// caption where the value stands under its caption, since the value and its neighbour
// leave no room beside the value; and under the value in the one row of the second
// column level with those values (AB…), which begin where its "±" would end.
void PlaceBeside(const model::Measurement& spec, const page::RowPlace& row, float& x, float& y) {
    x = static_cast<float>(row.x), y = static_cast<float>(row.y) + 50;
    switch (spec.block) {
        case model::Block::Differences:
            x += 300, y -= 20;
            return;
        case model::Block::Maxillomandibular:
            x += 3700;
            return;
        case model::Block::Dental:
            if (spec.line == kLevelWithDifferences) {
                x += 1200, y += 150;
                return;
            }
            // Tight against the unit: the next column begins just after it.
            x += 2280;
            return;
        default:
            x += 2340;
            return;
    }
}

// The half-width as shown: one decimal, at most two places before it, since a wider
// spread says no more and would not fit beside the unit.
std::string ShownHalfWidth(double halfWidth) {
    if (halfWidth >= 99.95) return "±>99";
    return uncertainty::HalfWidthText(halfWidth);
}

}  // namespace

void DrawHalfWidths(ui::DrawingList& list, const ui::State& state,
                    const uncertainty::Uncertainty& u) {
    // A comparison's values fill the room between the rows: the ranges, which are the
    // shown tracing's alone, wait until it is shown by itself again.
    if (state.Comparing) return;
    std::string missing;
    for (int row = 0; row < model::kRows; ++row) {
        std::string text = ShownHalfWidth(u.halfWidth[row]);
        if (text.empty()) continue;
        const model::Measurement& spec = model::Row(row);
        // A row without a value in some draws is told by its colour: a mark after the
        // figure would leave it no room.
        const bool partly = u.undefinedDraws[row] > 0;
        if (partly) {
            missing += (missing.empty() ? "" : "、") + std::string(spec.caption) + " " +
                       std::to_string(u.undefinedDraws[row]) + " 次";
        }
        float x, y;
        PlaceBeside(spec, PlaceOfRow(state, row, false, 0), x, y);
        list.Add<ui::DrawText>(kSize, x, y, std::move(text), partly ? kOrange : kGrey);
    }
    // What the figures mean, between the jaw rows and the small figure; the rows without
    // a value in some draws under the first column.
    list.Add<ui::DrawText>(kSize, 5700.0f, 4120.0f,
                           "±：點選誤差下的 95% 範圍（" + std::to_string(u.draws) + " 次模擬）",
                           kGrey);
    if (!missing.empty())
        list.Add<ui::DrawText>(kSize, 200.0f, 5480.0f, "橘色：部分模擬無法計算 " + missing,
                               kOrange);
}

void ShowHalfWidths(ui::App& app) {
    ui::MainWindow& w = app.win;
    w.Picture3.screenOnly.Clear();
    if (!w.rangemn.checked || !w.Picture3.visible || w.state.Comparing) return;
    DrawHalfWidths(
        w.Picture3.screenOnly, w.state,
        uncertainty::EstimateUncertainty(uncertainty::PracticeErrorModel(w.state.DataDir, nullptr),
                                         w.state.X, w.state.Y));
}

void rangemn_Click(ui::App& app) {
    ui::MainWindow& w = app.win;
    w.rangemn.checked = !w.rangemn.checked;
    w.Picture3.screenOnly.Clear();
    if (!w.rangemn.checked) return;
    // The table is read once here: its problem is told, and the same model is drawn.
    std::string problem;
    const uncertainty::ErrorModel model =
        uncertainty::PracticeErrorModel(w.state.DataDir, &problem);
    if (!problem.empty()) app.services.ShowMessage(problem, ui::kExclamationOk);
    if (w.Picture3.visible)
        DrawHalfWidths(w.Picture3.screenOnly, w.state,
                       uncertainty::EstimateUncertainty(model, w.state.X, w.state.Y));
}

}  // namespace ceph::report
