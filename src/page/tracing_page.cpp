#include "page/tracing_page.h"

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

}  // namespace

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

}  // namespace ceph::page
