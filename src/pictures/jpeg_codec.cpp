#include "pictures/jpeg_codec.h"

#include <turbojpeg.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "pictures/jpeg_frame.h"
#include "pictures/limits.h"
#include "pictures/orientation.h"
#include "pictures/picture_file.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace ceph::pictures {

namespace {

struct HandleCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::string TurboError(tjhandle handle) {
    return tjGetErrorStr2(handle);
}

// Damaged or missing data leaves grey blocks in the picture, which must not pass for a
// radiograph; bytes of junk between two segments are the one warning whose pixels are
// all there (some scanners write them).
bool HarmlessWarning(const std::string& message) {
    return message.find("extraneous bytes") != std::string::npos;
}

std::string DecodeFailure(const std::string& message) {
    if (message.find("Premature end") != std::string::npos)
        return "JPEG 資料不完整，檔案可能被截斷（" + message + "）";
    return "JPEG 資料損壞（" + message + "）";
}

// Adobe's CMYK JPEGs store the inks inverted, as Qt's own reader assumes too. Each pixel's
// colour replaces its four inks where they lie: a second copy of a picture that may be
// hundreds of megabytes is never made.
void InksToRgb(unsigned char* pixels, int width, int height, int stride) {
    for (int y = 0; y < height; ++y) {
        unsigned char* in = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x, in += 4) {
            const int k = in[3];
            const std::uint32_t rgb = Rgb32(k * in[0] / 255, k * in[1] / 255, k * in[2] / 255);
            std::memcpy(in, &rgb, sizeof rgb);
        }
    }
}

// The TurboJPEG pixel format whose bytes are laid out as an Rgb32 pixel.
constexpr int kRgb32Format = std::endian::native == std::endian::little ? TJPF_BGRX : TJPF_XRGB;

}  // namespace

bool IsJpeg(std::string_view bytes) {
    return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xD8 &&
           static_cast<unsigned char>(bytes[2]) == 0xFF;
}

