#include "pictures/tiff_codec.h"

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "pictures/limits.h"
#include "pictures/orientation.h"

namespace ceph::pictures {

namespace {

constexpr const char* kNotTiff = "不是 TIFF 檔案";

// The bytes libtiff reads, as a file of its own.
struct Source {
    const char* data = nullptr;
    toff_t size = 0;
    toff_t pos = 0;
    std::string messages;  // what libtiff complained of
};

tsize_t ReadProc(thandle_t handle, tdata_t buffer, tsize_t count) {
    auto* s = static_cast<Source*>(handle);
    if (count < 0) return 0;
    const toff_t n =
        std::min<toff_t>(static_cast<toff_t>(count), s->size - std::min(s->pos, s->size));
    std::memcpy(buffer, s->data + s->pos, n);
    s->pos += n;
    return static_cast<tsize_t>(n);
}

tsize_t WriteProc(thandle_t, tdata_t, tsize_t) {
    return 0;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
    auto* s = static_cast<Source*>(handle);
    const toff_t base = whence == SEEK_CUR ? s->pos : whence == SEEK_END ? s->size : 0;
    s->pos = base + offset;
    return s->pos;
}

int CloseProc(thandle_t) {
    return 0;
}

toff_t SizeProc(thandle_t handle) {
    return static_cast<Source*>(handle)->size;
}

int MapProc(thandle_t handle, tdata_t* base, toff_t* size) {
    auto* s = static_cast<Source*>(handle);
    *base = const_cast<char*>(s->data);
    *size = s->size;
    return 1;
}

void UnmapProc(thandle_t, tdata_t, toff_t) {}

// libtiff's complaints become the reason instead of text on the standard error stream.
int Complaint(TIFF*, void* user, const char*, const char* format, va_list args) {
    auto* s = static_cast<Source*>(user);
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    if (!s->messages.empty()) s->messages += "; ";
    if (s->messages.size() < 1000) s->messages += text;
    return 1;
}

int Quiet(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using Tiff = std::unique_ptr<TIFF, TiffCloser>;

std::string Damaged(const Source& s) {
    return "TIFF 資料損壞或不完整" +
           (s.messages.empty() ? std::string() : "（" + s.messages + "）");
}

// The first page's directory, libtiff reading from `source`; null when it cannot be read.
Tiff Open(Source& source) {
    std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(),
                                                                         TIFFOpenOptionsFree);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Complaint, &source);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Quiet, nullptr);
    // No single block of libtiff's may exceed what a whole picture is allowed.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxDecodeBytes);
    return Tiff(TIFFClientOpenExt("picture", "r", &source, ReadProc, WriteProc, SeekProc, CloseProc,
                                  SizeProc, MapProc, UnmapProc, options.get()));
}

// The layout of the pixels this reader takes, from the tags.
struct Layout {
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG;
    std::uint16_t compression = COMPRESSION_NONE;
    PixelFormat format = PixelFormat::Grey8;
    bool tiled = false;
    bool whiteIsZero() const { return photometric == PHOTOMETRIC_MINISWHITE; }
    bool grey() const { return photometric == PHOTOMETRIC_MINISBLACK || whiteIsZero(); }
};

// The picture's size, refused when missing or over the limits.
base::Result<void> ReadSize(TIFF* t, Layout& l) {
    if (!TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &l.width) ||
        !TIFFGetField(t, TIFFTAG_IMAGELENGTH, &l.height) || l.width == 0 || l.height == 0)
        return Refuse("TIFF 檔案缺少影像的寬度或高度");
    if (l.width > static_cast<std::uint32_t>(kMaxPictureSide) ||
        l.height > static_cast<std::uint32_t>(kMaxPictureSide) ||
        !PictureSizeAllowed(static_cast<int>(l.width), static_cast<int>(l.height)))
        return Refuse(
            PictureTooLargeReason(static_cast<int>(std::min<std::uint32_t>(l.width, INT32_MAX)),
                                  static_cast<int>(std::min<std::uint32_t>(l.height, INT32_MAX))));
    return {};
}

