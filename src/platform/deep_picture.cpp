#include "platform/deep_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace ceph::platform {

page::PictureWindow BaseWindow(const page::PictureRef& picture, const page::PictureView& view) {
    if (!view.window.empty()) return view.window;
    if (!picture.deep()) return {127.5, 255};
    if (!picture.fileWindow.empty()) return picture.fileWindow;
    if (!picture.histogramWindow.empty()) return picture.histogramWindow;
    return {32767.5, 65535};
}

std::vector<uchar> LevelTable(const page::PictureRef& picture, const page::PictureView& view,
                              int levels, bool invert) {
    const page::PictureWindow window = BaseWindow(picture, view);
    const double gain = view.contrast / 100.0;
    const double lift = view.brightness * 255 / 100.0;
    // The window's lowest level is black and its highest white, so an 8-bit picture with
    // its whole range as window keeps its greys.
    const double low = window.level - window.width / 2;
    const double scale = 255.0 / window.width;
    std::vector<uchar> table(static_cast<std::size_t>(levels));
    for (int level = 0; level < levels; ++level) {
        double grey = (level - low) * scale;
        if (invert) grey = 255 - grey;
        grey = (grey - 127.5) * gain + 127.5 + lift;
        table[static_cast<std::size_t>(level)] =
            static_cast<uchar>(std::clamp(std::lround(grey), 0L, 255L));
    }
    return table;
}

QImage ThroughTable(const QImage& deep, const QRect& part, const std::vector<uchar>& table) {
    const QRect source = part & deep.rect();
    QImage grey(source.size(), QImage::Format_Grayscale8);
    if (grey.isNull() || table.size() < 65536) return grey;
    for (int y = 0; y < source.height(); ++y) {
        const auto* in =
            reinterpret_cast<const quint16*>(deep.constScanLine(source.top() + y)) + source.left();
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < source.width(); ++x)
            out[x] = table[in[x]];
    }
    return grey;
}

QImage ReducedDeep(const QImage& deep, QSize size) {
    size = size.boundedTo(deep.size());
    QImage reduced(size, QImage::Format_Grayscale16);
    if (reduced.isNull() || size.isEmpty()) return reduced;
    // The source columns each new column averages, found once for all rows.
    std::vector<int> columnStart(static_cast<std::size_t>(size.width()) + 1);
    for (int x = 0; x <= size.width(); ++x)
        columnStart[static_cast<std::size_t>(x)] =
            static_cast<int>(std::int64_t{x} * deep.width() / size.width());
    std::vector<std::uint64_t> sums(static_cast<std::size_t>(size.width()));
    for (int y = 0; y < size.height(); ++y) {
        const int top = static_cast<int>(std::int64_t{y} * deep.height() / size.height());
        const int bottom = static_cast<int>(std::int64_t{y + 1} * deep.height() / size.height());
        std::fill(sums.begin(), sums.end(), 0);
        for (int row = top; row < bottom; ++row) {
            const auto* in = reinterpret_cast<const quint16*>(deep.constScanLine(row));
            for (int x = 0; x < size.width(); ++x) {
                std::uint64_t sum = 0;
                for (int c = columnStart[static_cast<std::size_t>(x)];
                     c < columnStart[static_cast<std::size_t>(x) + 1]; ++c)
                    sum += in[c];
                sums[static_cast<std::size_t>(x)] += sum;
            }
        }
        auto* out = reinterpret_cast<quint16*>(reduced.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const std::uint64_t count =
                std::uint64_t(bottom - top) *
                std::uint64_t(columnStart[std::size_t(x) + 1] - columnStart[std::size_t(x)]);
            out[x] = static_cast<quint16>((sums[static_cast<std::size_t>(x)] + count / 2) / count);
        }
    }
    return reduced;
}

}  // namespace ceph::platform
