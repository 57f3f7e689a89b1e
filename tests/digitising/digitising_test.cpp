// Input of a tracing as the clinician goes through it: starting the input, the viewport
// with its zoom and pan bars, the 19 clicks in their order with every way back, the
// calibration, the picture sources and storing the picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/exit.h"
#include "app/startup.h"
#include "digitising/digitise.h"
#include "digitising/landmarks.h"
#include "imaging/sources.h"
#include "imaging/view.h"
#include "imaging/viewport.h"
#include "pictures/format.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "usecases/input.h"
#include "wiring/events.h"

namespace ceph {
namespace {

class InputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("OutExe.tmp", "Chen\r\n00101\r\n0650315\r\nM\r\n");
        dir.Write("selvsys.ini",
                  "[Selvaron]\r\nPersonPicDir=" + (dir.path() / "pics").string() + "\r\n");
        dir.Write("pics/00101_2.bmp", "picture");
        app::FormLoad(program, dir.StartupFromHere());
    }
    void Send(wiring::EventType type, std::string_view name, int index = -1, float x = 0,
              float y = 0) {
        wiring::Event e{type, name, index};
        e.x = x, e.y = y;
        wiring::Dispatch(program, e);
    }
    void ClickAt(float x, float y) {
        Send(wiring::EventType::MouseMove, "Image1", -1, x, y);
        Send(wiring::EventType::Click, "Image1", -1, x, y);
    }
    int Asked() const { return std::stoi(program.win.LabelPNTNo.caption); }

    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
    ui::MainWindow& w = program.win;
};

TEST_F(InputTest, StartingAnInputPreparesTheWorkArea) {
    w.state.X[5] = 12;
    services.today = {2026, 3};
    Send(wiring::EventType::Click, "inputn", 1);
    EXPECT_EQ(w.Text5.text, (dir.path() / "pics" / "00101_2.bmp").string());
    EXPECT_EQ(w.Text4.text, "50Y 0M");
    EXPECT_TRUE(w.Text4.visible);
    EXPECT_TRUE(w.Picture2.visible);
    EXPECT_FALSE(w.Picture3.visible);
    EXPECT_FALSE(w.inputmmnn.enabled);
    EXPECT_FALSE(w.readmn.enabled);
    EXPECT_TRUE(w.editmn.enabled);
    EXPECT_EQ(w.Label2.caption, "第 2 張");
    EXPECT_EQ(w.readceph.width, 9200);
    EXPECT_EQ(w.LabelPNT.caption, "S  點");
    EXPECT_EQ(w.state.X[5], 0.0f);
    EXPECT_FALSE(w.Image1.picture.empty());  // the tracing's picture is shown
    EXPECT_EQ(w.VScroll2.value, 100);

    // Cancelling returns to the bar; leaving from there ends the program.
    Send(wiring::EventType::Click, "quitmn");
    EXPECT_FALSE(program.quitRequested);
    EXPECT_FALSE(w.Picture2.visible);
    EXPECT_EQ(w.readceph.height, 1500);
    Send(wiring::EventType::Click, "quitmn");
    EXPECT_TRUE(program.quitRequested);
}

TEST(AgeText, MinguoBirthDates) {
    EXPECT_EQ(usecases::AgeText("0650315", {2026, 3}), "50Y 0M");
    EXPECT_EQ(usecases::AgeText("0651115", {2026, 3}), "49Y 4M");
    EXPECT_EQ(usecases::AgeText("06511", {2026, 3}), "49Y 4M");  // no day
    EXPECT_EQ(usecases::AgeText(" 1150301 ", {2026, 3}), "0Y 0M");
    // Texts that are no birth date give no age rather than "115Y 3M" or "-5Y 11M".
    for (const char* birth : {"", "abcdefg", "0651315", "0650015", "0650332", "0650300", "0000315",
                              "1200315", "1150415", "065031", "06503150", "065 03", "６５０３１５"})
        EXPECT_EQ(usecases::AgeText(birth, {2026, 3}), std::nullopt) << birth;
}