// How the pixels are stored, refused when this reader does not take it.
base::Result<Layout> ReadLayout(TIFF* t) {
    Layout l;
    if (auto size = ReadSize(t, l); !size) return base::Fail(size.why());
    TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &l.bits);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLEFORMAT, &l.sampleFormat);
    TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &l.planar);
    TIFFGetFieldDefaulted(t, TIFFTAG_COMPRESSION, &l.compression);
    if (!TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &l.photometric))
        l.photometric = l.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    const bool grey = l.grey() && (l.bits == 1 || l.bits == 8 || l.bits == 16);
    const bool colour = l.photometric == PHOTOMETRIC_RGB && l.bits == 8 && l.samples >= 3;
    if ((!grey && !colour) || (l.planar != PLANARCONFIG_CONTIG && l.samples > 1) ||
        (l.sampleFormat != SAMPLEFORMAT_UINT &&
         !(l.bits == 16 && l.sampleFormat == SAMPLEFORMAT_INT)))
        return Refuse("不支援此 TIFF 像素格式（每樣本 " + std::to_string(l.bits) + " 位元、" +
                      std::to_string(l.samples) + " 個樣本、色彩模式 " +
                      std::to_string(l.photometric) + "）");
    if (!TIFFIsCODECConfigured(l.compression))
        return Refuse("不支援此 TIFF 壓縮方式（" + std::to_string(l.compression) + "）");
    l.format = colour         ? PixelFormat::Rgb32
               : l.bits == 16 ? PixelFormat::Grey16
                              : PixelFormat::Grey8;
    l.tiled = TIFFIsTiled(t);
    return l;
}

// The output pixels and the block libtiff decodes into, refused together when they (and
// a strip libtiff decodes whole even when read a row at a time) exceed the budget.
base::Result<Pixels> Allocate(TIFF* t, const Layout& l, const Source& source,
                              std::vector<unsigned char>& buffer) {
    const std::int64_t block = l.tiled ? TIFFTileSize64(t) : TIFFScanlineSize64(t);
    const std::int64_t output = RowBytes(static_cast<int>(l.width), l.format) * l.height;
    const std::int64_t strip = l.tiled ? 0 : TIFFStripSize64(t);
    const std::int64_t need = output + block + strip;
    if (block <= 0) return Refuse(Damaged(source));
    if (!DecodeMemoryAllowed(need)) return Refuse(DecodeMemoryReason(need));
    Pixels pixels = NewPixels(static_cast<int>(l.width), static_cast<int>(l.height), l.format);
    try {
        buffer.resize(static_cast<std::size_t>(block));
    } catch (const std::bad_alloc&) {
        pixels = {};
    }
    if (pixels.null()) return Refuse(kOutOfMemory);
    return pixels;
}

// Converts `count` pixels of one row of samples into the picture's row from `x` on. A
// grey pixel's level is its first sample: an alpha sample after it is passed over.
void ConvertRow(const Layout& l, const unsigned char* in, int x, int count, Pixels& pixels, int y) {
    unsigned char* line = pixels.Row(y);
    const std::size_t step = l.samples;
    if (l.grey() && l.bits == 1) {
        const unsigned char one = l.whiteIsZero() ? 0 : 255;
        for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
            const std::size_t bit = i * step;
            line[x + i] =
                (in[bit >> 3] >> (7 - (bit & 7))) & 1 ? one : static_cast<unsigned char>(255 - one);
        }
    } else if (l.grey() && l.bits == 8) {
        for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
            line[x + i] =
                l.whiteIsZero() ? static_cast<unsigned char>(255 - in[i * step]) : in[i * step];
    } else if (l.grey()) {
        auto* out = reinterpret_cast<std::uint16_t*>(line) + x;
        const std::uint16_t flip = l.whiteIsZero() ? 0xFFFF : 0;
        const std::uint16_t sign = l.sampleFormat == SAMPLEFORMAT_INT ? 0x8000 : 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
            std::uint16_t v;
            std::memcpy(&v, in + 2 * i * step, 2);
            out[i] = static_cast<std::uint16_t>((v ^ sign) ^ flip);
        }
    } else {
        auto* out = reinterpret_cast<std::uint32_t*>(line) + x;
        for (int i = 0; i < count; ++i) {
            const unsigned char* p = in + static_cast<std::ptrdiff_t>(i) * l.samples;
            out[i] = Rgb32(p[0], p[1], p[2]);
        }
    }
}

