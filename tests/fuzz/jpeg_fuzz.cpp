// JPEG files as they come: whatever the bytes, the decoder gives a picture within the
// size limits or a reason, never both and never neither.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/jpeg_codec.h"
#include "platform/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    bool otherDecoder = false;
    const QImage image = ceph::platform::DecodeJpeg(reinterpret_cast<const char*>(data), size,
                                                    &error, &otherDecoder);
    if (image.isNull()) {
        FUZZ_CHECK(!error.empty() || otherDecoder);
    } else {
        FUZZ_CHECK(ceph::platform::PictureSizeAllowed(image.width(), image.height()));
    }
    return 0;
}
