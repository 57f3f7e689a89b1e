#include "platform/page_files.h"

#include <QBuffer>
#include <QDate>
#include <QGuiApplication>
#include <QPdfWriter>
#include <cstdlib>

#include "platform/file_output.h"
#include "platform/painting.h"

namespace ceph::platform {

QPageLayout FilePageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

std::error_code WritePdfFile(const std::vector<page::DrawingList>& pages, const std::string& path,
                             const PictureStore* pictures) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(1200);
        pdf.setPageLayout(FilePageLayout());
        pdf.setTitle(QStringLiteral("readceph"));
        if (!PaintPages(pdf, pages, pictures)) return std::make_error_code(std::errc::io_error);
    }
    return WriteBytes(bytes, path);
}

std::error_code WritePngFiles(const std::vector<page::DrawingList>& pages, const std::string& path,
                              int dpi, const PictureStore* pictures) {
    const QRectF area = FilePageLayout().paintRect(QPageLayout::Inch);
    const QSize size(static_cast<int>(area.width() * dpi), static_cast<int>(area.height() * dpi));
    for (std::size_t i = 0; i < pages.size(); ++i) {
        std::string name = path;
        if (i > 0) {
            const std::size_t dot = name.rfind('.');
            name.insert(dot == std::string::npos ? name.size() : dot, "-" + std::to_string(i + 1));
        }
        if (std::error_code ec = SaveImage(RenderPage(pages[i], pictures, size, dpi), name, "PNG"))
            return ec;
    }
    return {};
}

OffscreenQt::OffscreenQt() {
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

OffscreenQt::~OffscreenQt() = default;

page::YearMonth DateToday() {
    const QDate today = QDate::currentDate();
    return {today.year(), today.month(), today.day()};
}

}  // namespace ceph::platform
