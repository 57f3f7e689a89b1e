#include "platform/picture_levels.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ceph::platform {

page::PictureWindow HistogramWindow(const QImage& image) {
    const bool deep = image.format() == QImage::Format_Grayscale16;
    if (image.isNull() || (!deep && image.format() != QImage::Format_Grayscale8)) return {};
    std::vector<std::uint32_t> counts(deep ? 65536 : 256, 0);
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        if (deep) {
            const auto* line = reinterpret_cast<const std::uint16_t*>(image.constScanLine(y));
            for (int x = 0; x < width; ++x)
                ++counts[line[x]];
        } else {
            const uchar* line = image.constScanLine(y);
            for (int x = 0; x < width; ++x)
                ++counts[line[x]];
        }
    }
    const double total = static_cast<double>(width) * image.height();
    const double lowCount = total * 0.005, highCount = total * 0.995;
    double seen = 0;
    int low = -1, high = static_cast<int>(counts.size()) - 1;
    for (std::size_t level = 0; level < counts.size(); ++level) {
        seen += counts[level];
        if (low < 0 && seen > lowCount) low = static_cast<int>(level);
        if (seen >= highCount) {
            high = static_cast<int>(level);
            break;
        }
    }
    low = std::max(low, 0);
    return {(low + high) / 2.0, std::max(1.0, static_cast<double>(high - low))};
}

}  // namespace ceph::platform
