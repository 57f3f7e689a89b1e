// Zooming and panning while the landmarks are placed: every landmark keeps the scale of
// S whatever the zoom of its click, the keys zoom about the point under the pointer,
// and a placed landmark can be picked up and placed again.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "app/startup.h"
#include "imaging/viewport.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "wiring/events.h"

namespace ceph {
namespace {

using wiring::EventType;

class ZoomTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("OutExe.tmp", "Chen\r\n00101\r\n0650315\r\nM\r\n");
        dir.Write("selvsys.ini",
                  "[Selvaron]\r\nPersonPicDir=" + (dir.path() / "pics").string() + "\r\n");
        dir.Write("pics/00101_1.bmp", "picture");
        services.pictureSize = 400;  // 6000 twips square, wider than the viewport
        app::FormLoad(program, dir.StartupFromHere());
        Input();
    }
    void Input() { wiring::Dispatch(program, {EventType::Click, "inputn", 0}); }
    void Send(EventType type, std::string_view name, float x = 0, float y = 0, int shift = 0) {
        wiring::Event e{type, name};
        e.x = x, e.y = y, e.shift = shift;
        wiring::Dispatch(program, e);
    }
    void ZoomBar(int percent) {
        w.VScroll2.value = percent;
        Send(EventType::Change, "VScroll2");
    }
    // Twips in the image at the current zoom of a film point given in twips at 100 %.
    float At(float film) const { return film * static_cast<float>(w.VScroll2.value) / 100; }
    void ClickFilm(float fx, float fy, int shift = 0) {
        Send(EventType::MouseMove, "Image1", At(fx), At(fy));
        Send(EventType::Click, "Image1", At(fx), At(fy), shift);
    }
    int Asked() const { return std::stoi(w.LabelPNTNo.caption); }
    // The film point under viewport position (vx, vy) at the current zoom and pan.
    float FilmUnder(float v, float offset) const {
        return (v - offset) * 100 / static_cast<float>(w.VScroll2.value);
    }

    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
    ui::MainWindow& w = program.win;
};

// S, N and the others at fixed film points, clicked at the zooms given in turn.
struct Tracing {
    std::array<float, 20> x{}, y{};
    std::string distance;
};

TEST_F(ZoomTest, ClicksAtAnyZoomStoreTheUnitsOfTheZoomOfS) {
    auto trace = [&](std::initializer_list<int> zooms) {
        Send(EventType::Click, "Command3");
        Input();
        const int* zoom = zooms.begin();
        for (int k = 0; k < 19; ++k, zoom = zoom + 1 == zooms.end() ? zoom : zoom + 1) {
            if (w.VScroll2.value != *zoom) ZoomBar(*zoom);
            const int n = Asked();
            ClickFilm(n == 16 ? 1000.0f : n == 1 ? 5000.0f : 100.0f * n, n == 1 ? 1000.0f : 1500);
        }
        Tracing t;
        for (int n = 1; n <= 19; ++n)
            t.x[n] = w.state.X[n], t.y[n] = w.state.Y[n];
        t.distance = w.Label14.caption;
        return t;
    };
    const Tracing steady = trace({40});
    EXPECT_EQ(steady.x[1], 2000.0f);
    EXPECT_EQ(steady.distance, "1612");

    // S at 40 %, N at 150 %: the read-out and the store in units of 40 %, the marks of
    // the landmarks placed drawn on the picture as it is now.
    Send(EventType::Click, "Command3");
    Input();
    ZoomBar(40);
    ClickFilm(1000, 1500);
    ZoomBar(150);
    Send(EventType::MouseMove, "Image1", At(5000), At(1000));
    EXPECT_EQ(w.LabelX.caption, "2000");
    EXPECT_EQ(w.LabelY.caption, "400");
    ASSERT_EQ(w.Image1.marks.size(), 1u);
    EXPECT_EQ(w.Image1.marks[0].x, At(1000));

    const Tracing mixed = trace({40, 150, 100, 300, 75, 40, 10});
    EXPECT_EQ(mixed.x, steady.x);
    EXPECT_EQ(mixed.y, steady.y);
    EXPECT_EQ(mixed.distance, steady.distance);

    // Placed again from S at another zoom, S fixes the new scale and every landmark after
    // it is clicked again in it: the tracing still has one scale.
    ZoomBar(150);
    Send(EventType::Click, "Command6");
    ClickFilm(1000, 1500);
    EXPECT_EQ(w.state.X[16], 1500.0f);
    ZoomBar(100);
    ClickFilm(5000, 1000);
    EXPECT_EQ(w.state.X[1], 7500.0f) << "in units of 150 %";
    EXPECT_EQ(w.state.Y[1], 1500.0f);
}

