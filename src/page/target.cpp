#include "page/target.h"

#include "model/landmark.h"

namespace ceph::page {

namespace {

// One pair on a report, end to end.
void PairLine(ReportTarget& target, const model::PointTable& X, const model::PointTable& Y, int i,
              int j, int scale, int left, int top) {
    const auto f = static_cast<float>(scale);
    const auto l = static_cast<float>(left), t = static_cast<float>(top);
    target.Line(l + f * X[i], t + f * Y[i], l + f * X[j], t + f * Y[j]);
}

}  // namespace

void PrinterTarget::Text(int size, int x, int y, std::string_view text) {
    AddSurfaceText(printer_, printer_.CurrentPage(), size, x, y, text);
}

void PrinterTarget::Line(float x1, float y1, float x2, float y2) {
    printer_.CurrentPage().Add<DrawLine>(x1, y1, x2, y2, printer_.foreColor, 1);
}

void DrawPairLines(ReportTarget& target, const model::PointTable& X, const model::PointTable& Y,
                   int scale, int left, int top) {
    const auto& pairs = model::FigurePairs();
    for (std::size_t k = 0; k <= 11; ++k)
        PairLine(target, X, Y, model::Number(pairs[k].from), model::Number(pairs[k].to), scale,
                 left, top);
}

}  // namespace ceph::page
