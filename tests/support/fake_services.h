#pragma once
// Scripted platform services for behaviour tests: a fixed screen, recorded message
// boxes with queued answers, and the pointer shape.

#include <deque>
#include <string>
#include <vector>

#include "app/services.h"

namespace ceph::testing {

class FakeServices : public app::Services {
  public:
    struct Message {
        std::string text;
        app::MessageStyle style;
    };

    app::ScreenInfo screen{19200, 14400, 15, 15};  // 1280 x 960 pixels at 96 dpi
    std::vector<Message> messages;
    std::deque<app::MessageAnswer> answers;  // answers for Yes/No questions, in order
    app::Pointer pointer = app::Pointer::Default;
    std::vector<app::Pointer> pointerHistory;
    // Pictures loaded, bitmaps saved and pages printed, in order.
    std::vector<std::string> loadedPictures;
    std::vector<std::string> savedBitmaps;
    std::vector<std::vector<ui::DrawingList>> printJobs;
    std::vector<std::string> pdfFiles;
    app::PrintOutcome printOutcome{true, "PDF", ""};  // what the next print job reports
    std::string saveFileAnswer;                       // what the save dialog answers

    app::ScreenInfo Screen() const override { return screen; }
    app::MessageAnswer ShowMessage(const std::string& text, app::MessageStyle style) override {
        messages.push_back({text, style});
        if (style.buttons == app::MessageButtons::Ok) return app::MessageAnswer::Ok;
        if (answers.empty()) return app::MessageAnswer::No;
        app::MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void SetPointer(app::Pointer p) override {
        pointer = p;
        pointerHistory.push_back(p);
    }
    ui::PictureRef LoadPicture(const std::string& path) override {
        loadedPictures.push_back(path);
        return {static_cast<std::uint32_t>(loadedPictures.size()), 100, 80};
    }
    bool SaveBitmap(const ui::PictureBox&, const std::string& path) override {
        savedBitmaps.push_back(path);
        return true;
    }
    app::PrintOutcome PrintPages(const std::vector<ui::DrawingList>& pages) override {
        printJobs.push_back(pages);
        return printOutcome;
    }
    bool WritePdf(const std::vector<ui::DrawingList>&, const std::string& path) override {
        pdfFiles.push_back(path);
        return true;
    }
    std::string ChooseSaveFile(const std::string&, const std::string&) override {
        return saveFileAnswer;
    }
};

}  // namespace ceph::testing
