// The main window's second windows: the file picker, shown modal until a file is chosen,
// and the analysis window, kept open beside the main window while the clinician works.

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

void QtMainWindow::RefreshAnalysis() {
    const ui::Form& form = app_.analysis.anawin;
    if (!analysis_ && !form.visible) return;
    QDialog* dialog = AnalysisDialog();
    // Its controls are laid out for the size the behaviour gives it.
    dialog->setFixedSize(std::max(1, twips_.X(form.width)), std::max(1, twips_.Y(form.height)));
    ApplyFormGeometry(dialog, form, false);
    RefreshControls(app_.analysis.Controls());
    if (dialog->isVisible() != form.visible) dialog->setVisible(form.visible);
}

QDialog* QtMainWindow::AnalysisDialog() {
    if (analysis_) return analysis_;
    // A window of its own that the clinician keeps open beside the main window while
    // working there: not modal, and kept above the main window as its dialog.
    analysis_ = new QDialog(this);
    analysis_->setObjectName(Q(app_.analysis.anawin.name));
    analysis_->setModal(false);
    // Closed by its title bar or Esc: the behaviour hears of it as of every other event.
    connect(analysis_, &QDialog::finished, this, [this] {
        if (app_.analysis.anawin.visible && !refreshing_)
            Handle({wiring::EventType::Unload, app_.analysis.anawin.name});
    });
    analysis_->setVisible(false);
    return analysis_;
}

}  // namespace ceph::platform
