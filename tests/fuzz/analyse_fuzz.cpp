// `cephtool analyse` over any input: every line is either analysed into one CSV line of
// the code, 37 values and 7 norms, or reported and skipped; nothing else comes out.
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/fuzz_check.h"
#include "tools/analyse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the norms' sex; the rest is the input.
    const bool male = (data[0] & 1) != 0;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    std::ostringstream out, err;
    const int skipped = ceph::tools::AnalyseStream(in, "input", out, err, male);

    long analysed = 0;
    std::istringstream csv(out.str());
    for (std::string row; std::getline(csv, row);) {
        ++analysed;
        // The code is the first field up to its first comma, so the row may hold more
        // commas only through the code; the 44 after it are always there.
        std::size_t commas = 0;
        for (char c : row)
            commas += c == ',';
        FUZZ_CHECK(commas >= 44);
    }
    long reported = 0;
    std::istringstream problems(err.str());
    for (std::string row; std::getline(problems, row);)
        ++reported;
    FUZZ_CHECK(reported == skipped);
    FUZZ_CHECK(skipped >= 0);
    return 0;
}
