#include "platform/qt_services.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

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

app::ScreenInfo QtServices::Screen() const {
    app::ScreenInfo info;
    Twips t = ScreenTwips();
    QRect geometry(0, 0, 1024, 768);
    if (QScreen* screen = QGuiApplication::primaryScreen()) geometry = screen->geometry();
    info.widthTwips = t.FromX(geometry.width());
    info.heightTwips = t.FromY(geometry.height());
    info.twipsPerPixelX = t.FromX(1);
    info.twipsPerPixelY = t.FromY(1);
    return info;
}

app::MessageAnswer QtServices::ShowMessage(const std::string& text, app::MessageStyle style) {
    QMessageBox box(parent_);
    box.setWindowTitle(QApplication::applicationName());
    box.setText(QString::fromStdString(text));
    switch (style.icon) {
        case app::MessageIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case app::MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case app::MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case app::MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case app::MessageIcon::None:
            break;
    }
    if (style.buttons == app::MessageButtons::YesNo) {
        QPushButton* yes = box.addButton(QMessageBox::Yes);
        QPushButton* no = box.addButton(QMessageBox::No);
        box.setDefaultButton(style.defaultIsSecond ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? app::MessageAnswer::Yes : app::MessageAnswer::No;
    }
    box.addButton(QMessageBox::Ok);
    box.exec();
    return app::MessageAnswer::Ok;
}

void QtServices::SetPointer(app::Pointer pointer) {
    bool want = pointer == app::Pointer::Hourglass;
    if (want == hourglass_) return;
    hourglass_ = want;
    if (want)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace ceph::platform
