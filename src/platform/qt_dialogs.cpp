// The main window's second windows: the file picker, shown modal until a file is chosen,
// and the analysis and follow-up windows, kept open beside the main window while the
// clinician works.

#include <QDialog>
#include <QEventLoop>
#include <algorithm>

#include "platform/qt_window.h"

namespace ceph::platform {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

void QtMainWindow::RefreshPicker() {
    const ui::Form& form = app_.picker.gotalk;
    if (!picker_ && !form.visible) return;
    QDialog* dialog = PickerDialog();
    ApplyFormGeometry(dialog, form, false);
    RefreshControls(app_.picker.Controls());
    if (dialog->isVisible() != form.visible) dialog->setVisible(form.visible);
    if (pickerLoop_ && !form.visible) pickerLoop_->quit();
}

QDialog* QtMainWindow::PickerDialog() {
    if (picker_) return picker_;
    picker_ = new QDialog(this);
    picker_->setObjectName(Q(app_.picker.gotalk.name));
    picker_->setModal(true);
    // Closing the picker without a choice ends its modal display too.
    connect(picker_, &QDialog::finished, this, [this] {
        app_.picker.gotalk.visible = false;
        if (pickerLoop_) pickerLoop_->quit();
    });
    picker_->setVisible(false);
    return picker_;
}

void QtMainWindow::RunPicker() {
    PickerDialog();
    Refresh();
    QEventLoop loop;
    pickerLoop_ = &loop;
    if (app_.picker.gotalk.visible) loop.exec();
    pickerLoop_ = nullptr;
    picker_->hide();
}

void QtMainWindow::RefreshSideWindow(QDialog*& dialog, const ui::Form& form,
                                     const std::vector<ui::ControlRef>& controls) {
    if (!dialog && !form.visible) return;
    QDialog* shown = SideWindow(dialog, form);
    // Its controls are laid out for the size the behaviour gives it.
    shown->setFixedSize(std::max(1, twips_.X(form.width)), std::max(1, twips_.Y(form.height)));
    ApplyFormGeometry(shown, form, false);
    RefreshControls(controls);
    if (shown->isVisible() != form.visible) shown->setVisible(form.visible);
}

QDialog* QtMainWindow::SideWindow(QDialog*& dialog, const ui::Form& form) {
    if (dialog) return dialog;
    // A window of its own that the clinician keeps open beside the main window while
    // working there: not modal, and kept above the main window as its dialog.
    dialog = new QDialog(this);
    dialog->setObjectName(Q(form.name));
    dialog->setModal(false);
    // Closed by its title bar or Esc: the behaviour hears of it as of every other event.
    connect(dialog, &QDialog::finished, this, [this, &form] {
        if (form.visible && !refreshing_) Handle({wiring::EventType::Unload, form.name});
    });
    dialog->setVisible(false);
    return dialog;
}

void QtMainWindow::RefreshAnalysis() {
    RefreshSideWindow(analysis_, app_.analysis.anawin, app_.analysis.Controls());
}

QDialog* QtMainWindow::AnalysisDialog() {
    return SideWindow(analysis_, app_.analysis.anawin);
}

void QtMainWindow::RefreshFollowUp() {
    RefreshSideWindow(followUp_, app_.followUp.followwin, app_.followUp.Controls());
}

QDialog* QtMainWindow::FollowUpDialog() {
    return SideWindow(followUp_, app_.followUp.followwin);
}

}  // namespace ceph::platform
