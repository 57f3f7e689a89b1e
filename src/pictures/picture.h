#pragma once
// A picture file decoded, in terms of no window library: its pixels, laid out as the
// screen's library lays out its own (rows of whole 4-byte words), and what the file told
// about them beyond the pixels. The platform hands the pixels to Qt without copying them.

#include <any>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <system_error>

#include "base/result.h"

namespace ceph::pictures {

enum class PixelFormat {
    Grey8,                // one byte a pixel
    Grey16,               // two bytes a pixel, native byte order
    Rgb32,                // 0xffRRGGBB in a native 32-bit word
    Argb32Premultiplied,  // 0xAARRGGBB, colours multiplied by alpha
};

int BitsPerPixel(PixelFormat format);

// The bytes of a row of `width` pixels: whole 4-byte words.
std::ptrdiff_t RowBytes(int width, PixelFormat format);

struct Pixels {
    // The first row's first byte, and what keeps the block alive; null for no picture.
    std::shared_ptr<unsigned char> data;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
    PixelFormat format = PixelFormat::Grey8;
    // The resolution another library read with the pixels, kept as it gave it; 0 for
    // none told.
    int dotsPerMeterX = 0;
    int dotsPerMeterY = 0;
    // The picture as the library that decoded it holds it (Qt's readers give a QImage),
    // so that library gets back the very picture it made, with whatever it keeps beside
    // the pixels. Empty for pixels decoded here.
    std::any native;

    bool null() const { return !data; }
    unsigned char* Row(int y) const { return data.get() + stride * y; }
    // The bytes of the rows, as the decoding budget counts them.
    std::int64_t Bytes() const { return std::int64_t{stride} * height; }
};

// New pixels in rows of whole words, their values unset; null when memory ran out.
Pixels NewPixels(int width, int height, PixelFormat format);

// Pixels in a block from std::malloc (or posix_memalign), released with std::free; the
// block is released at once when it is null.
Pixels AdoptPixels(unsigned char* block, int width, int height, std::ptrdiff_t stride,
                   PixelFormat format);

// A 32-bit colour pixel of Format Rgb32.
inline std::uint32_t Rgb32(int red, int green, int blue) {
    return 0xFF000000u | static_cast<std::uint32_t>(red & 0xFF) << 16 |
           static_cast<std::uint32_t>(green & 0xFF) << 8 | static_cast<std::uint32_t>(blue & 0xFF);
}

// A display window: its middle level and its width, in the picture's levels.
struct Window {
    double level = 0;
    double width = 0;
    bool empty() const { return !(width > 0); }
    bool operator==(const Window&) const = default;
};

struct Picture {
    // Grey8 for grey pictures of 8 bits or fewer, Grey16 for deeper grey ones (the stored
    // values scaled to no range: a 12-bit level stays 0..4095, a DICOM's level after its
    // modality rescale, moved up so that none is negative), Rgb32 or Argb32Premultiplied
    // for colour.
    Pixels pixels;
    // The file's own display window, in the values of the pixels; empty when it gives none.
    Window fileWindow;
    // Millimetres per pixel across and down; 0 when unknown or absurd.
    double spacingX = 0;
    double spacingY = 0;
    // What the decoder found damaged in a picture it could still show, in Traditional
    // Chinese (what was damaged, not the file's name); empty for a whole picture.
    std::string damage;
};

// A picture refused, for the reason given in Traditional Chinese, ready to follow a
// message such as "無法讀取圖檔：" (the bytes have no file name; the caller names it).
inline base::Failure<base::Problem> Refuse(std::string reason) {
    return base::Fail(std::string(), std::error_code(), std::move(reason));
}

}  // namespace ceph::pictures
