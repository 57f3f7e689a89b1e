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

// The whole content of a picture file. Refuses, with a reason, what is missing, not a
// regular file (a folder, a device, a pipe that would block), empty or too big to be
// a picture.
bool ReadPictureFile(const std::string& path, QByteArray* bytes, std::string* error);

}  // namespace ceph::platform
