#pragma once
// The property every picture decoder keeps, whatever the bytes: a picture within the
// size and memory limits, or a reason why not, never both and never neither. The formats
// Qt reads go through the platform's decoding; the pictures' own formats through theirs,
// without Qt.

#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "pictures/format.h"
#include "pictures/limits.h"
#include "pictures/own_formats.h"

inline void CheckPicture(const ceph::base::Result<ceph::pictures::Picture>& picture) {
    if (!picture) {
        FUZZ_CHECK(!picture.why().detail.empty());
        return;
    }
    const ceph::pictures::Pixels& pixels = picture->pixels;
    FUZZ_CHECK(!pixels.null());
    FUZZ_CHECK(ceph::pictures::PictureSizeAllowed(pixels.width, pixels.height));
    FUZZ_CHECK(ceph::pictures::DecodeMemoryAllowed(pixels.Bytes()));
}

// The bytes through the pictures' own formats, recognised by their content.
inline void CheckOwnPicture(const std::uint8_t* data, std::size_t size) {
    ceph::pictures::RegisterOwnFormats();
    CheckPicture(
        ceph::pictures::Decode(std::string_view(reinterpret_cast<const char*>(data), size)));
}
