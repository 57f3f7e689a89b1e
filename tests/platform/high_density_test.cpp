// The radiograph on a high-density screen (two device pixels to the logical one): the
// film is painted from its own pixels at the device's resolution, and the magnifier
// shows the film pixel a click stores, whatever the zoom.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <cmath>
#include <memory>

#include "platform/loupe.h"
#include "shown_window.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"

namespace ceph {
namespace {

// Set before the test main makes the application.
const bool kHighDensity = qputenv("QT_SCALE_FACTOR", "2");

// A film whose neighbouring pixels all differ: a 1-pixel checkerboard, or a pattern in
// which a step of one pixel either way changes the grey by a known amount.
QImage Checkerboard(int side) {
    QImage film(side, side, QImage::Format_Grayscale8);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            film.scanLine(y)[x] = (x + y) % 2 ? 230 : 20;
    return film;
}
int PatternGrey(int x, int y) {
    return (x * 37 + y * 101) & 255;
}
QImage Pattern(int side) {
    QImage film(side, side, QImage::Format_Grayscale8);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            film.scanLine(y)[x] = static_cast<uchar>(PatternGrey(x, y));
    return film;
}

class HighDensityTest : public ::testing::Test {
  protected:
    // Starts input of tracing 1 on `film`, stored losslessly under its picture's name.
    void Open(const QImage& film) {
        ASSERT_TRUE(kHighDensity);
        testing::WritePatientFolder(dir);
        const std::filesystem::path path = dir.path() / "pics" / "00101_1.bmp";
        ASSERT_TRUE(film.save(QString::fromStdString(path.string()), "BMP"));
        shown = std::make_unique<testing::ShownWindow>(dir);
        ASSERT_EQ(shown->window->devicePixelRatio(), 2);
        shown->window->Handle({wiring::EventType::Click, "inputn", 0});
        image = shown->window->WidgetOf(&w().Image1);
        ASSERT_TRUE(image && image->isVisible());
    }
    ui::MainWindow& w() { return shown->program.win; }
    // The viewport as the screen shows it, in device pixels.
    QImage Viewport() {
        return shown->window->WidgetOf(&w().Picture4)
            ->grab()
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    testing::TempDir dir;
    std::unique_ptr<testing::ShownWindow> shown;
    QWidget* image = nullptr;
};

TEST_F(HighDensityTest, FilmAtHalfZoomIsPaintedPixelForDevicePixel) {
    Open(Checkerboard(120));
    // Twips stay the window's logical ones, so at 50 % a film pixel spans half a logical
    // pixel: one device pixel, where a film drawn for the logical pixels and then doubled
    // would lose every other one.
    w().VScroll2.value = 50;
    shown->window->Handle({wiring::EventType::Change, "VScroll2"});
    EXPECT_EQ(image->width(), 60);
    for (const char* view : {"plain", "invertmn"}) {
        SCOPED_TRACE(view);
        if (std::string(view) != "plain") shown->window->Handle({wiring::EventType::Click, view});
        const QImage shown = Viewport();
        ASSERT_EQ(shown.devicePixelRatio(), 2);
        int same = 0;
        for (int y = 10; y < 110; ++y)
            for (int x = 10; x < 110; ++x)
                same += qGray(shown.pixel(x, y)) == qGray(shown.pixel(x + 1, y));
        EXPECT_EQ(same, 0) << "film pixels doubled on the device";
        EXPECT_GT(std::abs(qGray(shown.pixel(50, 50)) - qGray(shown.pixel(51, 50))), 150);
    }
}

TEST_F(HighDensityTest, LoupeCentreIsTheFilmPixelAClickStores) {
    Open(Pattern(500));
    w().VScroll2.value = 40;
    shown->window->Handle({wiring::EventType::Change, "VScroll2"});
    shown->window->Handle({wiring::EventType::Click, "loupemn"});
    for (const QPoint at : {QPoint(37, 29), QPoint(81, 64)}) {
        SCOPED_TRACE(at.x());
        // Sent to the control itself: the test's pointer, moved through the scaled
        // window system, may land a fraction of a pixel away.
        QMouseEvent move(QEvent::MouseMove, QPointF(at), image->mapToGlobal(QPointF(at)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(image, &move);
        auto* loupe = shown->window->findChild<QWidget*>(QStringLiteral("Image1.loupe"));
        ASSERT_TRUE(loupe && loupe->isVisible());
        // The middle of the framed pixel, in the loupe's device pixels.
        const int middle = (platform::Loupe::kSide / 2 * platform::Loupe::kZoom + 2) * 2;
        const QImage magnified = loupe->grab().toImage();
        const int centre = qGray(magnified.pixel(middle, middle));

        QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, at);
        // The stored twips over the twips a film pixel spans at this zoom.
        const double perPixel = w().Image1.width / 500.0;
        const int filmX = static_cast<int>(std::floor(w().state.X[16] / perPixel));
        const int filmY = static_cast<int>(std::floor(w().state.Y[16] / perPixel));
        EXPECT_EQ(centre, PatternGrey(filmX, filmY)) << filmX << "," << filmY;
        shown->window->Handle({wiring::EventType::Click, "Command6"});  // S again
    }
}

}  // namespace
}  // namespace ceph
