// Mouse, key and focus events of the real widgets as the window model knows them: a
// click is a left press and release over the control, a double-click clicks once, only
// keys that type a character are key presses, and only the user moving the focus into a
// figure box arms it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>

#include "answer_question.h"
#include "app/startup.h"
#include "grey_jpeg.h"
#include "platform/qt_services.h"
#include "platform/qt_window.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"

namespace ceph {
namespace {

class InputEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::WritePatientFolder(dir);
        ASSERT_TRUE(testing::WriteGreyJpeg(dir.path() / "pics" / "00101_1.jpg", {300, 300}, 90));
        app::FormLoad(program, dir.StartupFromHere());
        window = std::make_unique<platform::QtMainWindow>(program, &services.Pictures());
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    int Asked() const { return std::stoi(program.win.LabelPNTNo.caption); }

    testing::TempDir dir;
    platform::QtServices services;
    ui::App program{services};
    std::unique_ptr<platform::QtMainWindow> window;
};

TEST_F(InputEvents, ADoubleClickStoresOneLandmarkAndADragOffThePictureNone) {
    window->Handle({wiring::EventType::Click, "inputn", 0});
    QWidget* image = window->WidgetOf(&program.win.Image1);
    ASSERT_TRUE(image && image->isVisible());
    ASSERT_EQ(Asked(), 16);

    // Through the window system, which turns the second press into a double-click.
    QWindow* system = window->windowHandle();
    const QPoint at = image->mapTo(window.get(), QPoint(40, 50));
    QTest::mouseMove(system, at);
    QTest::mouseDClick(system, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(Asked(), 1) << "S stored once, N asked for next";
    EXPECT_EQ(program.win.state.X[1], 0.0f) << "N not stored at S's point";

    // Pressed on the picture, released beside it: no click.
    QTest::mousePress(image, Qt::LeftButton, Qt::NoModifier, QPoint(60, 60));
    QTest::mouseRelease(image, Qt::LeftButton, Qt::NoModifier, QPoint(image->width() + 30, 60));
    EXPECT_EQ(Asked(), 1);
    // The right button does not click either; the left one does.
    QTest::mouseClick(image, Qt::RightButton, Qt::NoModifier, QPoint(60, 60));
    EXPECT_EQ(Asked(), 1);
    QTest::mouseMove(image, QPoint(70, 80));
    QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, QPoint(70, 80));
    EXPECT_EQ(Asked(), 2);
    EXPECT_GT(program.win.state.X[1], 0.0f);
}

TEST_F(InputEvents, OnlyTypingDisarmsAndOnlyTheUserMovingTheFocusArms) {
    program.win.Picture3.visible = true;
    program.win.Picture8.visible = true;
    program.win.Frame2.visible = true;
    window->Refresh();
    auto* left = qobject_cast<QLineEdit*>(window->WidgetOf(&program.win.Text1[1]));
    auto* top = qobject_cast<QLineEdit*>(window->WidgetOf(&program.win.Text1[2]));
    ASSERT_TRUE(left && top && left->isVisible());
    bool& leftArmed = program.win.state.FigurePanel.offsetArmed;

    // The focus coming back with the window or after a menu arms nothing.
    for (Qt::FocusReason reason :
         {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason, Qt::OtherFocusReason}) {
        top->setFocus(Qt::OtherFocusReason);
        leftArmed = false;
        left->setFocus(reason);
        EXPECT_FALSE(leftArmed) << reason;
    }
    for (Qt::FocusReason reason :
         {Qt::MouseFocusReason, Qt::TabFocusReason, Qt::BacktabFocusReason}) {
        top->setFocus(Qt::OtherFocusReason);
        leftArmed = false;
        left->setFocus(reason);
        EXPECT_TRUE(leftArmed) << reason;
    }

    // Keys that type nothing leave the box armed; a digit disarms it.
    for (Qt::Key key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home,
                        Qt::Key_F2, Qt::Key_Delete}) {
        QTest::keyClick(left, key);
        EXPECT_TRUE(leftArmed) << key;
    }
    QTest::keyClick(left, Qt::Key_5);
    EXPECT_FALSE(leftArmed);
}

