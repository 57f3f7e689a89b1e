// Whether a compressed frame's own header describes the picture the file's header does:
// see dicom_pixels.h.
#include <gdcmTransferSyntax.h>

#include <cstdint>
#include <cstring>

#include "pictures/dicom_pixels.h"

namespace ceph::pictures::dicom {

namespace {

// Big-endian values of a code stream's headers.
struct Stream {
    const unsigned char* p;
    std::size_t n;
    unsigned U16(std::size_t at) const { return static_cast<unsigned>(p[at] << 8 | p[at + 1]); }
    std::uint32_t U32(std::size_t at) const {
        return static_cast<std::uint32_t>(U16(at)) << 16 | U16(at + 2);
    }
};

// A JPEG 2000 code stream's SIZ segment, first after the start of the stream: the
// picture's size and components, and each component's bits within those allocated.
bool J2kSizeMatches(const Stream& s, const PixelModule& m) {
    if (s.n < 4 + 38 || s.U16(0) != 0xFF4F || s.U16(2) != 0xFF51) return false;
    const std::size_t siz = 4;
    const std::uint32_t width = s.U32(siz + 4) - s.U32(siz + 12);
    const std::uint32_t height = s.U32(siz + 8) - s.U32(siz + 16);
    const unsigned components = s.U16(siz + 36);
    if (width != static_cast<std::uint32_t>(m.columns) ||
        height != static_cast<std::uint32_t>(m.rows) ||
        components != static_cast<unsigned>(m.samples) || siz + 38 + 3 * components > s.n)
        return false;
    for (unsigned c = 0; c < components; ++c) {
        const unsigned char* info = s.p + siz + 38 + 3 * c;
        if ((info[0] & 0x7F) + 1 > m.bitsAllocated || info[1] != 1 || info[2] != 1) return false;
    }
    return true;
}

// JPEG 2000: the code stream itself (no JP2 wrapper), its SIZ segment first, then every
// marker segment up to the first tile's data whole within the frame: GDCM's own reading
// of these headers trusts their lengths.
bool J2kMatches(const Stream& s, const PixelModule& m) {
    if (!J2kSizeMatches(s, m)) return false;
    std::size_t at = 2;
    while (at + 2 <= s.n) {
        const unsigned marker = s.U16(at);
        at += 2;
        if (marker == 0xFF93) return true;  // start of data
        // Markers without a length: start and end of the stream, end of a packet
        // header, and the reserved FF30..FF3F.
        if (marker == 0xFF4F || marker == 0xFFD9 || marker == 0xFF92 ||
            (marker >= 0xFF30 && marker <= 0xFF3F))
            continue;
        if (at + 2 > s.n) return false;
        const std::size_t length = s.U16(at);
        if (length < 2 || at + length > s.n || (marker == 0xFF52 && length < 12)) return false;
        at += length;
    }
    return false;
}

// A JPEG or JPEG-LS frame header (SOFn, or SOF55 for JPEG-LS) at `at`: its precision
// (2 bits or more, within those allocated; 8 or 12 for lossy coding), rows, columns and
// components those of the picture. The precision goes to *precisionOut.
bool JpegFrameMatches(const Stream& s, std::size_t at, unsigned marker, const PixelModule& m,
                      int* precisionOut) {
    const unsigned char* segment = s.p + at + 4;
    const bool lossless =
        marker == 0xC3 || marker == 0xC7 || marker == 0xCB || marker == 0xCF || marker == 0xF7;
    const unsigned precision = segment[0];
    if (precision > static_cast<unsigned>(m.bitsAllocated) || precision < 2 ||
        (!lossless && precision != 8 && precision != 12) ||
        s.U16(at + 5) != static_cast<unsigned>(m.rows) ||
        s.U16(at + 7) != static_cast<unsigned>(m.columns) ||
        segment[5] != static_cast<unsigned>(m.samples))
        return false;
    *precisionOut = static_cast<int>(precision);
    return true;
}

// Headers libjpeg warns of: a JFIF version other than 1, an Adobe colour transform it
// does not know.
bool WarnedOf(const Stream& s, std::size_t at, unsigned marker, std::size_t length) {
    const unsigned char* segment = s.p + at + 4;
    if (marker == 0xE0 && length >= 9 && std::memcmp(segment, "JFIF\0", 5) == 0 && segment[5] != 1)
        return true;
    return marker == 0xEE && length >= 14 && std::memcmp(segment, "Adobe", 5) == 0 &&
           segment[11] > 1;
}

// JPEG and JPEG-LS: the segments up to the first scan, one after the other with nothing
// between them (libjpeg warns of stray bytes, and GDCM stops the program on a warning),
// and the frame header.
bool JpegMatches(const Stream& s, const PixelModule& m, int* precisionOut) {
    if (s.n < 4 || s.p[0] != 0xFF || s.p[1] != 0xD8) return false;
    std::size_t at = 2;
    bool frameSeen = false;
    while (at + 4 <= s.n && s.p[at] == 0xFF) {
        const unsigned marker = s.p[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const std::size_t length = s.U16(at + 2);
        if (length < 2 || at + 2 + length > s.n) return false;
        if (marker == 0xDA) return frameSeen;
        const bool frame = (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                            marker != 0xCC) ||
                           marker == 0xF7;
        if (frame && (frameSeen || length < 8 || !JpegFrameMatches(s, at, marker, m, precisionOut)))
            return false;
        frameSeen |= frame;
        if (WarnedOf(s, at, marker, length)) return false;
        at += 2 + length;
    }
    return false;
}

}  // namespace

bool StreamMatches(const std::string& syntaxUid, const unsigned char* p, std::size_t n,
                   const PixelModule& m, int* precisionOut) {
    const gdcm::TransferSyntax::TSType syntax = gdcm::TransferSyntax::GetTSType(syntaxUid.c_str());
    if (syntax == gdcm::TransferSyntax::RLELossless) return true;
    const Stream stream{p, n};
    if (syntax >= gdcm::TransferSyntax::JPEG2000Lossless &&
        syntax <= gdcm::TransferSyntax::JPEG2000Part2)
        return J2kMatches(stream, m);
    return JpegMatches(stream, m, precisionOut);
}

}  // namespace ceph::pictures::dicom
