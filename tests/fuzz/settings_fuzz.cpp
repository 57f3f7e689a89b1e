// The suite's settings file: any bytes give the value or the default, valid UTF-8 of
// at most the characters asked for, or whole.
#include <cstdint>
#include <string>

#include "base/text_codec.h"
#include "fuzz/fuzz_check.h"
#include "store/settings.h"

namespace {

std::size_t Characters(const std::string& text) {
    std::size_t n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (std::size_t limit : {ceph::store::kWholeValue, std::size_t{99}, std::size_t{3}}) {
        const std::string value =
            ceph::store::IniValueFromText(bytes, "Selvaron", "PersonPicDir", "12", limit);
        FUZZ_CHECK(ceph::base::IsValidUtf8(value));
        FUZZ_CHECK(Characters(value) <= limit);
    }
    return 0;
}
