#include "platform/dicom_codec.h"

#include <gdcmMediaStorage.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dicom_file.h"
#include "platform/dicom_pixels.h"
#include "platform/picture_file.h"

namespace ceph::platform {

using namespace dicom;

namespace {

// The output values of the stored ones: the modality rescale, then the VOI LUT when the
// file has one, moved up so that none is negative (scaled down when their range exceeds
// 16 bits), MONOCHROME1 turned round. Also the file's window in those values.
struct Levels {
    std::vector<std::uint16_t> table;  // by the stored bit pattern
    int top = 0;                       // the largest output value
    ui::PictureWindow window;
};

Levels MakeLevels(const Walk& w, int bitsStored, bool isSigned, bool monochrome1) {
    double slope = [&] {
        const double s = Number(w, w.top, Tag(0x0028, 0x1053), 1);
        return s == 0 ? 1.0 : s;
    }();
    double intercept = Number(w, w.top, Tag(0x0028, 0x1052), 0);
    const std::size_t count = std::size_t{1} << bitsStored;
    // A rescale far beyond any detector's, whose values may overflow, is damage: the
    // stored values are shown as they are.
    if (!(static_cast<double>(count) * std::abs(slope) + std::abs(intercept) < 1e12))
        slope = 1, intercept = 0;

    // The VOI LUT: its descriptor (entries, first value mapped, bits) and its data.
    std::vector<double> lut;
    double firstMapped = 0;
    {
        const int entries = UnsignedShort(w, w.voi, Tag(0x0028, 0x3002), w.little, 0);
        const int first = UnsignedShort(w, w.voi, Tag(0x0028, 0x3002), w.little, 1);
        const auto data = w.voi.find(Tag(0x0028, 0x3006));
        if (entries >= 0 && first >= 0 && data != w.voi.end()) {
            const std::size_t n = entries == 0 ? 65536 : static_cast<std::size_t>(entries);
            if (data->second.length >= 2 * n) {
                lut.resize(n);
                for (std::size_t i = 0; i < n; ++i)
                    lut[i] = U16(w.data + data->second.offset + 2 * i, w.little);
                // The first value mapped is signed when the values it maps may be
                // negative: signed pixels, or a rescale that moves them below zero.
                const double lowest = isSigned ? -static_cast<double>(count / 2) : 0;
                const double highest =
                    isSigned ? static_cast<double>(count / 2 - 1) : static_cast<double>(count - 1);
                const bool negative = std::min(lowest * slope, highest * slope) + intercept < 0;
                firstMapped = negative ? static_cast<std::int16_t>(first) : first;
            }
        }
    }

    std::vector<double> value(count);
    double low = 0, high = 0;
    for (std::size_t s = 0; s < count; ++s) {
        double stored = static_cast<double>(s);
        if (isSigned && s >= count / 2) stored -= static_cast<double>(count);
        double v = stored * slope + intercept;
        if (!lut.empty()) {
            const double index =
                std::clamp(std::round(v) - firstMapped, 0.0, static_cast<double>(lut.size() - 1));
            v = lut[static_cast<std::size_t>(index)];
        }
        value[s] = v;
        low = s == 0 ? v : std::min(low, v);
        high = s == 0 ? v : std::max(high, v);
    }
    const double shift = low < 0 ? -low : 0;
    const double scale = high + shift > 65535 ? 65535 / (high + shift) : 1;
    const double top = std::round((high + shift) * scale);
    Levels levels;
    levels.top = static_cast<int>(top);
    levels.table.resize(count);
    for (std::size_t s = 0; s < count; ++s) {
        double out = std::round((value[s] + shift) * scale);
        if (monochrome1) out = top - out;
        levels.table[s] = static_cast<std::uint16_t>(std::clamp(out, 0.0, 65535.0));
    }

    if (!lut.empty()) {
        double lutLow = lut[0], lutHigh = lut[0];
        for (double v : lut) {
            lutLow = std::min(lutLow, v);
            lutHigh = std::max(lutHigh, v);
        }
        levels.window.level = ((lutLow + lutHigh) / 2 + shift) * scale;
        levels.window.width = std::max(1.0, (lutHigh - lutLow) * scale);
    } else {
        const double centre = Number(w, w.top, Tag(0x0028, 0x1050), NAN);
        const double width = Number(w, w.top, Tag(0x0028, 0x1051), NAN);
        if (std::isfinite(centre) && std::isfinite(width) && width > 0) {
            levels.window.level = (centre + shift) * scale;
            levels.window.width = std::max(1.0, width * scale);
        }
    }
    if (monochrome1 && !levels.window.empty()) levels.window.level = top - levels.window.level;
    return levels;
}

// Millimetres per pixel down (index 0) or across (index 1), 0 when unknown or absurd.
double Spacing(const Walk& w, int index) {
    double spacing = Number(w, w.top, Tag(0x0018, 0x1164), 0, index);
    if (spacing > 0) {
        // The imager's spacing is at the detector; the magnification brings it to the
        // patient's plane when the file tells it.
        const double magnification = Number(w, w.top, Tag(0x0018, 0x1114), 0);
        if (magnification >= 1 && magnification <= 3) spacing /= magnification;
    } else {
        spacing = Number(w, w.top, Tag(0x0028, 0x0030), 0, index);
    }
    return spacing >= 0.005 && spacing <= 2 ? spacing : 0;
}

// Whether a file without pixel data was cut short rather than made without them: it
// describes a picture (its size, or an image's storage class), and the walk over its
// elements ended before the place of the pixel data.
bool EndsBeforeItsPixels(const Walk& w) {
    if (!w.top.empty() && w.top.rbegin()->first >= Tag(0x7FE0, 0x0010)) return false;
    if (w.top.contains(Tag(0x0028, 0x0010)) || w.top.contains(Tag(0x0028, 0x0011))) return true;
    for (const std::uint32_t tag : {Tag(0x0002, 0x0002), Tag(0x0008, 0x0016)}) {
        const std::string uid = Text(w, w.top, tag);
        if (!uid.empty() && gdcm::MediaStorage::IsImage(gdcm::MediaStorage::GetMSType(uid.c_str())))
            return true;
    }
    return false;
}

}  // namespace

bool IsDicom(const char* data, std::size_t size) {
    if (size >= 132 && std::memcmp(data + 128, "DICM", 4) == 0) return true;
    if (size < 8) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const int group = p[0] | p[1] << 8;
    if (group != 0x0002 && group != 0x0008) return false;
    // An explicit value representation, or an implicit length that fits the file.
    const bool vr = p[4] >= 'A' && p[4] <= 'Z' && p[5] >= 'A' && p[5] <= 'Z';
    return vr || U32(p + 4, true) <= size - 8;
}

DecodedPicture DecodeDicom(const char* data, std::size_t size, std::string* error) {
    if (!IsDicom(data, size)) {
        *error = "不是 DICOM 檔案";
        return {};
    }
    Walk w;

    std::string syntax;
    if (!WalkFile(data, size, &w, &syntax, error)) return {};
    if (!w.pixels) {
        *error = EndsBeforeItsPixels(w) ? "DICOM 檔案不完整，在像素資料之前就結束，可能被截斷"
                                        : "DICOM 檔案中沒有影像（沒有像素資料）";
        return {};
    }

    // The picture's size and depth, from the header, before anything is allocated.
    const int rows = UnsignedShort(w, w.top, Tag(0x0028, 0x0010), w.little);
    const int columns = UnsignedShort(w, w.top, Tag(0x0028, 0x0011), w.little);
    const int bitsAllocated = UnsignedShort(w, w.top, Tag(0x0028, 0x0100), w.little);
    const int samples = std::max(1, UnsignedShort(w, w.top, Tag(0x0028, 0x0002), w.little));
    const double frames = std::max(1.0, Number(w, w.top, Tag(0x0028, 0x0008), 1));
    if (rows <= 0 || columns <= 0) {
        *error = "DICOM 檔案缺少影像的寬度或高度";
        return {};
    }
    if (!PictureSizeAllowed(columns, rows)) {
        *error = PictureTooLargeReason(columns, rows);
        return {};
    }
    if (frames > 100000) {
        *error = "DICOM 檔案聲稱有 " + Text(w, w.top, Tag(0x0028, 0x0008)).substr(0, 32) +
                 " 個影格，不合理（最多 100000 個）";
        return {};
    }
    if ((bitsAllocated != 8 && bitsAllocated != 16) || (samples != 1 && samples != 3)) {
        *error = "不支援此 DICOM 像素格式（每像素 " + std::to_string(bitsAllocated) + " 位元、" +
                 std::to_string(samples) + " 個樣本）";
        return {};
    }
    const int bitsStored = std::clamp(
        [&] {
            const int v = UnsignedShort(w, w.top, Tag(0x0028, 0x0101), w.little);
            return v > 0 ? v : bitsAllocated;
        }(),
        1, bitsAllocated);
    const int highBit = std::clamp(UnsignedShort(w, w.top, Tag(0x0028, 0x0102), w.little),
                                   bitsStored - 1, bitsAllocated - 1);
    const bool isSigned = UnsignedShort(w, w.top, Tag(0x0028, 0x0103), w.little) == 1;
    const bool planar = samples == 3 && UnsignedShort(w, w.top, Tag(0x0028, 0x0006), w.little) == 1;
    std::string colours = Text(w, w.top, Tag(0x0028, 0x0004));
    if (colours.empty()) colours = samples == 1 ? "MONOCHROME2" : "RGB";
    const bool grey = colours == "MONOCHROME1" || colours == "MONOCHROME2";
    static const char* const kColour[] = {
        "RGB",     "YBR_FULL", "YBR_FULL_422", "YBR_PARTIAL_422", "YBR_PARTIAL_420",
        "YBR_ICT", "YBR_RCT"};
    const bool colour =
        std::find(std::begin(kColour), std::end(kColour), colours) != std::end(kColour);
    if ((samples == 1 && !grey) || (samples == 3 && !colour)) {
        *error = "不支援此 DICOM 影像的色彩模式（" + colours.substr(0, 32) + "）";
        return {};
    }

    // Only the first frame is decoded: raw pixels are cut after it, and compressed ones
    // after its fragment when each frame has one.
    const std::int64_t pixels = std::int64_t{rows} * columns;
    const std::int64_t frameBytes = pixels * samples * (bitsAllocated / 8);
    std::int64_t keptFrames = 1;
    std::vector<Span> kept;
    if (w.encapsulated) {
        if (w.fragments.size() < 2) {
            *error = "DICOM 像素資料不完整，檔案可能被截斷";
            return {};
        }
        kept.assign(w.fragments.begin() + 1, w.fragments.end());
        if (frames > 1 && static_cast<double>(kept.size()) == frames) {
            kept.resize(1);
        } else {
            keptFrames = static_cast<std::int64_t>(frames);
        }
    }
    std::int64_t keptBytes = w.encapsulated ? 0 : frameBytes;
    for (const Span& f : kept)
        keptBytes += static_cast<std::int64_t>(f.length);
    const std::int64_t rawBytes = frameBytes * keptFrames;
    // At most (compressed pixels through GDCM): the pixel data are copied into the clean
    // file GDCM reads, GDCM keeps its own copy and decodes every frame kept into one
    // buffer; a decoder of compressed pixels works in a buffer of its own, then copied
    // (JPEG 2000 holds four bytes a sample). The output picture comes beside them.
    const std::int64_t output = pixels * (samples == 1 ? 2 : 1) + 4 * rows;
    const std::int64_t need =
        2 * keptBytes + rawBytes + (w.encapsulated ? rawBytes + 4 * pixels * samples : 0) + output;
    if (rawBytes > kMaxDecodeBytes || !DecodeMemoryAllowed(need)) {
        *error = DecodeMemoryReason(need);
        return {};
    }

    if (!w.encapsulated && static_cast<std::int64_t>(w.pixelSpan.length) < frameBytes) {
        *error = "DICOM 像素資料不完整，檔案可能被截斷";
        return {};
    }
    PixelModule module{columns,  rows,    bitsAllocated, bitsStored, highBit,
                       isSigned, samples, planar,        colours,    keptFrames};
    int precision = 0;
    // The stream's header must lie in the first fragment: an empty one would let a stream
    // behind it reach the decoder unchecked.
    if (w.encapsulated &&
        (kept.front().length <= 8 || !StreamMatches(syntax, w.data + kept.front().offset + 8,
                                                    kept.front().length - 8, module, &precision))) {
        *error = "DICOM 壓縮的像素資料與影像描述不符（資料損壞）";
        return {};
    }
    // The JPEG decoder GDCM picks follows the bits stored, which must then be the
    // stream's own precision.
    if (precision > 0) {
        module.bitsStored = precision;
        module.highBit = precision - 1;
    }

    // The first frame's samples as GDCM lays them out: little endian, whole words.
    Samples decoded;
    const bool done = !w.encapsulated      ? RawFrame(w, module, frameBytes, &decoded, error)
                      : IsRle(syntax)      ? DecodeRle(w, kept, module, &decoded, error)
                      : IsJpeg2000(syntax) ? DecodeJpeg2000(w, kept, module, &decoded, error)
                                           : DecodeWithGdcm(w, module, syntax, kept, frameBytes,
                                                            rawBytes, &decoded, error);
    if (!done) return {};
    const std::vector<char>& raw = decoded.bytes;

    DecodedPicture picture;
    picture.spacingY = Spacing(w, 0);
    picture.spacingX = Spacing(w, 1);
    picture.damage = decoded.damage;
    if (samples == 3) {
        // Colour becomes grey. Luminance-coded pixels are grey in their first sample:
        // they are given as the file codes them (JPEG's too); the decoder of JPEG 2000
        // turns its own colour transforms back into red, green and blue.
        const bool luma = decoded.colours.rfind("YBR_FULL", 0) == 0 ||
                          decoded.colours.rfind("YBR_PARTIAL", 0) == 0;
        const bool wide = bitsAllocated == 16;
        const bool planarSamples = decoded.planar;
        auto sample = [&](std::int64_t index, int channel) -> int {
            const std::int64_t at = planarSamples ? channel * pixels + index : index * 3 + channel;
            if (!wide) return static_cast<unsigned char>(raw[static_cast<std::size_t>(at)]);
            std::uint16_t v;
            std::memcpy(&v, raw.data() + 2 * at, 2);
            return v >> 8;
        };
        picture.image = QImage(columns, rows, QImage::Format_Grayscale8);
        if (picture.image.isNull()) {
            *error = "記憶體不足";
            return {};
        }
        for (int y = 0; y < rows; ++y) {
            uchar* line = picture.image.scanLine(y);
            for (int x = 0; x < columns; ++x) {
                const std::int64_t i = std::int64_t{y} * columns + x;
                line[x] = static_cast<uchar>(
                    luma ? sample(i, 0) : qGray(sample(i, 0), sample(i, 1), sample(i, 2)));
            }
        }
        return picture;
    }
    if (decoded.colours != "MONOCHROME1" && decoded.colours != "MONOCHROME2") {
        *error = "不支援此 DICOM 影像的色彩模式（" + decoded.colours + "）";
        return {};
    }
    const int stored = decoded.bitsStored;
    const int shift = decoded.highBit + 1 - stored;
    const unsigned mask = (1u << stored) - 1;
    const Levels levels = MakeLevels(w, stored, decoded.isSigned, decoded.colours == "MONOCHROME1");
    const bool deep = levels.top > 255;
    picture.image =
        QImage(columns, rows, deep ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8);
    if (picture.image.isNull()) {
        *error = "記憶體不足";
        return {};
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(raw.data());
    for (int y = 0; y < rows; ++y) {
        const std::int64_t start = std::int64_t{y} * columns;
        if (deep) {
            auto* line = reinterpret_cast<std::uint16_t*>(picture.image.scanLine(y));
            if (bitsAllocated == 16) {
                for (int x = 0; x < columns; ++x) {
                    std::uint16_t v;
                    std::memcpy(&v, bytes + 2 * (start + x), 2);
                    line[x] = levels.table[(v >> shift) & mask];
                }
            } else {
                for (int x = 0; x < columns; ++x)
                    line[x] = levels.table[(bytes[start + x] >> shift) & mask];
            }
        } else {
            uchar* line = picture.image.scanLine(y);
            if (bitsAllocated == 16) {
                for (int x = 0; x < columns; ++x) {
                    std::uint16_t v;
                    std::memcpy(&v, bytes + 2 * (start + x), 2);
                    line[x] = static_cast<uchar>(levels.table[(v >> shift) & mask]);
                }
            } else {
                for (int x = 0; x < columns; ++x)
                    line[x] = static_cast<uchar>(levels.table[(bytes[start + x] >> shift) & mask]);
            }
        }
    }
    picture.fileWindow = levels.window;
    return picture;
}

}  // namespace ceph::platform