TEST_F(InputTest, ABirthDateThatIsNoDateLeavesTheAgeToTheClinician) {
    w.state.Patient.birthDate = "abcdefg";
    Send(wiring::EventType::Click, "inputn", 0);
    EXPECT_EQ(w.Text4.text, "");
    EXPECT_TRUE(w.Text4.visible);
    EXPECT_TRUE(w.LabelAgeNote.visible);
    EXPECT_NE(w.LabelAgeNote.caption.find("「abcdefg」"), std::string::npos);
    EXPECT_NE(w.LabelAgeNote.caption.find("年齡"), std::string::npos);
    Send(wiring::EventType::Click, "Command3");
    EXPECT_FALSE(w.LabelAgeNote.visible) << "gone with the input";

    w.state.Patient.birthDate = "0650315";
    Send(wiring::EventType::Click, "inputn", 0);
    EXPECT_EQ(w.Text4.text, "50Y 0M");
    EXPECT_FALSE(w.LabelAgeNote.visible);
}

TEST_F(InputTest, NineteenClicksInOrderThenCalibration) {
    Send(wiring::EventType::Click, "inputn", 0);  // no picture: an empty view
    EXPECT_EQ(w.Image1.width, 5);
    EXPECT_FALSE(w.VScroll2.visible);
    std::vector<int> visited;
    for (int k = 0; k < 19; ++k) {
        visited.push_back(Asked());
        EXPECT_TRUE(w.VScroll2.enabled) << "the zoom stays usable at every landmark";
        // S at (0, 0), N at (3000, 4000); the rest anywhere.
        const int n = Asked();
        ClickAt(n == 1 ? 3000.0f : n == 16 ? 0.0f : 10.0f * n, n == 1 ? 4000.0f : 0.0f);
    }
    EXPECT_EQ(visited, (std::vector<int>{16, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17,
                                         18, 19}));
    EXPECT_EQ(Asked(), 20);
    EXPECT_TRUE(w.Picture7.visible);
    EXPECT_FALSE(w.Label10.visible);
    EXPECT_EQ(w.Label14.caption, "5000");
    // No scale on file: nothing proposed (the box's default 0.02 gave a plausible 100.0).
    EXPECT_EQ(w.Text6.text, "");
    EXPECT_EQ(w.Text2.text, "");
    EXPECT_EQ(w.LabelSNCheck.caption, "請輸入 S–N 的實際長度（mm）");
    EXPECT_EQ(w.state.X[18], 180.0f);

    // A click where the pointer never moved (a new input laid out under it) stores the
    // spot clicked, not the last read-out.
    Send(wiring::EventType::Click, "inputn", 0);
    ClickAt(500, 600);
    Send(wiring::EventType::Click, "Command6");
    Send(wiring::EventType::Click, "Image1", -1, 70, 80);
    EXPECT_EQ(w.state.X[16], 70.0f);
    EXPECT_EQ(w.state.Y[16], 80.0f);
    for (int k = 1; k < 19; ++k)
        ClickAt(Asked() == 1 ? 3070.0f : 10.0f * Asked(), Asked() == 1 ? 4080.0f : 0.0f);

    // A click with everything placed stores nothing.
    ClickAt(1, 1);
    EXPECT_EQ(w.state.X[19], 190.0f);
    EXPECT_EQ(Asked(), 20);

    // The user corrects the length; the scale follows. Without a distance it stays.
    w.Text6.text = "75";
    Send(wiring::EventType::Change, "Text6");
    EXPECT_EQ(w.Text2.text, "0.015");
    w.state.Digitising.snDistance = 0;  // no measured distance
    w.Text6.text = "80";
    Send(wiring::EventType::Change, "Text6");
    EXPECT_EQ(w.Text2.text, "0.015");
}

