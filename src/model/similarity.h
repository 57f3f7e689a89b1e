#pragma once
// A similarity transform of the plane: a shift, one scale and a turn, without a
// mirror. It relates a stored tracing's millimetres to the pixels of its radiograph,
// found again from where the clinician puts two of its landmarks on the film.

#include <optional>

namespace ceph::model {

struct PlanePoint {
    double x = 0, y = 0;
};

// q = [a -b; b a] p + (tx, ty): a = scale * cos(turn), b = scale * sin(turn).
struct Similarity {
    double a = 1, b = 0, tx = 0, ty = 0;

    PlanePoint Apply(PlanePoint p) const {
        return {a * p.x - b * p.y + tx, b * p.x + a * p.y + ty};
    }
    // The point that Apply takes to q. A transform made by SimilarityFrom always has one.
    PlanePoint Inverse(PlanePoint q) const {
        const double dx = q.x - tx, dy = q.y - ty, n = a * a + b * b;
        return {(a * dx + b * dy) / n, (a * dy - b * dx) / n};
    }
    double Scale() const;
};

// The transform taking p1 to q1 and p2 to q2; none when either pair is one point
// twice (no scale or no direction to take from it) or a coordinate is not finite.
std::optional<Similarity> SimilarityFrom(PlanePoint p1, PlanePoint p2, PlanePoint q1,
                                         PlanePoint q2);

}  // namespace ceph::model
