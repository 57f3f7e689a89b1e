#include "pictures/bmp_png.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "pictures/limits.h"

namespace ceph::pictures {

namespace {

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1A\n", 8);

}  // namespace

bool IsBitmap(std::string_view bytes) {
    return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

bool IsPng(std::string_view bytes) {
    return bytes.substr(0, kPngSignature.size()) == kPngSignature;
}

bool BitmapDataShort(std::string_view bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto length = static_cast<std::int64_t>(bytes.size());
    if (length < 26 || b[0] != 'B' || b[1] != 'M') return false;
    auto u16 = [b](int at) { return std::int64_t{b[at]} | std::int64_t{b[at + 1]} << 8; };
    auto u32 = [&](int at) { return u16(at) | u16(at + 2) << 16; };
    const std::int64_t offset = u32(10), header = u32(14);
    std::int64_t width = 0, height = 0, bits = 0, compression = 0;
    if (header == 12) {
        width = u16(18), height = u16(20), bits = u16(24);
    } else if (header >= 40 && length >= 54) {
        width = static_cast<std::int32_t>(u32(18));
        // Negative for rows stored top down; negated as 64 bits, as -2^31 has no
        // 32-bit opposite.
        height = static_cast<std::int32_t>(u32(22));
        height = height < 0 ? -height : height;
        bits = u16(28), compression = u32(30);
    } else {
        return false;
    }
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (!uncompressed ||
        !PictureSizeAllowed(static_cast<int>(std::min<std::int64_t>(width, 1 << 30)),
                            static_cast<int>(std::min<std::int64_t>(height, 1 << 30))))
        return false;  // Qt reads it, or the size check refuses it
    const std::int64_t stride = (width * bits + 31) / 32 * 4;
    return offset + stride * height > length;
}

bool PngChunkBeyondEnd(std::string_view bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto length = static_cast<std::int64_t>(bytes.size());
    if (!IsPng(bytes)) return false;
    // Each chunk: its data length, its type, the data, a checksum. The walk ends at the
    // end of the data or at IEND; every step moves at least 12 bytes.
    std::int64_t at = 8;
    while (at + 8 <= length) {
        const std::int64_t size = std::int64_t{b[at]} << 24 | std::int64_t{b[at + 1]} << 16 |
                                  std::int64_t{b[at + 2]} << 8 | std::int64_t{b[at + 3]};
        if (at + 12 + size > length) return true;
        if (std::memcmp(b + at + 4, "IEND", 4) == 0) return false;
        at += 12 + size;
    }
    return false;
}

}  // namespace ceph::pictures