TEST_F(InputTest, SteppingBackAndStartingOver) {
    Send(wiring::EventType::Click, "inputn", 0);
    Send(wiring::EventType::Click, "Command5");
    EXPECT_EQ(Asked(), 16);  // nothing before S
    ClickAt(1, 1);
    EXPECT_EQ(Asked(), 1);
    Send(wiring::EventType::Click, "Command5");
    EXPECT_EQ(Asked(), 16);
    EXPECT_TRUE(w.VScroll2.enabled);
    for (int k = 0; k < 16; ++k)
        ClickAt(5, 5);
    EXPECT_EQ(Asked(), 17);
    Send(wiring::EventType::Click, "Command5");
    EXPECT_EQ(Asked(), 15);
    for (int k = 0; k < 4; ++k)
        ClickAt(5, 5);
    EXPECT_EQ(Asked(), 20);
    Send(wiring::EventType::Click, "Command5");
    EXPECT_EQ(Asked(), 19);
    EXPECT_TRUE(w.Picture7.visible);  // stays until the next click
    ClickAt(7, 7);
    EXPECT_EQ(w.state.X[19], 7.0f);
    EXPECT_TRUE(w.Picture7.visible);
    Send(wiring::EventType::Click, "Command6");
    EXPECT_EQ(Asked(), 16);
    EXPECT_EQ(w.LabelPNT.caption, "S  點");
    EXPECT_EQ(w.state.X[19], 7.0f);  // nothing is cleared
    ClickAt(2, 2);
    EXPECT_FALSE(w.Picture7.visible);
}

TEST_F(InputTest, GuideArrowAndDrawing) {
    EXPECT_EQ(w.state.GuideLeft[2], 2087);  // single-precision divisor
    EXPECT_EQ(w.state.GuideTop[16], 866);
    EXPECT_EQ(w.state.GuideLeft[0], 0);
    digitising::ShowNextPoint(program, 18);
    EXPECT_EQ(w.LabelPNT.caption, "Upper Molar  點");
    EXPECT_EQ(w.Label10.left, 1591);
    EXPECT_EQ(w.Label10.top, 2394);
    int circles = 0, lines = 0;
    for (const ui::DrawOp& op : w.Picture5.drawing.ops) {
        if (auto* c = std::get_if<ui::DrawCircle>(&op)) {
            ++circles;
            EXPECT_EQ(c->colour, kRed);
            EXPECT_EQ(c->radius, 18);
        }
        if (auto* l = std::get_if<ui::DrawLine>(&op)) lines += l->colour == kBlue;
    }
    EXPECT_EQ(circles, 19);
    EXPECT_EQ(lines, 2 + 1 + 1 + 5 + 1 + 1 + 1);
}

