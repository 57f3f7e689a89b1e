// The real Qt main window after start-up: menus with their run-time items and states,
// the decoded patient header, and events going through the widgets to the handlers.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/startup.h"
#include "platform/qt_window.h"
#include "platform/twips.h"
#include "support/fake_services.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"

namespace ceph {
namespace {

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The name in Big5, as the practice suite writes it.
        testing::WritePatientFolder(dir, {.name = "\xAA\x4C\xAC\xFC\xB5\xD8", .code = "10234"});
        dir.Write("pics/10234_1.bmp", "x");
        dir.Write("pics/10234_3.jpg", "x");
        dir.Write("ceph-3", "99999,1.0\r\n10234,0.0,0.0\r\n");
        app::FormLoad(program, dir.StartupFromHere());
        window = std::make_unique<platform::QtMainWindow>(program);
        window->show();
    }

    template <class T>
    T* Find(const char* name) {
        return window->findChild<T*>(QString::fromUtf8(name));
    }

    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
    std::unique_ptr<platform::QtMainWindow> window;
};

TEST_F(MainWindowTest, MenusShowRunTimeItemsWithTheirStates) {
    struct Expected {
        const char* name;
        const char* text;
        bool enabled;
    };
    const Expected expected[] = {
        {"print00mn", "列印...", false},    {"printmn(0)", "頂端", true},
        {"printmn(5)", "Line 5", true},     {"readmn", "讀取...", true},
        {"graph", "使用圖形", false},       {"readn(0)", "第 1 張", false},
        {"readn(2)", "第 3 張", true},      {"readn(8)", "第 9 張", false},
        {"comp(2)", "第 3 張", true},       {"compmn", "比較...", false},
        {"inputn(0)", "第 1 張", true},     {"inputn(2)", "修改第 3 張", true},
        {"editmn", "編輯...", false},       {"piccas(0)", "10234_1.bmp", true},
        {"piccas(1)", "10234_3.jpg", true}, {"piccas00", "選擇圖檔", true},
        {"quitmn", "退出", true},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        QAction* action = Find<QAction>(e.name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text().toStdString(), e.text);
        EXPECT_EQ(action->isEnabled(), e.enabled);
    }
    EXPECT_EQ(Find<QAction>("printmn(6)"), nullptr);
    EXPECT_EQ(Find<QAction>("readn(9)"), nullptr);
    EXPECT_TRUE(Find<QAction>("printgraph")->isChecked());
}

TEST_F(MainWindowTest, HeaderShowsTheDecodedPatient) {
    EXPECT_EQ(window->windowTitle().toStdString(), "林美華 側頭顱分析");
    EXPECT_EQ(Find<QLabel>("Label1")->text().toStdString(), "林美華");
    EXPECT_EQ(Find<QLabel>("Label0")->text().toStdString(), "10234");
    EXPECT_EQ(Find<QLabel>("Label3")->text().toStdString(), "0650315");
    EXPECT_EQ(Find<QLabel>("Label15")->text().toStdString(), "M");
    EXPECT_TRUE(Find<QLabel>("Label1")->isVisible());
    // The work area, the report and the result grid's texts are not part of the bar.
    for (const char* hidden : {"Picture2", "Picture3", "Picture7"}) {
        QWidget* panel = Find<QWidget>(hidden);
        EXPECT_TRUE(panel == nullptr || !panel->isVisible()) << hidden;
    }
    // The result grid lies below the screen: its widgets are made only when asked for.
    EXPECT_EQ(Find<QLineEdit>("Text3(36)"), nullptr);
    auto* value = qobject_cast<QLineEdit*>(window->WidgetOf(&program.win.Text3[36]));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->text().toStdString(), "Text3");
}

