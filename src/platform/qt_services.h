#pragma once
// The platform services of the program's window, done with Qt: message boxes, the
// pointer, the save-file dialog, the picker, the clipboard and the printer.

#include <functional>
#include <memory>

#include "platform/shared_services.h"

class QProgressDialog;
class QWidget;

namespace ceph::platform {

class QtServices : public SharedServices {
  public:
    QtServices();
    ~QtServices() override;
    ui::MessageAnswer ShowMessage(const std::string& text, ui::MessageStyle style) override;
    void SetPointer(ui::Pointer pointer) override;
    std::string ChooseSaveFile(const std::string& suggested, const std::string& filter) override;
    void RunPickerModal() override;
    std::vector<std::string> Drives() override;
    void ProcessEvents() override;
    void ShowProgress(const std::string& text, double done) override;
    ui::PictureRef ClipboardPicture() override;
    base::Result<void, ui::PrintProblem> PrintPages(
        const std::vector<ui::DrawingList>& pages) override;

    // The window runs the picker; it tells how when it exists.
    void SetPickerRunner(std::function<void()> runner) { pickerRunner_ = std::move(runner); }
    // The window that message boxes belong to; none before the main window exists.
    void SetParentWindow(QWidget* parent) { parent_ = parent; }

  private:
    std::function<void()> pickerRunner_;
    QWidget* parent_ = nullptr;
    bool hourglass_ = false;
    std::unique_ptr<QProgressDialog> progress_;
};

}  // namespace ceph::platform
