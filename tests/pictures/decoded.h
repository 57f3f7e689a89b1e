#pragma once
// The decoders' tests read their pictures as the program recognises them, by content,
// and look at the pixels they give.

#include <cstdint>
#include <cstring>
#include <string>

#include "pictures/format.h"
#include "pictures/own_formats.h"

namespace ceph::testing {

// The bytes decoded by the formats this library decodes itself.
inline base::Result<pictures::Picture> Decoded(const std::string& bytes) {
    pictures::RegisterOwnFormats();
    return pictures::Decode(bytes);
}

// The reason a picture was refused; empty for one decoded.
inline std::string Reason(const base::Result<pictures::Picture>& picture) {
    return picture ? std::string() : picture.why().detail;
}

inline std::uint16_t Level16(const pictures::Pixels& p, int x, int y) {
    return reinterpret_cast<const std::uint16_t*>(p.Row(y))[x];
}

inline int Level8(const pictures::Pixels& p, int x, int y) {
    return p.Row(y)[x];
}

// Whether two pictures hold the same pixels in the same layout.
inline bool SamePixels(const pictures::Pixels& a, const pictures::Pixels& b) {
    if (a.format != b.format || a.width != b.width || a.height != b.height) return false;
    const auto bytes = static_cast<std::size_t>(a.width * pictures::BitsPerPixel(a.format) / 8);
    for (int y = 0; y < a.height; ++y)
        if (std::memcmp(a.Row(y), b.Row(y), bytes) != 0) return false;
    return true;
}

}  // namespace ceph::testing
