#pragma once
// A record line whose coordinates count: landmark i at (i, -i) millimetres, S (16) at the
// origin, so that a test can tell every field from the others.

#include <string>

namespace ceph::testing {

inline std::string CountingLine(const std::string& code, const std::string& tail) {
    std::string line = code;
    for (int i = 1; i <= 19; ++i) {
        const int v = i == 16 ? 0 : i;
        line += "," + std::to_string(v) + ".0," + std::to_string(-v) + ".0";
    }
    return line + ",0," + tail;
}

}  // namespace ceph::testing
