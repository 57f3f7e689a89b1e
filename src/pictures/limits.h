#pragma once
// The limits on a picture's size that every decoder applies before allocating its pixels,
// and the memory a picture may take while it is decoded.
//
// Reasons are given in Traditional Chinese, ready to follow a message such as
// "無法讀取圖檔：".

#include <cstdint>
#include <string>

namespace ceph::pictures {

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

// The reason given when memory ran out.
inline constexpr const char* kOutOfMemory = "記憶體不足";

}  // namespace ceph::pictures
