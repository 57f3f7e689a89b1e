#include "pictures/limits.h"

namespace ceph::pictures {

bool PictureSizeAllowed(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           std::int64_t{width} * height <= kMaxPicturePixels;
}

std::string PictureTooLargeReason(int width, int height) {
    return "圖像尺寸不合理（" + std::to_string(width) + " × " + std::to_string(height) +
           " 像素；每邊最多 " + std::to_string(kMaxPictureSide) + " 像素，總共最多 " +
           std::to_string(kMaxPicturePixels / 1'000'000) + " 百萬像素）";
}

bool DecodeMemoryAllowed(std::int64_t bytes) {
    return bytes >= 0 && bytes <= kMaxDecodeBytes;
}

std::string DecodeMemoryReason(std::int64_t bytes) {
    constexpr std::int64_t kMegabyte = std::int64_t{1} << 20;
    return "圖像太大，解碼需要 " + std::to_string((bytes + kMegabyte - 1) / kMegabyte) +
           " MB 記憶體（最多 " + std::to_string(kMaxDecodeBytes / kMegabyte) + " MB）";
}

}  // namespace ceph::pictures
