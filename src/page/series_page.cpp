#include "page/series_page.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/figure.h"
#include "model/landmark.h"
#include "model/measurement.h"
#include "model/numbers.h"

namespace ceph::page {

namespace {

constexpr float kPad = 160;

std::string TracingName(int number) {
    return "第 " + std::to_string(number) + " 張";
}

struct Laid {
    int number;
    model::PointTable X, Y;
};

std::vector<Laid> LaidOver(const std::vector<SeriesEntry>& series, std::size_t reference,
                           model::Registration r) {
    std::vector<Laid> laid;
    const model::Tracing& ref = series[reference].tracing;
    for (std::size_t k = 0; k < series.size(); ++k) {
        Laid l{series[k].number, series[k].tracing.X, series[k].tracing.Y};
        if (k != reference) model::Register(l.X, l.Y, ref.X, ref.Y, r);
        laid.push_back(l);
    }
    return laid;
}

// Millimetres to twips: every landmark of every tracing inside `area`, one scale.
struct Fit {
    float scale = 1, x = 0, y = 0;
    float X(float mm) const { return x + scale * mm; }
    float Y(float mm) const { return y + scale * mm; }
};

Fit FitAll(const std::vector<Laid>& laid, const PageBox& area) {
    float left = std::numeric_limits<float>::max(), top = left;
    float right = std::numeric_limits<float>::lowest(), bottom = right;
    for (const Laid& l : laid)
        for (int n = 1; n <= model::kLandmarkCount; ++n) {
            if (!std::isfinite(l.X[n]) || !std::isfinite(l.Y[n])) continue;
            left = std::min(left, l.X[n]), right = std::max(right, l.X[n]);
            top = std::min(top, l.Y[n]), bottom = std::max(bottom, l.Y[n]);
        }
    Fit f;
    if (left > right) return f;
    const float w = std::max(right - left, 1.0f), h = std::max(bottom - top, 1.0f);
    f.scale = std::max(0.0f, std::min((area.width - 2 * kPad) / w, (area.height - 2 * kPad) / h));
    f.x = area.x + (area.width - f.scale * w) / 2 - f.scale * left;
    f.y = area.y + (area.height - f.scale * h) / 2 - f.scale * top;
    return f;
}

void DrawLegend(DrawingList& d, const std::vector<SeriesEntry>& series, float x, float y,
                float size) {
    for (const SeriesEntry& e : series) {
        const float row = size * 26;
        d.Add<DrawLine>(x, y + row / 2, x + 400, y + row / 2, SeriesColour(e.number), 3);
        AddText(d, size, x + 500, y, TracingName(e.number) + "  " + e.tracing.age);
        y += row;
    }
}

}  // namespace

Colour SeriesColour(int number) {
    static constexpr Colour kColours[9] = {Bgr(0, 0, 200),   Bgr(200, 0, 0),   Bgr(0, 140, 0),
                                           Bgr(230, 120, 0), Bgr(130, 0, 170), Bgr(120, 80, 30),
                                           Bgr(0, 150, 150), Bgr(200, 0, 140), Bgr(110, 110, 110)};
    return kColours[static_cast<std::size_t>(std::clamp(number, 1, 9) - 1)];
}

void DrawSeriesOverlay(DrawingList& d, const PageBox& box, const std::vector<SeriesEntry>& series,
                       std::size_t reference, model::Registration r, bool legend, float size) {
    if (series.empty() || reference >= series.size()) return;
    const model::RegistrationInfo& reg = model::Info(r);
    const float line = size * 26;
    AddText(d, size, box.x + kPad, box.y + 60,
            std::string(reg.caption) + "，參考：" + TracingName(series[reference].number));
    const float legendHeight = legend ? static_cast<float>(series.size()) * line + kPad : 0;
    const PageBox area{box.x, box.y + line + 60, box.width, box.height - line - 60 - legendHeight};
    const std::vector<Laid> laid = LaidOver(series, reference, r);
    const Fit fit = FitAll(laid, area);
    const auto& pairs = model::FigurePairs();
    for (const Laid& l : laid)
        for (std::size_t k = 0; k < static_cast<std::size_t>(model::kPairFigureLines); ++k) {
            const int i = model::Number(pairs[k].from), j = model::Number(pairs[k].to);
            d.Add<DrawLine>(fit.X(l.X[i]), fit.Y(l.Y[i]), fit.X(l.X[j]), fit.Y(l.Y[j]),
                            SeriesColour(l.number), 2);
        }
    // The registration point, where every tracing meets.
    const std::size_t at = model::Slot(reg.at);
    d.Add<DrawCircle>(fit.X(laid[reference].X[at]), fit.Y(laid[reference].Y[at]), 60.0f, kBlack);
    if (legend)
        DrawLegend(d, series, box.x + kPad, box.y + box.height - legendHeight + kPad / 2, size);
}

namespace {

constexpr float kRow = 200, kCaptionColumn = 1250;

void DrawHeader(DrawingList& page, const model::Patient& patient, const std::string& printedOn) {
    AddText(page, 14, 0, 0, "追蹤報告");
    AddText(page, 9, kFullPageWidth - TextWidth(9, "列印日期 " + printedOn), 60,
            "列印日期 " + printedOn, kPageGrey);
    AddText(page, 10, 0, 420,
            "病歷號 " + patient.code + "　姓名 " + patient.name + "　性別 " + patient.sex +
                "　生日 " + patient.birthDate);
}

// Each tracing's values in a column, then the change from the reference to the last.
void DrawSeriesTable(DrawingList& page, const std::vector<SeriesEntry>& series,
                     std::size_t reference, float top) {
    // The last tracing other than the reference.
    std::size_t last = reference;
    for (std::size_t k = 0; k < series.size(); ++k)
        if (k != reference) last = k;
    const bool change = last != reference;
    const float columns = static_cast<float>(series.size() + (change ? 2 : 0));
    const float w = std::min(900.0f, (kFullPageWidth - kCaptionColumn) / columns);
    float x = kCaptionColumn;
    for (const SeriesEntry& e : series) {
        AddText(page, 7, x, top, TracingName(e.number), SeriesColour(e.number));
        AddText(page, 7, x, top + 170, e.tracing.age);
        const model::AnalysisTexts texts =
            model::ToTexts(model::ComputeValues(e.tracing.X, e.tracing.Y), 0);
        for (int row = 0; row < model::kRows; ++row)
            AddText(page, 7, x, top + 400 + static_cast<float>(row) * kRow,
                    texts.values[static_cast<std::size_t>(row)]);
        x += w;
    }
    for (int row = 0; row < model::kRows; ++row)
        AddText(page, 7, 0, top + 400 + static_cast<float>(row) * kRow, model::Row(row).caption);
    if (!change) return;
    const model::Tracing& from = series[reference].tracing;
    const model::Tracing& to = series[last].tracing;
    AddText(page, 7, x, top,
            "變化 " + std::to_string(series[reference].number) + "→" +
                std::to_string(series[last].number));
    AddText(page, 7, x + w, top, "每年");
    const auto changes = model::RowChanges(from, to);
    for (int row = 0; row < model::kRows; ++row) {
        const model::ChangeTexts& c = changes[static_cast<std::size_t>(row)];
        const float y = top + 400 + static_cast<float>(row) * kRow;
        AddText(page, 7, x, y, c.total);
        AddText(page, 7, x + w, y, c.perYear);
    }
}

}  // namespace

void DrawFollowUpPage(DrawingList& page, const model::Patient& patient,
                      const std::vector<SeriesEntry>& series, std::size_t reference,
                      const std::string& printedOn) {
    DrawHeader(page, patient, printedOn);
    if (series.empty() || reference >= series.size()) return;
    const float gap = 120, width = (kFullPageWidth - 2 * gap) / 3, top = 800, height = 3900;
    const model::Registration regions[] = {model::Registration::CranialAtS,
                                           model::Registration::MaxillaAtAns,
                                           model::Registration::MandibleAtMe};
    for (std::size_t k = 0; k < 3; ++k) {
        const PageBox box{static_cast<float>(k) * (width + gap), top, width, height};
        AddFrame(page, box);
        DrawSeriesOverlay(page, box, series, reference, regions[k], false, 7);
    }
    // One legend for the three, in three columns.
    for (std::size_t k = 0; k < series.size(); ++k) {
        const float x = static_cast<float>(k % 3) * (width + gap) + kPad;
        const float y = top + height + 120 + static_cast<float>(k / 3) * 200;
        DrawLegend(page, {series[k]}, x, y, 7);
    }
    const float tableTop = top + height + 120 + 3 * 200 + 200;
    DrawSeriesTable(page, series, reference, tableTop);
    AddText(page, 7, 0, tableTop + 400 + model::kRows * kRow + 120,
            "重疊以標點為準（S–N、ANS–PNS、Go–Me）；以結構重疊需描繪輪廓，描圖僅有 19 個標點。",
            kPageGrey);
}

}  // namespace ceph::page
