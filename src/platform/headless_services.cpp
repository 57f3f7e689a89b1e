#include "platform/headless_services.h"

#include <QDate>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QScreen>
#include <iostream>

#include "platform/painting.h"
#include "platform/twips.h"

namespace ceph::platform {

QPageLayout FilePageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

base::ScreenInfo HeadlessServices::Screen() const {
    const Twips t = ScreenTwips();
    QRect geometry(0, 0, 1280, 1024);
    if (QScreen* screen = QGuiApplication::primaryScreen()) geometry = screen->geometry();
    return {t.FromX(geometry.width()), t.FromY(geometry.height()), t.FromX(1), t.FromY(1)};
}

base::YearMonth HeadlessServices::Today() const {
    const QDate today = QDate::currentDate();
    return {today.year(), today.month()};
}

base::MessageAnswer HeadlessServices::ShowMessage(const std::string& text,
                                                  base::MessageStyle style) {
    std::cerr << text << "\n";
    return style.buttons == base::MessageButtons::YesNo ? base::MessageAnswer::No
                                                        : base::MessageAnswer::Ok;
}

bool HeadlessServices::SaveBitmap(const ui::PictureBox& box, const std::string& path) {
    const Twips t = ScreenTwips();
    QImage image(std::max(1, t.X(box.width)), std::max(1, t.Y(box.height)), QImage::Format_RGB888);
    QPainter painter(&image);
    PaintPictureBox(painter, box, QPalette(), &pictures_, t.ScaleX(), t.ScaleY());
    painter.end();
    return image.save(QString::fromStdString(path), "BMP");
}

bool HeadlessServices::WritePdf(const std::vector<ui::DrawingList>& pages,
                                const std::string& path) {
    QPdfWriter pdf(QString::fromStdString(path));
    pdf.setResolution(1200);
    pdf.setPageLayout(FilePageLayout());
    pdf.setTitle(QStringLiteral("readceph"));
    return PaintPages(pdf, pages, &pictures_);
}

bool HeadlessServices::WritePng(const std::vector<ui::DrawingList>& pages, const std::string& path,
                                int dpi) {
    const QRectF area = FilePageLayout().paintRect(QPageLayout::Inch);
    const QSize size(static_cast<int>(area.width() * dpi), static_cast<int>(area.height() * dpi));
    for (std::size_t i = 0; i < pages.size(); ++i) {
        QString name = QString::fromStdString(path);
        if (i > 0) {
            const qsizetype dot = name.lastIndexOf(u'.');
            name.insert(dot < 0 ? name.size() : dot, QStringLiteral("-%1").arg(i + 1));
        }
        if (!RenderPage(pages[i], &pictures_, size, dpi).save(name, "PNG")) return false;
    }
    return true;
}

}  // namespace ceph::platform
