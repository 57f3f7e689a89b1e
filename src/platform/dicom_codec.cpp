#include "platform/dicom_codec.h"

#include <gdcmImage.h>
#include <gdcmImageReader.h>
#include <gdcmJPEG2000Codec.h>
#include <gdcmJPEGCodec.h>
#include <gdcmJPEGLSCodec.h>
#include <gdcmRAWCodec.h>
#include <gdcmRLECodec.h>
#include <gdcmTrace.h>
#include <gdcmTransferSyntax.h>
#include <gdcmUIDs.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <map>
#include <mutex>
#include <new>
#include <ostream>
#include <streambuf>
#include <vector>

#include "platform/picture_file.h"

namespace ceph::platform {

namespace {

constexpr std::uint32_t Tag(std::uint16_t group, std::uint16_t element) {
    return std::uint32_t{group} << 16 | element;
}

constexpr std::uint32_t kPixelData = Tag(0x7FE0, 0x0010);
constexpr std::uint32_t kItem = Tag(0xFFFE, 0xE000);
constexpr std::uint32_t kItemEnd = Tag(0xFFFE, 0xE00D);
constexpr std::uint32_t kSequenceEnd = Tag(0xFFFE, 0xE0DD);
constexpr std::uint32_t kVoiLutSequence = Tag(0x0028, 0x3010);
constexpr std::uint32_t kUndefined = 0xFFFFFFFF;
constexpr int kMaxNesting = 12;

const char* const kCut = "DICOM 檔案不完整，可能被截斷";

// A value's place in the file.
struct Span {
    std::size_t offset = 0;
    std::size_t length = 0;
};
using Elements = std::map<std::uint32_t, Span>;

// What the walk over the file's elements found: the elements of the main data set the
// decoding needs (the whole file meta group and data set, values left where they are),
// the first item of the VOI LUT sequence, and where the pixel data lie.
struct Walk {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    bool little = true;  // of the data set; the meta group is always little endian
    Elements top;
    Elements voi;
    bool pixels = false;
    bool encapsulated = false;
    Span pixelSpan;               // the value, or for encapsulated pixels from the first item on
    std::vector<Span> fragments;  // of encapsulated pixels, items whole, the offset table first
    std::string error;
};

std::uint16_t U16(const unsigned char* p, bool little) {
    return little ? static_cast<std::uint16_t>(p[0] | p[1] << 8)
                  : static_cast<std::uint16_t>(p[1] | p[0] << 8);
}

std::uint32_t U32(const unsigned char* p, bool little) {
    const std::uint32_t a = U16(p, little), b = U16(p + 2, little);
    return little ? (a | b << 16) : (b | a << 16);
}

// Value representations whose length takes four bytes after two reserved ones.
bool LongVr(const unsigned char* vr) {
    static const char* const kLong[] = {"OB", "OD", "OF", "OL", "OV", "OW", "SQ",
                                        "SV", "UC", "UN", "UR", "UT", "UV"};
    for (const char* v : kLong)
        if (vr[0] == v[0] && vr[1] == v[1]) return true;
    return false;
}

// Whether two letters name a value representation. GDCM stops the program on a name it
// does not know, so a file with one is refused as damaged first.
bool KnownVr(const unsigned char* vr) {
    static const char* const kKnown[] = {"AE", "AS", "AT", "CS", "DA", "DS", "DT", "FD", "FL",
                                         "IS", "LO", "LT", "OB", "OD", "OF", "OL", "OV", "OW",
                                         "PN", "SH", "SL", "SQ", "SS", "ST", "SV", "TM", "UC",
                                         "UI", "UL", "UN", "UR", "US", "UT", "UV"};
    for (const char* v : kKnown)
        if (vr[0] == v[0] && vr[1] == v[1]) return true;
    return false;
}

struct Header {
    std::uint32_t tag = 0;
    char vr[2] = {0, 0};
    std::uint32_t length = 0;
    std::size_t value = 0;  // offset of the value
};

// Reads the element header at `pos`; false, with w.error, when the file ends inside it
// or it names no value representation.
bool ReadHeader(Walk& w, std::size_t pos, bool little, bool explicitVr, Header* h) {
    if (w.size < 8 || pos > w.size - 8) {
        w.error = kCut;
        return false;
    }
    const unsigned char* p = w.data + pos;
    h->tag = Tag(U16(p, little), U16(p + 2, little));
    h->vr[0] = h->vr[1] = 0;
    if ((h->tag >> 16) == 0xFFFE || !explicitVr) {
        h->length = U32(p + 4, little);
        h->value = pos + 8;
        return true;
    }
    if (!KnownVr(p + 4)) {
        w.error = "DICOM 檔案結構損壞（無法辨識的資料類型）";
        return false;
    }
    h->vr[0] = static_cast<char>(p[4]);
    h->vr[1] = static_cast<char>(p[5]);
    if (LongVr(p + 4)) {
        if (pos > w.size - 12) {
            w.error = kCut;
            return false;
        }
        h->length = U32(p + 8, little);
        h->value = pos + 12;
    } else {
        h->length = U16(p + 6, little);
        h->value = pos + 8;
    }
    return true;
}

bool WalkSequence(Walk& w, std::size_t& pos, std::size_t end, bool undefined, bool little,
                  bool explicitVr, int depth, Elements* firstItem);

// Walks the elements from `pos` to `end`, or for an item of undefined length to its end
// marker, recording them in `keep` when given. Stops at the pixel data of the main data
// set. False, with w.error, when the structure leaves the file or makes no sense.
bool WalkElements(Walk& w, std::size_t& pos, std::size_t end, bool little, bool explicitVr,
                  int depth, Elements* keep, bool untilItemEnd) {
    if (depth > kMaxNesting) {
        w.error = "DICOM 檔案結構損壞（序列層數過多）";
        return false;
    }
    while (pos < end) {
        Header h;
        if (!ReadHeader(w, pos, little, explicitVr, &h)) return false;
        if (h.tag == kItemEnd) {
            pos = h.value;
            if (untilItemEnd) return true;
            continue;
        }
        if (h.tag == kPixelData && depth == 0) {
            w.pixels = true;
            if (h.length != kUndefined) {
                if (h.length > w.size - h.value) {
                    w.error = "DICOM 像素資料不完整，檔案可能被截斷";
                    return false;
                }
                w.pixelSpan = {h.value, h.length};
                return true;
            }
            // Encapsulated: fragments up to the sequence's end marker.
            w.encapsulated = true;
            std::size_t at = h.value;
            for (;;) {
                Header item;
                if (!ReadHeader(w, at, little, false, &item) || item.length == kUndefined ||
                    (item.tag == kItem && item.length > w.size - item.value)) {
                    w.error = "DICOM 像素資料不完整，檔案可能被截斷";
                    return false;
                }
                if (item.tag == kSequenceEnd) break;
                if (item.tag != kItem) {
                    w.error = "DICOM 像素資料結構損壞";
                    return false;
                }
                w.fragments.push_back({at, item.value + item.length - at});
                at = item.value + item.length;
            }
            w.pixelSpan = {h.value, at - h.value};
            return true;
        }
        const bool sequence = (h.vr[0] == 'S' && h.vr[1] == 'Q') || h.length == kUndefined;
        if (h.length == kUndefined) {
            // A sequence of undefined length (in an unknown element, implicitly coded).
            const bool implicitInside = !explicitVr || (h.vr[0] == 'U' && h.vr[1] == 'N');
            pos = h.value;
            Elements* item = depth == 0 && h.tag == kVoiLutSequence ? &w.voi : nullptr;
            if (!WalkSequence(w, pos, w.size, true, little, !implicitInside, depth + 1, item))
                return false;
        } else {
            if (h.length > w.size - h.value || h.value + h.length > end) {
                w.error = kCut;
                return false;
            }
            if (sequence && depth == 0 && h.tag == kVoiLutSequence) {
                std::size_t at = h.value;
                if (!WalkSequence(w, at, h.value + h.length, false, little, explicitVr, depth + 1,
                                  &w.voi))
                    return false;
            }
            if (keep) keep->emplace(h.tag, Span{h.value, h.length});
            pos = h.value + h.length;
        }
        if (h.length == kUndefined && keep) keep->emplace(h.tag, Span{h.value, 0});
    }
    if (untilItemEnd) {
        w.error = kCut;
        return false;
    }
    return true;
}

// Walks a sequence's items from `pos`: to `end` for a sequence of known length, else to
// its end marker. The first item's elements go to `firstItem` when given.
bool WalkSequence(Walk& w, std::size_t& pos, std::size_t end, bool undefined, bool little,
                  bool explicitVr, int depth, Elements* firstItem) {
    bool first = true;
    while (pos < end) {
        Header h;
        if (!ReadHeader(w, pos, little, false, &h)) return false;
        pos = h.value;
        if (h.tag == kSequenceEnd) return true;
        if (h.tag != kItem) {
            w.error = "DICOM 檔案結構損壞（序列中有非項目的元素）";
            return false;
        }
        Elements* keep = first ? firstItem : nullptr;
        first = false;
        if (h.length == kUndefined) {
            if (!WalkElements(w, pos, w.size, little, explicitVr, depth, keep, true)) return false;
        } else {
            if (h.length > w.size - h.value || h.value + h.length > end) {
                w.error = kCut;
                return false;
            }
            std::size_t at = h.value;
            if (!WalkElements(w, at, h.value + h.length, little, explicitVr, depth, keep, false))
                return false;
            pos = h.value + h.length;
        }
    }
    if (undefined) {
        w.error = kCut;
        return false;
    }
    return true;
}

std::string Text(const Walk& w, const Elements& elements, std::uint32_t tag) {
    const auto it = elements.find(tag);
    if (it == elements.end()) return {};
    std::string text(reinterpret_cast<const char*>(w.data) + it->second.offset, it->second.length);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.pop_back();
    while (!text.empty() && text.front() == ' ')
        text.erase(0, 1);
    return text;
}

// The `index`th number of a decimal or integer string value; `fallback` when absent or
// not a number.
double Number(const Walk& w, const Elements& elements, std::uint32_t tag, double fallback,
              int index = 0) {
    const std::string text = Text(w, elements, tag);
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = text.find('\\', start);
        if (start == std::string::npos) return fallback;
        ++start;
    }
    const std::string part = text.substr(start, text.find('\\', start) - start);
    const char* begin = part.c_str();
    while (*begin == ' ')
        ++begin;
    char* stop = nullptr;
    const double value = std::strtod(begin, &stop);
    if (stop == begin || !std::isfinite(value)) return fallback;
    while (*stop == ' ')
        ++stop;
    return *stop == '\0' ? value : fallback;
}

// An unsigned short value; -1 when absent.
int UnsignedShort(const Walk& w, const Elements& elements, std::uint32_t tag, bool little,
                  int index = 0) {
    const auto it = elements.find(tag);
    if (it == elements.end() || it->second.length < static_cast<std::size_t>(2 * index + 2))
        return -1;
    return U16(w.data + it->second.offset + 2 * index, little);
}

std::string TransferSyntaxName(const std::string& uid) {
    gdcm::UIDs uids;
    if (uids.SetFromUID(uid.c_str()) && uids.GetName() && *uids.GetName())
        return std::string(uids.GetName()) + "，" + uid;
    return uid;
}

// A reader over bytes already in memory, which GDCM reads as a stream.
class MemoryBuffer : public std::streambuf {
  public:
    MemoryBuffer(const char* data, std::size_t size) {
        char* begin = const_cast<char*>(data);
        setg(begin, begin, begin + size);
    }

  protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                     std::ios_base::openmode which) override {
        if (!(which & std::ios_base::in)) return pos_type(off_type(-1));
        const off_type base = dir == std::ios_base::beg   ? 0
                              : dir == std::ios_base::cur ? gptr() - eback()
                                                          : egptr() - eback();
        const off_type target = base + off;
        if (target < 0 || target > egptr() - eback()) return pos_type(off_type(-1));
        setg(eback(), eback() + target, egptr());
        return pos_type(target);
    }
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
        return seekoff(off_type(pos), std::ios_base::beg, which);
    }
};

// GDCM writes its warnings to the standard error stream; a desktop program has no use
// for them, and the reasons given here say what went wrong.
void SilenceGdcm() {
    static std::once_flag once;
    std::call_once(once, [] {
        gdcm::Trace::DebugOff();
        gdcm::Trace::WarningOff();
        gdcm::Trace::ErrorOff();
    });
}

// The output values of the stored ones: the modality rescale, then the VOI LUT when the
// file has one, moved up so that none is negative (scaled down when their range exceeds
// 16 bits), MONOCHROME1 turned round. Also the file's window in those values.
struct Levels {
    std::vector<std::uint16_t> table;  // by the stored bit pattern
    int top = 0;                       // the largest output value
    ui::PictureWindow window;
};

