#include "pictures/orientation.h"

#include <cstdint>
#include <cstring>

#include "pictures/limits.h"

namespace ceph::pictures {

namespace {

unsigned Read16(const unsigned char* p, bool little) {
    return little ? (p[0] | p[1] << 8) : (p[1] | p[0] << 8);
}

std::uint32_t Read32(const unsigned char* p, bool little) {
    return little ? (Read16(p, true) | Read16(p + 2, true) << 16)
                  : (Read16(p + 2, false) | Read16(p, false) << 16);
}

// The orientation in a TIFF-structured EXIF block, 1 when absent.
int ExifBlockOrientation(const unsigned char* tiff, std::size_t size) {
    if (size < 8) return 1;
    bool little;
    if (std::memcmp(tiff, "II*\0", 4) == 0) {
        little = true;
    } else if (std::memcmp(tiff, "MM\0*", 4) == 0) {
        little = false;
    } else {
        return 1;
    }
    const std::uint32_t ifd = Read32(tiff + 4, little);
    if (ifd > size - 2) return 1;
    const unsigned count = Read16(tiff + ifd, little);
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = ifd + 2 + std::size_t{12} * i;
        if (entry + 12 > size) return 1;
        // Orientation: one SHORT held in the entry itself.
        if (Read16(tiff + entry, little) == 0x0112 && Read16(tiff + entry + 2, little) == 3) {
            const unsigned value = Read16(tiff + entry + 8, little);
            return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
        }
    }
    return 1;
}

// Where the pixel of the turned picture at (X, Y) lies in a picture w × h.
void Source(int orientation, int w, int h, int X, int Y, int& x, int& y) {
    x = X, y = Y;
    switch (orientation) {
        case 2:
            x = w - 1 - X;
            break;
        case 3:
            x = w - 1 - X, y = h - 1 - Y;
            break;
        case 4:
            y = h - 1 - Y;
            break;
        case 5:
            x = Y, y = X;
            break;
        case 6:
            x = Y, y = h - 1 - X;
            break;
        case 7:
            x = w - 1 - Y, y = h - 1 - X;
            break;
        case 8:
            x = w - 1 - Y, y = X;
            break;
        default:
            break;
    }
}

template <typename Pixel>
void Turn(const Pixels& from, Pixels& to, int orientation) {
    for (int Y = 0; Y < to.height; ++Y) {
        auto* out = reinterpret_cast<Pixel*>(to.Row(Y));
        for (int X = 0; X < to.width; ++X) {
            int x, y;
            Source(orientation, from.width, from.height, X, Y, x, y);
            out[X] = reinterpret_cast<const Pixel*>(from.Row(y))[x];
        }
    }
}

}  // namespace

int JpegExifOrientation(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t pos = 2;  // after the start of image
    while (pos + 4 <= size && p[pos] == 0xFF) {
        const unsigned marker = p[pos + 1];
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            pos += 2;
            continue;
        }
        if (marker == 0xFF) {  // fill byte
            ++pos;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) break;  // the pixels begin: no more headers
        const std::size_t length = Read16(p + pos + 2, false);
        if (length < 2 || pos + 2 + length > size) break;
        if (marker == 0xE1 && length >= 8 && std::memcmp(p + pos + 4, "Exif\0\0", 6) == 0)
            return ExifBlockOrientation(p + pos + 10, length - 8);
        pos += 2 + length;
    }
    return 1;
}

base::Result<Pixels> Upright(Pixels pixels, int orientation) {
    if (orientation < 2 || orientation > 8 || pixels.null()) return pixels;
    const bool across = orientation >= 5;
    const std::int64_t need = pixels.Bytes() * 2;
    if (!DecodeMemoryAllowed(need)) return Refuse(DecodeMemoryReason(need));
    Pixels turned = NewPixels(across ? pixels.height : pixels.width,
                              across ? pixels.width : pixels.height, pixels.format);
    if (turned.null()) return Refuse(kOutOfMemory);
    switch (BitsPerPixel(pixels.format)) {
        case 8:
            Turn<std::uint8_t>(pixels, turned, orientation);
            break;
        case 16:
            Turn<std::uint16_t>(pixels, turned, orientation);
            break;
        default:
            Turn<std::uint32_t>(pixels, turned, orientation);
            break;
    }
    turned.dotsPerMeterX = across ? pixels.dotsPerMeterY : pixels.dotsPerMeterX;
    turned.dotsPerMeterY = across ? pixels.dotsPerMeterX : pixels.dotsPerMeterY;
    return turned;
}

}  // namespace ceph::pictures
