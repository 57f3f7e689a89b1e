#include "platform/jpeg_writer.h"

#include <vector>

#include "base/safe_file.h"
#include "pictures/jpeg_writer.h"

namespace ceph::platform {

namespace {

// The picture's rows in a format the encoder takes: grey, RGB and 32-bit colour as they
// are; anything else converted a band at a time (transparency dropped, as Qt's writer
// does).
class JpegRows {
  public:
    JpegRows(const QImage& image, QImage::Format format) : image_(image), format_(format) {}

    // Rows y .. y + count - 1; false when a band could not be converted.
    bool Take(int y, int count, std::vector<const unsigned char*>& rows) {
        const QImage* source = &image_;
        int top = y;
        if (image_.format() != format_) {
            band_ = image_.copy(0, y, image_.width(), count).convertToFormat(format_);
            if (band_.isNull()) return false;
            source = &band_;
            top = 0;
        }
        rows.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            rows[static_cast<std::size_t>(i)] = source->constScanLine(top + i);
        return true;
    }

  private:
    const QImage& image_;
    const QImage::Format format_;
    QImage band_;
};

}  // namespace

std::error_code WriteJpeg(const QImage& image, const std::string& path, int quality,
                          const WriteProgress& progress) {
    if (image.isNull()) return std::make_error_code(std::errc::invalid_argument);
    const bool grey = image.format() == QImage::Format_Grayscale8 || image.allGray();
    const QImage::Format format = grey ? QImage::Format_Grayscale8
                                  : image.format() == QImage::Format_RGB888 ? QImage::Format_RGB888
                                                                            : QImage::Format_RGB32;
    using Layout = pictures::JpegSource::Layout;
    JpegRows rows(image, format);
    pictures::JpegSource source;
    source.width = image.width();
    source.height = image.height();
    source.layout = grey                              ? Layout::Grey
                    : format == QImage::Format_RGB888 ? Layout::Rgb
                                                      : Layout::Rgb32;
    source.rowsPerStep = RowsPerStep(image);
    source.rows = [&rows](int y, int count, std::vector<const unsigned char*>& out) {
        return rows.Take(y, count, out);
    };
    return pictures::WriteJpeg(source, path, quality, progress);
}

base::Result<void> SaveJpeg(const QImage& image, const std::string& path, int quality) {
    const std::error_code ec = WriteJpeg(image, path, quality);
    if (!ec) return {};
    return base::Fail(path, ec,
                      image.isNull() ? std::string("沒有可以儲存的圖像")
                      : ec == pictures::JpegEncoderError() ? ec.message()
                      : ec == std::errc::not_enough_memory
                          ? std::string("記憶體不足")
                          : "無法寫入檔案（" + base::ErrorText(ec) + "）");
}

}  // namespace ceph::platform
