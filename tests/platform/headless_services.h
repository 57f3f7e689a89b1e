#pragma once
// Platform services for the behaviour run without a window in the platform's tests:
// pictures and pages are real, messages go to standard error, and there is no printer
// or dialog to ask. (cephtool draws its pages without the behaviour: platform/page_files.h.)

#include <iostream>

#include "platform/shared_services.h"

namespace ceph::platform {

class HeadlessServices : public SharedServices {
  public:
    ui::MessageAnswer ShowMessage(const std::string& text, ui::MessageStyle style) override {
        std::cerr << text << "\n";
        return style.buttons == ui::MessageButtons::YesNo ? ui::MessageAnswer::No
                                                          : ui::MessageAnswer::Ok;
    }
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
};

}  // namespace ceph::platform
