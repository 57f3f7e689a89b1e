#pragma once
// Reading a picture file's bytes with the checks every picture format needs, and the
// limits on a picture's size that every decoder applies before allocating its pixels.
//
// Errors are returned as reasons in Traditional Chinese, ready to follow a message such
// as "無法讀取圖檔：".

#include <QByteArray>
#include <cstdint>
#include <string>

namespace ceph::platform {

// The largest picture accepted, checked from the file's header before any pixel is
// allocated: no radiograph comes near it, while a damaged or hostile header could ask
// for gigabytes.
inline constexpr int kMaxPictureSide = 20000;
inline constexpr std::int64_t kMaxPicturePixels = 400'000'000;

// Whether a picture of this size stays within the limits above.
bool PictureSizeAllowed(int width, int height);
// The reason given for a picture over the limits.
std::string PictureTooLargeReason(int width, int height);

// The most memory a picture may take while it is decoded: its pixels as the decoder lays
// them out, with whatever the decoder must hold beside them at the same time (a
// progressive JPEG's coefficients, the copy made while converting). A few kilobytes of
// header can claim any size within the limits above, and a colour picture of that size
// would take gigabytes; no radiograph needs a tenth of this.
inline constexpr std::int64_t kMaxDecodeBytes = std::int64_t{512} << 20;

// Whether decoding may take this many bytes.
bool DecodeMemoryAllowed(std::int64_t bytes);
// The reason given for a picture that would need more.
std::string DecodeMemoryReason(std::int64_t bytes);

// Whether the data is an uncompressed Windows bitmap too short for the rows its header
// claims. Qt's bitmap reader stops quietly at the end of the data and leaves the rows it
// could not read as they were in memory, so such a bitmap is refused before Qt reads it.
// Compressed (run-length) bitmaps have no length known in advance and are left to Qt,
// as are sizes over the limits, which the size check refuses.
bool BitmapDataShort(const QByteArray& bytes);

// Whether a PNG has a chunk that claims more bytes than the file holds. libpng takes a
// chunk's length at its word and allocates it before reading (gigabytes for a text
// chunk of a 300-byte file), so such a file is refused as cut off before libpng sees it.
bool PngChunkBeyondEnd(const QByteArray& bytes);

// The whole content of a picture file. Refuses, with a reason, what is missing, not a
// regular file (a folder, a device, a pipe that would block), empty or too big to be
// a picture.
bool ReadPictureFile(const std::string& path, QByteArray* bytes, std::string* error);

}  // namespace ceph::platform
