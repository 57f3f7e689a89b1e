#pragma once
// A tracing as another film of the same head gives it: turned about S by `degrees`,
// moved by (dx, dy) millimetres, S put back at the origin, and written as the record
// line of patient `code` with `age`.

#include <cmath>
#include <string>

#include "model/tracing.h"
#include "store/record_line.h"

namespace ceph::testing {

inline std::string OnAnotherFilm(model::Tracing t, double degrees, double dx, double dy,
                                 const std::string& age, const std::string& code = "10234") {
    const double a = degrees * 3.14159265358979323846 / 180;
    const double c = std::cos(a), s = std::sin(a);
    for (std::size_t i = 1; i <= 19; ++i) {
        const double x = t.X[i], y = t.Y[i];
        t.X[i] = static_cast<float>(c * x - s * y + dx);
        t.Y[i] = static_cast<float>(s * x + c * y + dy);
    }
    model::MoveSToOrigin(t.X, t.Y);
    t.age = age;
    return store::FormatRecordLine(code, t);
}

}  // namespace ceph::testing
