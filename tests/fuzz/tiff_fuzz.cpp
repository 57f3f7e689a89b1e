// TIFF files through the pictures' decoding (see decoded_picture.h): whatever the bytes,
// a picture within the limits or a reason, and nothing on the standard error stream from
// libtiff.
#include "fuzz/decoded_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckOwnPicture(data, size);
    return 0;
}