Levels MakeLevels(const Walk& w, int bitsStored, bool isSigned, bool monochrome1) {
    const double slope = [&] {
        const double s = Number(w, w.top, Tag(0x0028, 0x1053), 1);
        return s == 0 ? 1.0 : s;
    }();
    const double intercept = Number(w, w.top, Tag(0x0028, 0x1052), 0);
    const std::size_t count = std::size_t{1} << bitsStored;

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
    const double scale = high + shift > 65535 ? 65535 / (high - low) : 1;
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

bool CanDecode(const gdcm::TransferSyntax& ts) {
    return gdcm::RAWCodec().CanDecode(ts) || gdcm::JPEGCodec().CanDecode(ts) ||
           gdcm::JPEGLSCodec().CanDecode(ts) || gdcm::JPEG2000Codec().CanDecode(ts) ||
           gdcm::RLECodec().CanDecode(ts);
}

constexpr const char* kExplicitLittle = "1.2.840.10008.1.2.1";

// What the clean file says of its pixels.
struct PixelModule {
    int columns, rows, bitsAllocated, bitsStored, highBit;
    bool isSigned;
    int samples;
    bool planar;
    std::string colours;
    std::int64_t frames;
};

// Whether a compressed frame's own header describes the picture the file's header does:
// GDCM decodes into a buffer sized from the latter, and a stream claiming more columns,
// rows, components or bits would be written past its end. JPEG, JPEG-LS and JPEG 2000
// streams are checked; run-length frames carry no picture size.
bool StreamMatches(gdcm::TransferSyntax::TSType syntax, const unsigned char* p, std::size_t n,
                   const PixelModule& m, int* precisionOut) {
    if (syntax == gdcm::TransferSyntax::RLELossless) return true;
    const bool j2k = syntax >= gdcm::TransferSyntax::JPEG2000Lossless &&
                     syntax <= gdcm::TransferSyntax::JPEG2000Part2;
    const auto u16 = [&](std::size_t at) { return static_cast<unsigned>(p[at] << 8 | p[at + 1]); };
    const auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(u16(at)) << 16 | u16(at + 2);
    };
    // JPEG 2000: the SIZ segment right after the start of the code stream, which a JP2
    // wrapper holds in a box of its own.
    for (std::size_t at = 0; j2k && at + 4 <= n && at < 4096; ++at) {
        if (p[at] != 0xFF || p[at + 1] != 0x4F || p[at + 2] != 0xFF || p[at + 3] != 0x51) continue;
        const std::size_t siz = at + 4;
        if (siz + 38 > n) return false;
        const std::uint32_t width = u32(siz + 4) - u32(siz + 12);
        const std::uint32_t height = u32(siz + 8) - u32(siz + 16);
        const unsigned components = u16(siz + 36);
        if (width != static_cast<std::uint32_t>(m.columns) ||
            height != static_cast<std::uint32_t>(m.rows) ||
            components != static_cast<unsigned>(m.samples) || siz + 38 + 3 * components > n)
            return false;
        for (unsigned c = 0; c < components; ++c) {
            const unsigned char* info = p + siz + 38 + 3 * c;
            if ((info[0] & 0x7F) + 1 > m.bitsAllocated || info[1] != 1 || info[2] != 1)
                return false;
        }
        return true;
    }
    // JPEG and JPEG-LS: the segments up to the first scan, one after the other with
    // nothing between them (libjpeg warns of stray bytes, and GDCM stops the program on
    // a warning), and the frame header (SOFn, or SOF55 for JPEG-LS).
    if (j2k || n < 4 || p[0] != 0xFF || p[1] != 0xD8) return false;
    std::size_t at = 2;
    bool frameSeen = false;
    while (at + 4 <= n && p[at] == 0xFF) {
        const unsigned marker = p[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const std::size_t length = u16(at + 2);
        if (length < 2 || at + 2 + length > n) return false;
        if (marker == 0xDA) return frameSeen;
        const unsigned char* segment = p + at + 4;
        const bool lossless =
            marker == 0xC3 || marker == 0xC7 || marker == 0xCB || marker == 0xCF || marker == 0xF7;
        const bool frame = (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                            marker != 0xCC) ||
                           marker == 0xF7;
        if (frame) {
            if (frameSeen || length < 8) return false;
            frameSeen = true;
            const unsigned precision = segment[0];
            if (precision > static_cast<unsigned>(m.bitsAllocated) || precision < 2 ||
                (!lossless && precision != 8 && precision != 12) ||
                u16(at + 5) != static_cast<unsigned>(m.rows) ||
                u16(at + 7) != static_cast<unsigned>(m.columns) ||
                segment[5] != static_cast<unsigned>(m.samples))
                return false;
            *precisionOut = static_cast<int>(precision);
        }
        // Headers libjpeg warns of: a JFIF version other than 1, an Adobe colour
        // transform it does not know.
        if (marker == 0xE0 && length >= 9 && std::memcmp(segment, "JFIF\0", 5) == 0 &&
            segment[5] != 1)
            return false;
        if (marker == 0xEE && length >= 14 && std::memcmp(segment, "Adobe", 5) == 0 &&
            segment[11] > 1)
            return false;
        at += 2 + length;
    }
    return false;
}

// An element explicitly coded, little endian, its value padded to an even length.
void Put(std::string& out, std::uint16_t group, std::uint16_t element, const char* vr,
         std::string value, char pad = ' ') {
    if (value.size() % 2) value += pad;
    const auto u16 = [&](unsigned v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8 & 0xFF);
    };
    u16(group);
    u16(element);
    out += vr;
    if (LongVr(reinterpret_cast<const unsigned char*>(vr))) {
        u16(0);
        u16(static_cast<unsigned>(value.size() & 0xFFFF));
        u16(static_cast<unsigned>(value.size() >> 16));
    } else {
        u16(static_cast<unsigned>(value.size()));
    }
    out += value;
}

