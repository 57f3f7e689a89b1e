// JPEG files as they come: whatever the bytes, the decoder gives a picture within the
// size limits or a reason, never both and never neither.
#include "fuzz/decoded_picture.h"
#include "pictures/jpeg_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckPicture(ceph::pictures::DecodeAs(
        ceph::pictures::JpegFormat(), std::string_view(reinterpret_cast<const char*>(data), size)));
    return 0;
}
