#include "presenter/result_grid.h"

#include "model/measurement.h"
#include "model/norms.h"

namespace ceph::presenter {

namespace {

using model::Block;
using model::Unit;
using enum model::Unit;
using enum model::Block;

// The grid's columns: caption, value and unit of each block.
struct GridColumn {
    float caption, value, unit;
};
constexpr GridColumn kGridColumns[] = {
    {120, 960, 1680}, {2160, 2880, 3600}, {}, {4200, 5160, 5880}};
constexpr float kGridTop = 360, kGridLine = 240;
constexpr float kNormLeft = 6360;
// The differences: captions in a row of their own, values under them.
constexpr float kDifferenceCaptions[4] = {4440, 5280, 6120, 6960};
constexpr float kDifferenceValues[4] = {4320, 5160, 6000, 6840};
constexpr float kDifferenceCaptionTop = 240, kDifferenceValueTop = 480;

template <class T>
void Place(T& control, float left, float top, float width) {
    control.Move(left, top, width, kGridLine);
}

// The window has one unit label for each row of that unit, counted from the table; they
// are matched to rows in the rows' order.
static_assert(std::tuple_size_v<decltype(ui::MainWindow::Label7)> == model::RowsOfUnit(Degree));
static_assert(std::tuple_size_v<decltype(ui::MainWindow::Label8)> == model::RowsOfUnit(Millimetre));
static_assert(std::tuple_size_v<decltype(ui::MainWindow::Label9)> == model::RowsOfUnit(Percent));
static_assert(std::tuple_size_v<decltype(ui::MainWindow::Label12)> == model::kNormRows);

// The next free unit label of a unit that has labels.
ui::Label& NextUnitLabel(ui::MainWindow& w, Unit unit, int (&used)[3]) {
    switch (unit) {
        case Degree:
            return w.Label7[static_cast<std::size_t>(used[0]++)];
        case Millimetre:
            return w.Label8[static_cast<std::size_t>(used[1]++)];
        default:
            return w.Label9[static_cast<std::size_t>(used[2]++)];
    }
}

}  // namespace

void LayOutResultGrid(ui::MainWindow& w) {
    int used[3] = {0, 0, 0};
    std::size_t norms = 0;
    for (int row = 0; row < model::kRows; ++row) {
        const model::Measurement& spec = model::Row(row);
        ui::Label& caption = w.Label6[static_cast<std::size_t>(row)];
        ui::TextBox& value = w.Text3[static_cast<std::size_t>(row)];
        caption.caption = spec.caption;
        value.text = "Text3";
        if (spec.block == Differences) {
            Place(caption, kDifferenceCaptions[spec.line], kDifferenceCaptionTop, 720);
            Place(value, kDifferenceValues[spec.line], kDifferenceValueTop, 720);
            continue;
        }
        const GridColumn& c = kGridColumns[static_cast<int>(spec.block)];
        const float top = kGridTop + static_cast<float>(spec.line) * kGridLine;
        Place(caption, c.caption, top, c.value - c.caption);
        Place(value, c.value, top, 720);
        if (spec.unit != None) {
            ui::Label& unit = NextUnitLabel(w, spec.unit, used);
            unit.caption = " " + std::string(model::UnitText(spec.unit));
            Place(unit, c.unit, top, 480);
        }
        if (model::HasNorms(spec.key)) {
            ui::Label& norm = w.Label12[norms++];
            norm.caption = "Label12";
            Place(norm, kNormLeft, top, 1140);
        }
    }
}

void ShowResults(ui::MainWindow& w, const model::ReportedTracing& r) {
    // Only the landmarks a tracing has: the other slots of the store are not the
    // tracing's to change.
    for (std::size_t i = 1; i <= model::kLandmarkCount; ++i)
        w.state.X[i] = r.X[i], w.state.Y[i] = r.Y[i];
    for (const model::Landmark l : {model::Landmark::MolarPoint, model::Landmark::IncisorPoint})
        w.state.X[model::Slot(l)] = r.X[model::Slot(l)],
        w.state.Y[model::Slot(l)] = r.Y[model::Slot(l)];
    for (std::size_t i = 0; i < r.values.size(); ++i)
        w.Text3[i].text = r.values[i];
    for (std::size_t i = 0; i < r.norms.size(); ++i)
        w.Label12[i].caption = r.norms[i];
}

}  // namespace ceph::presenter
