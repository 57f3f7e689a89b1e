#include "platform/tiff_codec.h"

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/orientation.h"
#include "platform/picture_file.h"

namespace ceph::platform {

namespace {

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

std::string Damaged(const Source& s) {
    return "TIFF 資料損壞或不完整" +
           (s.messages.empty() ? std::string() : "（" + s.messages + "）");
}

// The layout of the pixels this reader takes, from the tags.
struct Layout {
    std::uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG;
    bool whiteIsZero() const { return photometric == PHOTOMETRIC_MINISWHITE; }
    bool grey() const { return photometric == PHOTOMETRIC_MINISBLACK || whiteIsZero(); }
};

// Converts `count` pixels of one row of samples into the picture's row from `x` on. A
// grey pixel's level is its first sample: an alpha sample after it is passed over.
void ConvertRow(const Layout& l, const unsigned char* in, int x, int count, QImage& image, int y) {
    uchar* line = image.scanLine(y);
    const std::size_t step = l.samples;
    if (l.grey() && l.bits == 1) {
        const uchar one = l.whiteIsZero() ? 0 : 255;
        for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
            const std::size_t bit = i * step;
            line[x + i] =
                (in[bit >> 3] >> (7 - (bit & 7))) & 1 ? one : static_cast<uchar>(255 - one);
        }
    } else if (l.grey() && l.bits == 8) {
        for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
            line[x + i] = l.whiteIsZero() ? static_cast<uchar>(255 - in[i * step]) : in[i * step];
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
        auto* out = reinterpret_cast<QRgb*>(line) + x;
        for (int i = 0; i < count; ++i) {
            const unsigned char* p = in + static_cast<std::ptrdiff_t>(i) * l.samples;
            out[i] = qRgb(p[0], p[1], p[2]);
        }
    }
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

}  // namespace

bool IsTiff(const char* data, std::size_t size) {
    return size >= 4 && (std::memcmp(data, "II*\0", 4) == 0 || std::memcmp(data, "MM\0*", 4) == 0);
}

DecodedPicture DecodeTiff(const char* data, std::size_t size, std::string* error) {
    if (!IsTiff(data, size)) {
        *error = "不是 TIFF 檔案";
        return {};
    }
    Source source;
    source.data = data;
    source.size = static_cast<toff_t>(size);
    std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(),
                                                                         TIFFOpenOptionsFree);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Complaint, &source);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Quiet, nullptr);
    // No single block of libtiff's may exceed what a whole picture is allowed.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxDecodeBytes);
    std::unique_ptr<TIFF, TiffCloser> tiff(
        TIFFClientOpenExt("picture", "r", &source, ReadProc, WriteProc, SeekProc, CloseProc,
                          SizeProc, MapProc, UnmapProc, options.get()));
    if (!tiff) {
        *error = Damaged(source);
        return {};
    }
    TIFF* t = tiff.get();
    // Complaints while reading the directory of a file that opened (a private tag of a
    // type libtiff does not know) leave the picture whole; from here on they mean damage.
    source.messages.clear();
    std::uint32_t width = 0, height = 0;
    Layout l;
    std::uint16_t compression = COMPRESSION_NONE;
    if (!TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(t, TIFFTAG_IMAGELENGTH, &height) || width == 0 || height == 0) {
        *error = "TIFF 檔案缺少影像的寬度或高度";
        return {};
    }
    if (width > static_cast<std::uint32_t>(kMaxPictureSide) ||
        height > static_cast<std::uint32_t>(kMaxPictureSide) ||
        !PictureSizeAllowed(static_cast<int>(width), static_cast<int>(height))) {
        *error =
            PictureTooLargeReason(static_cast<int>(std::min<std::uint32_t>(width, INT32_MAX)),
                                  static_cast<int>(std::min<std::uint32_t>(height, INT32_MAX)));
        return {};
    }
    TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &l.bits);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLEFORMAT, &l.sampleFormat);
    TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &l.planar);
    TIFFGetFieldDefaulted(t, TIFFTAG_COMPRESSION, &compression);
    if (!TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &l.photometric))
        l.photometric = l.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    const bool grey = l.grey() && (l.bits == 1 || l.bits == 8 || l.bits == 16);
    const bool colour = l.photometric == PHOTOMETRIC_RGB && l.bits == 8 && l.samples >= 3;
    if ((!grey && !colour) || (l.planar != PLANARCONFIG_CONTIG && l.samples > 1) ||
        (l.sampleFormat != SAMPLEFORMAT_UINT &&
         !(l.bits == 16 && l.sampleFormat == SAMPLEFORMAT_INT))) {
        *error = "不支援此 TIFF 像素格式（每樣本 " + std::to_string(l.bits) + " 位元、" +
                 std::to_string(l.samples) + " 個樣本、色彩模式 " + std::to_string(l.photometric) +
                 "）";
        return {};
    }
    if (!TIFFIsCODECConfigured(compression)) {
        *error = "不支援此 TIFF 壓縮方式（" + std::to_string(compression) + "）";
        return {};
    }
    const QImage::Format format = colour         ? QImage::Format_RGB32
                                  : l.bits == 16 ? QImage::Format_Grayscale16
                                                 : QImage::Format_Grayscale8;
    const bool tiled = TIFFIsTiled(t);
    const std::int64_t block = tiled ? TIFFTileSize64(t) : TIFFScanlineSize64(t);
    const int outBits = QImage::toPixelFormat(format).bitsPerPixel();
    const std::int64_t output = (std::int64_t{width} * outBits + 31) / 32 * 4 * height;
    // A strip is decoded whole even when read a row at a time.
    const std::int64_t strip = tiled ? 0 : TIFFStripSize64(t);
    const std::int64_t need = output + block + strip;
    if (block <= 0 || !DecodeMemoryAllowed(need)) {
        *error = block <= 0 ? Damaged(source) : DecodeMemoryReason(need);
        return {};
    }

    DecodedPicture picture;
    picture.image = QImage(static_cast<int>(width), static_cast<int>(height), format);
    std::vector<unsigned char> buffer;
    try {
        buffer.resize(static_cast<std::size_t>(block));
    } catch (const std::bad_alloc&) {
        picture.image = QImage();
    }
    if (picture.image.isNull()) {
        *error = "記憶體不足";
        return {};
    }
    if (tiled) {
        std::uint32_t tileW = 0, tileH = 0;
        TIFFGetField(t, TIFFTAG_TILEWIDTH, &tileW);
        TIFFGetField(t, TIFFTAG_TILELENGTH, &tileH);
        const std::int64_t rowBytes = TIFFTileRowSize64(t);
        if (tileW == 0 || tileH == 0 || rowBytes <= 0 ||
            rowBytes * tileH > static_cast<std::int64_t>(buffer.size())) {
            *error = Damaged(source);
            return {};
        }
        for (std::uint32_t ty = 0; ty < height; ty += tileH) {
            for (std::uint32_t tx = 0; tx < width; tx += tileW) {
                if (TIFFReadTile(t, buffer.data(), tx, ty, 0, 0) < 0) {
                    *error = Damaged(source);
                    return {};
                }
                const int count = static_cast<int>(std::min(tileW, width - tx));
                for (std::uint32_t r = 0; r < tileH && ty + r < height; ++r)
                    ConvertRow(l, buffer.data() + rowBytes * r, static_cast<int>(tx), count,
                               picture.image, static_cast<int>(ty + r));
            }
        }
    } else {
        for (std::uint32_t y = 0; y < height; ++y) {
            if (TIFFReadScanline(t, buffer.data(), y, 0) < 0) {
                *error = Damaged(source);
                return {};
            }
            ConvertRow(l, buffer.data(), 0, static_cast<int>(width), picture.image,
                       static_cast<int>(y));
        }
    }
    // libtiff warns, rather than fails, on some data cut short (a strip shorter than its
    // byte count says): what it complained of while reading means a damaged picture.
    if (!source.messages.empty()) {
        *error = Damaged(source);
        return {};
    }

    std::uint16_t unit = 0;
    float xres = 0, yres = 0;
    if (TIFFGetField(t, TIFFTAG_RESOLUTIONUNIT, &unit) &&
        (unit == RESUNIT_INCH || unit == RESUNIT_CENTIMETER) &&
        TIFFGetField(t, TIFFTAG_XRESOLUTION, &xres) &&
        TIFFGetField(t, TIFFTAG_YRESOLUTION, &yres)) {
        picture.spacingX = Millimetres(xres, unit);
        picture.spacingY = Millimetres(yres, unit);
    }
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetField(t, TIFFTAG_ORIENTATION, &orientation);
    picture.image = Upright(std::move(picture.image), orientation, error);
    if (orientation >= 5) std::swap(picture.spacingX, picture.spacingY);
    return picture;
}

}  // namespace ceph::platform
