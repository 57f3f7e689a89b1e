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

}  // namespace ceph::page
