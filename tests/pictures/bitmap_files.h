#pragma once
// Windows bitmaps written from scratch: headers claiming a size their data do not hold.

#include <cstdint>
#include <string>

namespace ceph::testing {

// A Windows bitmap header (BITMAPINFOHEADER, 8 bits a pixel) claiming a size, with no
// pixels behind it.
inline std::string BitmapClaiming(int width, int height) {
    auto le32 = [](std::string& s, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    std::string b = "BM";
    le32(b, 54 + 1024 + 100);
    le32(b, 0);
    le32(b, 54 + 1024);
    le32(b, 40);
    le32(b, static_cast<std::uint32_t>(width));
    le32(b, static_cast<std::uint32_t>(height));
    b += std::string("\x01\x00\x08\x00", 4);
    for (int i = 0; i < 6; ++i)
        le32(b, 0);
    b += std::string(1024 + 100, '\0');
    return b;
}

}  // namespace ceph::testing
