// The radiograph as the real window shows it while landmarks are placed: the adjusted
// display, the marks of placed landmarks, the magnifier and the wheel; and what a
// picture box shows on the screen only.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <filesystem>
#include <memory>

#include "answer_question.h"
#include "platform/picture_view.h"
#include "platform/qt_services.h"
#include "platform/widgets.h"
#include "shown_window.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"

namespace ceph {
namespace {

// A radiograph dark (40) on its left half and bright (220) on its right.
bool WriteTwoToneJpeg(const std::filesystem::path& path, QSize size) {
    std::filesystem::create_directories(path.parent_path());
    QImage picture(size, QImage::Format_Grayscale8);
    picture.fill(40);
    QPainter(&picture).fillRect(size.width() / 2, 0, size.width(), size.height(),
                                QColor(220, 220, 220));
    return picture.save(QString::fromStdString(path.string()), "JPG", 95);
}

class PictureViewTest : public ::testing::Test {
  protected:
    // Starts the program with a picture of `size` for tracing 1 and, unless told not to,
    // input of that tracing.
    void Open(QSize size, bool input = true) {
        testing::WritePatientFolder(dir);
        ASSERT_TRUE(WriteTwoToneJpeg(dir.path() / "pics" / "00101_1.jpg", size));
        shown = std::make_unique<testing::ShownWindow>(dir);
        if (!input) return;
        shown->window->Handle({wiring::EventType::Click, "inputn", 0});
        ASSERT_FALSE(w().Image1.picture.empty());
        image = shown->window->WidgetOf(&w().Image1);
        ASSERT_TRUE(image && image->isVisible());
    }
    ui::MainWindow& w() { return shown->program.win; }
    void Menu(const char* item, int index = -1) {
        shown->window->Handle({wiring::EventType::Click, item, index});
    }
    int GreyAt(QPoint at) {
        QWidget* viewport = shown->window->WidgetOf(&w().Picture4);
        return qGray(viewport->grab().toImage().pixel(image->mapTo(viewport, at)));
    }
    bool MarkNear(QPoint at) {
        const QImage shot = image->grab().toImage();
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx)
                if (shot.pixelColor(at + QPoint(dx, dy)).rgb() == platform::MarkColour().rgb())
                    return true;
        return false;
    }
    // Turns the wheel over `at` by `angle` eighths of a degree; whether it was taken.
    bool Wheel(QPoint at, QPoint angle, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QWheelEvent e(at, image->mapToGlobal(QPointF(at)), QPoint(), angle, Qt::NoButton, keys,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(image, &e);
        return e.isAccepted();
    }
    QWidget* Loupe() { return shown->window->findChild<QWidget*>(QStringLiteral("Image1.loupe")); }

    testing::TempDir dir;
    std::unique_ptr<testing::ShownWindow> shown;
    QWidget* image = nullptr;
};

TEST_F(PictureViewTest, AdjustedDisplayLeavesThePictureAndTheStoredPointAlone) {
    Open({300, 300});
    const QImage held = shown->services.Pictures().Get(w().Image1.picture);
    const QPoint dark(40, 150), bright(260, 150), click(37, 41);
    EXPECT_NEAR(GreyAt(dark), 40, 6);
    QTest::mouseMove(image, click);
    const std::string x = w().LabelX.caption, y = w().LabelY.caption;

    Menu("invertmn");
    Menu("loupemn");
    EXPECT_TRUE(shown->window->ActionOf(&w().invertmn)->isChecked());
    EXPECT_NEAR(GreyAt(dark), 215, 6);
    EXPECT_NEAR(GreyAt(bright), 35, 6);
    // With the negative and the magnifier shown, the pointer still stands for its pixel.
    QTest::mouseMove(image, click);
    EXPECT_EQ(w().LabelX.caption, x);
    EXPECT_EQ(w().LabelY.caption, y);
    QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, click);
    EXPECT_NEAR(w().state.X[16], click.x() * 1440.0 / image->logicalDpiX(), 1);
    EXPECT_NEAR(w().state.Y[16], click.y() * 1440.0 / image->logicalDpiY(), 1);