base::Result<void> ReadTiles(TIFF* t, const Layout& l, const Source& source,
                             std::vector<unsigned char>& buffer, Pixels& pixels) {
    std::uint32_t tileW = 0, tileH = 0;
    TIFFGetField(t, TIFFTAG_TILEWIDTH, &tileW);
    TIFFGetField(t, TIFFTAG_TILELENGTH, &tileH);
    const std::int64_t rowBytes = TIFFTileRowSize64(t);
    if (tileW == 0 || tileH == 0 || rowBytes <= 0 ||
        rowBytes * tileH > static_cast<std::int64_t>(buffer.size()))
        return Refuse(Damaged(source));
    for (std::uint32_t ty = 0; ty < l.height; ty += tileH) {
        for (std::uint32_t tx = 0; tx < l.width; tx += tileW) {
            if (TIFFReadTile(t, buffer.data(), tx, ty, 0, 0) < 0) return Refuse(Damaged(source));
            const int count = static_cast<int>(std::min(tileW, l.width - tx));
            for (std::uint32_t r = 0; r < tileH && ty + r < l.height; ++r)
                ConvertRow(l, buffer.data() + rowBytes * r, static_cast<int>(tx), count, pixels,
                           static_cast<int>(ty + r));
        }
    }
    return {};
}

base::Result<void> ReadStrips(TIFF* t, const Layout& l, const Source& source,
                              std::vector<unsigned char>& buffer, Pixels& pixels) {
    for (std::uint32_t y = 0; y < l.height; ++y) {
        if (TIFFReadScanline(t, buffer.data(), y, 0) < 0) return Refuse(Damaged(source));
        ConvertRow(l, buffer.data(), 0, static_cast<int>(l.width), pixels, static_cast<int>(y));
    }
    return {};
}

// Millimetres per pixel from a resolution in pixels per unit; 0 when absurd, or when it
// is a screen's 72 or 96 per inch: programs that do not know the scale write those, and
// a length measured with them means nothing. Per centimetre they are 28.35 and 37.80,
// rounded to two decimals or to one.
double Millimetres(float resolution, std::uint16_t unit) {
    if (!(resolution > 0)) return 0;
    const double perInch = unit == RESUNIT_CENTIMETER ? resolution * 2.54 : resolution;
    for (const double screen : {72.0, 96.0})
        if (std::abs(perInch - screen) < 0.13) return 0;
    const double mm = 25.4 / perInch;
    return mm >= 0.005 && mm <= 2 ? mm : 0;
}

void ReadSpacing(TIFF* t, Picture& picture) {
    std::uint16_t unit = 0;
    float xres = 0, yres = 0;
    if (TIFFGetField(t, TIFFTAG_RESOLUTIONUNIT, &unit) &&
        (unit == RESUNIT_INCH || unit == RESUNIT_CENTIMETER) &&
        TIFFGetField(t, TIFFTAG_XRESOLUTION, &xres) &&
        TIFFGetField(t, TIFFTAG_YRESOLUTION, &yres)) {
        picture.spacingX = Millimetres(xres, unit);
        picture.spacingY = Millimetres(yres, unit);
    }
}