namespace {

// One JPEG being decoded: the decompressor and what its header told.
struct Jpeg {
    Handle handle{tjInitDecompress()};
    const unsigned char* data = nullptr;
    unsigned long size = 0;
    int width = 0, height = 0, subsampling = 0, colourSpace = 0;
};

// A call of TurboJPEG that failed, or only warned: whether the result can be used, or
// the reason.
base::Result<void> Acceptable(const Jpeg& jpeg) {
    const std::string message = TurboError(jpeg.handle.get());
    if (tjGetErrorCode(jpeg.handle.get()) != TJERR_FATAL && HarmlessWarning(message)) return {};
    return Refuse(DecodeFailure(message));
}

// A call of TurboJPEG: done, or failed or warned acceptably, or the reason.
base::Result<void> Called(const Jpeg& jpeg, int status) {
    if (status == 0) return {};
    return Acceptable(jpeg);
}

std::string OutOfMemory(const Jpeg& jpeg) {
    return "記憶體不足，無法載入 " + std::to_string(jpeg.width) + " × " +
           std::to_string(jpeg.height) + " 像素的圖像";
}

// The limit on progressive scans keeps a hostile file from taking minutes, each scan
// being a pass over the whole picture.
constexpr int kDecodeFlags = TJFLAG_ACCURATEDCT | TJFLAG_LIMITSCANS;

// Scratch memory larger than this is given back after a picture rather than kept.
constexpr std::size_t kKeptScratchBytes = std::size_t{64} << 20;

// Memory for a decoded picture's pixels, released with std::free. Where memory is backed
// lazily, as on many virtual machines, touching a radiograph's 9 MB page by page costs
// nearly as much as decoding it (24 ms measured, against 8 ms in 2 MB pages): on Linux
// the block is aligned to 2 MB and offered huge pages; elsewhere it is plain memory.
unsigned char* AllocatePixels(std::size_t bytes) {
#if defined(__linux__)
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    void* block = nullptr;
    if (bytes >= kHugePage && posix_memalign(&block, kHugePage, bytes) == 0) {
        madvise(block, bytes, MADV_HUGEPAGE);
        return static_cast<unsigned char*>(block);
    }
#endif
    return static_cast<unsigned char*>(std::malloc(bytes));
}

using PixelBlock = std::unique_ptr<unsigned char, void (*)(void*)>;

PixelBlock NewBlock(std::size_t bytes) {
    return {AllocatePixels(bytes), std::free};
}

// Rows of pixels start on 4-byte boundaries.
int Stride(int width, int bytesPerPixel) {
    return (width * bytesPerPixel + 3) & ~3;
}

// The picture owning the block, which may hold rows beyond `height`.
Pixels Adopt(PixelBlock pixels, int width, int height, int stride, PixelFormat format) {
    return AdoptPixels(pixels.release(), width, height, stride, format);
}

bool Resize(std::vector<unsigned char>& buffer, std::size_t size) {
    try {
        buffer.resize(size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// How a JPEG is decoded: grey, RGB and CMYK ones straight into the picture's pixels,
// YCbCr ones to their planes first.
enum class Route { Grey, Colour, Inks, Planes };

Route RouteOf(const Jpeg& jpeg) {
    if (jpeg.colourSpace == TJCS_CMYK || jpeg.colourSpace == TJCS_YCCK) return Route::Inks;
    if (jpeg.colourSpace == TJCS_GRAY) return Route::Grey;
    if (jpeg.colourSpace == TJCS_YCbCr && jpeg.subsampling != TJSAMP_GRAY) return Route::Planes;
    return Route::Colour;
}

// The sizes of a YCbCr JPEG's planes: the brightness plane is padded to whole sampling
// units and rows of four bytes, the chroma planes to whole sampling units.
struct PlaneSizes {
    int lumaStride = 0, lumaHeight = 0, chromaWidth = 0, chromaHeight = 0;
    std::int64_t Bytes() const {
        return std::int64_t{lumaStride} * lumaHeight + 2 * std::int64_t{chromaWidth} * chromaHeight;
    }
};

PlaneSizes PlaneSizesOf(const Jpeg& jpeg) {
    return {Stride(tjPlaneWidth(0, jpeg.width, jpeg.subsampling), 1),
            tjPlaneHeight(0, jpeg.height, jpeg.subsampling),
            tjPlaneWidth(1, jpeg.width, jpeg.subsampling),
            tjPlaneHeight(1, jpeg.height, jpeg.subsampling)};
}

// The memory a route allocates before TurboJPEG decodes into it. A colour picture coming
// from its planes also needs its 32-bit pixels beside them; that is checked once the
// planes show it is not grey.
std::int64_t PixelBytes(const Jpeg& jpeg, Route route) {
    const std::int64_t rows = jpeg.height;
    switch (route) {
        case Route::Grey:
            return rows * Stride(jpeg.width, 1);
        case Route::Colour:
        case Route::Inks:
            return rows * Stride(jpeg.width, 4);
        case Route::Planes:
            return PlaneSizesOf(jpeg).Bytes();
    }
    return 0;
}

// Grey, RGB and CMYK JPEGs, decoded straight into the picture's pixels; the inks of a
// CMYK one then become their colours where they lie.
base::Result<Pixels> DecodeDirect(const Jpeg& jpeg, Route route) {
    const bool grey = route == Route::Grey;
    const int stride = Stride(jpeg.width, grey ? 1 : 4);
    PixelBlock pixels = NewBlock(static_cast<std::size_t>(stride) * jpeg.height);
    if (!pixels) return Refuse(OutOfMemory(jpeg));
    const int format = grey ? TJPF_GRAY : route == Route::Inks ? TJPF_CMYK : kRgb32Format;
    const auto decoded =
        Called(jpeg, tjDecompress2(jpeg.handle.get(), jpeg.data, jpeg.size, pixels.get(),
                                   jpeg.width, stride, jpeg.height, format, kDecodeFlags));
    if (!decoded) return base::Fail(decoded.why());
    if (route == Route::Inks) InksToRgb(pixels.get(), jpeg.width, jpeg.height, stride);
    return Adopt(std::move(pixels), jpeg.width, jpeg.height, stride,
                 grey ? PixelFormat::Grey8 : PixelFormat::Rgb32);
}

// Whether every chroma sample is neutral: the JPEG holds a grey picture in colour
// coding, as scanners and many X-ray systems write them.
bool NeutralChroma(const std::vector<unsigned char>& samples) {
    constexpr int kTolerance = 2;  // a tint below two levels in 255 shows nowhere
    return std::all_of(samples.begin(), samples.end(),
                       [](unsigned char s) { return std::abs(s - 128) <= kTolerance; });
}

// The planes of a YCbCr JPEG: brightness in `luma`, the two chroma planes one after the
// other in `chroma`.
struct Planes {
    PlaneSizes sizes;
    PixelBlock luma{nullptr, std::free};
    std::vector<unsigned char>* chroma = nullptr;
};

base::Result<Pixels> DecodePlanes(const Jpeg& jpeg, Planes& p) {
    const std::size_t chromaBytes = p.chroma->size() / 2;
    unsigned char* planes[3] = {p.luma.get(), p.chroma->data(), p.chroma->data() + chromaBytes};
    int strides[3] = {p.sizes.lumaStride, p.sizes.chromaWidth, p.sizes.chromaWidth};
    const auto split =
        Called(jpeg, tjDecompressToYUVPlanes(jpeg.handle.get(), jpeg.data, jpeg.size, planes,
                                             jpeg.width, strides, jpeg.height, kDecodeFlags));
    if (!split) return base::Fail(split.why());
    if (NeutralChroma(*p.chroma))
        return Adopt(std::move(p.luma), jpeg.width, jpeg.height, p.sizes.lumaStride,
                     PixelFormat::Grey8);
    const int stride = Stride(jpeg.width, 4);
    const std::int64_t colourBytes = std::int64_t{stride} * jpeg.height + p.sizes.Bytes();
    if (!DecodeMemoryAllowed(colourBytes)) return Refuse(DecodeMemoryReason(colourBytes));
    PixelBlock pixels = NewBlock(static_cast<std::size_t>(stride) * jpeg.height);
    if (!pixels) return Refuse(OutOfMemory(jpeg));
    const unsigned char* sources[3] = {planes[0], planes[1], planes[2]};
    const auto joined = Called(
        jpeg, tjDecodeYUVPlanes(jpeg.handle.get(), sources, strides, jpeg.subsampling, pixels.get(),
                                jpeg.width, stride, jpeg.height, kRgb32Format, kDecodeFlags));
    if (!joined) return base::Fail(joined.why());
    return Adopt(std::move(pixels), jpeg.width, jpeg.height, stride, PixelFormat::Rgb32);
}

// YCbCr JPEGs decoded to their planes first (no upsampling, no colour conversion): when
// the chroma is neutral, the brightness plane is the grey picture, a byte a pixel, at
// about the cost of a grey JPEG; otherwise the planes are converted to colour.
base::Result<Pixels> DecodeYcc(const Jpeg& jpeg) {
    // The brightness plane becomes the picture's pixels as it is, the image ending
    // before the padding.
    Planes p;
    p.sizes = PlaneSizesOf(jpeg);
    // The chroma planes are only needed while decoding and are kept for the next picture:
    // fresh memory costs more to touch than the planes cost to decode (see AllocatePixels).
    thread_local std::vector<unsigned char> chroma;
    p.chroma = &chroma;
    p.luma = NewBlock(static_cast<std::size_t>(p.sizes.lumaStride) * p.sizes.lumaHeight);
    if (!p.luma ||
        !Resize(chroma, 2 * static_cast<std::size_t>(p.sizes.chromaWidth) * p.sizes.chromaHeight))
        return Refuse(OutOfMemory(jpeg));
    base::Result<Pixels> pixels = DecodePlanes(jpeg, p);
    if (chroma.capacity() > kKeptScratchBytes) std::vector<unsigned char>().swap(chroma);
    return pixels;
}

}  // namespace

namespace {

// The header, read by TurboJPEG and checked against the limits and the file's length
// before anything is allocated; *declined is set for a sampling TurboJPEG does not take.
base::Result<void> ReadHeader(Jpeg& jpeg, std::size_t size, bool* declined) {
    JpegFrame frame;
    if (!ReadJpegFrame(jpeg.data, size, &frame))
        return Refuse("不是完整的 JPEG 圖檔（沒有影像資料）");
    if (tjDecompressHeader3(jpeg.handle.get(), jpeg.data, jpeg.size, &jpeg.width, &jpeg.height,
                            &jpeg.subsampling, &jpeg.colourSpace) != 0) {
        const std::string message = TurboError(jpeg.handle.get());
        // Sampling layouts outside TurboJPEG's list are valid JPEGs all the same.
        if (declined && message.find("subsampling") != std::string::npos) *declined = true;
        if (tjGetErrorCode(jpeg.handle.get()) == TJERR_FATAL || !HarmlessWarning(message) ||
            jpeg.width <= 0)
            return Refuse("JPEG 檔頭損壞（" + message + "）");
    }
    if (!PictureSizeAllowed(jpeg.width, jpeg.height))
        return Refuse(PictureTooLargeReason(jpeg.width, jpeg.height));
    const std::int64_t decodeBytes =
        PixelBytes(jpeg, RouteOf(jpeg)) + JpegCoefficientBytes(frame, jpeg.width, jpeg.height);
    if (!DecodeMemoryAllowed(decodeBytes)) return Refuse(DecodeMemoryReason(decodeBytes));
    return JpegLongEnough(frame, jpeg.width, jpeg.height, size);
}

}  // namespace

base::Result<Pixels> DecodeJpegPixels(std::string_view bytes, bool* declined) {
    if (declined) *declined = false;
    Jpeg jpeg;
    if (!jpeg.handle) return Refuse("無法啟動 JPEG 解碼器");
    jpeg.data = reinterpret_cast<const unsigned char*>(bytes.data());
    jpeg.size = static_cast<unsigned long>(bytes.size());
    // Refused before anything is allocated, from the header alone.
    if (auto header = ReadHeader(jpeg, bytes.size(), declined); !header)
        return base::Fail(header.why());
    const Route route = RouteOf(jpeg);
    return route == Route::Planes ? DecodeYcc(jpeg) : DecodeDirect(jpeg, route);
}

base::Result<Picture> DecodeJpeg(std::string_view bytes) {
    // A camera's or phone's picture may be stored on its side, with the way up in its
    // EXIF block: it reaches the program upright, whichever decoder reads it.
    const int orientation = JpegExifOrientation(bytes);
    bool declined = false;
    base::Result<Pixels> pixels = DecodeJpegPixels(bytes, &declined);
    Picture picture;
    const Format* other = declined ? FormatAfter(JpegFormat(), bytes) : nullptr;
    if (other) {
        base::Result<Picture> decoded = other->decode(bytes);
        if (!decoded) return decoded;
        picture = std::move(*decoded);
        pixels = std::move(picture.pixels);
    }
    if (!pixels) return base::Fail(pixels.why());
    base::Result<Pixels> upright = Upright(std::move(*pixels), orientation);
    if (!upright) return base::Fail(upright.why());
    picture.pixels = std::move(*upright);
    return picture;
}

base::Result<Pixels> LoadJpeg(const std::string& path) {
    FileBytes bytes;
    if (auto read = ReadPictureFile(path, bytes); !read)
        return base::Fail(path, {}, read.why().detail);
    if (!IsJpeg(bytes.View())) return base::Fail(path, {}, "不是 JPEG 圖檔");
    base::Result<Pixels> pixels = DecodeJpegPixels(bytes.View());
    if (!pixels) return base::Fail(path, {}, pixels.why().detail);
    return pixels;
}

const Format& JpegFormat() {
    static const Format format{"JPEG", "*jpg;*.jpeg", nullptr,
                               IsJpeg, DecodeJpeg,    "不是 JPEG 圖檔"};
    return format;
}

}  // namespace ceph::pictures