TEST_F(MainWindowTest, TheBarIsOneSizeFrameIncludedAtStartAndAfterCancel) {
    // 7000 x 1500 twips at the screen's logical resolution for the whole window; the
    // offscreen platform draws a pretend frame of its own around the client area.
    const double dpiX = window->screen()->logicalDotsPerInchX();
    const double dpiY = window->screen()->logicalDotsPerInchY();
    auto expectBar = [&](const char* when) {
        const QRect outer = window->frameGeometry();
        EXPECT_NEAR(outer.width(), 7000 * dpiX / 1440, 1) << when;
        EXPECT_NEAR(outer.height(), 1500 * dpiY / 1440, 1) << when;
        EXPECT_NEAR(outer.x(), 1200 * dpiX / 1440, 1) << when;
    };
    expectBar("at start");
    window->Handle({wiring::EventType::Click, "inputn", 0});
    window->Handle({wiring::EventType::Click, "Command3"});
    expectBar("after cancel");
}

TEST_F(MainWindowTest, TheInputWindowKeepsTheUsersSizeAndItsViewportFillsIt) {
    window->Handle({wiring::EventType::Click, "inputn", 0});
    QCoreApplication::processEvents();
    // The user drags the window larger: it stays so through the next events, and the
    // viewport grows to the client area's right and bottom, less its pan bars.
    window->resize(1200, 800);
    QCoreApplication::processEvents();
    window->Handle({wiring::EventType::MouseMove, "Image1"});
    EXPECT_EQ(window->size(), QSize(1200, 800));
    QWidget* client = window->centralWidget();
    QWidget* viewport = window->WidgetOf(&program.win.Picture4);
    const QRect inClient(viewport->mapTo(client, QPoint()), viewport->size());
    const platform::Twips twips = platform::ScreenTwips();
    EXPECT_NEAR(inClient.right() + 1, client->width() - twips.X(255), 1);
    EXPECT_NEAR(inClient.bottom() + 1, client->height() - twips.Y(255), 1);

    // Cancel gives the bar back at its own size, which the user can no longer change.
    window->Handle({wiring::EventType::Click, "Command3"});
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
}

TEST_F(MainWindowTest, TimerTicksBlinkTheGuideArrow) {
    // The work area is hidden in the bar, so the arrow's widget is made on request.
    QWidget* arrow = window->WidgetOf(&program.win.Label10);
    ASSERT_NE(arrow, nullptr);
    auto arrowColour = [&] { return arrow->palette().color(QPalette::WindowText); };
    EXPECT_EQ(arrowColour(), QColor(0, 255, 0));
    window->Handle({wiring::EventType::Timer, "Timer1"});
    EXPECT_EQ(arrowColour(), QColor(255, 0, 0));
    window->Handle({wiring::EventType::Timer, "Timer1"});
    EXPECT_EQ(arrowColour(), QColor(0, 255, 0));
}

TEST_F(MainWindowTest, TypingIntoTheScaleBoxGoesThroughItsGuard) {
    program.win.Picture3.visible = true;
    program.win.Picture8.visible = true;
    window->Refresh();
    QLineEdit* scale = Find<QLineEdit>("Text1(0)");
    ASSERT_NE(scale, nullptr);
    ASSERT_TRUE(scale->isVisible());
    scale->setFocus();
    QApplication::processEvents();
    scale->selectAll();
    // Typed key by key, a value keeps the 0 it starts with.
    QTest::keyClicks(scale, QStringLiteral("0.25"));
    EXPECT_EQ(scale->text().toStdString(), "0.25");
    QTest::keyClick(scale, Qt::Key_Return);
    EXPECT_EQ(program.win.Text1[0].text, "0.25");
    EXPECT_EQ(program.win.state.FigurePanel.alignment.scale.text, "0.25");
    EXPECT_FALSE(program.win.state.FigurePanel.scaleArmed);
    // A lone 0 would hide the radiograph: Enter turns it into 1.
    scale->selectAll();
    QTest::keyClicks(scale, QStringLiteral("0"));
    EXPECT_EQ(scale->text().toStdString(), "0");
    QTest::keyClick(scale, Qt::Key_Enter);
    EXPECT_EQ(scale->text().toStdString(), "1");
    EXPECT_EQ(program.win.Text1[0].text, "1");
}

TEST_F(MainWindowTest, QuitFromTheBarEndsTheProgram) {
    Find<QAction>("quitmn")->trigger();
    EXPECT_TRUE(program.quitRequested);
}

}  // namespace
}  // namespace ceph
