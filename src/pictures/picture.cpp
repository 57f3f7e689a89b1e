#include "pictures/picture.h"

#include <cstdlib>
#include <new>

namespace ceph::pictures {

int BitsPerPixel(PixelFormat format) {
    switch (format) {
        case PixelFormat::Grey8:
            return 8;
        case PixelFormat::Grey16:
            return 16;
        case PixelFormat::Rgb32:
        case PixelFormat::Argb32Premultiplied:
            return 32;
    }
    return 32;
}

std::ptrdiff_t RowBytes(int width, PixelFormat format) {
    return (std::ptrdiff_t{width} * BitsPerPixel(format) + 31) / 32 * 4;
}

Pixels NewPixels(int width, int height, PixelFormat format) {
    if (width <= 0 || height <= 0) return {};
    const std::ptrdiff_t stride = RowBytes(width, format);
    auto* block = static_cast<unsigned char*>(
        std::malloc(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height)));
    return AdoptPixels(block, width, height, stride, format);
}

Pixels AdoptPixels(unsigned char* block, int width, int height, std::ptrdiff_t stride,
                   PixelFormat format) {
    if (!block) return {};
    Pixels pixels;
    try {
        pixels.data = std::shared_ptr<unsigned char>(block, std::free);
    } catch (const std::bad_alloc&) {
        return {};  // the block is released already
    }
    pixels.width = width;
    pixels.height = height;
    pixels.stride = stride;
    pixels.format = format;
    return pixels;
}

}  // namespace ceph::pictures
