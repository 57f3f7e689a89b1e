// The hand-off file from the host suite, in any encoding it may come in: whatever the
// bytes, the text is valid UTF-8, and a patient code taken from it, put into a picture
// pattern, matches exactly itself.
#include <cstdint>
#include <string>

#include "base/filesys.h"
#include "base/text_codec.h"
#include "fuzz/fuzz_check.h"
#include "store/handoff.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = ceph::base::DecodeHostText(bytes);
    FUZZ_CHECK(ceph::base::IsValidUtf8(text));
    for (const std::string& line : ceph::store::SplitLines(text)) {
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
        if (line.empty()) continue;
        const std::string pattern = ceph::base::LiteralPattern(line);
        FUZZ_CHECK(ceph::base::MatchesPattern(line, pattern));
        // Nothing longer or shorter can match a literal.
        FUZZ_CHECK(!ceph::base::MatchesPattern(line + "x", pattern));
        FUZZ_CHECK(!ceph::base::MatchesPattern(line.substr(1), pattern));
    }
    return 0;
}
