#include "picture_gen.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "platform/jpeg_writer.h"

namespace ceph::bench {

QImage SyntheticRadiograph(int side) {
    QImage image(side, side, QImage::Format_Grayscale8);
    std::uint32_t noise = 12345;
    const double centre = side / 2.0;
    for (int y = 0; y < side; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < side; ++x) {
            // A bright skull-like disc fading outwards, bands of bone and soft tissue,
            // and film grain.
            const double r = std::hypot(x - centre, y - 0.45 * side) / side;
            double v = 170 * std::exp(-3.5 * r * r) +
                       30 * std::sin(x * 0.013) * std::cos(y * 0.007) + 25.0 * y / side + 20;
            noise = noise * 1664525u + 1013904223u;
            v += static_cast<int>(noise >> 27) - 16;
            line[x] = static_cast<uchar>(std::clamp(v, 0.0, 255.0));
        }
    }
    return image;
}

void WriteSyntheticRadiograph(const std::string& path, int quality) {
    const base::Result<void> saved = platform::SaveJpeg(SyntheticRadiograph(), path, quality);
    if (!saved) throw std::runtime_error("cannot write " + path + ": " + saved.why().detail);
}

}  // namespace ceph::bench
