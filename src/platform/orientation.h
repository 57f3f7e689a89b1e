#pragma once
// Pictures stored on their side: cameras and some scanners keep the pixels as the sensor
// read them and record in the file how to turn them upright (the EXIF orientation of a
// JPEG, the orientation tag of a TIFF, both numbered 1 to 8 the same way).

#include <QImage>
#include <cstddef>
#include <string>

namespace ceph::platform {

// The orientation of a JPEG's EXIF block (APP1), 1 to 8; 1 (upright) when it has none or
// the block is damaged.
int JpegExifOrientation(const char* data, std::size_t size);

// The picture turned upright from `orientation` (1 to 8; other values leave it as it
// is). The turned copy is made only when it fits the memory allowed for decoding beside
// the original; otherwise a null image and the reason.
QImage Upright(QImage image, int orientation, std::string* error);

}  // namespace ceph::platform