TEST_F(ZoomTest, KeysZoomAboutThePointUnderThePointerOrTheMiddle) {
    EXPECT_EQ(w.VScroll2.value, 100);
    Send(EventType::MouseMove, "Image1", 3000, 2000);
    const float filmX = FilmUnder(3000 + w.Image1.left, w.Image1.left);
    struct Case {
        const char* key;
        int zoom;
    };
    for (Case c : {Case{"zoominmn", 125}, Case{"zoominmn", 156}, Case{"zoomoutmn", 125},
                   Case{"actualmn", 100}}) {
        Send(EventType::Click, c.key);
        EXPECT_EQ(w.VScroll2.value, c.zoom) << c.key;
        // The pointer has not moved: the same film point lies under it, and the read-out
        // says so (S asked: the scale is the zoom).
        EXPECT_NEAR(FilmUnder(3000, w.Image1.left), filmX, 1) << c.key;
        EXPECT_NEAR(w.state.Digitising.pointerX, At(filmX), 1) << c.key;
    }

    // The whole film in the viewport; with the pointer off the film the middle stays.
    Send(EventType::MouseLeave, "Image1");
    Send(EventType::Click, "fitmn");
    EXPECT_EQ(w.VScroll2.value, 90);
    EXPECT_LE(w.Image1.width, w.Picture4.width);
    EXPECT_FALSE(w.HScroll1.visible);
    const float middle = w.Picture4.width / 2;
    const float filmMiddle = FilmUnder(middle, w.Image1.left);
    Send(EventType::Click, "actualmn");
    EXPECT_EQ(w.VScroll2.value, 100);
    EXPECT_NEAR(FilmUnder(middle, w.Image1.left), filmMiddle, 1);

    // The arrows pan by a small step of the bars, within them.
    for (int k = 0; k < 20; ++k)
        Send(EventType::Click, "panupmn");
    EXPECT_EQ(w.VScroll1.value, 0);
    Send(EventType::Click, "pandownmn");
    EXPECT_EQ(w.VScroll1.value, w.VScroll1.smallChange);
    EXPECT_EQ(w.Image1.top, -w.VScroll1.value);
    const int across = w.HScroll1.value;
    Send(EventType::Click, "panleftmn");
    EXPECT_EQ(w.HScroll1.value, std::max(0, across - w.HScroll1.smallChange));
    EXPECT_EQ(w.Image1.left, -w.HScroll1.value);

    // A film far larger than the viewport fits below the bar's usual least zoom, and the
    // next step in goes to the bar's steps.
    w.Picture6.width = w.Picture6.height = 90000;
    imaging::ShowPicture(program, 1);
    Send(EventType::Click, "fitmn");
    EXPECT_EQ(w.VScroll2.value, 6);
    EXPECT_LE(w.Image1.width, w.Picture4.width);
    Send(EventType::Click, "zoominmn");
    EXPECT_EQ(w.VScroll2.value, 7) << "the next rung at least a tenth up";

    // Backspace does what its button does; after the input no key does anything.
    ClickFilm(1000, 1000);
    Send(EventType::Click, "stepbackmn");
    EXPECT_EQ(Asked(), 16);
    // With a landmark placed, Esc asks first; "否" keeps every point.
    ClickFilm(1000, 1000);
    Send(EventType::Click, "cancelmn");
    EXPECT_TRUE(w.Picture2.visible);
    EXPECT_EQ(Asked(), 1);
    services.answers = {ui::MessageAnswer::Yes};
    Send(EventType::Click, "cancelmn");
    EXPECT_FALSE(w.Picture2.visible);
    const int pan = w.VScroll1.value;
    for (const char* key : {"zoominmn", "fitmn", "pandownmn", "stepbackmn"})
        Send(EventType::Click, key);
    EXPECT_EQ(w.VScroll2.value, 7);
    EXPECT_EQ(w.VScroll1.value, pan);
}

