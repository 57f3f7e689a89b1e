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

// The VOI LUT: its descriptor (entries, first value mapped, bits) and its data; empty
// when the file has none that its data fill. `count` stored values, rescaled by
// `slope` and `intercept`, are mapped from `*firstMapped` on.
std::vector<double> VoiLut(const Walk& w, std::size_t count, bool isSigned, double slope,
                           double intercept, double* firstMapped) {
    const int entries = UnsignedShort(w, w.voi, Tag(0x0028, 0x3002), w.little, 0);
    const int first = UnsignedShort(w, w.voi, Tag(0x0028, 0x3002), w.little, 1);
    const auto data = w.voi.find(Tag(0x0028, 0x3006));
    if (entries < 0 || first < 0 || data == w.voi.end()) return {};
    const std::size_t n = entries == 0 ? 65536 : static_cast<std::size_t>(entries);
    if (data->second.length < 2 * n) return {};
    std::vector<double> lut(n);
    for (std::size_t i = 0; i < n; ++i)
        lut[i] = U16(w.data + data->second.offset + 2 * i, w.little);
    // The first value mapped is signed when the values it maps may be negative: signed
    // pixels, or a rescale that moves them below zero.
    const double lowest = isSigned ? -static_cast<double>(count / 2) : 0;
    const double highest =
        isSigned ? static_cast<double>(count / 2 - 1) : static_cast<double>(count - 1);
    const bool negative = std::min(lowest * slope, highest * slope) + intercept < 0;
    *firstMapped = negative ? static_cast<std::int16_t>(first) : first;
    return lut;
}

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

    double firstMapped = 0;
    const std::vector<double> lut = VoiLut(w, count, isSigned, slope, intercept, &firstMapped);

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

namespace {

// The pixel module from the header, checked before anything is allocated; `frames` is
// the number of frames the file claims.
bool ReadModule(const Walk& w, PixelModule* m, double* frames, std::string* error) {
    const int rows = UnsignedShort(w, w.top, Tag(0x0028, 0x0010), w.little);
    const int columns = UnsignedShort(w, w.top, Tag(0x0028, 0x0011), w.little);
    const int bitsAllocated = UnsignedShort(w, w.top, Tag(0x0028, 0x0100), w.little);
    const int samples = std::max(1, UnsignedShort(w, w.top, Tag(0x0028, 0x0002), w.little));
    *frames = std::max(1.0, Number(w, w.top, Tag(0x0028, 0x0008), 1));
    if (rows <= 0 || columns <= 0) {
        *error = "DICOM 檔案缺少影像的寬度或高度";
        return false;
    }
    if (!PictureSizeAllowed(columns, rows)) {
        *error = PictureTooLargeReason(columns, rows);
        return false;
    }
    if (*frames > 100000) {
        *error = "DICOM 檔案聲稱有 " + Text(w, w.top, Tag(0x0028, 0x0008)).substr(0, 32) +
                 " 個影格，不合理（最多 100000 個）";
        return false;
    }
    if ((bitsAllocated != 8 && bitsAllocated != 16) || (samples != 1 && samples != 3)) {
        *error = "不支援此 DICOM 像素格式（每像素 " + std::to_string(bitsAllocated) + " 位元、" +
                 std::to_string(samples) + " 個樣本）";
        return false;
    }
    const int stored = UnsignedShort(w, w.top, Tag(0x0028, 0x0101), w.little);
    const int bitsStored = std::clamp(stored > 0 ? stored : bitsAllocated, 1, bitsAllocated);
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
        return false;
    }
    *m = {columns, rows, bitsAllocated, bitsStored, highBit, isSigned, samples, planar, colours, 1};
    return true;
}

// What of the pixel data is decoded: only the first frame. Raw pixels are cut after it,
// and compressed ones after its fragment when each frame has one.
struct FramePlan {
    std::vector<Span> kept;   // the compressed items handed to a decoder
    std::int64_t frameBytes;  // one decoded frame
    std::int64_t rawBytes;    // every frame the decoder is given, decoded
};

bool PlanFrames(const Walk& w, double frames, PixelModule* m, FramePlan* plan, std::string* error) {
    const std::int64_t pixels = std::int64_t{m->rows} * m->columns;
    plan->frameBytes = pixels * m->samples * (m->bitsAllocated / 8);
    if (w.encapsulated) {
        if (w.fragments.size() < 2) {
            *error = "DICOM 像素資料不完整，檔案可能被截斷";
            return false;
        }
        plan->kept.assign(w.fragments.begin() + 1, w.fragments.end());
        if (frames > 1 && static_cast<double>(plan->kept.size()) == frames)
            plan->kept.resize(1);
        else
            m->frames = static_cast<std::int64_t>(frames);
    }
    std::int64_t keptBytes = w.encapsulated ? 0 : plan->frameBytes;
    for (const Span& f : plan->kept)
        keptBytes += static_cast<std::int64_t>(f.length);
    plan->rawBytes = plan->frameBytes * m->frames;
    // At most (compressed pixels through GDCM): the pixel data are copied into the clean
    // file GDCM reads, GDCM keeps its own copy and decodes every frame kept into one
    // buffer; a decoder of compressed pixels works in a buffer of its own, then copied
    // (JPEG 2000 holds four bytes a sample). The output picture comes beside them.
    const std::int64_t output = pixels * (m->samples == 1 ? 2 : 1) + 4 * m->rows;
    const std::int64_t need = 2 * keptBytes + plan->rawBytes +
                              (w.encapsulated ? plan->rawBytes + 4 * pixels * m->samples : 0) +
                              output;
    if (plan->rawBytes > kMaxDecodeBytes || !DecodeMemoryAllowed(need)) {
        *error = DecodeMemoryReason(need);
        return false;
    }
    if (!w.encapsulated && static_cast<std::int64_t>(w.pixelSpan.length) < plan->frameBytes) {
        *error = "DICOM 像素資料不完整，檔案可能被截斷";
        return false;
    }
    return true;
}

