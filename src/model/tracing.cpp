#include "model/tracing.h"

#include <cmath>

#include "model/similarity.h"

namespace ceph::model {

bool WithinReachOfS(std::span<const float> x, std::span<const float> y) {
    const std::size_t s = Slot(Landmark::S);
    for (std::size_t i = 1; i <= kLandmarkCount; ++i) {
        const double dx = static_cast<double>(x[i]) - x[s];
        const double dy = static_cast<double>(y[i]) - y[s];
        if (!(std::hypot(dx, dy) <= kMaxMillimetresFromS)) return false;
    }
    return true;
}

ReportedTracing ReportOf(const Tracing& tracing, const Patient& patient, int number,
                         const Analysis& analysis) {
    ReportedTracing r;
    r.analysis = &analysis;
    r.X = tracing.X, r.Y = tracing.Y;
    const AnalysisValues values = ComputeValues(analysis, r.X, r.Y);
    r.X[Slot(Landmark::MolarPoint)] = values.x29, r.Y[Slot(Landmark::MolarPoint)] = values.y29;
    r.X[Slot(Landmark::IncisorPoint)] = values.x30, r.Y[Slot(Landmark::IncisorPoint)] = values.y30;
    AnalysisTexts texts = ToTexts(analysis, values, NormGroup(patient.sex, tracing.age));
    for (std::size_t i = 0; i < r.values.size(); ++i)
        r.values[i] = std::move(texts.values[i]);
    for (std::size_t i = 0; i < r.norms.size(); ++i)
        r.norms[i] = texts.norms[i];
    r.age = tracing.age;
    r.caption = "P." + std::to_string(number);
    return r;
}

void MoveSToOrigin(std::span<float> x, std::span<float> y) {
    const std::size_t s = Slot(Landmark::S);
    const float sx = x[s], sy = y[s];
    for (std::size_t i = 1; i <= kLandmarkCount; ++i)
        x[i] -= sx, y[i] -= sy;
}

void SuperimposeOnSN(PointTable& X, PointTable& Y, const PointTable& shownX,
                     const PointTable& shownY) {
    SuperimposeOnLine(X, Y, shownX, shownY, Landmark::S, Landmark::N);
}

void SuperimposeOnLine(PointTable& X, PointTable& Y, const PointTable& shownX,
                       const PointTable& shownY, Landmark at, Landmark toward) {
    const std::size_t s = Slot(at), n = Slot(toward);
    const PlanePoint from{X[s], Y[s]}, to{shownX[s], shownY[s]};
    const double length = std::hypot(double(X[n]) - X[s], double(Y[n]) - Y[s]);
    const double shownLength =
        std::hypot(double(shownX[n]) - shownX[s], double(shownY[n]) - shownY[s]);
    if (!(length > 0) || !(shownLength > 0)) return;
    // The far landmark is taken to the point of the shown line as far from the near one
    // as it was: a turn and a shift, of scale 1.
    const double k = length / shownLength;
    const PlanePoint onLine{to.x + k * (shownX[n] - to.x), to.y + k * (shownY[n] - to.y)};
    const auto turn = SimilarityFrom(from, {X[n], Y[n]}, to, onLine);
    if (!turn) return;
    auto place = [&](std::size_t i) {
        const PlanePoint p = turn->Apply({X[i], Y[i]});
        X[i] = static_cast<float>(p.x);
        Y[i] = static_cast<float>(p.y);
    };
    for (std::size_t i = 1; i <= kLandmarkCount; ++i)
        place(i);
    place(Slot(Landmark::MolarPoint));
    place(Slot(Landmark::IncisorPoint));
}

}  // namespace ceph::model
