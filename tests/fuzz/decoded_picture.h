#pragma once
// The property every picture decoder keeps, whatever the bytes: a picture within the
// size and memory limits, or a reason why not, never both and never neither.

#include <QByteArray>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/picture_file.h"
#include "platform/pictures.h"

inline void CheckDecodedPicture(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    std::string error;
    const QImage image = ceph::platform::DecodePicture(bytes, &error).image;
    if (image.isNull()) {
        FUZZ_CHECK(!error.empty());
        return;
    }
    FUZZ_CHECK(ceph::platform::PictureSizeAllowed(image.width(), image.height()));
    FUZZ_CHECK(ceph::platform::DecodeMemoryAllowed(image.sizeInBytes()));
}
