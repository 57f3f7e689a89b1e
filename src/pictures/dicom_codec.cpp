#include "pictures/dicom_codec.h"

#include <gdcmMediaStorage.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "pictures/dicom_file.h"
#include "pictures/dicom_levels.h"
#include "pictures/dicom_pixels.h"
#include "pictures/limits.h"

namespace ceph::pictures {

using namespace dicom;

namespace {

constexpr const char* kNotDicom = "不是 DICOM 檔案";
constexpr const char* kPixelsCut = "DICOM 像素資料不完整，檔案可能被截斷";

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

bool IsDicom(std::string_view bytes) {
    const std::size_t size = bytes.size();
    if (size >= 132 && std::memcmp(bytes.data() + 128, "DICM", 4) == 0) return true;
    if (size < 8) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const int group = p[0] | p[1] << 8;
    if (group != 0x0002 && group != 0x0008) return false;
    // An explicit value representation, or an implicit length that fits the file.
    const bool vr = p[4] >= 'A' && p[4] <= 'Z' && p[5] >= 'A' && p[5] <= 'Z';
    return vr || U32(p + 4, true) <= size - 8;
}

namespace {

// The pixel module from the header, checked before anything is allocated; `frames` is
// the number of frames the file claims.
base::Result<void> ReadModule(const Walk& w, PixelModule* m, double* frames) {
    const int rows = UnsignedShort(w, w.top, Tag(0x0028, 0x0010), w.little);
    const int columns = UnsignedShort(w, w.top, Tag(0x0028, 0x0011), w.little);
    const int bitsAllocated = UnsignedShort(w, w.top, Tag(0x0028, 0x0100), w.little);
    const int samples = std::max(1, UnsignedShort(w, w.top, Tag(0x0028, 0x0002), w.little));
    *frames = std::max(1.0, Number(w, w.top, Tag(0x0028, 0x0008), 1));
    if (rows <= 0 || columns <= 0) return Refuse("DICOM 檔案缺少影像的寬度或高度");
    if (!PictureSizeAllowed(columns, rows)) return Refuse(PictureTooLargeReason(columns, rows));
    if (*frames > 100000)
        return Refuse("DICOM 檔案聲稱有 " + Text(w, w.top, Tag(0x0028, 0x0008)).substr(0, 32) +
                      " 個影格，不合理（最多 100000 個）");
    if ((bitsAllocated != 8 && bitsAllocated != 16) || (samples != 1 && samples != 3))
        return Refuse("不支援此 DICOM 像素格式（每像素 " + std::to_string(bitsAllocated) +
                      " 位元、" + std::to_string(samples) + " 個樣本）");
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
    if ((samples == 1 && !grey) || (samples == 3 && !colour))
        return Refuse("不支援此 DICOM 影像的色彩模式（" + colours.substr(0, 32) + "）");
    *m = {columns, rows, bitsAllocated, bitsStored, highBit, isSigned, samples, planar, colours, 1};
    return {};
}

// What of the pixel data is decoded: only the first frame. Raw pixels are cut after it,
// and compressed ones after its fragment when each frame has one.
struct FramePlan {
    std::vector<Span> kept;   // the compressed items handed to a decoder
    std::int64_t frameBytes;  // one decoded frame
    std::int64_t rawBytes;    // every frame the decoder is given, decoded
};

base::Result<void> PlanFrames(const Walk& w, double frames, PixelModule* m, FramePlan* plan) {
    const std::int64_t pixels = std::int64_t{m->rows} * m->columns;
    plan->frameBytes = pixels * m->samples * (m->bitsAllocated / 8);
    if (w.encapsulated) {
        if (w.fragments.size() < 2) return Refuse(kPixelsCut);
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
    if (plan->rawBytes > kMaxDecodeBytes || !DecodeMemoryAllowed(need))
        return Refuse(DecodeMemoryReason(need));
    if (!w.encapsulated && static_cast<std::int64_t>(w.pixelSpan.length) < plan->frameBytes)
        return Refuse(kPixelsCut);
    return {};
}

// The first frame's samples: little endian, whole words.
base::Result<Samples> DecodeFirstFrame(const Walk& w, PixelModule* m, const FramePlan& plan) {
    if (!w.encapsulated) return RawFrame(w, *m, plan.frameBytes);
    int precision = 0;
    // The stream's header must lie in the first fragment: an empty one would let a stream
    // behind it reach the decoder unchecked.
    const Span& first = plan.kept.front();
    if (first.length <= 8 ||
        !StreamMatches(w.syntax, w.data + first.offset + 8, first.length - 8, *m, &precision))
        return Refuse("DICOM 壓縮的像素資料與影像描述不符（資料損壞）");
    // The JPEG decoder GDCM picks follows the bits stored, which must then be the
    // stream's own precision.
    if (precision > 0) {
        m->bitsStored = precision;
        m->highBit = precision - 1;
    }
    if (IsRle(w.syntax)) return DecodeRle(w, plan.kept, *m);
    if (IsJpeg2000(w.syntax)) return DecodeJpeg2000(w, plan.kept, *m);
    return DecodeWithGdcm(w, *m, plan.kept, plan.frameBytes, plan.rawBytes);
}

// Qt's grey of a colour, as the program has always made grey of colour films.
int GreyOf(int red, int green, int blue) {
    return (red * 11 + green * 16 + blue * 5) / 32;
}

// Colour becomes grey. Luminance-coded pixels are grey in their first sample: they are
// given as the file codes them (JPEG's too); the decoder of JPEG 2000 turns its own
// colour transforms back into red, green and blue.
base::Result<Pixels> GreyOfColour(const Samples& decoded, const PixelModule& m) {
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
    Pixels image = NewPixels(m.columns, m.rows, PixelFormat::Grey8);
    if (image.null()) return Refuse(kOutOfMemory);
    for (int y = 0; y < m.rows; ++y) {
        unsigned char* line = image.Row(y);
        for (int x = 0; x < m.columns; ++x) {
            const std::int64_t i = std::int64_t{y} * m.columns + x;
            line[x] = static_cast<unsigned char>(
                luma ? sample(i, 0) : GreyOf(sample(i, 0), sample(i, 1), sample(i, 2)));
        }
    }
    return image;
}

// Grey samples through the levels: each stored value shifted down from its high bit,
// looked up, into an 8-bit picture or, when the levels go beyond 255, a 16-bit one.
base::Result<Pixels> GreyThroughLevels(const Samples& decoded, const PixelModule& m,
                                       const Levels& levels) {
    const int shift = decoded.highBit + 1 - decoded.bitsStored;
    const unsigned mask = (1u << decoded.bitsStored) - 1;
    const bool deep = levels.top > 255;
    Pixels image = NewPixels(m.columns, m.rows, deep ? PixelFormat::Grey16 : PixelFormat::Grey8);
    if (image.null()) return Refuse(kOutOfMemory);
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
            auto* line = reinterpret_cast<std::uint16_t*>(image.Row(y));
            for (int x = 0; x < m.columns; ++x)
                line[x] = level(start + x);
        } else {
            unsigned char* line = image.Row(y);
            for (int x = 0; x < m.columns; ++x)
                line[x] = static_cast<unsigned char>(level(start + x));
        }
    }
    return image;
}

// The decoded frame as the program shows it: colour made grey, grey through its levels
// with the file's window.
base::Result<Picture> Shown(const Walk& w, const PixelModule& module, const Samples& decoded) {
    Picture picture;
    picture.spacingY = Spacing(w, 0);
    picture.spacingX = Spacing(w, 1);
    picture.damage = decoded.damage;
    if (module.samples == 3) {
        base::Result<Pixels> grey = GreyOfColour(decoded, module);
        if (!grey) return base::Fail(grey.why());
        picture.pixels = std::move(*grey);
        return picture;
    }
    if (decoded.colours != "MONOCHROME1" && decoded.colours != "MONOCHROME2")
        return Refuse("不支援此 DICOM 影像的色彩模式（" + decoded.colours + "）");
    const Levels levels =
        MakeLevels(w, decoded.bitsStored, decoded.isSigned, decoded.colours == "MONOCHROME1");
    base::Result<Pixels> grey = GreyThroughLevels(decoded, module, levels);
    if (!grey) return base::Fail(grey.why());
    picture.pixels = std::move(*grey);
    picture.fileWindow = levels.window;
    return picture;
}

}  // namespace

base::Result<Picture> DecodeDicom(std::string_view bytes) {
    if (!IsDicom(bytes)) return Refuse(kNotDicom);
    Walk w;
    if (auto walked = WalkFile(bytes, w); !walked) return base::Fail(walked.why());
    if (!w.pixels)
        return Refuse(EndsBeforeItsPixels(w) ? "DICOM 檔案不完整，在像素資料之前就結束，可能被截斷"
                                             : "DICOM 檔案中沒有影像（沒有像素資料）");
    PixelModule module{};
    double frames = 1;
    FramePlan plan;
    if (auto read = ReadModule(w, &module, &frames); !read) return base::Fail(read.why());
    if (auto planned = PlanFrames(w, frames, &module, &plan); !planned)
        return base::Fail(planned.why());
    const base::Result<Samples> decoded = DecodeFirstFrame(w, &module, plan);
    if (!decoded) return base::Fail(decoded.why());
    return Shown(w, module, *decoded);
}

const Format& DicomFormat() {
    static const Format format{"DICOM", "*.dcm;*.dicom;*.dic", BareOrNumberedName,
                               IsDicom, DecodeDicom,           kNotDicom};
    return format;
}

}  // namespace ceph::pictures