void PutShort(std::string& out, std::uint16_t group, std::uint16_t element, int value) {
    Put(out, group, element, "US",
        std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)});
}

// A DICOM file of the pixel module and the pixels: raw ones, the first frame's
// `frameBytes` (turned little endian), or the `kept` items of compressed ones after an
// empty offset table.
std::string CleanFile(const Walk& w, const PixelModule& m, const std::string& syntax,
                      const std::vector<Span>& kept, std::size_t frameBytes) {
    const std::string dx = "1.2.840.10008.5.1.4.1.1.1.1";
    std::string meta;
    Put(meta, 0x0002, 0x0001, "OB", std::string("\0\1", 2));
    Put(meta, 0x0002, 0x0002, "UI", dx, '\0');
    Put(meta, 0x0002, 0x0003, "UI", "1.2.3", '\0');
    Put(meta, 0x0002, 0x0010, "UI", syntax, '\0');
    std::string out(128, '\0');
    out += "DICM";
    const auto length = static_cast<std::uint32_t>(meta.size());
    Put(out, 0x0002, 0x0000, "UL",
        std::string{static_cast<char>(length & 0xFF), static_cast<char>(length >> 8 & 0xFF),
                    static_cast<char>(length >> 16 & 0xFF), static_cast<char>(length >> 24)});
    out += meta;
    Put(out, 0x0008, 0x0016, "UI", dx, '\0');
    PutShort(out, 0x0028, 0x0002, m.samples);
    Put(out, 0x0028, 0x0004, "CS", m.colours);
    if (m.samples > 1) PutShort(out, 0x0028, 0x0006, m.planar ? 1 : 0);
    Put(out, 0x0028, 0x0008, "IS", std::to_string(m.frames));
    PutShort(out, 0x0028, 0x0010, m.rows);
    PutShort(out, 0x0028, 0x0011, m.columns);
    PutShort(out, 0x0028, 0x0100, m.bitsAllocated);
    PutShort(out, 0x0028, 0x0101, m.bitsStored);
    PutShort(out, 0x0028, 0x0102, m.highBit);
    PutShort(out, 0x0028, 0x0103, m.isSigned ? 1 : 0);
    if (kept.empty()) {
        std::string pixels(reinterpret_cast<const char*>(w.data) + w.pixelSpan.offset, frameBytes);
        if (!w.little && m.bitsAllocated == 16)
            for (std::size_t i = 0; i + 1 < pixels.size(); i += 2)
                std::swap(pixels[i], pixels[i + 1]);
        Put(out, 0x7FE0, 0x0010, m.bitsAllocated == 16 ? "OW" : "OB", std::move(pixels), '\0');
        return out;
    }
    out += std::string("\xE0\x7F\x10\x00OB\0\0\xFF\xFF\xFF\xFF", 12);
    out += std::string("\xFE\xFF\x00\xE0\0\0\0\0", 8);  // an empty offset table
    for (const Span& item : kept)
        out.append(reinterpret_cast<const char*>(w.data) + item.offset, item.length);
    out += std::string("\xFE\xFF\xDD\xE0\0\0\0\0", 8);
    return out;
}

