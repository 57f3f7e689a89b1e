// Run-length frames are decoded here rather than by GDCM: see dicom_pixels.h.
#include <algorithm>
#include <new>

#include "pictures/dicom_pixels.h"
#include "pictures/limits.h"

namespace ceph::pictures::dicom {

namespace {

// Unpacks the PackBits segment data[begin, end) into every `step`th byte of `target`, at
// most `count` bytes. Returns how many bytes the segment holds in all: more than `count`
// when it runs over its rows. A lone byte left at the end (the padding to an even
// length) holds none.
std::size_t Unpack(const unsigned char* data, std::size_t begin, std::size_t end, char* target,
                   std::size_t step, std::size_t count) {
    std::size_t done = 0, at = begin;
    while (at < end) {
        const int n = static_cast<signed char>(data[at++]);
        const std::size_t room = done < count ? count - done : 0;
        if (n >= 0) {
            const std::size_t run = std::min<std::size_t>(n + 1, end - at);
            for (std::size_t i = 0; i < std::min(run, room); ++i)
                target[(done + i) * step] = static_cast<char>(data[at + i]);
            at += run;
            done += run;
        } else if (n != -128 && at < end) {
            const char value = static_cast<char>(data[at++]);
            const std::size_t run = static_cast<std::size_t>(1 - n);
            for (std::size_t i = 0; i < std::min(run, room); ++i)
                target[(done + i) * step] = value;
            done += run;
        }
    }
    return done;
}

// What is wrong with a segment that holds `got` bytes for `want`, or a segment that lies
// outside the frame (`got` < 0).
std::string SegmentDamage(std::uint32_t segment, std::int64_t got, std::size_t want) {
    const std::string which = "RLE 壓縮資料第 " + std::to_string(segment + 1) + " 段";
    if (got < 0) return which + "的位置不在資料內";
    const auto have = static_cast<std::size_t>(got);
    return have < want ? which + "少了 " + std::to_string(want - have) + " 個位元組"
                       : which + "多出 " + std::to_string(have - want) + " 個位元組";
}

}  // namespace

namespace {

// Unpacks every segment of a frame of `pixels` pixels into out.bytes, naming in
// out.damage the first segment that does not fill its rows exactly; false when no
// segment gave anything at all.
bool UnpackSegments(const unsigned char* frame, std::size_t length, std::uint32_t segments,
                    const PixelModule& m, std::size_t pixels, Samples& out) {
    const int bytesPerSample = m.bitsAllocated / 8;
    int bad = 0;
    bool any = false;
    for (std::uint32_t s = 0; s < segments; ++s) {
        // A segment reaching past the frame's end was cut short with it: what is there
        // of it is decoded.
        const std::size_t begin = U32(frame + 4 + 4 * s, true);
        const std::size_t next = s + 1 < segments ? U32(frame + 8 + 4 * s, true) : length;
        const std::size_t end = std::min(next, length);
        // Where this segment's bytes go among the little-endian interleaved samples.
        const std::size_t sample = s / bytesPerSample;
        const std::size_t byte = bytesPerSample - 1 - s % bytesPerSample;
        const std::size_t step = static_cast<std::size_t>(m.samples) * bytesPerSample;
        char* target = out.bytes.data() + sample * bytesPerSample + byte;
        const bool inside = begin >= 64 && begin <= end;
        const std::int64_t got =
            inside ? static_cast<std::int64_t>(Unpack(frame, begin, end, target, step, pixels))
                   : -1;
        any |= got > 0;
        if (got == static_cast<std::int64_t>(pixels)) continue;
        if (bad++ == 0) out.damage = SegmentDamage(s, got, pixels);
    }
    if (bad > 1) out.damage += "（共 " + std::to_string(bad) + " 段有損壞）";
    return any;
}

}  // namespace

base::Result<Samples> DecodeRle(const Walk& w, const std::vector<Span>& kept,
                                const PixelModule& m) {
    const char* const damaged = "DICOM 的 RLE 壓縮資料損壞或不完整";
    if (m.frames != 1 || kept.empty() || kept.front().length < 8 + 64) return Refuse(damaged);
    const unsigned char* frame = w.data + kept.front().offset + 8;
    const std::size_t length = kept.front().length - 8;
    const int bytesPerSample = m.bitsAllocated / 8;
    const std::uint32_t segments = U32(frame, true);
    if (segments != static_cast<std::uint32_t>(m.samples * bytesPerSample)) return Refuse(damaged);
    const std::size_t pixels = static_cast<std::size_t>(m.columns) * m.rows;
    Samples out;
    try {
        out.bytes.assign(pixels * m.samples * bytesPerSample, 0);
    } catch (const std::bad_alloc&) {
        return Refuse(kOutOfMemory);
    }
    // Nothing at all to show is no film.
    if (!UnpackSegments(frame, length, segments, m, pixels, out)) return Refuse(damaged);
    out.colours = m.colours;
    out.bitsStored = m.bitsStored;
    out.highBit = m.highBit;
    out.isSigned = m.isSigned;
    out.planar = false;
    return out;
}

}  // namespace ceph::pictures::dicom
