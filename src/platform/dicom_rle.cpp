// Run-length frames are decoded here rather than by GDCM: see dicom_pixels.h.
#include <algorithm>
#include <new>

#include "platform/dicom_pixels.h"

namespace ceph::platform::dicom {

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

}  // namespace ceph::platform::dicom
