#include "page/tracing_page.h"

#include "model/landmark.h"
#include "model/norms.h"

namespace ceph::page {

namespace {

void DrawHeader(ReportTarget& target, const model::Patient& patient,
                const model::ReportedTracing& tracing, bool overlay, int top) {
    const int h = overlay ? top + 270 : top;
    if (!overlay) {
        target.Text(12, 200, h + 100, patient.code);
        target.Text(12, 2000, h + 100, patient.name);
        target.Text(12, 3500, h + 130, patient.sex);
        target.Text(10, 4000, h + 130, patient.birthDate);
    }
    target.Text(10, 7000, h + 130, tracing.age);
    target.Text(12, 8500, h + 100, tracing.caption);
}

// One pair on a report, end to end.
void PairLine(ReportTarget& target, const model::PointTable& X, const model::PointTable& Y, int i,
              int j, int scale, int left, int top) {
    const auto f = static_cast<float>(scale);
    const auto l = static_cast<float>(left), t = static_cast<float>(top);
    target.Line(l + f * X[i], t + f * Y[i], l + f * X[j], t + f * Y[j]);
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
void PlaceBeside(const model::Measurement& spec, const RowPlace& row, float& x, float& y) {
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

void DrawPairLines(ReportTarget& target, const model::PointTable& X, const model::PointTable& Y,
                   int scale, int left, int top) {
    const auto& pairs = model::FigurePairs();
    for (std::size_t k = 0; k <= 11; ++k)
        PairLine(target, X, Y, model::Number(pairs[k].from), model::Number(pairs[k].to), scale,
                 left, top);
}

RowPlace PlaceOfRow(bool singleOnPaper, const model::Measurement& spec, bool overlay, int top) {
    // A single tracing on paper gets the larger font; screen reports and comparisons
    // the smaller one with room between the rows for the overlay.
    const int size = singleOnPaper ? 12 : 10;
    const int pitch = singleOnPaper ? 260 : 350;
    const int r = overlay ? top + 180 : top;
    switch (spec.block) {
        case model::Block::Skeletal:
            return {size, 200, r + 700 + spec.line * pitch};
        case model::Block::Dental:
            return {size, 3000, r + 700 + spec.line * pitch};
        case model::Block::Differences:
            return {size, 5800 + spec.line * 900, r + 700};
        case model::Block::Maxillomandibular:
            break;
    }
    return {size, 5700, r + 900 + spec.line * pitch};
}

void PrintResultRow(ReportTarget& target, const model::ReportedTracing& tracing, int size, int x,
                    int y, int row, bool overlay) {
    const model::Measurement& spec = tracing.analysis->rows[static_cast<std::size_t>(row)];
    const std::string value = model::ValueField(tracing.values[static_cast<std::size_t>(row)]);
    if (!overlay) target.Text(size, x, y, spec.caption);
    switch (spec.block) {
        case model::Block::Differences:  // the value under its caption, no unit
            target.Text(size, x - 200, y + 400, value);
            return;
        case model::Block::Maxillomandibular:
            target.Text(size, x + 1400, y, value);
            break;
        default:
            target.Text(size, x + 1200, y, value);
            break;
    }
    const bool norms = spec.block == model::Block::Maxillomandibular;
    if (!overlay) {
        const int ux = x + 1900 + (size == 12 ? 50 : 0) + (norms ? 200 : 0);
        target.Text(size, ux, y, model::UnitText(spec.unit));
    }
    if (const int k = model::NormIndex(*tracing.analysis, row); norms && k >= 0)
        target.Text(size, x + 2600, y, tracing.norms[static_cast<std::size_t>(k)]);
}

void DrawReportPage(ReportTarget& target, const model::Patient& patient,
                    const model::ReportedTracing& tracing, const ReportLayout& layout) {
    target.Text(64, 0, 0, " ");  // on paper this starts the page
    DrawHeader(target, patient, tracing, layout.overlay, layout.top);
    const auto& rows = tracing.analysis->rows;
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const RowPlace place = PlaceOfRow(layout.singleOnPaper, rows[static_cast<std::size_t>(row)],
                                          layout.overlay, layout.top);
        PrintResultRow(target, tracing, place.size, place.x, place.y, row, layout.overlay);
    }
    if (layout.withFigure) DrawPairLines(target, tracing.X, tracing.Y, 10, 6000, 4500);
}

void DrawHalfWidths(DrawingList& list, bool singleOnPaper, const uncertainty::Uncertainty& u) {
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
        PlaceBeside(spec, PlaceOfRow(singleOnPaper, spec, false, 0), x, y);
        list.Add<DrawText>(kSize, x, y, std::move(text), partly ? kOrange : kGrey);
    }
    // What the figures mean, between the jaw rows and the small figure; the rows without
    // a value in some draws under the first column.
    list.Add<DrawText>(kSize, 5700.0f, 4120.0f,
                       "±：點選誤差下的 95% 範圍（" + std::to_string(u.draws) + " 次模擬）", kGrey);
    if (!missing.empty())
        list.Add<DrawText>(kSize, 200.0f, 5480.0f, "橘色：部分模擬無法計算 " + missing, kOrange);
}

}  // namespace ceph::page
