#include "platform/dicom_pixels.h"

#include <gdcmImage.h>
#include <gdcmImageReader.h>
#include <gdcmJPEGCodec.h>
#include <gdcmJPEGLSCodec.h>
#include <gdcmSequenceOfFragments.h>
#include <gdcmTrace.h>
#include <gdcmTransferSyntax.h>

#include <algorithm>
#include <cstring>
#include <istream>
#include <mutex>
#include <new>
#include <streambuf>

#include "platform/picture_file.h"

namespace ceph::platform::dicom {

namespace {

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

// A DICOM file of the pixel module and the compressed pixels: the `kept` items after an
// empty offset table.
std::string CleanFile(const Walk& w, const PixelModule& m, const std::string& syntax,
                      const std::vector<Span>& kept) {
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
    out += std::string("\xE0\x7F\x10\x00OB\0\0\xFF\xFF\xFF\xFF", 12);
    out += std::string("\xFE\xFF\x00\xE0\0\0\0\0", 8);  // an empty offset table
    for (const Span& item : kept)
        out.append(reinterpret_cast<const char*>(w.data) + item.offset, item.length);
    out += std::string("\xFE\xFF\xDD\xE0\0\0\0\0", 8);
    return out;
}

}  // namespace

bool StreamMatches(const std::string& syntaxUid, const unsigned char* p, std::size_t n,
                   const PixelModule& m, int* precisionOut) {
    const gdcm::TransferSyntax::TSType syntax = gdcm::TransferSyntax::GetTSType(syntaxUid.c_str());
    if (syntax == gdcm::TransferSyntax::RLELossless) return true;
    const bool j2k = syntax >= gdcm::TransferSyntax::JPEG2000Lossless &&
                     syntax <= gdcm::TransferSyntax::JPEG2000Part2;
    const auto u16 = [&](std::size_t at) { return static_cast<unsigned>(p[at] << 8 | p[at + 1]); };
    const auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(u16(at)) << 16 | u16(at + 2);
    };
    // JPEG 2000: the code stream itself (no JP2 wrapper), its SIZ segment first, then
    // every marker segment up to the first tile's data whole within the frame: GDCM's
    // own reading of these headers trusts their lengths.
    if (j2k) {
        if (n < 4 + 38 || u16(0) != 0xFF4F || u16(2) != 0xFF51) return false;
        const std::size_t siz = 4;
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
        std::size_t at = 2;
        while (at + 2 <= n) {
            const unsigned marker = u16(at);
            at += 2;
            if (marker == 0xFF93) return true;  // start of data
            // Markers without a length: start and end of the stream, end of a packet
            // header, and the reserved FF30..FF3F.
            if (marker == 0xFF4F || marker == 0xFFD9 || marker == 0xFF92 ||
                (marker >= 0xFF30 && marker <= 0xFF3F))
                continue;
            if (at + 2 > n) return false;
            const std::size_t length = u16(at);
            if (length < 2 || at + length > n || (marker == 0xFF52 && length < 12)) return false;
            at += length;
        }
        return false;
    }
    // JPEG and JPEG-LS: the segments up to the first scan, one after the other with
    // nothing between them (libjpeg warns of stray bytes, and GDCM stops the program on
    // a warning), and the frame header (SOFn, or SOF55 for JPEG-LS).
    if (n < 4 || p[0] != 0xFF || p[1] != 0xD8) return false;
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

// JPEG frames go to GDCM's JPEG decoder directly. Through its image reader, a frame the
// decoder refuses is handed to a fallback that runs an outside program on it and leaves
// its scratch files behind.
bool DecodeJpegFrame(const Walk& w, const PixelModule& m, const std::vector<Span>& kept,
                     std::int64_t frameBytes, Samples* out, std::string* error) {
    gdcm::JPEGCodec codec;
    const unsigned dims[3] = {static_cast<unsigned>(m.columns), static_cast<unsigned>(m.rows), 1};
    codec.SetNumberOfDimensions(2);
    codec.SetDimensions(dims);
    codec.SetPlanarConfiguration(m.planar ? 1 : 0);
    codec.SetPhotometricInterpretation(
        gdcm::PhotometricInterpretation::GetPIType(m.colours.c_str()));
    codec.SetPixelFormat(gdcm::PixelFormat(
        static_cast<unsigned short>(m.samples), static_cast<unsigned short>(m.bitsAllocated),
        static_cast<unsigned short>(m.bitsStored), static_cast<unsigned short>(m.highBit),
        m.isSigned ? 1 : 0));
    codec.SetNeedOverlayCleanup(false);
    gdcm::SmartPointer<gdcm::SequenceOfFragments> fragments = new gdcm::SequenceOfFragments;
    for (const Span& item : kept) {
        gdcm::Fragment fragment;
        fragment.SetByteValue(reinterpret_cast<const char*>(w.data) + item.offset + 8,
                              static_cast<std::uint32_t>(item.length - 8));
        fragments->AddFragment(fragment);
    }
    gdcm::DataElement in(gdcm::Tag(0x7FE0, 0x0010));
    in.SetValue(*fragments);
    in.SetVLToUndefined();  // GDCM checks this before the value representation is set
    in.SetVR(gdcm::VR::OB);
    gdcm::DataElement decoded;
    SilenceGdcm();
    const gdcm::ByteValue* bytes = codec.Decode(in, decoded) ? decoded.GetByteValue() : nullptr;
    if (!bytes || bytes->GetLength() < static_cast<std::uint64_t>(frameBytes)) {
        *error = "DICOM 壓縮的像素資料損壞或不完整，無法解碼";
        return false;
    }
    try {
        out->bytes.assign(bytes->GetPointer(), bytes->GetPointer() + frameBytes);
    } catch (const std::bad_alloc&) {
        *error = "記憶體不足";
        return false;
    }
    const gdcm::PixelFormat format = codec.GetPixelFormat();
    out->colours = m.colours;
    out->bitsStored = std::clamp<int>(format.GetBitsStored(), 1, m.bitsAllocated);
    out->highBit = out->bitsStored - 1;  // a decoder's samples are right-aligned
    out->isSigned = m.isSigned;
    out->planar = m.samples == 3 && codec.GetPlanarConfiguration() == 1;
    return true;
}

// Whether a JPEG-LS frame ends with its end-of-image marker, before the zero bytes that
// pad a fragment to an even length. CharLS (2.4) refuses at once a stream that runs into
// a marker before the picture is whole, but one that simply stops is read on past its
// end bit by bit, through some four billion empty bits, for seconds, before it is
// refused: a stream cut short must not reach it.
bool JpegLsEndsWhole(const Walk& w, const std::vector<Span>& kept) {
    if (kept.empty() || kept.back().length <= 8) return false;
    const unsigned char* p = w.data + kept.back().offset + 8;
    std::size_t n = kept.back().length - 8;
    while (n > 0 && p[n - 1] == 0)
        --n;
    return n >= 2 && p[n - 2] == 0xFF && p[n - 1] == 0xD9;
}

bool RawFrame(const Walk& w, const PixelModule& m, std::int64_t frameBytes, Samples* out,
              std::string* error) {
    try {
        const char* first = reinterpret_cast<const char*>(w.data) + w.pixelSpan.offset;
        out->bytes.assign(first, first + frameBytes);
    } catch (const std::bad_alloc&) {
        *error = "記憶體不足";
        return false;
    }
    if (!w.little && m.bitsAllocated == 16)
        for (std::size_t i = 0; i + 1 < out->bytes.size(); i += 2)
            std::swap(out->bytes[i], out->bytes[i + 1]);
    out->colours = m.colours;
    out->bitsStored = m.bitsStored;
    out->highBit = m.highBit;
    out->isSigned = m.isSigned;
    out->planar = m.planar;
    return true;
}

bool DecodeWithGdcm(const Walk& w, const PixelModule& m, const std::string& syntax,
                    const std::vector<Span>& kept, std::int64_t frameBytes, std::int64_t rawBytes,
                    Samples* out, std::string* error) {
    const gdcm::TransferSyntax::TSType ts = gdcm::TransferSyntax::GetTSType(syntax.c_str());
    if (gdcm::JPEGCodec().CanDecode(ts)) return DecodeJpegFrame(w, m, kept, frameBytes, out, error);
    if (gdcm::JPEGLSCodec().CanDecode(ts) && !JpegLsEndsWhole(w, kept)) {
        *error = "DICOM 的 JPEG-LS 壓縮資料不完整（沒有影像結尾標記），檔案可能被截斷";
        return false;
    }
    // GDCM reads a clean file made of the elements that describe the pixels and the
    // pixels themselves, all checked before: its reader stops the program on some
    // damaged structures, and whatever else the original holds is no concern of the
    // decoding.
    std::string clean;
    try {
        clean = CleanFile(w, m, syntax, kept);
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
        *error = "DICOM 壓縮的像素資料損壞或不完整，無法解碼";
        return false;
    }
    out->colours =
        gdcm::PhotometricInterpretation::GetPIString(image.GetPhotometricInterpretation());
    while (!out->colours.empty() && out->colours.back() == ' ')
        out->colours.pop_back();
    // As GDCM found them: the bits a compressed stream really holds may differ, and the
    // decoder gives its samples right-aligned whatever high bit the file names.
    out->bitsStored = std::clamp<int>(format.GetBitsStored(), 1, m.bitsAllocated);
    out->highBit = out->bitsStored - 1;
    out->isSigned = format.GetPixelRepresentation() == 1;
    out->planar = m.samples == 3 && image.GetPlanarConfiguration() == 1;
    return true;
}

bool IsRle(const std::string& syntaxUid) {
    return gdcm::TransferSyntax::GetTSType(syntaxUid.c_str()) == gdcm::TransferSyntax::RLELossless;
}

bool IsJpeg2000(const std::string& syntaxUid) {
    const gdcm::TransferSyntax::TSType ts = gdcm::TransferSyntax::GetTSType(syntaxUid.c_str());
    return ts >= gdcm::TransferSyntax::JPEG2000Lossless &&
           ts <= gdcm::TransferSyntax::JPEG2000Part2;
}

}  // namespace ceph::platform::dicom