// The first frame's samples: little endian, whole words.
bool DecodeFirstFrame(const Walk& w, const std::string& syntax, PixelModule* m,
                      const FramePlan& plan, Samples* decoded, std::string* error) {
    if (!w.encapsulated) return RawFrame(w, *m, plan.frameBytes, decoded, error);
    int precision = 0;
    // The stream's header must lie in the first fragment: an empty one would let a stream
    // behind it reach the decoder unchecked.
    const Span& first = plan.kept.front();
    if (first.length <= 8 ||
        !StreamMatches(syntax, w.data + first.offset + 8, first.length - 8, *m, &precision)) {
        *error = "DICOM 壓縮的像素資料與影像描述不符（資料損壞）";
        return false;
    }
    // The JPEG decoder GDCM picks follows the bits stored, which must then be the
    // stream's own precision.
    if (precision > 0) {
        m->bitsStored = precision;
        m->highBit = precision - 1;
    }
    if (IsRle(syntax)) return DecodeRle(w, plan.kept, *m, decoded, error);
    if (IsJpeg2000(syntax)) return DecodeJpeg2000(w, plan.kept, *m, decoded, error);
    return DecodeWithGdcm(w, *m, syntax, plan.kept, plan.frameBytes, plan.rawBytes, decoded, error);
}

// Colour becomes grey. Luminance-coded pixels are grey in their first sample: they are
// given as the file codes them (JPEG's too); the decoder of JPEG 2000 turns its own
// colour transforms back into red, green and blue.
bool GreyOfColour(const Samples& decoded, const PixelModule& m, QImage* image) {
    const std::vector<char>& raw = decoded.bytes;
    const std::int64_t pixels = std::int64_t{m.rows} * m.columns;
    const bool luma =
        decoded.colours.rfind("YBR_FULL", 0) == 0 || decoded.colours.rfind("YBR_PARTIAL", 0) == 0;
    const bool wide = m.bitsAllocated == 16;
    auto sample = [&](std::int64_t index, int channel) -> int {
        const std::int64_t at = decoded.planar ? channel * pixels + index : index * 3 + channel;
        if (!wide) return static_cast<unsigned char>(raw[static_cast<std::size_t>(at)]);
        std::uint16_t v;
        std::memcpy(&v, raw.data() + 2 * at, 2);
        return v >> 8;
    };
    *image = QImage(m.columns, m.rows, QImage::Format_Grayscale8);
    if (image->isNull()) return false;
    for (int y = 0; y < m.rows; ++y) {
        uchar* line = image->scanLine(y);
        for (int x = 0; x < m.columns; ++x) {
            const std::int64_t i = std::int64_t{y} * m.columns + x;
            line[x] = static_cast<uchar>(luma ? sample(i, 0)
                                              : qGray(sample(i, 0), sample(i, 1), sample(i, 2)));
        }
    }
    return true;
}

// Grey samples through the levels: each stored value shifted down from its high bit,
// looked up, into an 8-bit picture or, when the levels go beyond 255, a 16-bit one.
bool GreyThroughLevels(const Samples& decoded, const PixelModule& m, const Levels& levels,
                       QImage* image) {
    const int shift = decoded.highBit + 1 - decoded.bitsStored;
    const unsigned mask = (1u << decoded.bitsStored) - 1;
    const bool deep = levels.top > 255;
    *image =
        QImage(m.columns, m.rows, deep ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8);
    if (image->isNull()) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(decoded.bytes.data());
    auto level = [&](std::int64_t i) -> std::uint16_t {
        if (m.bitsAllocated != 16) return levels.table[(bytes[i] >> shift) & mask];
        std::uint16_t v;
        std::memcpy(&v, bytes + 2 * i, 2);
        return levels.table[(v >> shift) & mask];
    };
    for (int y = 0; y < m.rows; ++y) {
        const std::int64_t start = std::int64_t{y} * m.columns;
        if (deep) {
            auto* line = reinterpret_cast<std::uint16_t*>(image->scanLine(y));
            for (int x = 0; x < m.columns; ++x)
                line[x] = level(start + x);
        } else {
            uchar* line = image->scanLine(y);
            for (int x = 0; x < m.columns; ++x)
                line[x] = static_cast<uchar>(level(start + x));
        }
    }
    return true;
}

}  // namespace

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
    PixelModule module{};
    double frames = 1;
    FramePlan plan;
    Samples decoded;
    if (!ReadModule(w, &module, &frames, error) || !PlanFrames(w, frames, &module, &plan, error) ||
        !DecodeFirstFrame(w, syntax, &module, plan, &decoded, error))
        return {};

    DecodedPicture picture;
    picture.spacingY = Spacing(w, 0);
    picture.spacingX = Spacing(w, 1);
    picture.damage = decoded.damage;
    if (module.samples == 3) {
        if (!GreyOfColour(decoded, module, &picture.image)) {
            *error = "記憶體不足";
            return {};
        }
        return picture;
    }
    if (decoded.colours != "MONOCHROME1" && decoded.colours != "MONOCHROME2") {
        *error = "不支援此 DICOM 影像的色彩模式（" + decoded.colours + "）";
        return {};
    }
    const Levels levels =
        MakeLevels(w, decoded.bitsStored, decoded.isSigned, decoded.colours == "MONOCHROME1");
    if (!GreyThroughLevels(decoded, module, levels, &picture.image)) {
        *error = "記憶體不足";
        return {};
    }
    picture.fileWindow = levels.window;
    return picture;
}

}  // namespace ceph::platform