    // Brighter brightens the screen whether inverted or not; the reset shows it as loaded.
    Menu("brightermn");
    EXPECT_NEAR(GreyAt(bright), 35 + 26, 6);
    Menu("viewresetmn");
    EXPECT_NEAR(GreyAt(dark), 40, 6);
    EXPECT_TRUE(shown->services.Pictures().Get(w().Image1.picture) == held);
}

TEST_F(PictureViewTest, ShortcutsActOnlyWhileTheirMenuOpens) {
    Open({300, 300}, false);
    QAction* invert = shown->window->ActionOf(&w().invertmn);
    shown->window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(shown->window.get()));
    ASSERT_FALSE(w().editmn.enabled);
    EXPECT_TRUE(invert->shortcut().isEmpty());
    QTest::keyClick(shown->window.get(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_FALSE(w().Image1.view.invert);

    shown->window->Handle({wiring::EventType::Click, "inputn", 0});
    EXPECT_EQ(invert->shortcut(), QKeySequence(QStringLiteral("Ctrl+I")));
    QTest::keyClick(shown->window.get(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_TRUE(w().Image1.view.invert);
    EXPECT_TRUE(invert->isChecked());

    // The age box has the focus when input starts; a text box must not swallow them.
    QWidget* age = shown->window->WidgetOf(&w().Text4);
    age->setFocus();
    QTest::keyClick(age, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(age, Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w().Image1.view.brightness, 10);
    EXPECT_EQ(w().Image1.view.contrast, 125);
}

TEST_F(PictureViewTest, LoupeFollowsThePointerBesideItAndHides) {
    Open({300, 300});
    Menu("loupemn");
    // Near the picture's top-left, and near the window's lower right where it turns over.
    for (const QPoint at : {QPoint(145, 100), QPoint(290, 290)}) {
        SCOPED_TRACE(at.x());
        QTest::mouseMove(image, at);
        QWidget* loupe = Loupe();
        ASSERT_TRUE(loupe && loupe->isVisible());
        EXPECT_EQ(loupe->parentWidget(), shown->window.get()) << "not clipped by the viewport";
        EXPECT_FALSE(loupe->geometry().contains(image->mapTo(shown->window.get(), at)));
    }
    // Four times larger, centred on the pointer: 12 pixels to the right of (145, 100) lies
    // the bright half, 12 to the left the dark one.
    QTest::mouseMove(image, {145, 100});
    const QImage magnified = Loupe()->grab().toImage();
    EXPECT_NEAR(qGray(magnified.pixel(80 + 48, 60)), 220, 8);
    EXPECT_NEAR(qGray(magnified.pixel(80 - 48, 60)), 40, 8);

    QTest::mouseMove(shown->window->WidgetOf(&w().VScroll2), {5, 5});
    EXPECT_FALSE(Loupe()->isVisible()) << "the pointer left the picture";
    QTest::mouseMove(image, {100, 100});
    EXPECT_TRUE(Loupe()->isVisible());
    Menu("loupemn");
    EXPECT_FALSE(Loupe()->isVisible()) << "switched off";
    Menu("loupemn");
    QTest::mouseMove(image, {100, 100});
    shown->window->Handle({wiring::EventType::Click, "Command3"});
    EXPECT_FALSE(Loupe()->isVisible()) << "the work area closed";
}

TEST_F(PictureViewTest, WheelPansByASmallStepAndZoomsAtAnyLandmark) {
    Open({1200, 1200});
    const QPoint at(100, 100);
    ASSERT_TRUE(w().VScroll1.visible);
    const int top = w().VScroll1.value, step = w().VScroll1.smallChange;
    EXPECT_TRUE(Wheel(at, {0, -120}));
    EXPECT_EQ(w().VScroll1.value, top + step);
    EXPECT_EQ(qobject_cast<QScrollBar*>(shown->window->WidgetOf(&w().VScroll1))->value(),
              top + step);
    // Half notches add up to one; the other way they take it back.
    Wheel(at, {0, 60});
    EXPECT_EQ(w().VScroll1.value, top + step);
    Wheel(at, {0, 60});
    EXPECT_EQ(w().VScroll1.value, top);
    const int left = w().HScroll1.value;
    Wheel(at, {-120, 0});
    EXPECT_EQ(w().HScroll1.value, left + w().HScroll1.smallChange) << "sideways pans across";

    ASSERT_EQ(w().VScroll2.value, 100);
    Wheel(at, {0, 120}, Qt::ControlModifier);
    EXPECT_EQ(w().VScroll2.value, 125);
    QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_TRUE(w().VScroll2.enabled);
    Wheel(at, {0, 120}, Qt::ControlModifier);
    EXPECT_EQ(w().VScroll2.value, 156) << "also once S is placed";
}

TEST_F(PictureViewTest, PlacedLandmarksAreMarkedUntilSwitchedOff) {
    Open({300, 300});
    const QPoint s(60, 60);
    EXPECT_FALSE(MarkNear(s));
    QTest::mouseMove(image, s);
    QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, s);
    ASSERT_EQ(w().Image1.marks.size(), 1u);
    EXPECT_TRUE(MarkNear(s));
    Menu("marksmn");
    EXPECT_FALSE(MarkNear(s));
    EXPECT_FALSE(shown->window->ActionOf(&w().marksmn)->isChecked());
    Menu("marksmn");
    EXPECT_TRUE(MarkNear(s));
}

// A 12-bit radiograph in a 16-bit PNG, as cephalostats export them: soft tissue at 400,
// bone at 3600, and a small block of metal at 4000, too small to count in the histogram.
bool WriteDeepPng(const std::filesystem::path& path, QSize size) {
    std::filesystem::create_directories(path.parent_path());
    QImage picture(size, QImage::Format_Grayscale16);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<quint16*>(picture.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = x < size.width() / 2 ? 400 : (x > 280 && y < 10 ? 4000 : 3600);
    }
    return picture.save(QString::fromStdString(path.string()), "PNG");
}

TEST_F(PictureViewTest, DeepFilmShowsThroughAWindowTheAidsMoveAndIsStoredAsShown) {
    ASSERT_TRUE(WriteDeepPng(dir.path() / "pics" / "00101_1.png", {300, 300}));
    Open({300, 300});
    ASSERT_EQ(w().piccas.size(), 2u);
    Menu("piccas", 1);
    ASSERT_TRUE(w().Image1.picture.deep());
    // Not the near-black of the top 8 of 16 bits: the histogram's window spans the film.
    const QPoint soft(40, 150), bone(200, 150), metal(290, 5);
    EXPECT_LT(GreyAt(soft), 8);
    EXPECT_GT(GreyAt(bone), 247);
    EXPECT_GT(GreyAt(metal), 247);
    // Less contrast widens the window: the metal it had cut off shows again.
    Menu("lesscontrastmn");
    EXPECT_GT(GreyAt(metal), GreyAt(bone) + 15);
    Menu("invertmn");
    EXPECT_LT(GreyAt(bone), 40);

    // Stored as shown but never inverted (over the tracing's JPEG, when asked); the film
    // itself keeps its levels.
    const testing::AnswerQuestion answer(QMessageBox::Yes);
    Menu("bmpsave");
    const QImage stored(QString::fromStdString((dir.path() / "pics" / "00101_1.jpg").string()));
    ASSERT_FALSE(stored.isNull());
    EXPECT_NEAR(qGray(stored.pixel(bone)), 223, 4);
    EXPECT_NEAR(qGray(stored.pixel(soft)), 32, 4);
    const QImage& deep = shown->services.Pictures().Deep(w().Image1.picture);
    EXPECT_EQ(reinterpret_cast<const quint16*>(deep.constScanLine(metal.y()))[metal.x()], 4000);

    Menu("automn");
    EXPECT_EQ(w().Image1.view.window, w().Image1.picture.histogramWindow);
    EXPECT_EQ(w().Image1.view.contrast, 100);
    EXPECT_GT(GreyAt(soft), 247) << "still inverted";
}

TEST(ScreenOnlyDrawing, ShownOnTheScreenButNeverSaved) {
    ui::PictureBox box;
    box.width = box.height = 1500;
    box.backColor = kWhite;
    box.border = false;
    box.screenOnly.Add<ui::DrawText>(12.0f, 150.0f, 150.0f, std::string("±0.5"), kBlack);
    auto inked = [](const QImage& shot) {
        int count = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                count += qGray(shot.pixel(x, y)) < 128;
        return count;
    };
    const platform::Twips twips = platform::ScreenTwips();
    platform::PictureBoxWidget widget(box, twips, nullptr, nullptr);
    widget.resize(twips.X(box.width), twips.Y(box.height));
    EXPECT_GT(inked(widget.grab().toImage()), 10);

    testing::TempDir dir;
    platform::QtServices services;
    const std::string path = (dir.path() / "panel.bmp").string();
    ASSERT_TRUE(services.SaveBitmap(box, path));
    const QImage saved(QString::fromStdString(path));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(inked(saved), 0);
}

}  // namespace
}  // namespace ceph

namespace ceph {
namespace {

// The names of the marks, in the face the screen draws them in, never cover one another
// or a mark, even with two marks on one point and the film's edge beside them.
TEST(MarkNames, ReadableInTheScreensFace) {
    QFont font;
    font.setPixelSize(11);
    const QFontMetrics metrics(font);
    std::vector<platform::MarkAt> marks;
    for (const model::LandmarkInfo& info : model::Landmarks())
        marks.push_back({QPoint(20, 20), QString::fromUtf8(info.abbreviation)});
    marks[5].at = marks[6].at = QPoint(300, 200);  // U1 Edge, L1 Edge edge to edge
    marks[17].at = QPoint(250, 190), marks[18].at = QPoint(252, 191);  // the molars
    for (std::size_t i = 0; i < marks.size(); ++i)
        if (marks[i].at == QPoint(20, 20))
            marks[i].at = QPoint(40 + 30 * int(i % 7), 60 + 25 * int(i / 7));
    const QRect room(0, 0, 400, 300);
    const auto names = platform::PlaceMarkNames(marks, metrics, room);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const model::LabelRect& a = names[i].box;
        EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right() <= 400 && a.bottom() <= 300) << i;
        for (std::size_t j = 0; j < names.size(); ++j) {
            if (i != j) {
                EXPECT_FALSE(a.Overlaps(names[j].box)) << i << " and " << j;
            }
            const QPoint m = marks[j].at;
            const model::LabelRect cross{m.x() - 4.0, m.y() - 4.0, 9, 9};
            EXPECT_FALSE(a.Overlaps(cross)) << "name " << i << " covers mark " << j;
        }
    }
}

}  // namespace
}  // namespace ceph