// A frame decoded, and how its samples are to be read.
struct Samples {
    std::vector<char> bytes;
    std::string colours;
    int bitsStored = 0;
    int highBit = 0;
    bool isSigned = false;
    bool planar = false;
};

bool DecodeWithGdcm(const Walk& w, const PixelModule& m, const std::string& syntax,
                    const std::vector<Span>& kept, std::int64_t frameBytes, std::int64_t rawBytes,
                    Samples* out, std::string* error) {
    // GDCM reads a clean file made of the elements that describe the pixels and the
    // pixels themselves, all checked before: its reader stops the program on some
    // damaged structures, and whatever else the original holds is no concern of the
    // decoding.
    std::string clean;
    try {
        clean = CleanFile(w, m, w.encapsulated ? syntax : std::string(kExplicitLittle), kept,
                          static_cast<std::size_t>(frameBytes));
    } catch (const std::bad_alloc&) {
        *error = "記憶體不足";
        return false;
    }
    SilenceGdcm();
    MemoryBuffer buffer(clean.data(), clean.size());
    std::istream stream(&buffer);
    gdcm::ImageReader reader;
    reader.SetStream(stream);
    if (!reader.Read()) {
        *error = "DICOM 檔案損壞，無法讀取";
        return false;
    }
    const gdcm::Image& image = reader.GetImage();
    const gdcm::PixelFormat format = image.GetPixelFormat();
    if (image.GetColumns() != static_cast<unsigned>(m.columns) ||
        image.GetRows() != static_cast<unsigned>(m.rows) ||
        format.GetBitsAllocated() != m.bitsAllocated ||
        format.GetSamplesPerPixel() != static_cast<unsigned>(m.samples) ||
        static_cast<std::int64_t>(image.GetBufferLength()) > rawBytes) {
        *error = "DICOM 檔案的影像描述前後不一致";
        return false;
    }
    try {
        out->bytes.resize(image.GetBufferLength());
    } catch (const std::bad_alloc&) {
        *error = "記憶體不足";
        return false;
    }
    if (out->bytes.size() < static_cast<std::size_t>(frameBytes) ||
        !image.GetBuffer(out->bytes.data())) {
        *error = w.encapsulated ? "DICOM 壓縮的像素資料損壞或不完整，無法解碼"
                                : "DICOM 像素資料不完整，檔案可能被截斷";
        return false;
    }
    out->colours =
        gdcm::PhotometricInterpretation::GetPIString(image.GetPhotometricInterpretation());
    while (!out->colours.empty() && out->colours.back() == ' ')
        out->colours.pop_back();
    // As GDCM found them: the bits a compressed stream really holds may differ.
    out->bitsStored = std::clamp<int>(format.GetBitsStored(), 1, m.bitsAllocated);
    out->highBit = std::clamp<int>(format.GetHighBit(), out->bitsStored - 1, m.bitsAllocated - 1);
    out->isSigned = format.GetPixelRepresentation() == 1;
    out->planar = m.samples == 3 && image.GetPlanarConfiguration() == 1;
    return true;
}

