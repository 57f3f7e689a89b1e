// Numbers read from texts and written back: reading never gives a non-finite value,
// the single-precision reading agrees with the double one where it accepts it, fixed
// decimals read back within half a unit of their last place, and a printed value
// always fills exactly its five characters.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "fuzz/fuzz_check.h"
#include "model/measurement.h"
#include "model/numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = ceph::TextToNumber(text);
    FUZZ_CHECK(std::isfinite(value));
    float single = 1;
    if (ceph::TextToSingle(text, single)) {
        FUZZ_CHECK(std::isfinite(single));
        FUZZ_CHECK(single == static_cast<float>(value));
    } else {
        FUZZ_CHECK(single == 0);
    }

    // The same bytes as a double, when there are enough of them.
    double raw = value;
    if (size >= sizeof raw) std::memcpy(&raw, data, sizeof raw);
    for (double v : {value, raw}) {
        for (int decimals : {0, 1, 3}) {
            const std::string fixed = ceph::FormatFixed(v, decimals);
            if (!std::isfinite(v)) {
                FUZZ_CHECK(fixed.empty());
                continue;
            }
            if (std::fabs(v) < 1e15) {
                const double back = ceph::TextToNumber(fixed);
                const double unit = std::pow(10.0, -decimals);
                FUZZ_CHECK(std::fabs(back - v) <= unit / 2 * (1 + 1e-9) + std::fabs(v) * 1e-15);
            }
            FUZZ_CHECK(ceph::model::ValueField(fixed).size() == 5);
        }
        if (std::isfinite(v)) {
            FUZZ_CHECK(!ceph::FormatGeneral(v).empty());
            if (std::fabs(v) <= std::numeric_limits<float>::max())
                FUZZ_CHECK(!ceph::FormatGeneral(static_cast<float>(v)).empty());
        }
    }
    return 0;
}
