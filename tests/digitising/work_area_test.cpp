// The input window as the user resizes or maximises it: the film's viewport fills what
// the left column leaves, its pan bars follow, the film stays where it was panned and a
// landmark clicked on the same film point is stored the same.
#include <gtest/gtest.h>

#include "app/exit.h"
#include "app/startup.h"
#include "imaging/sources.h"
#include "imaging/viewport.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "wiring/events.h"

namespace ceph {
namespace {

class WorkAreaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("OutExe.tmp", "Chen\r\n00101\r\n0650315\r\nM\r\n");
        dir.Write("selvsys.ini",
                  "[Selvaron]\r\nPersonPicDir=" + (dir.path() / "pics").string() + "\r\n");
        dir.Write("pics/00101_1.bmp", "picture");
        services.pictureSize = 1000;  // 15000 twips at 15 twips a pixel
        app::FormLoad(program, dir.StartupFromHere());
        Send(wiring::EventType::Click, "inputn", 0);
    }
    void Send(wiring::EventType type, std::string_view name, float x = 0, float y = 0) {
        // The input menu's first item; other controls take no index.
        wiring::Event e{type, name, name == "inputn" ? 0 : -1};
        e.x = x, e.y = y;
        wiring::Dispatch(program, e);
    }
    // The platform reporting the user's new client area.
    void Resize(float width, float height) {
        w.readceph.scaleWidth = width;
        w.readceph.scaleHeight = height;
        Send(wiring::EventType::Resize, "readceph");
    }

    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
    ui::MainWindow& w = program.win;
};

TEST_F(WorkAreaTest, ViewportFillsTheWindowAndAClickStoresTheSameFilmPoint) {
    ASSERT_TRUE(w.readceph.resizable);
    // Pan to film point (6000, 4500) twips at the viewport's top-left.
    Resize(9000, 6640);
    w.HScroll1.value = 6000;
    w.VScroll1.value = 4500;
    Send(wiring::EventType::Change, "HScroll1");

    struct Size {
        float width, height;
    };
    float storedX = -1, storedY = -1;
    for (const Size size : {Size{9000, 6640}, Size{14000, 9000}, Size{16000, 11000}}) {
        SCOPED_TRACE(size.width);
        Resize(size.width, size.height);
        const float sideW = size.width - 3240 - 255, sideH = size.height - 360 - 255;
        EXPECT_EQ(w.Picture4.width, sideW);
        EXPECT_EQ(w.Picture4.height, sideH);
        // The bars at the viewport's right and bottom edges, ranging over the excess.
        EXPECT_EQ(w.VScroll1.left, 3240 + sideW);
        EXPECT_EQ(w.VScroll1.height, sideH);
        EXPECT_EQ(w.HScroll1.top, w.Picture2.top + sideH);
        EXPECT_GE(w.HScroll1.top, w.Picture2.top + w.Picture2.height) << "covered by the work area";
        EXPECT_EQ(w.HScroll1.width, sideW);
        EXPECT_EQ(w.HScroll1.max, 15000 - static_cast<int>(sideW));
        EXPECT_EQ(w.VScroll1.max, 15000 - static_cast<int>(sideH));
        // The film's point stays at the viewport's top-left as far as the bars reach.
        EXPECT_EQ(-w.Image1.left, std::min(6000.f, 15000 - sideW));
        EXPECT_EQ(-w.Image1.top, std::min(4500.f, 15000 - sideH));

        // The pointer over the viewport where film point (7000, 5000) now shows: the
        // click reaches the film at viewport position minus the pan.
        const float overX = 7000 + w.Image1.left, overY = 5000 + w.Image1.top;
        ASSERT_GT(overX, 0);
        ASSERT_LT(overX, sideW);
        Send(wiring::EventType::Click, "Image1", overX - w.Image1.left, overY - w.Image1.top);
        Send(wiring::EventType::Click, "Command6");  // ask for S again
        if (storedX < 0) storedX = w.state.X[16], storedY = w.state.Y[16];
        EXPECT_EQ(w.state.X[16], storedX);
        EXPECT_EQ(w.state.Y[16], storedY);
    }
    EXPECT_EQ(storedX, 7000);
    EXPECT_EQ(storedY, 5000);
}

