#pragma once
// Platform services for work without a window (cephtool): pictures and pages are real,
// messages go to standard error, and there is no printer or dialog to ask.

#include "platform/shared_services.h"

namespace ceph::platform {

class HeadlessServices : public SharedServices {
  public:
    ui::MessageAnswer ShowMessage(const std::string& text, ui::MessageStyle style) override;
    void SetPointer(ui::Pointer) override {}
    std::string ChooseSaveFile(const std::string&, const std::string&) override { return {}; }
    void RunPickerModal() override {}
    std::vector<std::string> Drives() override { return {}; }
    void ProcessEvents() override {}
    void ShowProgress(const std::string&, double) override {}
    ui::PictureRef ClipboardPicture() override { return {}; }
    base::Result<void, ui::PrintProblem> PrintPages(const std::vector<ui::DrawingList>&) override {
        return base::Fail(ui::PrintProblem{});  // no printer
    }

    // The pages as PNG pictures at `dpi`, one file per page ("-2", "-3" … before the
    // extension from the second page on).
    // Empty when every page was written; otherwise why not.
    std::error_code WritePng(const std::vector<ui::DrawingList>& pages, const std::string& path,
                             int dpi);
};

}  // namespace ceph::platform
