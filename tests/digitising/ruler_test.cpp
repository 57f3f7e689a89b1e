// Help with the S-N length once the landmarks are placed: the length the picture's own
// pixel spacing gives, and the length measured against the ruler on the film.
#include <gtest/gtest.h>

#include <cmath>

#include "app/startup.h"
#include "model/numbers.h"
#include "presenter/digitising_view.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "wiring/events.h"

namespace ceph {
namespace {

using wiring::EventType;

class RulerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("OutExe.tmp", "Chen\r\n00101\r\n0650315\r\nM\r\n");
        dir.Write("selvsys.ini",
                  "[Selvaron]\r\nPersonPicDir=" + (dir.path() / "pics").string() + "\r\n");
        dir.Write("pics/00101_1.bmp", "picture");
        services.pictureSize = 400;  // 6000 twips square at 15 twips a pixel
        app::FormLoad(program, dir.StartupFromHere());
    }
    void Send(EventType type, std::string_view name, float x = 0, float y = 0, int key = 0) {
        wiring::Event e{type, name};
        e.x = x, e.y = y, e.key = key;
        wiring::Dispatch(program, e);
    }
    void ZoomBar(int percent) {
        w.VScroll2.value = percent;
        Send(EventType::Change, "VScroll2");
    }
    // A click on the film point (fx, fy), twips of the film at 100 %.
    void ClickFilm(float fx, float fy) {
        const float z = static_cast<float>(w.VScroll2.value) / 100;
        Send(EventType::MouseMove, "Image1", fx * z, fy * z);
        Send(EventType::Click, "Image1", fx * z, fy * z);
    }
    // A new input: S at pixel (50, 50) clicked at zoom `zoomS`, N at pixel (350, 250) and
    // the rest at zoom `zoomRest`.
    void Trace(int zoomS, int zoomRest) {
        wiring::Dispatch(program, {EventType::Click, "inputn", 0});
        ZoomBar(zoomS);
        ClickFilm(750, 750);
        ZoomBar(zoomRest);
        ClickFilm(5250, 3750);
        while (std::stoi(w.LabelPNTNo.caption) != 20)
            ClickFilm(3000, 3000);
        ASSERT_TRUE(w.Picture7.visible);
    }
    void Type(const std::string& distance, int key = 13) {
        w.TextRuler.text = distance;
        Send(EventType::KeyPress, "TextRuler", 0, 0, key);
    }

    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
    ui::MainWindow& w = program.win;
};

TEST_F(RulerTest, ThePictureSpacingGivesTheLengthOfSAndNAtAnyZoom) {
    // 300 pixels across at 0.1 mm and 200 down at 0.2 mm: 30 and 40 mm, 50 mm apart.
    services.pictureFacts.spacingX = 0.1;
    services.pictureFacts.spacingY = 0.2;
    for (const auto& [zoomS, zoomRest] : {std::pair{100, 100}, {50, 200}, {200, 40}}) {
        Trace(zoomS, zoomRest);
        EXPECT_TRUE(w.LabelSpacing.visible) << zoomS;
        EXPECT_EQ(w.LabelSpacing.caption, "影像比例尺：S–N 50.0 mm") << zoomS << " " << zoomRest;
        Send(EventType::Click, "Command3");
    }
    // A picture without a spacing, or with one no radiograph has, shows nothing.
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {0.1, 0.0}, {25.4, 25.4}, {-0.1, -0.1}}) {
        services.pictureFacts.spacingX = x, services.pictureFacts.spacingY = y;
        Trace(100, 100);
        EXPECT_FALSE(w.LabelSpacing.visible) << x << " " << y;
        Send(EventType::Click, "Command3");
    }
}

TEST_F(RulerTest, TwoPointsAndTheirDistanceGiveTheLength) {
    Trace(100, 100);
    Send(EventType::Click, "CommandRuler");
    EXPECT_EQ(w.LabelPNT.caption, presenter::kRulerFirst);
    EXPECT_FALSE(w.Command4.enabled) << "no finishing half-way";
    // The points at other zooms than that of S: 500 units apart in the scale of S.
    ZoomBar(250);
    ClickFilm(1000, 1000);
    EXPECT_EQ(w.Image1.marks.back().x, 2500.0f) << "marked where clicked";
    ZoomBar(50);
    ClickFilm(1000, 1500);
    EXPECT_EQ(w.LabelPNT.caption, presenter::kRulerDistance);
    ClickFilm(4000, 4000);
    EXPECT_EQ(w.state.X[19], 3000.0f) << "a click now places nothing";

    // 5 mm over 500 units; S-N 5408.3 units. The length stays hers to change.
    Type("5");
    EXPECT_EQ(w.Text6.text, "54.1");
    EXPECT_EQ(w.Text2.text, Format3(54.1 / 5408));
    EXPECT_TRUE(w.Command4.enabled);
    EXPECT_EQ(w.Image1.marks.size(), 19u) << "the ruler's marks gone";
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(RulerTest, GivingUpOrABadDistanceLeavesTheLength) {
    Trace(100, 100);
    w.Text6.text = "71.5";
    Send(EventType::Change, "Text6");
    // Esc while clicking gives up the ruler, not the input, and asks nothing.
    Send(EventType::Click, "CommandRuler");
    ClickFilm(1000, 1000);
    Send(EventType::Click, "cancelmn");
    EXPECT_TRUE(services.messages.empty());
    EXPECT_TRUE(w.Picture7.visible);
    EXPECT_TRUE(w.CommandRuler.visible);
    EXPECT_EQ(w.Image1.marks.size(), 19u);

    // The same point twice is refused; the second point is still asked.
    Send(EventType::Click, "CommandRuler");
    ClickFilm(1000, 1000);
    ClickFilm(1000, 1000);
    EXPECT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(w.LabelPNT.caption, presenter::kRulerSecond);
    ClickFilm(1000, 2000);
    // No distance, none that reads whole, none above 0: each refused, the box kept.
    for (const char* typed : {"", "abc", "10mm", "1,5", "0", "-5", "1e400"}) {
        const std::size_t told = services.messages.size();
        Type(typed);
        EXPECT_EQ(services.messages.size(), told + 1) << typed;
        EXPECT_TRUE(w.TextRuler.visible) << typed;
    }
    // Given up in the box by Esc, or by the panel's button.
    Type("10", 27);
    EXPECT_FALSE(w.TextRuler.visible);
    Send(EventType::Click, "CommandRuler");
    ClickFilm(1000, 1000);
    ClickFilm(1000, 2000);
    w.TextRuler.text = "10";
    Send(EventType::Click, "CommandRulerCancel");
    EXPECT_EQ(w.Text6.text, "71.5");
    EXPECT_TRUE(w.Command4.enabled);

    // A step back to the last landmark ends the measuring with it.
    Send(EventType::Click, "CommandRuler");
    Send(EventType::Click, "Command5");
    ClickFilm(3000, 3000);
    EXPECT_EQ(w.LabelPNTNo.caption, "20");
    EXPECT_TRUE(w.CommandRuler.visible);
    EXPECT_FALSE(w.CommandRulerCancel.visible);
}

}  // namespace
}  // namespace ceph