TEST_F(InputTest, ViewportRanges) {
    // A picture of 200 x 133 pixels is 3000 x 2000 twips at 15 twips a pixel... here square.
    services.pictureSize = 200;
    ASSERT_TRUE(imaging::LoadPictureFile(program, "x.bmp", 1));
    EXPECT_FALSE(w.HScroll1.visible);
    EXPECT_FALSE(w.VScroll1.visible);
    w.Picture6.width = 3000, w.Picture6.height = 2000;
    imaging::ShowPicture(program, 3);
    EXPECT_EQ(w.VScroll2.value, 300);
    EXPECT_EQ(w.HScroll1.max, 3585);
    EXPECT_EQ(w.HScroll1.largeChange, 1195);
    EXPECT_EQ(w.HScroll1.smallChange, 358);
    EXPECT_EQ(w.VScroll1.max, 585);
    EXPECT_EQ(w.VScroll1.largeChange, 195);
    EXPECT_EQ(w.VScroll1.smallChange, 58);
    w.HScroll1.value = 1000;
    Send(wiring::EventType::Change, "HScroll1");
    EXPECT_EQ(w.Image1.left, -1000);
    EXPECT_EQ(w.Image1.top, 0);

    // Zooming back hides the bars and puts the picture at the corner; a hidden bar's old
    // value no longer shifts it.
    Send(wiring::EventType::Click, "Command1");
    EXPECT_EQ(w.VScroll2.value, 100);
    EXPECT_FALSE(w.HScroll1.visible);
    EXPECT_EQ(w.Image1.left, 0);
    Send(wiring::EventType::Change, "VScroll1");
    EXPECT_EQ(w.Image1.left, 0);

    // Only a few twips of excess: steps of at least one.
    w.Picture6.width = 5420;
    imaging::ShowPicture(program, 1);
    EXPECT_EQ(w.HScroll1.max, 5);
    EXPECT_EQ(w.HScroll1.largeChange, 2);
    EXPECT_EQ(w.HScroll1.smallChange, 1);

    // A picture far wider than a bar's range: every part can still be reached.
    w.Picture6.width = 45000;
    imaging::ShowPicture(program, 3);
    EXPECT_LE(w.HScroll1.max, 32767);
    w.HScroll1.value = w.HScroll1.max;
    Send(wiring::EventType::Change, "HScroll1");
    EXPECT_NEAR(-w.Image1.left, 135000 - w.Picture4.width, w.HScroll1.unit);

    imaging::ShowPicture(program, 0);
    EXPECT_EQ(w.Image1.width, 5);
    EXPECT_FALSE(w.HScroll1.visible);
    EXPECT_FALSE(w.Command1.visible);
}

TEST_F(InputTest, UnreadablePictureIsNamedAndChangesNothing) {
    ASSERT_TRUE(imaging::LoadPictureFile(program, "good.jpg", 1));
    const ui::PictureRef shown = w.Image1.picture;
    services.unreadablePictures = {"bad.jpg"};
    EXPECT_FALSE(imaging::LoadPictureFile(program, "bad.jpg", 1));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find("bad.jpg"), std::string::npos);
    EXPECT_EQ(services.messages[0].style.icon, ui::MessageIcon::Critical);
    EXPECT_EQ(w.Image1.picture.handle, shown.handle);
}

TEST_F(InputTest, PasteTakesClipboardThenFileThenTestPicture) {
    Send(wiring::EventType::Click, "inputn", 0);
    services.clipboard = {777, 50, 50};
    Send(wiring::EventType::Click, "pastemn");
    EXPECT_EQ(w.Image1.picture.handle, 777u);
    services.clipboard = {};
    w.Text5.text = (dir.path() / "pics" / "00101_2.bmp").string();
    Send(wiring::EventType::Click, "pastemn");
    EXPECT_EQ(services.loadedPictures.back(), w.Text5.text);
    w.Text5.text = "missing.bmp";
    Send(wiring::EventType::Click, "pastemn");
    EXPECT_EQ(w.Image1.picture.handle, w.Picture5.picture.handle);
    EXPECT_EQ(w.VScroll2.value, 150);
    ASSERT_FALSE(services.messages.empty());
    EXPECT_EQ(services.messages.back().text, "此為測試圖案");
}

