// DICOM files through the pictures' decoding (see decoded_picture.h): whatever the bytes,
// and however their structure claims more than the file holds, a picture within the
// limits or a reason, and no stop inside GDCM.
#include "fuzz/decoded_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckOwnPicture(data, size);
    return 0;
}
