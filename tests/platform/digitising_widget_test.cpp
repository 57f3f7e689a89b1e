// Digitising in the real window: a radiograph loaded from its file, 19 clicks on the
// image widget itself, and the calibration panel that follows.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QTest>

#include "grey_jpeg.h"
#include "platform/qt_services.h"
#include "platform/qt_window.h"
#include "shown_window.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"

namespace ceph {
namespace {

TEST(DigitisingWidget, NineteenClicksOnTheRadiograph) {
    testing::TempDir dir;
    testing::WritePatientFolder(dir);
    ASSERT_TRUE(testing::WriteGreyJpeg(dir.path() / "pics" / "00101_1.jpg", {300, 300}, 90));
    testing::ShownWindow shown(dir);
    ui::App& program = shown.program;
    platform::QtMainWindow& window = *shown.window;

    window.Handle({wiring::EventType::Click, "inputn", 0});
    ASSERT_FALSE(program.win.Image1.picture.empty()) << "the tracing's JPEG is shown";

    QWidget* image = window.WidgetOf(&program.win.Image1);
    ASSERT_NE(image, nullptr);
    ASSERT_TRUE(image->isVisible());
    const double twipsPerPixel = 1440.0 / image->logicalDpiX();
    // S at pixel (20, 20), N 200 pixels to the right of it, the others along a diagonal.
    for (int k = 0; k < 19; ++k) {
        const QPoint at = k == 0   ? QPoint(20, 20)
                          : k == 1 ? QPoint(220, 20)
                                   : QPoint(10 + 10 * k, 30 + 10 * k);
        QTest::mouseMove(image, at);
        QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, at);
    }
    const ui::State& s = program.win.state;
    EXPECT_NEAR(s.X[16], 20 * twipsPerPixel, 1);
    EXPECT_NEAR(s.Y[16], 20 * twipsPerPixel, 1);
    EXPECT_NEAR(s.X[1], 220 * twipsPerPixel, 1);
    EXPECT_NEAR(s.Y[19], (30 + 10 * 18) * twipsPerPixel, 1);
    EXPECT_EQ(program.win.LabelPNTNo.caption, "20");

    QWidget* panel = window.WidgetOf(&program.win.Picture7);
    EXPECT_TRUE(panel->isVisible());
    auto* distance = qobject_cast<QLabel*>(window.WidgetOf(&program.win.Label14));
    ASSERT_NE(distance, nullptr);
    EXPECT_EQ(distance->text().toStdString(), Format0(200 * twipsPerPixel));
    EXPECT_FALSE(window.WidgetOf(&program.win.Label10)->isVisible());
}

}  // namespace
}  // namespace ceph

namespace ceph {
namespace {

TEST(DigitisingWidget, GuideDrawingShipsInsideTheProgram) {
    platform::QtServices services;
    const ui::PictureRef guide = services.GuideDrawing();
    ASSERT_EQ(guide.widthPx, 197);
    ASSERT_EQ(guide.heightPx, 247);
    const QImage& drawing = services.Pictures().Get(guide);
    int black = 0;
    for (int y = 0; y < drawing.height(); ++y)
        for (int x = 0; x < drawing.width(); ++x)
            black += qGray(drawing.pixel(x, y)) < 128;
    EXPECT_GT(black, 1000) << "the drawing itself, not a blank stand-in";
    EXPECT_LT(black, 197 * 247 / 4);
}

}  // namespace
}  // namespace ceph
