#include "platform/qt_services.h"

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>
#include <algorithm>

#include "platform/jpeg_codec.h"
#include "platform/painting.h"
#include "platform/twips.h"

namespace ceph::platform {

Twips ScreenTwips() {
    Twips t;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        t.dpiX = screen->logicalDotsPerInchX();
        t.dpiY = screen->logicalDotsPerInchY();
    }
    return t;
}

base::ScreenInfo QtServices::Screen() const {
    base::ScreenInfo info;
    Twips t = ScreenTwips();
    QRect geometry(0, 0, 1024, 768);
    if (QScreen* screen = QGuiApplication::primaryScreen()) geometry = screen->geometry();
    info.widthTwips = t.FromX(geometry.width());
    info.heightTwips = t.FromY(geometry.height());
    info.twipsPerPixelX = t.FromX(1);
    info.twipsPerPixelY = t.FromY(1);
    return info;
}

base::MessageAnswer QtServices::ShowMessage(const std::string& text, base::MessageStyle style) {
    QMessageBox box(parent_);
    box.setWindowTitle(QApplication::applicationName());
    box.setText(QString::fromStdString(text));
    switch (style.icon) {
        case base::MessageIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case base::MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case base::MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case base::MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case base::MessageIcon::None:
            break;
    }
    if (style.buttons == base::MessageButtons::YesNo) {
        QPushButton* yes = box.addButton(QMessageBox::Yes);
        QPushButton* no = box.addButton(QMessageBox::No);
        yes->setText(QStringLiteral("是(&Y)"));
        no->setText(QStringLiteral("否(&N)"));
        box.setDefaultButton(style.defaultIsSecond ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? base::MessageAnswer::Yes : base::MessageAnswer::No;
    }
    box.addButton(QMessageBox::Ok)->setText(QStringLiteral("確定"));
    box.exec();
    return base::MessageAnswer::Ok;
}

void QtServices::SetPointer(base::Pointer pointer) {
    bool want = pointer == base::Pointer::Hourglass;
    if (want == hourglass_) return;
    hourglass_ = want;
    if (want)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

ui::PictureRef QtServices::LoadPicture(const std::string& path) {
    return pictures_.Load(path);
}

ui::PictureRef QtServices::GuideDrawing() {
    if (guide_.empty()) {
        QImage drawing(QStringLiteral(":/guide/guide.bmp"));
        if (drawing.isNull()) {
            drawing = QImage(197, 247, QImage::Format_Grayscale8);
            drawing.fill(Qt::white);
        }
        guide_ = pictures_.Add(std::move(drawing));
        // Handed out again on every later call, so it must outlive the boxes showing it.
        pictures_.Pin(guide_);
    }
    return guide_;
}

ui::PictureRef QtServices::ClipboardPicture() {
    const QImage image = QGuiApplication::clipboard()->image();
    return image.isNull() ? ui::PictureRef{} : pictures_.Add(image);
}

bool QtServices::SavePictureBitmap(const ui::PictureRef& picture, const std::string& path) {
    const QImage& image = pictures_.Get(picture);
    if (image.isNull()) return false;
    // A Windows bitmap of 24 bits per pixel, which every program of the practice reads.
    return image.convertToFormat(QImage::Format_RGB888).save(QString::fromStdString(path), "BMP");
}

bool QtServices::SavePictureJpeg(const ui::PictureRef& picture, const std::string& path,
                                 int quality) {
    const QImage& image = pictures_.Get(picture);
    std::string error;
    return !image.isNull() && SaveJpeg(image, path, quality, &error);
}

void QtServices::ProcessEvents() {
    QCoreApplication::processEvents();
}

void QtServices::RunPickerModal() {
    if (pickerRunner_) pickerRunner_();
}

std::vector<std::string> QtServices::Drives() {
    std::vector<std::string> drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) drives.push_back(volume.rootPath().toStdString());
    std::sort(drives.begin(), drives.end());
    drives.erase(std::unique(drives.begin(), drives.end()), drives.end());
    return drives;
}

base::YearMonth QtServices::Today() const {
    const QDate today = QDate::currentDate();
    return {today.year(), today.month()};
}

bool QtServices::SaveBitmap(const ui::PictureBox& box, const std::string& path) {
    const Twips t = ScreenTwips();
    QImage image(std::max(1, t.X(box.width)), std::max(1, t.Y(box.height)), QImage::Format_RGB888);
    {
        QPainter painter(&image);
        PaintPictureBox(painter, box, QApplication::palette(), &pictures_, t.ScaleX(), t.ScaleY());
    }
    return image.save(QString::fromStdString(path), "BMP");
}

base::PrintOutcome QtServices::PrintPages(const std::vector<ui::DrawingList>& pages) {
    base::PrintOutcome outcome;
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return outcome;  // no printer installed
    outcome.printer = info.printerName().toStdString();
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("readceph"));
    if (!PaintPages(printer, pages, &pictures_) || printer.printerState() == QPrinter::Error) {
        outcome.problem = "印表機沒有接受這份工作。";
        return outcome;
    }
    outcome.printed = true;
    return outcome;
}

bool QtServices::WritePdf(const std::vector<ui::DrawingList>& pages, const std::string& path) {
    QPdfWriter pdf(QString::fromStdString(path));
    pdf.setResolution(1200);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    pdf.setTitle(QStringLiteral("readceph"));
    return PaintPages(pdf, pages, &pictures_);
}

std::string QtServices::ChooseSaveFile(const std::string& suggested, const std::string& filter) {
    return QFileDialog::getSaveFileName(parent_, QString(), QString::fromStdString(suggested),
                                        QString::fromStdString(filter))
        .toStdString();
}

}  // namespace ceph::platform
