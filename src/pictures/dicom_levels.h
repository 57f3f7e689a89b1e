#pragma once
// The levels a DICOM film is shown in: its stored values through the modality rescale
// and the VOI LUT, and the file's own window in those levels.

#include <cstdint>
#include <vector>

#include "pictures/dicom_file.h"
#include "pictures/picture.h"

namespace ceph::pictures::dicom {

// The output values of the stored ones: the modality rescale, then the VOI LUT when the
// file has one, moved up so that none is negative (scaled down when their range exceeds
// 16 bits), MONOCHROME1 turned round. Also the file's window in those values.
struct Levels {
    std::vector<std::uint16_t> table;  // by the stored bit pattern
    int top = 0;                       // the largest output value
    Window window;
};

Levels MakeLevels(const Walk& w, int bitsStored, bool isSigned, bool monochrome1);

}  // namespace ceph::pictures::dicom