TEST_F(InputEvents, PlainKeysTypeIntoTheBoxesAndOtherwiseZoomPanAndStepBack) {
    ui::MainWindow& w = program.win;
    QAction* zoomIn = window->ActionOf(&w.zoominmn);
    ASSERT_NE(zoomIn, nullptr);
    EXPECT_TRUE(zoomIn->shortcut().isEmpty()) << "no input: the keys do nothing";
    window->Handle({wiring::EventType::Click, "inputn", 0});
    EXPECT_EQ(zoomIn->shortcut(), QKeySequence(Qt::Key_Plus));
    EXPECT_EQ(window->ActionOf(&w.stepbackmn)->shortcut(), QKeySequence(Qt::Key_Backspace));

    // With the focus on the radiograph the keys zoom.
    QWidget* image = window->WidgetOf(&w.Image1);
    QWidget* viewport = window->WidgetOf(&w.Picture4);
    viewport->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(viewport, Qt::Key_Plus);
    EXPECT_EQ(w.VScroll2.value, 125);
    QTest::keyClick(viewport, Qt::Key_1);
    EXPECT_EQ(w.VScroll2.value, 100);
    const int pan = w.VScroll1.value;

    // The same keys typed into the age, the S-N length and the scale edit the text.
    w.Picture7.visible = true;
    window->Refresh();
    for (ui::TextBox* box : {&w.Text4, &w.Text6, &w.Text2}) {
        auto* edit = qobject_cast<QLineEdit*>(window->WidgetOf(box));
        ASSERT_TRUE(edit && edit->isVisible()) << box->name;
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("1+-F"));
        for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Backspace, Qt::Key_Right,
                            Qt::Key_Up, Qt::Key_Down, Qt::Key_Escape, Qt::Key_Minus})
            QTest::keyClick(edit, key);
        EXPECT_EQ(edit->text(), QStringLiteral("1--")) << box->name;
        EXPECT_EQ(box->text, "1--") << box->name;
    }
    EXPECT_EQ(w.VScroll2.value, 100);
    EXPECT_EQ(w.VScroll1.value, pan);
    EXPECT_EQ(Asked(), 16);
    EXPECT_TRUE(w.Picture2.visible) << "Esc in a box does not cancel the input";

    // Shift+click on a placed mark picks it up; Backspace puts it back; Esc cancels.
    viewport->setFocus(Qt::MouseFocusReason);
    for (QPoint at : {QPoint(40, 50), QPoint(120, 60)}) {
        QTest::mouseMove(image, at);
        QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, at);
    }
    ASSERT_EQ(Asked(), 2);
    QTest::mouseClick(image, Qt::LeftButton, Qt::ShiftModifier, QPoint(42, 49));
    EXPECT_EQ(Asked(), 16);
    QTest::keyClick(viewport, Qt::Key_Backspace);
    EXPECT_EQ(Asked(), 2);
    // S and N are placed: Esc asks before they are given up.
    const testing::AnswerQuestion answer(QMessageBox::Yes);
    QTest::keyClick(viewport, Qt::Key_Escape);
    EXPECT_FALSE(answer.Waiting()) << "no question was asked";
    EXPECT_FALSE(w.Picture2.visible);
    QTest::keyClick(window.get(), Qt::Key_Plus);
    EXPECT_EQ(w.VScroll2.value, 100);
}

// A mark on the film is picked up by a press beside it, follows the pointer while the
// button is held and lies where the button is let go.
TEST_F(InputEvents, AMarkIsDraggedOnTheFilm) {
    testing::WriteStoredTracing(dir, "00101");
    window->Handle({wiring::EventType::Click, "readn", 0});
    window->Handle({wiring::EventType::Click, "correctmn"});
    QWidget* image = window->WidgetOf(&program.win.Image1);
    ASSERT_TRUE(image && image->isVisible());
    // S and N 140 pixels apart: the 70 mm of S-N at 2 pixels a millimetre.
    QTest::mouseMove(image, QPoint(40, 40));
    QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    QTest::mouseMove(image, QPoint(180, 40));
    QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, QPoint(180, 40));
    ASSERT_EQ(program.win.Image1.marks.size(), 19u);

    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        const QPointF local(at), global(image->mapToGlobal(at));
        QMouseEvent e(type, local, global,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                      Qt::NoModifier);
        QApplication::sendEvent(image, &e);
    };
    // Pog (68, 112) mm lies at pixel (176, 264); a press two pixels off takes it.
    send(QEvent::MouseButtonPress, QPoint(178, 265), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(180, 265), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(182, 265), Qt::LeftButton);
    EXPECT_NEAR(program.win.Image1.marks[9].x, 180 * 15, 20) << "the mark follows the pointer";
    send(QEvent::MouseButtonRelease, QPoint(182, 265), Qt::NoButton);
    EXPECT_NEAR(program.win.state.X[10], 70, 0.3) << "Pog 2 mm further forward";
    EXPECT_NEAR(program.win.state.Y[10], 112, 0.3);
    EXPECT_NEAR(program.win.state.X[9], 66, 1e-4) << "B stays";
}

}  // namespace
}  // namespace ceph
