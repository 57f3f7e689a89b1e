#pragma once
// Pictures through the platform's decoding, Qt's readers included (see decoded_picture.h).

#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "pictures/limits.h"
#include "platform/pictures.h"

inline void CheckDecodedPicture(const std::uint8_t* data, std::size_t size) {
    const auto decoded =
        ceph::platform::DecodePicture(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!decoded) {
        FUZZ_CHECK(!decoded.why().detail.empty());
        return;
    }
    const QImage& image = decoded->image;
    FUZZ_CHECK(!image.isNull());
    FUZZ_CHECK(ceph::pictures::PictureSizeAllowed(image.width(), image.height()));
    FUZZ_CHECK(ceph::pictures::DecodeMemoryAllowed(image.sizeInBytes()));
}