TEST_F(InputTest, APictureLoadedAfterSStartsTheLandmarksAgainAtS) {
    Send(wiring::EventType::Click, "inputn", 1);
    services.clipboard = {777, 50, 50};
    // While S is asked, another picture is simply the one to digitise.
    const std::string definition = w.LabelPNTDef.caption;
    Send(wiring::EventType::Click, "pastemn");
    EXPECT_EQ(Asked(), 16);
    EXPECT_EQ(w.LabelPNTDef.caption, definition);
    EXPECT_TRUE(w.VScroll2.enabled);

    // Once S (and more) is placed at one zoom, each way of loading starts again at S,
    // with the zoom free again and the line under the guide saying why.
    const std::function<void()> loads[] = {
        [&] { Send(wiring::EventType::Click, "pastemn"); },
        [&] { Send(wiring::EventType::Click, "piccas", 0); },
        [&] {
            services.pickerUser = [&] {
                program.picker.gotalk.tag = (dir.path() / "pics" / "00101_2.bmp").string();
            };
            Send(wiring::EventType::Click, "piccas00");
        },
    };
    for (const auto& load : loads) {
        ClickAt(100, 100);
        ClickAt(200, 50);
        ASSERT_EQ(Asked(), 2);
        load();
        EXPECT_EQ(Asked(), 16);
        EXPECT_EQ(w.LabelPNT.caption, "S  點");
        EXPECT_EQ(w.LabelPNTDef.caption, digitising::kPictureReplaced);
        EXPECT_TRUE(w.VScroll2.enabled);
        EXPECT_TRUE(w.Image1.marks.empty());
        ClickAt(120, 90);  // the next click is S again, and the line is the definition again
        EXPECT_EQ(w.state.X[16], 120.0f);
        EXPECT_EQ(w.LabelPNTDef.caption, digitising::LandmarkDefinition(1));
        Send(wiring::EventType::Click, "Command6");
    }

    // A picture that cannot be read changes nothing, the calibration panel included.
    for (int k = 0; k < 19; ++k)
        ClickAt(Asked() == 1 ? 3000.0f : 0.0f, 0);
    ASSERT_TRUE(w.Picture7.visible);
    services.clipboard = {};
    services.unreadablePictures = {w.Text5.text};
    Send(wiring::EventType::Click, "pastemn");
    EXPECT_EQ(Asked(), 20);
    EXPECT_TRUE(w.Picture7.visible);
    services.unreadablePictures.clear();
    Send(wiring::EventType::Click, "pastemn");
    EXPECT_EQ(Asked(), 16);
    EXPECT_FALSE(w.Picture7.visible) << "no finishing on the old picture's points";
}

TEST_F(InputTest, StoringThePictureLeavesTheJpeg) {
    Send(wiring::EventType::Click, "inputn", 2);  // tracing 3 has no picture yet
    Send(wiring::EventType::Click, "bmpsave");
    EXPECT_NE(services.messages.back().text.find("沒有圖案"), std::string::npos);  // nothing shown
    services.clipboard = {777, 50, 50};
    Send(wiring::EventType::Click, "pastemn");
    const std::filesystem::path bmp = dir.path() / "pics" / "00101_3.bmp",
                                jpg = dir.path() / "pics" / "00101_3.jpg";
    const std::size_t before = services.messages.size();
    Send(wiring::EventType::Click, "bmpsave");
    EXPECT_EQ(services.messages.size(), before);  // no question for a new picture
    EXPECT_FALSE(std::filesystem::exists(bmp));
    EXPECT_TRUE(std::filesystem::exists(jpg));

    // Again: the question names the path up to the dot; No leaves everything.
    services.answers = {ui::MessageAnswer::No};
    Send(wiring::EventType::Click, "bmpsave");
    ASSERT_EQ(services.messages.size(), before + 1);
    EXPECT_EQ(services.messages.back().text,
              "已存在檔案: " + (dir.path() / "pics" / "00101_3.").string() + "\r是否繼續存檔?");
    EXPECT_EQ(services.messages.back().style.buttons, ui::MessageButtons::YesNo);
    EXPECT_TRUE(services.messages.back().style.defaultIsSecond);
    EXPECT_EQ(services.savedJpegs.size(), 1u);

    // A failing conversion keeps the new bitmap, even beside an older JPEG.
    services.answers = {ui::MessageAnswer::Yes};
    services.jpegWorks = false;
    Send(wiring::EventType::Click, "bmpsave");
    EXPECT_TRUE(std::filesystem::exists(bmp));
}