// From the whole film to twice its size in a handful of presses, and back the same way;
// the zoom in force stands above the bar.
TEST_F(ZoomTest, ZoomStepsAreAQuarterEach) {
    ZoomBar(40);
    std::vector<int> in{40};
    while (w.VScroll2.value < 195) {
        Send(EventType::Click, "zoominmn");
        in.push_back(w.VScroll2.value);
    }
    EXPECT_EQ(in, (std::vector<int>{40, 51, 64, 80, 100, 125, 156, 195}));
    EXPECT_EQ(w.LabelZoom.caption, "195%");
    EXPECT_TRUE(w.LabelZoom.visible);
    for (int k = 0; k < 7; ++k)
        Send(EventType::Click, "zoomoutmn");
    EXPECT_EQ(w.VScroll2.value, 41);
    for (int k = 0; k < 20; ++k)
        Send(EventType::Click, "zoominmn");
    EXPECT_EQ(w.VScroll2.value, 300) << "the bar's most";
}

TEST_F(ZoomTest, ShiftClickPicksUpAPlacedLandmarkToMoveIt) {
    ClickFilm(1000, 1500);  // S
    ClickFilm(5000, 1000);  // N
    ClickFilm(3000, 3000);  // Or; ANS asked
    ZoomBar(200);
    ASSERT_EQ(Asked(), 3);
    const float nBefore = w.state.X[1];

    // Beside the marks, or on a landmark not yet placed: nothing is placed or picked.
    ClickFilm(4000, 4000, 1);
    ClickFilm(0, 0, 1);
    EXPECT_EQ(Asked(), 3);
    EXPECT_EQ(w.state.X[3], 0.0f);

    // A few pixels off N's mark: N is asked, with its prompt and guide arrow, and its mark
    // is in hand; the next click places it and the input goes on at ANS.
    Send(EventType::MouseMove, "Image1", At(5000) + 45, At(1000) - 45);
    Send(EventType::Click, "Image1", At(5000) + 45, At(1000) - 45, 1);
    EXPECT_EQ(Asked(), 1);
    EXPECT_EQ(w.LabelPNT.caption, "N  點");
    EXPECT_EQ(w.Label10.left, w.state.GuideLeft[1]);
    EXPECT_EQ(w.Image1.marks.size(), 2u);
    EXPECT_EQ(w.state.X[1], nBefore) << "picked up, not yet moved";
    ClickFilm(5200, 900);
    EXPECT_EQ(w.state.X[1], 5200.0f) << "in the units of S, placed at 100 %";
    EXPECT_EQ(Asked(), 3);
    ASSERT_EQ(w.Image1.marks.size(), 3u);
    EXPECT_EQ(w.Image1.marks[1].x, At(5200));

    // Picked up and put back by the step back: nothing moves.
    ClickFilm(3000, 3000, 1);
    EXPECT_EQ(Asked(), 2);
    Send(EventType::Click, "Command5");
    EXPECT_EQ(Asked(), 3);
    EXPECT_EQ(w.state.X[2], 3000.0f);

    // After the end: S moved at another zoom keeps the scale, the distance is measured
    // again and the confirmed length stays, giving the new scale.
    while (Asked() != 20)
        ClickFilm(2000, 2000);
    w.Text6.text = "70";
    Send(EventType::Change, "Text6");
    ZoomBar(50);
    ClickFilm(1000, 1500, 1);
    EXPECT_EQ(Asked(), 16);
    ClickFilm(1200, 900);
    EXPECT_EQ(Asked(), 20);
    EXPECT_EQ(w.state.X[16], 1200.0f);
    EXPECT_EQ(w.Label14.caption, "4000");
    EXPECT_EQ(w.Text6.text, "70");
    EXPECT_EQ(w.Text2.text, "0.018");
    EXPECT_TRUE(w.Picture7.visible);
}

}  // namespace
}  // namespace ceph
