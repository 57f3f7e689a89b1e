// BMP files (and whatever else Qt's readers take) through the program's picture
// decoding: see qt_picture.h.
#include "fuzz/qt_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckDecodedPicture(data, size);
    return 0;
}
