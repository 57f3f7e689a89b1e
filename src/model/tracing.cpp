#include "model/tracing.h"

#include <cmath>

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

void MoveSToOrigin(std::span<float> x, std::span<float> y) {
    const std::size_t s = Slot(Landmark::S);
    const float sx = x[s], sy = y[s];
    for (std::size_t i = 1; i <= kLandmarkCount; ++i)
        x[i] -= sx, y[i] -= sy;
}

}  // namespace ceph::model