TEST_F(WorkAreaTest, ReservedRightAndTheFixedBar) {
    // A side panel's room at the right stays free of the work area.
    w.state.ReservedRight = 3000;
    Resize(20000, 12000);
    EXPECT_EQ(w.Picture2.width, 17000);
    EXPECT_EQ(w.VScroll1.left + w.VScroll1.width, 17000);

    // A window too small for any film still leaves a usable viewport, and the left
    // column its height down to the calibration panel.
    w.state.ReservedRight = 0;
    Resize(2000, 1000);
    EXPECT_GE(w.Picture4.width, 1500);
    EXPECT_GE(w.Picture4.height, 1500);
    EXPECT_GE(w.Picture2.height, w.Picture7.top + w.Picture7.height);

    // Cancel puts the fixed bar back; a late resize report leaves its layout alone.
    w.readceph.Move(100, 50, 28000, 15000);  // as the user left it, maximised
    w.readceph.maximised = true;
    Send(wiring::EventType::Click, "Command3");
    EXPECT_FALSE(w.readceph.resizable);
    EXPECT_FALSE(w.readceph.maximised);
    const float side = w.Picture4.width;
    Resize(30000, 20000);
    EXPECT_EQ(w.Picture4.width, side);

    // The next input opens where and as large as the last was left, maximised again; its
    // viewport is the design one until its client area is known.
    Send(wiring::EventType::Click, "inputn", 0);
    EXPECT_TRUE(w.readceph.maximised);
    EXPECT_EQ(w.readceph.width, 28000);
    EXPECT_EQ(w.readceph.left, 100);
    EXPECT_EQ(w.Picture4.width, 5415);
    EXPECT_EQ(w.Picture4.height, 5415);
    EXPECT_GE(w.HScroll1.top, w.Picture2.top + w.Picture2.height) << "covered by the work area";
}

TEST_F(WorkAreaTest, ADamagedFilmIsShownWithARedLineUnderIt) {
    Resize(14000, 9000);
    const float whole = w.Picture4.height;
    EXPECT_FALSE(w.LabelDamage.visible);

    services.pictureFacts.damage = "RLE 壓縮資料第 2 段少了 1200 個位元組";
    ASSERT_TRUE(imaging::LoadPictureFile(program, (dir.path() / "pics/00101_1.bmp").string(), 1));
    EXPECT_TRUE(w.LabelDamage.visible);
    EXPECT_EQ(w.LabelDamage.caption,
              "影像資料有損壞，顯示可能不完整：RLE 壓縮資料第 2 段少了 1200 個位元組");
    EXPECT_EQ(w.LabelDamage.foreColor, kRed);
    // Right under the viewport, which gives it its strip; the pan bar below both.
    EXPECT_LT(w.Picture4.height, whole);
    EXPECT_EQ(w.LabelDamage.top, w.Picture4.top + w.Picture4.height);
    EXPECT_EQ(w.LabelDamage.left, w.Picture4.left);
    EXPECT_EQ(w.LabelDamage.width, w.Picture4.width);
    EXPECT_GE(w.HScroll1.top, w.Picture2.top + w.LabelDamage.top + w.LabelDamage.height);
    EXPECT_EQ(w.VScroll1.max, 15000 - static_cast<int>(w.Picture4.height));

    // A whole film next: the line goes and the viewport has its room back.
    services.pictureFacts.damage.clear();
    ASSERT_TRUE(imaging::LoadPictureFile(program, (dir.path() / "pics/00101_1.bmp").string(), 1));
    EXPECT_FALSE(w.LabelDamage.visible);
    EXPECT_EQ(w.Picture4.height, whole);
}

}  // namespace
}  // namespace ceph