// Formats by the names the picker lists, as the platform registers them at start-up:
// the picker knows no names of its own, and the fake services decode nothing.
void RegisterNamedFormats() {
    const auto none = [](std::string_view) { return false; };
    pictures::Register({"JPEG", "*jpg;*.jpeg", nullptr, none, nullptr, ""});
    pictures::Register({"TIFF", "*.tif;*.tiff", nullptr, none, nullptr, ""});
    pictures::Register(
        {"DICOM", "*.dcm;*.dicom;*.dic", pictures::BareOrNumberedName, none, nullptr, ""});
}

TEST_F(InputTest, PickerChoosesAFile) {
    RegisterNamedFormats();
    // Pictures by their extension, and DICOM files named without one or by their number.
    for (const char* name : {"x.JPG", "notes.txt", "ceph.tiff", "IM0001", "1.2.840.5", "a.b.7z"})
        dir.Write(std::string("pics/sub/") + name, "x");
    services.pickerUser = [&] {
        ui::PickerWindow& p = program.picker;
        EXPECT_TRUE(p.gotalk.visible);
        const auto sub = std::find(p.Dir1.items.begin(), p.Dir1.items.end(), "sub");
        ASSERT_NE(sub, p.Dir1.items.end());
        Send(wiring::EventType::Click, "gotalk.Dir1", static_cast<int>(sub - p.Dir1.items.begin()));
        EXPECT_EQ(p.File1.items,
                  (std::vector<std::string>{"1.2.840.5", "ceph.tiff", "IM0001", "x.JPG"}));
        Send(wiring::EventType::Click, "gotalk.File1", 3);
        EXPECT_FALSE(p.gotalk.visible);
    };
    Send(wiring::EventType::Click, "piccas00");
    EXPECT_EQ(services.loadedPictures.back(), (dir.path() / "pics" / "sub" / "x.JPG").string());

    // Closed without a choice: nothing is loaded.
    const std::size_t loads = services.loadedPictures.size();
    services.pickerUser = nullptr;
    Send(wiring::EventType::Click, "piccas00");
    EXPECT_EQ(services.loadedPictures.size(), loads);
}

TEST_F(InputTest, DefinitionAndMarksFollowTheClicks) {
    for (int n = 1; n <= 19; ++n) {
        const std::string definition = digitising::LandmarkDefinition(n);
        EXPECT_EQ(definition.rfind(w.state.LandmarkName[n] + " ", 0), 0u) << n;
        EXPECT_NE(definition.find("："), std::string::npos) << n;
    }
    EXPECT_EQ(digitising::LandmarkDefinition(20), "");

    Send(wiring::EventType::Click, "inputn", 0);
    EXPECT_EQ(w.LabelPNTDef.caption, digitising::LandmarkDefinition(16));
    EXPECT_TRUE(w.Image1.marks.empty());
    // Display settings change nothing a click stores.
    for (auto step : {imaging::ViewStep::Invert, imaging::ViewStep::Brighter,
                      imaging::ViewStep::MoreContrast, imaging::ViewStep::Marks})
        imaging::ChangeView(program, step);
    ClickAt(100, 200);
    ClickAt(300, 50);
    EXPECT_EQ(w.state.X[16], 100.0f);
    EXPECT_EQ(w.state.Y[1], 50.0f);
    EXPECT_EQ(w.LabelPNTDef.caption, digitising::LandmarkDefinition(2));
    ASSERT_EQ(w.Image1.marks.size(), 2u);
    EXPECT_EQ(w.Image1.marks[1].label, "N");
    EXPECT_EQ(w.Image1.marks[1].x, 300.0f);
    Send(wiring::EventType::Click, "Command5");
    ASSERT_EQ(w.Image1.marks.size(), 1u);
    EXPECT_EQ(w.Image1.marks[0].label, "S");
    for (int k = 0; k < 18; ++k)
        ClickAt(5, 5);
    EXPECT_EQ(w.Image1.marks.size(), 19u);
    EXPECT_FALSE(w.LabelPNTDef.visible);
    Send(wiring::EventType::Click, "Command6");
    EXPECT_TRUE(w.Image1.marks.empty());

    // The settings only while digitising; reset keeps the loupe and marks choices.
    EXPECT_TRUE(w.invertmn.checked);
    EXPECT_FALSE(w.marksmn.checked);
    Send(wiring::EventType::Click, "viewresetmn");
    EXPECT_EQ(w.Image1.view, (ui::PictureView{{}, 0, 100, false, false, false}));
    Send(wiring::EventType::Click, "Command3");
    Send(wiring::EventType::Click, "invertmn");
    EXPECT_FALSE(w.Image1.view.invert);
}

