#include "pictures/dicom_file.h"

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

#include "pictures/picture.h"

namespace ceph::pictures::dicom {

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

const char* const kPixelsCut = "DICOM 像素資料不完整，檔案可能被截斷";

struct Header {
    std::uint32_t tag = 0;
    char vr[2] = {0, 0};
    std::uint32_t length = 0;
    std::size_t value = 0;  // offset of the value
    bool Is(const char* name) const { return vr[0] == name[0] && vr[1] == name[1]; }
};

// The element header at `pos`; the reason when the file ends inside it or it names no
// value representation.
base::Result<Header> ReadHeader(const Walk& w, std::size_t pos, bool little, bool explicitVr) {
    if (w.size < 8 || pos > w.size - 8) return Refuse(kCut);
    const unsigned char* p = w.data + pos;
    Header h;
    h.tag = Tag(U16(p, little), U16(p + 2, little));
    if ((h.tag >> 16) == 0xFFFE || !explicitVr) {
        h.length = U32(p + 4, little);
        h.value = pos + 8;
        return h;
    }
    if (!KnownVr(p + 4)) return Refuse("DICOM 檔案結構損壞（無法辨識的資料類型）");
    h.vr[0] = static_cast<char>(p[4]);
    h.vr[1] = static_cast<char>(p[5]);
    if (LongVr(p + 4)) {
        if (w.size < 12 || pos > w.size - 12) return Refuse(kCut);
        h.length = U32(p + 8, little);
        h.value = pos + 12;
    } else {
        h.length = U16(p + 6, little);
        h.value = pos + 8;
    }
    return h;
}

// How the elements being walked are coded, and how deep in sequences they lie.
struct Coding {
    bool little = true;
    bool explicitVr = true;
    int depth = 0;
    Coding Inside(bool explicitInside) const { return {little, explicitInside, depth + 1}; }
};

base::Result<void> WalkSequence(Walk& w, std::size_t& pos, std::size_t end, bool undefined,
                                const Coding& c, Elements* firstItem);

// Encapsulated pixel data from `at`: its items up to the sequence's end marker.
base::Result<void> WalkFragments(Walk& w, std::size_t at, bool little) {
    w.encapsulated = true;
    const std::size_t first = at;
    for (;;) {
        const base::Result<Header> item = ReadHeader(w, at, little, false);
        if (!item || item->length == kUndefined ||
            (item->tag == kItem && item->length > w.size - item->value))
            return Refuse(kPixelsCut);
        if (item->tag == kSequenceEnd) break;
        if (item->tag != kItem) return Refuse("DICOM 像素資料結構損壞");
        w.fragments.push_back({at, item->value + item->length - at});
        at = item->value + item->length;
    }
    w.pixelSpan = {first, at - first};
    return {};
}

// The main data set's pixel data: where their value lies, or their fragments.
base::Result<void> WalkPixelData(Walk& w, const Header& h, bool little) {
    w.pixels = true;
    if (h.length == kUndefined) return WalkFragments(w, h.value, little);
    if (h.length > w.size - h.value) return Refuse(kPixelsCut);
    w.pixelSpan = {h.value, h.length};
    return {};
}

// An element other than the pixel data, ending within `end`: kept in `keep` when given,
// its items walked when it is a sequence of undefined length or the VOI LUT sequence.
base::Result<void> WalkElement(Walk& w, const Header& h, std::size_t& pos, std::size_t end,
                               const Coding& c, Elements* keep) {
    if (h.length == kUndefined) {
        // A sequence of undefined length (in an unknown element, implicitly coded).
        const bool implicitInside = !c.explicitVr || h.Is("UN");
        pos = h.value;
        Elements* item = c.depth == 0 && h.tag == kVoiLutSequence ? &w.voi : nullptr;
        if (auto walked = WalkSequence(w, pos, w.size, true, c.Inside(!implicitInside), item);
            !walked)
            return walked;
        if (keep) keep->emplace(h.tag, Span{h.value, 0});
        return {};
    }
    if (h.length > w.size - h.value || h.value + h.length > end) return Refuse(kCut);
    if (h.Is("SQ") && c.depth == 0 && h.tag == kVoiLutSequence) {
        std::size_t at = h.value;
        if (auto walked =
                WalkSequence(w, at, h.value + h.length, false, c.Inside(c.explicitVr), &w.voi);
            !walked)
            return walked;
    }
    if (keep) keep->emplace(h.tag, Span{h.value, h.length});
    pos = h.value + h.length;
    return {};
}

// Walks the elements from `pos` to `end`, or for an item of undefined length to its end
// marker, recording them in `keep` when given. Stops at the pixel data of the main data
// set. The reason when the structure leaves the file or makes no sense.
base::Result<void> WalkElements(Walk& w, std::size_t& pos, std::size_t end, const Coding& c,
                                Elements* keep, bool untilItemEnd) {
    if (c.depth > kMaxNesting) return Refuse("DICOM 檔案結構損壞（序列層數過多）");
    while (pos < end) {
        const base::Result<Header> h = ReadHeader(w, pos, c.little, c.explicitVr);
        if (!h) return base::Fail(h.why());
        if (h->tag == kItemEnd) {
            pos = h->value;
            if (untilItemEnd) return {};
            continue;
        }
        if (h->tag == kPixelData && c.depth == 0) return WalkPixelData(w, *h, c.little);
        if (auto walked = WalkElement(w, *h, pos, end, c, keep); !walked) return walked;
    }
    if (untilItemEnd) return Refuse(kCut);
    return {};
}

// Walks a sequence's items from `pos`: to `end` for a sequence of known length, else to
// its end marker. The first item's elements go to `firstItem` when given.
base::Result<void> WalkSequence(Walk& w, std::size_t& pos, std::size_t end, bool undefined,
                                const Coding& c, Elements* firstItem) {
    bool first = true;
    while (pos < end) {
        const base::Result<Header> h = ReadHeader(w, pos, c.little, false);
        if (!h) return base::Fail(h.why());
        pos = h->value;
        if (h->tag == kSequenceEnd) return {};
        if (h->tag != kItem) return Refuse("DICOM 檔案結構損壞（序列中有非項目的元素）");
        Elements* keep = first ? firstItem : nullptr;
        first = false;
        if (h->length == kUndefined) {
            if (auto walked = WalkElements(w, pos, w.size, c, keep, true); !walked) return walked;
            continue;
        }
        if (h->length > w.size - h->value || h->value + h->length > end) return Refuse(kCut);
        std::size_t at = h->value;
        if (auto walked = WalkElements(w, at, h->value + h->length, c, keep, false); !walked)
            return walked;
        pos = h->value + h->length;
    }
    if (undefined) return Refuse(kCut);
    return {};
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

namespace {

// The file meta group from `pos`, always explicit little endian, into w.top; where it
// ends, or the reason.
base::Result<std::size_t> WalkMeta(Walk& w, std::size_t pos) {
    while (pos + 8 <= w.size && U16(w.data + pos, true) == 0x0002) {
        const base::Result<Header> h = ReadHeader(w, pos, true, true);
        if (!h) return base::Fail(h.why());
        if (h->length == kUndefined || h->length > w.size - h->value) return Refuse(kCut);
        w.top.emplace(h->tag, Span{h->value, h->length});
        pos = h->value + h->length;
    }
    return pos;
}

}  // namespace

base::Result<void> WalkFile(std::string_view bytes, Walk& w) {
    w.data = reinterpret_cast<const unsigned char*>(bytes.data());
    w.size = bytes.size();
    // The meta group, then the data set in its syntax.
    const bool preamble = w.size >= 132 && std::memcmp(bytes.data() + 128, "DICM", 4) == 0;
    const base::Result<std::size_t> metaEnd = WalkMeta(w, preamble ? 132 : 0);
    if (!metaEnd) return base::Fail(metaEnd.why());
    const std::string syntax = Text(w, w.top, Tag(0x0002, 0x0010));
    const gdcm::TransferSyntax ts(syntax.empty() ? gdcm::TransferSyntax::ImplicitVRLittleEndian
                                                 : gdcm::TransferSyntax::GetTSType(syntax.c_str()));
    if (!syntax.empty() && (ts == gdcm::TransferSyntax::TS_END || !CanDecode(ts) ||
                            ts == gdcm::TransferSyntax::DeflatedExplicitVRLittleEndian))
        return Refuse("不支援此 DICOM 傳輸語法（" + TransferSyntaxName(syntax) + "）");
    w.little = ts.GetSwapCode() != gdcm::SwapCode::BigEndian;
    // A file without meta group may still be explicitly coded: its first element says.
    bool explicitVr = ts.IsExplicit();
    if (syntax.empty() && *metaEnd + 6 <= w.size) {
        const unsigned char* vr = w.data + *metaEnd + 4;
        explicitVr = vr[0] >= 'A' && vr[0] <= 'Z' && vr[1] >= 'A' && vr[1] <= 'Z';
    }
    std::size_t pos = *metaEnd;
    if (auto walked = WalkElements(w, pos, w.size, Coding{w.little, explicitVr, 0}, &w.top, false);
        !walked)
        return walked;
    w.syntax = syntax;
    return {};
}

}  // namespace ceph::pictures::dicom
