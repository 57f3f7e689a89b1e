#pragma once
// The platform services of the behaviour, done with Qt: screen size, message boxes
// and the pointer shape.

#include <functional>

#include "base/services.h"
#include "platform/pictures.h"

class QWidget;

namespace ceph::platform {

class QtServices : public base::Services {
  public:
    base::ScreenInfo Screen() const override;
    base::MessageAnswer ShowMessage(const std::string& text, base::MessageStyle style) override;
    void SetPointer(base::Pointer pointer) override;
    ui::PictureRef LoadPicture(const std::string& path) override;
    bool SaveBitmap(const ui::PictureBox& box, const std::string& path) override;
    base::PrintOutcome PrintPages(const std::vector<ui::DrawingList>& pages) override;
    bool WritePdf(const std::vector<ui::DrawingList>& pages, const std::string& path) override;
    std::string ChooseSaveFile(const std::string& suggested, const std::string& filter) override;

    std::string PictureError() const override { return pictures_.LastError(); }
    ui::PictureRef GuideDrawing() override;
    ui::PictureRef ClipboardPicture() override;
    bool SavePictureBitmap(const ui::PictureRef& picture, const std::string& path) override;
    bool SavePictureJpeg(const ui::PictureRef& picture, const std::string& path,
                         int quality) override;
    void ProcessEvents() override;
    void RunPickerModal() override;
    std::vector<std::string> Drives() override;
    base::YearMonth Today() const override;

    const PictureStore& Pictures() const { return pictures_; }
    // The window releases the pictures the model no longer holds.
    PictureStore& Pictures() { return pictures_; }
    // The window runs the picker; it tells how when it exists.
    void SetPickerRunner(std::function<void()> runner) { pickerRunner_ = std::move(runner); }
    // The window that message boxes belong to; none before the main window exists.
    void SetParentWindow(QWidget* parent) { parent_ = parent; }

  private:
    PictureStore pictures_;
    ui::PictureRef guide_;
    std::function<void()> pickerRunner_;
    QWidget* parent_ = nullptr;
    bool hourglass_ = false;
};

}  // namespace ceph::platform