TEST_F(InputTest, TheAutomaticWindowStaysWithItsFilmOnly) {
    // A deep film's window is in its own levels: on an 8-bit film it would show black.
    services.pictureFacts.bits = 16;
    services.pictureFacts.histogramWindow = {2000, 3000};
    Send(wiring::EventType::Click, "inputn", 1);
    imaging::ChangeView(program, imaging::ViewStep::Auto);
    imaging::ChangeView(program, imaging::ViewStep::Brighter);
    EXPECT_EQ(w.Image1.view.window, (ui::PictureWindow{2000, 3000}));
    imaging::ShowPicture(program, 2);  // another zoom, the same film
    EXPECT_EQ(w.Image1.view.window, (ui::PictureWindow{2000, 3000}));
    services.pictureFacts = {};
    ASSERT_TRUE(imaging::LoadPictureFile(program, "plain.bmp", 1));
    EXPECT_TRUE(w.Image1.view.window.empty());
    EXPECT_GT(w.Image1.view.brightness, 0);
}

TEST_F(InputTest, WheelPansAndZoomsWithinTheBars) {
    Send(wiring::EventType::Click, "inputn", 1);
    w.Picture6.width = 3000, w.Picture6.height = 2000;
    imaging::ShowPicture(program, 3);  // bars 0..3585 (step 358) and 0..585 (step 58)
    auto wheel = [&](int notches, int shift, float x, float y) {
        wiring::Event e{wiring::EventType::Wheel, "Image1"};
        e.key = notches, e.shift = shift, e.x = x, e.y = y;
        wiring::Dispatch(program, e);
    };
    wheel(-1, 0, 100, 100);  // towards the user: down
    EXPECT_EQ(w.VScroll1.value, 58);
    EXPECT_EQ(w.Image1.top, -58);
    EXPECT_EQ(w.LabelY.caption, "158");  // the point now under the pointer
    wheel(-20, 0, 100, 100);
    EXPECT_EQ(w.VScroll1.value, 585);
    wheel(5, 1, 100, 100);  // Shift: sideways, and never below the minimum
    EXPECT_EQ(w.HScroll1.value, 0);
    wheel(-2, 1, 100, 100);
    EXPECT_EQ(w.HScroll1.value, 716);

    // Ctrl zooms out, keeping the picture point under the pointer where the bars allow.
    const float x = 3000, y = 1000;
    const float underX = x + w.Image1.left;
    wheel(-1, 2, x, y);  // a quarter smaller a notch: 300 to 244
    EXPECT_EQ(w.VScroll2.value, 244);
    EXPECT_EQ(w.LabelZoom.caption, "244%");
    EXPECT_NEAR(x * 244 / 300 + w.Image1.left, underX, 1.0f);
    EXPECT_EQ(w.LabelX.caption, FormatGeneral(underX - w.Image1.left));
    EXPECT_EQ(w.VScroll1.value, w.VScroll1.max);  // the bottom edge stops the point
    ClickAt(10, 10);                              // S placed at 244 %
    wheel(-3, 2, 100, 100);
    EXPECT_EQ(w.VScroll2.value, 125) << "the zoom still changes after S";
}

