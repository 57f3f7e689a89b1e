#include "model/similarity.h"

#include <cmath>

namespace ceph::model {

double Similarity::Scale() const {
    return std::hypot(a, b);
}

std::optional<Similarity> SimilarityFrom(PlanePoint p1, PlanePoint p2, PlanePoint q1,
                                         PlanePoint q2) {
    const double px = p2.x - p1.x, py = p2.y - p1.y;
    const double qx = q2.x - q1.x, qy = q2.y - q1.y;
    const double n = px * px + py * py;
    if (!(n > 0) || !(qx * qx + qy * qy > 0) || !std::isfinite(n) ||
        !std::isfinite(qx * qx + qy * qy))
        return std::nullopt;
    // As complex numbers: (a + ib) = (q2 - q1) / (p2 - p1).
    Similarity s;
    s.a = (qx * px + qy * py) / n;
    s.b = (qy * px - qx * py) / n;
    s.tx = q1.x - (s.a * p1.x - s.b * p1.y);
    s.ty = q1.y - (s.b * p1.x + s.a * p1.y);
    if (!std::isfinite(s.tx) || !std::isfinite(s.ty)) return std::nullopt;
    return s;
}

}  // namespace ceph::model
