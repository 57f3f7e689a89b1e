#pragma once
// Colours of the figures, the window model and its drawings.

#include <cstdint>

namespace ceph {

// Colours are kept as integers in blue-green-red order.
using Colour = std::int32_t;
constexpr Colour Bgr(int red, int green, int blue) {
    return red | (green << 8) | (blue << 16);
}
constexpr int RedOf(Colour c) {
    return c & 0xff;
}
constexpr int GreenOf(Colour c) {
    return (c >> 8) & 0xff;
}
constexpr int BlueOf(Colour c) {
    return (c >> 16) & 0xff;
}

constexpr Colour kRed = 255;
constexpr Colour kGreen = 65280;
constexpr Colour kBlue = 16711680;
constexpr Colour kMagenta = 16711935;
constexpr Colour kLightCyan = 16777152;
constexpr Colour kBlack = 0;
constexpr Colour kWhite = 16777215;
// Stand-ins resolved by the platform: the system's window-text and face colours.
constexpr Colour kSystemWindowText = static_cast<Colour>(0x80000008u);
constexpr Colour kSystemButtonFace = static_cast<Colour>(0x8000000Fu);
constexpr bool IsSystemColour(Colour c) {
    return (static_cast<std::uint32_t>(c) >> 31) != 0;
}

}  // namespace ceph
