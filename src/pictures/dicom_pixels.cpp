#include "pictures/dicom_pixels.h"

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
#include <memory>
#include <mutex>
#include <new>
#include <streambuf>

#include "pictures/limits.h"

namespace ceph::pictures::dicom {

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

const char* const kUndecodable = "DICOM 壓縮的像素資料損壞或不完整，無法解碼";

// JPEG frames go to GDCM's JPEG decoder directly. Through its image reader, a frame the
// decoder refuses is handed to a fallback that runs an outside program on it and leaves
// its scratch files behind.
base::Result<Samples> DecodeJpegFrame(const Walk& w, const PixelModule& m,
                                      const std::vector<Span>& kept, std::int64_t frameBytes) {
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
    if (!bytes || bytes->GetLength() < static_cast<std::uint64_t>(frameBytes))
        return Refuse(kUndecodable);
    Samples out;
    try {
        out.bytes.assign(bytes->GetPointer(), bytes->GetPointer() + frameBytes);
    } catch (const std::bad_alloc&) {
        return Refuse(kOutOfMemory);
    }
    const gdcm::PixelFormat format = codec.GetPixelFormat();
    out.colours = m.colours;
    out.bitsStored = std::clamp<int>(format.GetBitsStored(), 1, m.bitsAllocated);
    out.highBit = out.bitsStored - 1;  // a decoder's samples are right-aligned
    out.isSigned = m.isSigned;
    out.planar = m.samples == 3 && codec.GetPlanarConfiguration() == 1;
    return out;
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

// GDCM's image reader over a clean file made of the elements that describe the pixels
// and the pixels themselves, all checked before: its reader stops the program on some
// damaged structures, and whatever else the original holds is no concern of the
// decoding. The file and the stream over it last as long as the reader.
struct CleanReader {
    std::string file;
    std::unique_ptr<MemoryBuffer> buffer;
    std::unique_ptr<std::istream> stream;
    gdcm::ImageReader reader;
};

// Reads the clean file; the reason when GDCM cannot.
base::Result<void> ReadClean(const Walk& w, const PixelModule& m, const std::vector<Span>& kept,
                             CleanReader& r) {
    try {
        r.file = CleanFile(w, m, w.syntax, kept);
    } catch (const std::bad_alloc&) {
        return Refuse(kOutOfMemory);
    }
    SilenceGdcm();
    r.buffer = std::make_unique<MemoryBuffer>(r.file.data(), r.file.size());
    r.stream = std::make_unique<std::istream>(r.buffer.get());
    r.reader.SetStream(*r.stream);
    if (!r.reader.Read()) return Refuse("DICOM 檔案損壞，無法讀取");
    return {};
}

// The samples of the picture GDCM read, when it is the one the file's header describes
// and its buffer holds the frame and stays within `rawBytes`.
base::Result<Samples> TakeSamples(const gdcm::Image& image, const PixelModule& m,
                                  std::int64_t frameBytes, std::int64_t rawBytes) {
    const gdcm::PixelFormat format = image.GetPixelFormat();
    if (image.GetColumns() != static_cast<unsigned>(m.columns) ||
        image.GetRows() != static_cast<unsigned>(m.rows) ||
        format.GetBitsAllocated() != m.bitsAllocated ||
        format.GetSamplesPerPixel() != static_cast<unsigned>(m.samples) ||
        static_cast<std::int64_t>(image.GetBufferLength()) > rawBytes)
        return Refuse("DICOM 檔案的影像描述前後不一致");
    Samples out;
    try {
        out.bytes.resize(image.GetBufferLength());
    } catch (const std::bad_alloc&) {
        return Refuse(kOutOfMemory);
    }
    if (out.bytes.size() < static_cast<std::size_t>(frameBytes) ||
        !image.GetBuffer(out.bytes.data()))
        return Refuse(kUndecodable);
    out.colours =
        gdcm::PhotometricInterpretation::GetPIString(image.GetPhotometricInterpretation());
    while (!out.colours.empty() && out.colours.back() == ' ')
        out.colours.pop_back();
    // As GDCM found them: the bits a compressed stream really holds may differ, and the
    // decoder gives its samples right-aligned whatever high bit the file names.
    out.bitsStored = std::clamp<int>(format.GetBitsStored(), 1, m.bitsAllocated);
    out.highBit = out.bitsStored - 1;
    out.isSigned = format.GetPixelRepresentation() == 1;
    out.planar = m.samples == 3 && image.GetPlanarConfiguration() == 1;
    return out;
}

}  // namespace

base::Result<Samples> RawFrame(const Walk& w, const PixelModule& m, std::int64_t frameBytes) {
    Samples out;
    try {
        const char* first = reinterpret_cast<const char*>(w.data) + w.pixelSpan.offset;
        out.bytes.assign(first, first + frameBytes);
    } catch (const std::bad_alloc&) {
        return Refuse(kOutOfMemory);
    }
    if (!w.little && m.bitsAllocated == 16)
        for (std::size_t i = 0; i + 1 < out.bytes.size(); i += 2)
            std::swap(out.bytes[i], out.bytes[i + 1]);
    out.colours = m.colours;
    out.bitsStored = m.bitsStored;
    out.highBit = m.highBit;
    out.isSigned = m.isSigned;
    out.planar = m.planar;
    return out;
}

base::Result<Samples> DecodeWithGdcm(const Walk& w, const PixelModule& m,
                                     const std::vector<Span>& kept, std::int64_t frameBytes,
                                     std::int64_t rawBytes) {
    const gdcm::TransferSyntax::TSType ts = gdcm::TransferSyntax::GetTSType(w.syntax.c_str());
    if (gdcm::JPEGCodec().CanDecode(ts)) return DecodeJpegFrame(w, m, kept, frameBytes);
    if (gdcm::JPEGLSCodec().CanDecode(ts) && !JpegLsEndsWhole(w, kept))
        return Refuse("DICOM 的 JPEG-LS 壓縮資料不完整（沒有影像結尾標記），檔案可能被截斷");
    CleanReader clean;
    if (auto read = ReadClean(w, m, kept, clean); !read) return base::Fail(read.why());
    return TakeSamples(clean.reader.GetImage(), m, frameBytes, rawBytes);
}

bool IsRle(const std::string& syntaxUid) {
    return gdcm::TransferSyntax::GetTSType(syntaxUid.c_str()) == gdcm::TransferSyntax::RLELossless;
}

bool IsJpeg2000(const std::string& syntaxUid) {
    const gdcm::TransferSyntax::TSType ts = gdcm::TransferSyntax::GetTSType(syntaxUid.c_str());
    return ts >= gdcm::TransferSyntax::JPEG2000Lossless &&
           ts <= gdcm::TransferSyntax::JPEG2000Part2;
}

}  // namespace ceph::pictures::dicom
