#include "platform/qt_services.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QStorageInfo>
#include <algorithm>

#include "platform/painting.h"

namespace ceph::platform {

QtServices::QtServices() = default;
QtServices::~QtServices() = default;

ui::MessageAnswer QtServices::ShowMessage(const std::string& text, ui::MessageStyle style) {
    QMessageBox box(parent_);
    box.setWindowTitle(QString::fromUtf8(ui::kProgramTitle));
    box.setText(QString::fromStdString(text));
    switch (style.icon) {
        case ui::MessageIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case ui::MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case ui::MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case ui::MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case ui::MessageIcon::None:
            break;
    }
    if (style.buttons == ui::MessageButtons::YesNo) {
        QPushButton* yes = box.addButton(QMessageBox::Yes);
        QPushButton* no = box.addButton(QMessageBox::No);
        yes->setText(style.yesText ? QString::fromUtf8(style.yesText) : QStringLiteral("是(&Y)"));
        no->setText(style.noText ? QString::fromUtf8(style.noText) : QStringLiteral("否(&N)"));
        box.setDefaultButton(style.defaultIsSecond ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? ui::MessageAnswer::Yes : ui::MessageAnswer::No;
    }
    box.addButton(QMessageBox::Ok)->setText(QStringLiteral("確定"));
    box.exec();
    return ui::MessageAnswer::Ok;
}

void QtServices::SetPointer(ui::Pointer pointer) {
    bool want = pointer == ui::Pointer::Hourglass;
    if (want == hourglass_) return;
    hourglass_ = want;
    if (want)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

ui::PictureRef QtServices::ClipboardPicture() {
    const QImage image = QGuiApplication::clipboard()->image();
    return image.isNull() ? ui::PictureRef{} : pictures_.Add(image);
}

void QtServices::ProcessEvents() {
    QCoreApplication::processEvents();
}

void QtServices::ShowProgress(const std::string& text, double done) {
    if (done >= 1) {
        progress_.reset();
        return;
    }
    constexpr int kSteps = 1000;
    const QString label = QString::fromStdString(text);
    if (!progress_) {
        // Modal, so that nothing else is asked of the window while the work runs; shown
        // only once the work looks like taking more than half a second.
        progress_ = std::make_unique<QProgressDialog>(label, QString(), 0, kSteps, parent_);
        progress_->setWindowTitle(QString::fromUtf8(ui::kProgramTitle));
        progress_->setWindowModality(Qt::ApplicationModal);
        progress_->setMinimumDuration(500);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
        progress_->setValue(0);
    } else if (progress_->labelText() != label) {
        progress_->setLabelText(label);
    }
    progress_->setValue(std::clamp(static_cast<int>(done * kSteps), 0, kSteps - 1));
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

base::Result<void, ui::PrintProblem> QtServices::PrintPages(
    const std::vector<ui::DrawingList>& pages) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return base::Fail(ui::PrintProblem{});  // no printer installed
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("readceph"));
    if (!PaintPages(printer, pages, &pictures_) || printer.printerState() == QPrinter::Error)
        return base::Fail(
            ui::PrintProblem{info.printerName().toStdString(), "印表機沒有接受這份工作。"});
    return {};
}

std::string QtServices::ChooseSaveFile(const std::string& suggested, const std::string& filter) {
    // Qt's own dialog, which speaks the program's language through its translations,
    // where a desktop's dialog would follow the desktop's.
    return QFileDialog::getSaveFileName(parent_, QString(), QString::fromStdString(suggested),
                                        QString::fromStdString(filter), nullptr,
                                        QFileDialog::DontUseNativeDialog)
        .toStdString();
}

}  // namespace ceph::platform
