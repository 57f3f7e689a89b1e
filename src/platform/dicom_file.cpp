#include "platform/dicom_file.h"

#include <gdcmJPEG2000Codec.h>
#include <gdcmJPEGCodec.h>
#include <gdcmJPEGLSCodec.h>
#include <gdcmRAWCodec.h>
#include <gdcmRLECodec.h>
#include <gdcmTransferSyntax.h>
#include <gdcmUIDs.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace ceph::platform::dicom {

namespace {

constexpr std::uint32_t kPixelData = Tag(0x7FE0, 0x0010);
constexpr std::uint32_t kItem = Tag(0xFFFE, 0xE000);
constexpr std::uint32_t kItemEnd = Tag(0xFFFE, 0xE00D);
constexpr std::uint32_t kSequenceEnd = Tag(0xFFFE, 0xE0DD);
constexpr std::uint32_t kVoiLutSequence = Tag(0x0028, 0x3010);
constexpr std::uint32_t kUndefined = 0xFFFFFFFF;
constexpr int kMaxNesting = 12;

const char* const kCut = "DICOM 檔案不完整，可能被截斷";

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
        if (w.size < 12 || pos > w.size - 12) {
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

bool CanDecode(const gdcm::TransferSyntax& ts) {
    return gdcm::RAWCodec().CanDecode(ts) || gdcm::JPEGCodec().CanDecode(ts) ||
           gdcm::JPEGLSCodec().CanDecode(ts) || gdcm::JPEG2000Codec().CanDecode(ts) ||
           gdcm::RLECodec().CanDecode(ts);
}

}  // namespace

// Value representations whose length takes four bytes after two reserved ones.
bool LongVr(const unsigned char* vr) {
    static const char* const kLong[] = {"OB", "OD", "OF", "OL", "OV", "OW", "SQ",
                                        "SV", "UC", "UN", "UR", "UT", "UV"};
    for (const char* v : kLong)
        if (vr[0] == v[0] && vr[1] == v[1]) return true;
    return false;
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
              int index) {
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
                  int index) {
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

bool WalkFile(const char* data, std::size_t size, Walk* walk, std::string* syntaxOut,
              std::string* error) {
    Walk& w = *walk;
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
            return false;
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
        return false;
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
        return false;
    }
    *syntaxOut = syntax;
    return true;
}

}  // namespace ceph::platform::dicom
