#include "platform/file_output.h"

#include <QBuffer>
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/safe_file.h"

namespace ceph::platform {

namespace {

void Put16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void Put32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

// The file header, the 40-byte information header and, for 8 bits, the grey palette.
std::string BitmapHeader(const QImage& image, int bits, std::uint32_t rowBytes) {
    const std::uint32_t colours = bits == 8 ? 256 : 0;
    const std::uint32_t offset = 14 + 40 + 4 * colours;
    const std::uint32_t pixels = rowBytes * static_cast<std::uint32_t>(image.height());
    std::string h;
    h += "BM";
    Put32(h, offset + pixels);
    Put32(h, 0);
    Put32(h, offset);
    Put32(h, 40);
    Put32(h, static_cast<std::uint32_t>(image.width()));
    Put32(h, static_cast<std::uint32_t>(image.height()));  // positive: bottom row first
    Put16(h, 1);
    Put16(h, static_cast<std::uint16_t>(bits));
    Put32(h, 0);  // no compression
    Put32(h, pixels);
    // 72 dots an inch when the picture tells none, as Qt writes it.
    Put32(h, static_cast<std::uint32_t>(image.dotsPerMeterX() ? image.dotsPerMeterX() : 2834));
    Put32(h, static_cast<std::uint32_t>(image.dotsPerMeterY() ? image.dotsPerMeterY() : 2834));
    Put32(h, colours);
    Put32(h, colours);
    for (std::uint32_t grey = 0; grey < colours; ++grey) {
        const char level = static_cast<char>(grey);
        h += {level, level, level, '\0'};
    }
    return h;
}

// Rows of the bitmap from the bottom up: the grey bytes as they are, or the colours as
// blue, green, red, converted a band of rows at a time.
class BitmapRows {
  public:
    BitmapRows(const QImage& image, bool grey, std::uint32_t rowBytes)
        : image_(image), grey_(grey), row_(rowBytes, '\0'), step_(RowsPerStep(image)) {}

    // Row y of the picture as the file holds it.
    const std::string& Row(int y) {
        const int width = image_.width();
        if (grey_) {
            std::memcpy(row_.data(), image_.constScanLine(y), static_cast<std::size_t>(width));
            return row_;
        }
        if (y < bandTop_ || y >= bandTop_ + band_.height()) {
            // Bands are taken bottom up, as the file wants its rows.
            bandTop_ = std::max(0, y - step_ + 1);
            band_ = image_.copy(0, bandTop_, width, y - bandTop_ + 1)
                        .convertToFormat(QImage::Format_RGB888);
        }
        const uchar* rgb = band_.constScanLine(y - bandTop_);
        for (int x = 0; x < width; ++x) {
            row_[3 * x] = static_cast<char>(rgb[3 * x + 2]);
            row_[3 * x + 1] = static_cast<char>(rgb[3 * x + 1]);
            row_[3 * x + 2] = static_cast<char>(rgb[3 * x]);
        }
        return row_;
    }
    bool Failed() const { return !grey_ && band_.isNull(); }

  private:
    const QImage& image_;
    const bool grey_;
    std::string row_;  // its padding stays zero
    const int step_;
    QImage band_;
    int bandTop_ = 0;
};

}  // namespace

int RowsPerStep(const QImage& image) {
    // About a hundredth of the picture, and a few megabytes at most converted at once.
    const int byRows = std::max(1, image.height() / 100);
    const int byBytes = std::max(1, (4 << 20) / std::max(1, image.width() * 4));
    return std::min(byRows, byBytes);
}

std::error_code WriteBytes(const QByteArray& bytes, const std::string& path) {
    return base::WriteFileAtomically(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::error_code SaveImage(const QImage& image, const std::string& path, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, format))
        return std::make_error_code(std::errc::io_error);
    return WriteBytes(bytes, path);
}

std::error_code WriteBitmap(const QImage& image, const std::string& path,
                            const WriteProgress& progress) {
    if (image.isNull()) return std::make_error_code(std::errc::invalid_argument);
    const bool grey = image.format() == QImage::Format_Grayscale8;
    const int bits = grey ? 8 : 24;
    const auto rowBytes =
        static_cast<std::uint32_t>((std::int64_t{image.width()} * bits + 31) / 32 * 4);
    base::AtomicFile file(path);
    file.Write(BitmapHeader(image, bits, rowBytes));
    BitmapRows rows(image, grey, rowBytes);
    const int step = RowsPerStep(image);
    for (int y = image.height() - 1; y >= 0 && !file.Error(); --y) {
        const std::string& row = rows.Row(y);
        if (rows.Failed()) return std::make_error_code(std::errc::not_enough_memory);
        file.Write(row);
        const int done = image.height() - y;
        if (progress && done % step == 0) progress(static_cast<double>(done) / image.height());
    }
    file.Commit();
    return file.Error();
}

}  // namespace ceph::platform