// Run-length frames are decoded here: the scheme is a few lines, and GDCM's decoder
// stops the program on a damaged one. A frame is one item: a header of the segments'
// offsets, then one segment a byte of each sample, the most significant first, each
// coded as PackBits.
bool DecodeRle(const Walk& w, const std::vector<Span>& kept, const PixelModule& m, Samples* out,
               std::string* error) {
    const char* const damaged = "DICOM 的 RLE 壓縮資料損壞或不完整";
    if (m.frames != 1 || kept.empty() || kept.front().length < 8 + 64) {
        *error = damaged;
        return false;
    }
    const unsigned char* frame = w.data + kept.front().offset + 8;
    const std::size_t length = kept.front().length - 8;
    const int bytesPerSample = m.bitsAllocated / 8;
    const std::uint32_t segments = U32(frame, true);
    if (segments != static_cast<std::uint32_t>(m.samples * bytesPerSample)) {
        *error = damaged;
        return false;
    }
    const std::size_t pixels = static_cast<std::size_t>(m.columns) * m.rows;
    try {
        out->bytes.assign(pixels * m.samples * bytesPerSample, 0);
    } catch (const std::bad_alloc&) {
        *error = "記憶體不足";
        return false;
    }
    for (std::uint32_t s = 0; s < segments; ++s) {
        const std::size_t begin = U32(frame + 4 + 4 * s, true);
        const std::size_t end = s + 1 < segments ? U32(frame + 8 + 4 * s, true) : length;
        if (begin < 64 || begin > end || end > length) {
            *error = damaged;
            return false;
        }
        // Where this segment's bytes go among the little-endian interleaved samples.
        const std::size_t sample = s / bytesPerSample;
        const std::size_t byte = bytesPerSample - 1 - s % bytesPerSample;
        const std::size_t step = static_cast<std::size_t>(m.samples) * bytesPerSample;
        char* target = out->bytes.data() + sample * bytesPerSample + byte;
        std::size_t done = 0, at = begin;
        while (done < pixels && at < end) {
            const int n = static_cast<signed char>(frame[at++]);
            if (n >= 0) {
                const std::size_t count = std::min<std::size_t>(n + 1, end - at);
                for (std::size_t i = 0; i < count && done < pixels; ++i, ++done)
                    target[done * step] = static_cast<char>(frame[at + i]);
                at += count;
            } else if (n != -128 && at < end) {
                const char value = static_cast<char>(frame[at++]);
                for (int i = 0; i < 1 - n && done < pixels; ++i, ++done)
                    target[done * step] = value;
            }
        }
        if (done < pixels) {
            *error = damaged;
            return false;
        }
    }
    out->colours = m.colours;
    out->bitsStored = m.bitsStored;
    out->highBit = m.highBit;
    out->isSigned = m.isSigned;
    out->planar = false;
    return true;
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
    w.data = reinterpret_cast<const unsigned char*>(data);
    w.size = size;

    // The meta group, always explicit little endian, then the data set in its syntax.
    std::size_t pos = size >= 132 && std::memcmp(data + 128, "DICM", 4) == 0 ? 132 : 0;
    std::size_t metaEnd = pos;
    while (metaEnd + 8 <= size && U16(w.data + metaEnd, true) == 0x0002) {
        Header h;
        if (!ReadHeader(w, metaEnd, true, true, &h) || h.length == kUndefined ||
            h.length > size - h.value) {
            *error = w.error.empty() ? kCut : w.error;
            return {};
        }
        w.top.emplace(h.tag, Span{h.value, h.length});
        metaEnd = h.value + h.length;
    }
    const std::string syntax = Text(w, w.top, Tag(0x0002, 0x0010));
    const gdcm::TransferSyntax ts(syntax.empty() ? gdcm::TransferSyntax::ImplicitVRLittleEndian
                                                 : gdcm::TransferSyntax::GetTSType(syntax.c_str()));
    if (!syntax.empty() && (ts == gdcm::TransferSyntax::TS_END || !CanDecode(ts) ||
                            ts == gdcm::TransferSyntax::DeflatedExplicitVRLittleEndian)) {
        *error = "不支援此 DICOM 傳輸語法（" + TransferSyntaxName(syntax) + "）";
        return {};
    }
    w.little = ts.GetSwapCode() != gdcm::SwapCode::BigEndian;
    // A file without meta group may still be explicitly coded: its first element says.
    bool explicitVr = ts.IsExplicit();
    if (syntax.empty() && metaEnd + 6 <= size) {
        const unsigned char* vr = w.data + metaEnd + 4;
        explicitVr = vr[0] >= 'A' && vr[0] <= 'Z' && vr[1] >= 'A' && vr[1] <= 'Z';
    }
    pos = metaEnd;
    if (!WalkElements(w, pos, size, w.little, explicitVr, 0, &w.top, false)) {
        *error = w.error;
        return {};
    }
    if (!w.pixels) {
        *error = "DICOM 檔案中沒有影像（沒有像素資料）";
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
    if ((bitsAllocated != 8 && bitsAllocated != 16) || (samples != 1 && samples != 3) ||
        frames > 100000) {
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
    // The pixel data are copied into the clean file GDCM reads, GDCM keeps its own copy
    // and decodes every frame kept into one buffer; a decoder of compressed pixels works
    // in a buffer of its own, then copied (JPEG 2000 holds four bytes a sample). The
    // output picture comes beside them.
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
    if (w.encapsulated && kept.front().length > 8 &&
        !StreamMatches(gdcm::TransferSyntax::GetTSType(syntax.c_str()),
                       w.data + kept.front().offset + 8, kept.front().length - 8, module,
                       &precision)) {
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
    const bool ownRle =
        gdcm::TransferSyntax::GetTSType(syntax.c_str()) == gdcm::TransferSyntax::RLELossless;
    if (ownRle ? !DecodeRle(w, kept, module, &decoded, error)
               : !DecodeWithGdcm(w, module, syntax, kept, frameBytes, rawBytes, &decoded, error))
        return {};
    const std::vector<char>& raw = decoded.bytes;

    DecodedPicture picture;
    picture.spacingY = Spacing(w, 0);
    picture.spacingX = Spacing(w, 1);
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
