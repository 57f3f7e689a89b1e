#pragma once
// Platform services for work without a window (cephtool): pictures and pages are real,
// messages go to standard error, and there is no printer or dialog to ask.

#include <QPageLayout>

#include "base/services.h"
#include "platform/pictures.h"

namespace ceph::platform {

class HeadlessServices : public base::Services {
  public:
    base::ScreenInfo Screen() const override;
    base::MessageAnswer ShowMessage(const std::string& text, base::MessageStyle style) override;
    void SetPointer(base::Pointer) override {}
    ui::PictureRef LoadPicture(const std::string& path) override { return pictures_.Load(path); }
    bool SaveBitmap(const ui::PictureBox& box, const std::string& path) override;
    base::PrintOutcome PrintPages(const std::vector<ui::DrawingList>&) override { return {}; }
    bool WritePdf(const std::vector<ui::DrawingList>& pages, const std::string& path) override;
    std::string ChooseSaveFile(const std::string&, const std::string&) override { return {}; }
    std::string PictureError() const override { return {}; }
    ui::PictureRef GuideDrawing() override { return {}; }
    ui::PictureRef ClipboardPicture() override { return {}; }
    bool SavePictureBitmap(const ui::PictureRef&, const std::string&) override { return false; }
    bool SavePictureJpeg(const ui::PictureRef&, const std::string&, int) override { return false; }
    void ProcessEvents() override {}
    void RunPickerModal() override {}
    std::vector<std::string> Drives() override { return {}; }
    base::YearMonth Today() const override;

    // The pages as PNG pictures at `dpi`, one file per page ("-2", "-3" … before the
    // extension from the second page on).
    bool WritePng(const std::vector<ui::DrawingList>& pages, const std::string& path, int dpi);

  private:
    PictureStore pictures_;
};

// The page format of files written without a printer: A4 with margins of 10 mm, the
// pages' coordinates starting at the top-left of the area inside the margins.
QPageLayout FilePageLayout();

}  // namespace ceph::platform
