// A landmark model file from the shared data folder, written by anything or damaged:
// reading never crashes nor takes memory out of proportion to the bytes, and a model
// that reads writes back as the very same bytes.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "store/landmark_model_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto read = ceph::store::ReadLandmarkModel(bytes);
    if (!read) return 0;
    FUZZ_CHECK(read->Parts() > 0);
    FUZZ_CHECK(ceph::store::LandmarkModelBytes(*read) == bytes);
    return 0;
}
