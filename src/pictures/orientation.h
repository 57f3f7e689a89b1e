#pragma once
// Pictures stored on their side: cameras and some scanners keep the pixels as the sensor
// read them and record in the file how to turn them upright (the EXIF orientation of a
// JPEG, the orientation tag of a TIFF, both numbered 1 to 8 the same way).

#include <cstddef>
#include <string_view>

#include "base/result.h"
#include "pictures/picture.h"

namespace ceph::pictures {

// The orientation of a JPEG's EXIF block (APP1), 1 to 8; 1 (upright) when it has none or
// the block is damaged.
int JpegExifOrientation(std::string_view bytes);

// The pixels turned upright from `orientation` (1 to 8; other values leave them as they
// are). The turned copy is made only when it fits the memory allowed for decoding beside
// the original; otherwise the reason.
base::Result<Pixels> Upright(Pixels pixels, int orientation);

}  // namespace ceph::pictures
