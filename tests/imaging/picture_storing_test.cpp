// Storing the radiograph as the tracing's picture, named after the patient code. A code
// that would put a picture outside the picture folder, or name a different file (or a
// device) on another workstation, stores no picture and says why; the patient's tracings
// are kept as ever. A store that fails names the file and the reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/startup.h"
#include "base/patient_files.h"
#include "base/safe_file.h"
#include "support/fake_services.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"
#include "wiring/events.h"

namespace ceph {
namespace {

using namespace std::string_literals;

struct CodeCase {
    std::string code;
    const char* why;  // part of the reason the message gives
};

const CodeCase kUnusableCodes[] = {
    {"../x", "「/」"},  {"a/b", "「/」"}, {"a\\b", "「\\」"},    {"..", "句點"},  {"CON", "裝置"},
    {"lpt1.x", "裝置"}, {"a:b", "「:」"}, {"a\0b"s, "控制字元"}, {"ab ", "空白"},
};

TEST(PatientCodeFiles, CodesThatCannotNameAFileStoreNoPictureButTheirTracings) {
    for (const CodeCase& c : kUnusableCodes) {
        SCOPED_TRACE(base::Printable(c.code));
        testing::TempDir dir;
        testing::WritePatientFolder(dir, {.code = c.code});
        testing::FakeServices services;
        ui::App program(services);
        ui::MainWindow& w = program.win;
        app::FormLoad(program, dir.StartupFromHere());
        ASSERT_EQ(w.Label0.caption, c.code);
        auto click = [&](std::string_view name, int index = -1) {
            wiring::Dispatch(program, {wiring::EventType::Click, name, index});
        };

        click("inputn", 0);
        EXPECT_TRUE(w.Text5.text.empty()) << "no picture path is built from the code";
        services.clipboard = {777, 50, 50};
        click("pastemn");
        click("bmpsave");
        ASSERT_FALSE(services.messages.empty());
        const std::string& told = services.messages.back().text;
        EXPECT_NE(told.find("「" + base::Printable(c.code) + "」"), std::string::npos) << told;
        EXPECT_NE(told.find(c.why), std::string::npos) << told;
        EXPECT_NE(told.find("沒有存檔"), std::string::npos) << told;
        EXPECT_TRUE(services.savedPictureBitmaps.empty());
        EXPECT_TRUE(services.savedJpegs.empty());

        // The record line does not care: the tracing is stored and shown.
        for (int i = 1; i <= 19; ++i)
            w.state.X[i] = 1000 + 30.0f * i, w.state.Y[i] = 2000 + 45.0f * (i % 7);
        w.state.X[1] = 1000, w.state.Y[1] = 500;     // N
        w.state.X[16] = 1000, w.state.Y[16] = 3500;  // S
        w.LabelPNTNo.caption = "20";
        w.Text6.text = "75";
        click("Command4");
        EXPECT_EQ(testing::Slurp(dir.path() / "ceph-1").rfind(c.code + ",0.0,-75.0,", 0), 0u);
        EXPECT_EQ(w.Label2.caption, "P.1");
        EXPECT_TRUE(services.loadedPictures.empty());
    }
}

TEST(PatientCodeFiles, OrdinaryCodesNameFiles) {
    for (const char* code : {"00101", "A-12_3", "王小明", "CONSOLE", "COM10", "a.b", ".x"})
        EXPECT_TRUE(base::CheckCodeName(code).ok()) << code;
    EXPECT_FALSE(base::CheckCodeName("").ok());
    EXPECT_EQ(base::Printable("a\x01\x7f"), "a\\x01\\x7F");
}

TEST(PictureStoring, AFailedStoreNamesTheFileAndTheReason) {
    testing::TempDir dir;
    testing::WritePatientFolder(dir);
    testing::FakeServices services;
    ui::App program(services);
    app::FormLoad(program, dir.StartupFromHere());
    auto click = [&](std::string_view name, int index = -1) {
        wiring::Dispatch(program, {wiring::EventType::Click, name, index});
    };
    click("inputn", 0);
    services.clipboard = {777, 50, 50};
    click("pastemn");
    const std::string stem = program.win.Text5.text.substr(0, program.win.Text5.text.size() - 3);

    services.bitmapError = std::make_error_code(std::errc::filename_too_long);
    click("bmpsave");
    EXPECT_EQ(services.messages.back().text,
              "無法寫入檔案: " + stem + "bmp\n" + base::ErrorText(services.bitmapError));
    EXPECT_TRUE(services.savedJpegs.empty());

    // The bitmap written, the JPEG not: the bitmap is the picture, and the message says so.
    services.bitmapError.clear();
    services.jpegWorks = false;
    click("bmpsave");
    EXPECT_EQ(services.messages.back().text,
              "無法寫入檔案: " + stem + "jpg\n" +
                  base::ErrorText(std::make_error_code(std::errc::no_space_on_device)) +
                  "\n圖案已存為 " + stem + "bmp");
    EXPECT_TRUE(std::filesystem::exists(stem + "bmp"));
}

}  // namespace
}  // namespace ceph

namespace ceph {
namespace {

TEST(MissingPicture, EnteringATracingWithoutItsPictureNamesTheFilesAndOffersThePicker) {
    testing::TempDir dir;
    testing::WritePatientFolder(dir);
    dir.Write("elsewhere/film.jpg", "x");
    testing::FakeServices services;
    ui::App program(services);
    app::FormLoad(program, dir.StartupFromHere());
    auto inputn = [&](int index) {
        wiring::Dispatch(program, {wiring::EventType::Click, "inputn", index});
    };

    // Declined: told which files were looked for, and the input goes on without one.
    inputn(1);
    ASSERT_EQ(services.messages.size(), 1u);
    // In full, though the settings give the folder relative to the data folder.
    const std::string& told = services.messages[0].text;
    for (const char* name : {"00101_2.bmp", "00101_2.jpg"})
        EXPECT_NE(told.find((dir.path() / "pics" / name).string()), std::string::npos) << told;
    EXPECT_EQ(services.messages[0].style.buttons, ui::MessageButtons::YesNo);
    EXPECT_TRUE(program.win.Image1.picture.empty());
    EXPECT_TRUE(program.win.Picture2.visible);

    // Accepted: the picker opens and the chosen radiograph is shown.
    wiring::Dispatch(program, {wiring::EventType::Click, "Command3"});
    services.answers.push_back(ui::MessageAnswer::Yes);
    services.pickerUser = [&] {
        program.picker.gotalk.tag = (dir.path() / "elsewhere/film.jpg").string();
    };
    inputn(1);
    EXPECT_FALSE(program.win.Image1.picture.empty());
    EXPECT_EQ(services.loadedPictures.back(), (dir.path() / "elsewhere/film.jpg").string());

    // A picture that is there asks nothing.
    dir.Write("pics/00101_3.bmp", "x");
    wiring::Dispatch(program, {wiring::EventType::Click, "Command3"});
    const std::size_t before = services.messages.size();
    inputn(2);
    EXPECT_EQ(services.messages.size(), before);
}

}  // namespace
}  // namespace ceph