// Every picture the program keeps is grey when its pixels are: a colour TIFF of grey
// pixels becomes one byte a pixel, when the copy fits the budget beside the colour one.
base::Result<Pixels> GreyWhenAllGrey(Pixels colour) {
    if (colour.format != PixelFormat::Rgb32) return colour;
    bool grey = true;
    for (int y = 0; y < colour.height && grey; ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(colour.Row(y));
        for (int x = 0; x < colour.width && grey; ++x)
            grey = (in[x] >> 16 & 0xFF) == (in[x] >> 8 & 0xFF) &&
                   (in[x] >> 8 & 0xFF) == (in[x] & 0xFF);
    }
    const std::int64_t need =
        colour.Bytes() + (grey ? RowBytes(colour.width, PixelFormat::Grey8) * colour.height : 0);
    if (!DecodeMemoryAllowed(need)) return Refuse(DecodeMemoryReason(need));
    if (!grey) return colour;
    Pixels out = NewPixels(colour.width, colour.height, PixelFormat::Grey8);
    if (out.null()) return Refuse(kOutOfMemory);
    for (int y = 0; y < colour.height; ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(colour.Row(y));
        unsigned char* line = out.Row(y);
        for (int x = 0; x < colour.width; ++x)
            line[x] = static_cast<unsigned char>(in[x] & 0xFF);
    }
    return out;
}

// The pixels of the first page, read through libtiff as its layout says.
base::Result<Pixels> ReadPixels(TIFF* t, Source& source) {
    const base::Result<Layout> layout = ReadLayout(t);
    if (!layout) return base::Fail(layout.why());
    std::vector<unsigned char> buffer;
    base::Result<Pixels> pixels = Allocate(t, *layout, source, buffer);
    if (!pixels) return pixels;
    const base::Result<void> read = layout->tiled ? ReadTiles(t, *layout, source, buffer, *pixels)
                                                  : ReadStrips(t, *layout, source, buffer, *pixels);
    if (!read) return base::Fail(read.why());
    // libtiff warns, rather than fails, on some data cut short (a strip shorter than its
    // byte count says): what it complained of while reading means a damaged picture.
    if (!source.messages.empty()) return Refuse(Damaged(source));
    return pixels;
}

}  // namespace

bool IsTiff(std::string_view bytes) {
    return bytes.size() >= 4 && (bytes.substr(0, 4) == std::string_view("II*\0", 4) ||
                                 bytes.substr(0, 4) == std::string_view("MM\0*", 4));
}

base::Result<Picture> DecodeTiff(std::string_view bytes) {
    if (!IsTiff(bytes)) return Refuse(kNotTiff);
    Source source;
    source.data = bytes.data();
    source.size = static_cast<toff_t>(bytes.size());
    const Tiff tiff = Open(source);
    if (!tiff) return Refuse(Damaged(source));
    // Complaints while reading the directory of a file that opened (a private tag of a
    // type libtiff does not know) leave the picture whole; from here on they mean damage.
    source.messages.clear();
    base::Result<Pixels> pixels = ReadPixels(tiff.get(), source);
    if (!pixels) return base::Fail(pixels.why());
    Picture picture;
    ReadSpacing(tiff.get(), picture);
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetField(tiff.get(), TIFFTAG_ORIENTATION, &orientation);
    base::Result<Pixels> upright = Upright(std::move(*pixels), orientation);
    if (!upright) return base::Fail(upright.why());
    if (orientation >= 5) std::swap(picture.spacingX, picture.spacingY);
    base::Result<Pixels> kept = GreyWhenAllGrey(std::move(*upright));
    if (!kept) return base::Fail(kept.why());
    picture.pixels = std::move(*kept);
    return picture;
}

const Format& TiffFormat() {
    static const Format format{"TIFF", "*.tif;*.tiff", nullptr, IsTiff, DecodeTiff, kNotTiff};
    return format;
}

}  // namespace ceph::pictures