// A calibration file left with a scale that is none (a finish of the past wrote 0.000).
class NoScaleTest : public InputTest {
  protected:
    void SetUp() override {
        dir.Write("filesave/CephRate.ini", "0.000\r\n");
        InputTest::SetUp();
    }
};

TEST_F(NoScaleTest, NothingIsProposedAndNothingJudgedAgainstIt) {
    Send(wiring::EventType::Click, "inputn", 0);
    for (int k = 0; k < 19; ++k)
        ClickAt(Asked() == 1 ? 3000.0f : 0.0f, Asked() == 1 ? 4000.0f : 0.0f);
    ASSERT_TRUE(w.Picture7.visible);
    EXPECT_EQ(w.Text6.text, "") << "not 0.0 mm";
    EXPECT_EQ(w.LabelSNCheck.caption, "請輸入 S–N 的實際長度（mm）");
    w.Text6.text = "75";
    Send(wiring::EventType::Change, "Text6");
    EXPECT_EQ(w.Text2.text, "0.015");
    EXPECT_EQ(w.LabelSNCheck.caption, "") << "no last scale to be a third off";
}

TEST(CalibrationNote, LengthAndScaleThresholds) {
    using digitising::CalibrationNote;
    EXPECT_EQ(CalibrationNote(50, 0.02, 0.02), "");
    EXPECT_EQ(CalibrationNote(95, 0.02, 0.02), "");
    EXPECT_NE(CalibrationNote(49.9, 0.02, 0.02).find("太短"), std::string::npos);
    EXPECT_NE(CalibrationNote(95.1, 0.02, 0.02).find("太長"), std::string::npos);
    // More than a third off the last scale; nothing to compare without one.
    EXPECT_EQ(CalibrationNote(75, 0.04, 0.03), "");
    EXPECT_EQ(CalibrationNote(75, 0.02, 0.03), "");
    EXPECT_NE(CalibrationNote(75, 0.0401, 0.03).find("三分之一"), std::string::npos);
    EXPECT_NE(CalibrationNote(75, 0.0199, 0.03).find("三分之一"), std::string::npos);
    EXPECT_EQ(CalibrationNote(75, 5, 0), "");
    EXPECT_NE(CalibrationNote(40, 5, 0.02).find("比例尺也"), std::string::npos);
    EXPECT_EQ(CalibrationNote(-70, -0.02, 0.02), "請輸入 S–N 的實際長度（mm）");
    // Not an S-N length in millimetres at all (0.7 meant as 70): named, to be refused.
    for (double length : {0.7, 19.9, 200.1, 1e30})
        EXPECT_NE(CalibrationNote(length, 0.02, 0.02).find("不可能是 S–N 長度"), std::string::npos)
            << length;
    EXPECT_EQ(CalibrationNote(0.7, 0.02, 0).rfind("S–N 0.7 mm", 0), 0u);
    EXPECT_NE(CalibrationNote(45, 0.02, 0.02).find("太短"), std::string::npos) << "warned only";
}

TEST_F(InputTest, CalibrationPanelSaysWhyTheLengthLooksWrong) {
    w.state.SavedRate = 0.02;
    Send(wiring::EventType::Click, "inputn", 0);
    for (int k = 0; k < 19; ++k)
        ClickAt(Asked() == 1 ? 3000.0f : 0.0f, Asked() == 1 ? 4000.0f : 0.0f);
    EXPECT_EQ(w.LabelSNCheck.caption, "S–N 100.0 mm 太長（通常 50–95 mm）");
    w.Text6.text = "75";
    Send(wiring::EventType::Change, "Text6");
    EXPECT_EQ(w.LabelSNCheck.caption, "");
    w.Text6.text = "40";
    Send(wiring::EventType::Change, "Text6");
    EXPECT_NE(w.LabelSNCheck.caption.find("太短"), std::string::npos);
    EXPECT_EQ(w.Text2.text, "0.008");  // nothing refused
}

}  // namespace
}  // namespace ceph
