#pragma once
// Scripted platform services for behaviour tests: a fixed screen, recorded message
// boxes with queued answers, and the pointer shape.

#include <deque>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "ui/services.h"

namespace ceph::testing {

class FakeServices : public ui::Services {
  public:
    struct Message {
        std::string text;
        ui::MessageStyle style;
    };

    ui::ScreenInfo screen{19200, 14400, 15, 15};  // 1280 x 960 pixels at 96 dpi
    std::vector<Message> messages;
    std::deque<ui::MessageAnswer> answers;  // answers for Yes/No questions, in order
    ui::Pointer pointer = ui::Pointer::Default;
    std::vector<ui::Pointer> pointerHistory;
    // Pictures loaded, bitmaps saved and pages printed, in order.
    std::vector<std::string> loadedPictures;
    std::vector<std::string> savedBitmaps;
    std::vector<std::vector<ui::DrawingList>> printJobs;
    std::vector<std::string> pdfFiles;
    base::Result<void, ui::PrintProblem> printResult;  // what the next print job reports
    std::string saveFileAnswer;
    std::vector<std::string> suggestedSaveFiles;  // what each save dialog offered
    std::string pictureError = "not a picture";
    std::vector<std::string> unreadablePictures;  // paths whose loading fails
    ui::PictureRef clipboard;                     // empty: nothing on the clipboard
    std::vector<std::string> savedPictureBitmaps, savedJpegs;
    bool jpegWorks = true;
    std::error_code bitmapError;       // what saving a picture as a bitmap fails with
    std::function<void()> pickerUser;  // acts in the picker while it is shown
    std::vector<std::string> drives{"/"};
    ui::YearMonth today{2026, 3};
    int pictureSize = 100;  // width and height of loaded pictures, in pixels
    int pictureHeight = 0;  // their height when not pictureSize
    // The pixels of pictures by handle, for the landmark suggestions, and the folder of
    // the files installed with the program (none by default).
    std::vector<std::pair<std::uint32_t, learning::GreyFilm>> greyPixels;
    std::string installedFolder;
    ui::PictureRef pictureFacts;  // depth, windows and spacing of loaded pictures

    ui::ScreenInfo Screen() const override { return screen; }
    ui::MessageAnswer ShowMessage(const std::string& text, ui::MessageStyle style) override {
        messages.push_back({text, style});
        if (style.buttons == ui::MessageButtons::Ok) return ui::MessageAnswer::Ok;
        if (answers.empty()) return ui::MessageAnswer::No;
        ui::MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void SetPointer(ui::Pointer p) override {
        pointer = p;
        pointerHistory.push_back(p);
    }
    base::Result<ui::PictureRef> LoadPicture(const std::string& path) override {
        loadedPictures.push_back(path);
        for (const std::string& bad : unreadablePictures)
            if (bad == path) return base::Fail(path, {}, pictureError);
        ui::PictureRef picture = pictureFacts;
        picture.handle = static_cast<std::uint32_t>(loadedPictures.size());
        picture.widthPx = picture.heightPx = pictureSize;
        if (pictureHeight > 0) picture.heightPx = pictureHeight;
        return picture;
    }
    ui::PictureRef GuideDrawing() override {
        ui::PictureRef guide;
        guide.handle = 9999, guide.widthPx = 197, guide.heightPx = 247;
        return guide;
    }
    ui::PictureRef ClipboardPicture() override { return clipboard; }
    ui::PictureRef TurnedPicture(const ui::PictureRef& picture, model::FilmTurn turn) override {
        if (picture.empty()) return {};
        ui::PictureRef turned = picture;
        turned.handle = picture.handle + 1000;
        if (turn.quarterTurns % 2 == 1) std::swap(turned.widthPx, turned.heightPx);
        turns.push_back(model::TurnText(turn));
        return turned;
    }
    std::vector<std::string> turns;  // the turns asked for, in order
    std::error_code SavePictureBitmap(const ui::PictureRef&, const ui::PictureView&,
                                      const std::string& path) override {
        if (bitmapError) return bitmapError;
        savedPictureBitmaps.push_back(path);
        std::ofstream(path, std::ios::binary) << "BM";
        return {};
    }
    std::error_code SavePictureJpeg(const ui::PictureRef&, const ui::PictureView&,
                                    const std::string& path, int) override {
        if (!jpegWorks) return std::make_error_code(std::errc::no_space_on_device);
        savedJpegs.push_back(path);
        std::ofstream(path, std::ios::binary) << "\xFF\xD8\xFF";
        return {};
    }
    learning::GreyFilm GreyPixels(const ui::PictureRef& picture) override {
        for (const auto& [handle, film] : greyPixels)
            if (handle == picture.handle) return film;
        return {};
    }
    std::string InstalledFolder() const override { return installedFolder; }
    void ProcessEvents() override {}
    void ShowProgress(const std::string&, double) override {}
    void RunPickerModal() override {
        if (pickerUser) pickerUser();
    }
    std::vector<std::string> Drives() override { return drives; }
    ui::YearMonth Today() const override { return today; }
    bool SaveBitmap(const ui::PictureBox&, const std::string& path) override {
        savedBitmaps.push_back(path);
        return true;
    }
    base::Result<void, ui::PrintProblem> PrintPages(
        const std::vector<ui::DrawingList>& pages) override {
        printJobs.push_back(pages);
        return printResult;
    }
    std::error_code WritePdf(const std::vector<ui::DrawingList>&,
                             const std::string& path) override {
        pdfFiles.push_back(path);
        return {};
    }
    std::string ChooseSaveFile(const std::string& suggested, const std::string&) override {
        suggestedSaveFiles.push_back(suggested);
        return saveFileAnswer;
    }
};

}  // namespace ceph::testing
