// Leaving the program, abandoning an input, the blinking guide arrow and the guards of
// the figure-adjustment boxes, driven through the event dispatcher as the window does.

#include <gtest/gtest.h>

#include <string>

#include "app/exit.h"
#include "presenter/figure_view.h"
#include "support/fake_services.h"
#include "wiring/events.h"

namespace ceph::app {
using ui::App;
using wiring::Dispatch;
using wiring::Event;
using wiring::EventType;

namespace {

class ExitTest : public ::testing::Test {
  protected:
    testing::FakeServices services;
    App app{services};
    ui::MainWindow& w = app.win;

    bool Send(EventType type, std::string_view name, int index = -1) {
        Event e;
        e.type = type;
        e.name = name;
        e.index = index;
        return Dispatch(app, e);
    }
    // The window as tracing input leaves it.
    void EnterInput() {
        w.inputmmnn.enabled = false;
        w.readmn.enabled = false;
        w.editmn.enabled = true;
        w.Text4.visible = true;
        w.Picture2.visible = true;
        w.Picture7.visible = true;
        w.Label2.caption = "第 3 張";
        w.readceph.Move(0, 0, 15000, 9000);
    }
};

TEST_F(ExitTest, QuitFromTheBarEndsTheProgram) {
    EXPECT_TRUE(Send(EventType::Click, "quitmn"));
    EXPECT_TRUE(app.quitRequested);
}

TEST_F(ExitTest, QuitDuringInputFirstReturnsToTheBar) {
    EnterInput();
    w.print00mn.enabled = true;
    w.compmn.enabled = true;
    Send(EventType::Click, "quitmn");
    EXPECT_FALSE(app.quitRequested);
    EXPECT_TRUE(w.inputmmnn.enabled);
    EXPECT_TRUE(w.readmn.enabled);
    EXPECT_FALSE(w.editmn.enabled);
    EXPECT_FALSE(w.Text4.visible);
    EXPECT_FALSE(w.Picture2.visible);
    EXPECT_FALSE(w.Picture7.visible);
    EXPECT_EQ(w.Label2.caption, "");
    EXPECT_EQ(w.readceph.left, 1200);
    EXPECT_EQ(w.readceph.top, 1500);
    EXPECT_EQ(w.readceph.width, 7000);
    EXPECT_EQ(w.readceph.height, 1500);
    EXPECT_TRUE(w.print00mn.enabled);  // cancelling leaves these as they were
    EXPECT_TRUE(w.compmn.enabled);

    Send(EventType::Click, "quitmn");
    EXPECT_TRUE(app.quitRequested);
}

TEST_F(ExitTest, TimerBlinksTheArrowWhileTheWorkAreaIsHidden) {
    ASSERT_EQ(w.Label10.foreColor, kGreen);
    ASSERT_FALSE(w.Picture2.visible);  // only the container is hidden
    EXPECT_TRUE(Send(EventType::Timer, "Timer1"));
    EXPECT_EQ(w.Label10.foreColor, kRed);
    Send(EventType::Timer, "Timer1");
    EXPECT_EQ(w.Label10.foreColor, kGreen);

    w.Label10.foreColor = kBlue;  // any colour other than red turns red
    Send(EventType::Timer, "Timer1");
    EXPECT_EQ(w.Label10.foreColor, kRed);

    w.Picture5.visible = false;
    Send(EventType::Timer, "Timer1");
    EXPECT_EQ(w.Label10.foreColor, kRed);
}

TEST_F(ExitTest, ScaleBoxNeverHoldsZeroOnceCommitted) {
    // Leaving any box commits: only the scale box is checked.
    struct Case {
        int left;  // the box that loses the focus
        const char* scale;
        const char* expected;
    };
    const Case cases[] = {
        {0, "0", "1"},  {0, "", "1"},    {0, "abc", "1"},   {0, "0.0", "1"},
        {0, "-0", "1"}, {0, ".5", ".5"}, {0, "0.5", "0.5"}, {0, "-2", "-2"},
        {1, "0", "1"},  {2, "", "1"},    {1, "1.5", "1.5"}, {0, "0x", "1"},
    };
    for (const Case& c : cases) {
        w.Text1[0].text = c.scale;
        EXPECT_TRUE(Send(EventType::LostFocus, "Text1", c.left));
        EXPECT_EQ(w.Text1[0].text, c.expected) << '"' << c.scale << "\" leaving box " << c.left;
        EXPECT_EQ(w.state.FigurePanel.alignment.scale.text, c.expected) << c.scale;
    }
    // Enter commits too; other keys do not.
    w.Text1[0].text = "0";
    Event enter{EventType::KeyPress, "Text1", 0};
    enter.key = kEnterKey;
    Dispatch(app, enter);
    EXPECT_EQ(w.Text1[0].text, "1");
}

TEST_F(ExitTest, TypingAScaleKeyByKeyKeepsEveryCharacter) {
    // The window raises a key press then a change for each character typed.
    w.Text1[0].text.clear();
    for (char c : std::string("0.25")) {
        Event key{EventType::KeyPress, "Text1", 0};
        key.key = c;
        Dispatch(app, key);
        w.Text1[0].text += c;
        Send(EventType::Change, "Text1", 0);
        EXPECT_EQ(w.Text1[0].text.back(), c);
    }
    EXPECT_EQ(w.Text1[0].text, "0.25");
    Send(EventType::LostFocus, "Text1", 0);
    EXPECT_EQ(w.Text1[0].text, "0.25");
}

TEST_F(ExitTest, WhatIsTypedReachesTheStateOnEnterOrLeavingTheBox) {
    const model::FigureAlignment& shown = w.state.FigurePanel.alignment;
    auto type = [&](int box, const std::string& text) {
        for (char c : text) {
            Event key{EventType::KeyPress, "Text1", box};
            key.key = c;
            Dispatch(app, key);
            w.Text1[box].text += c;
            Send(EventType::Change, "Text1", box);
        }
    };
    w.Text1[1].text.clear();
    type(1, "-2.50");
    EXPECT_EQ(shown.left.text, "0") << "typing alone commits nothing";
    Event enter{EventType::KeyPress, "Text1", 1};
    enter.key = kEnterKey;
    Dispatch(app, enter);
    EXPECT_EQ(shown.left.text, "-2.50") << "kept as typed";
    EXPECT_EQ(shown.left.Value(), -2.5);

    w.Text1[2].text.clear();
    type(2, " 12mm");
    EXPECT_EQ(shown.top.text, "0");
    Send(EventType::LostFocus, "Text1", 2);
    EXPECT_EQ(shown.top.text, " 12mm");
    EXPECT_EQ(shown.top.Value(), 12);
    EXPECT_EQ(shown.left.text, "-2.50") << "the other boxes stay as committed";
    EXPECT_EQ(w.Text1[2].text, " 12mm");
}

TEST_F(ExitTest, TheProgramsOwnAlignmentsRunTheSameRule) {
    // Whatever the program puts into the boxes, the scale is guarded as for typing.
    model::FigureAlignment a;
    a.scale = model::TypedNumber("0.000"), a.top = model::TypedNumber("35");
    presenter::SetFigureAlignment(w, a);
    EXPECT_EQ(w.Text1[0].text, "1");
    EXPECT_EQ(w.Text1[2].text, "35");
    EXPECT_EQ(w.state.FigurePanel.alignment.scale.Value(), 1);
    a.scale = model::TypedNumber("0.750");
    presenter::SetFigureAlignment(w, a);
    EXPECT_EQ(w.Text1[0].text, "0.750");
}

TEST_F(ExitTest, OffsetBoxesMayBeEmpty) {
    w.Text1[1].text.clear();
    Send(EventType::LostFocus, "Text1", 1);
    w.Text1[2].text = "x";
    Send(EventType::LostFocus, "Text1", 2);
    EXPECT_EQ(w.Text1[0].text, "1");
    EXPECT_EQ(w.Text1[1].text, "");
    EXPECT_EQ(w.Text1[2].text, "x");
}

TEST_F(ExitTest, FocusArmsABoxAndAnyKeyDisarmsScaleAndLeft) {
    const ui::FigurePanelState& f = w.state.FigurePanel;
    Send(EventType::GotFocus, "Text1", 1);
    EXPECT_TRUE(f.offsetArmed);
    EXPECT_FALSE(f.scaleArmed);
    Send(EventType::GotFocus, "Text1", 0);
    EXPECT_TRUE(f.scaleArmed);
    Send(EventType::GotFocus, "Text1", 2);
    EXPECT_TRUE(Send(EventType::KeyPress, "Text1", 2));
    EXPECT_FALSE(f.scaleArmed);
    EXPECT_FALSE(f.offsetArmed);

    Send(EventType::GotFocus, "Text1", 1);
    Send(EventType::LostFocus, "Text1", 1);
    EXPECT_TRUE(f.offsetArmed) << "leaving a box keeps it armed";
    Send(EventType::GotFocus, "Text1", -1);  // no such box: nothing happens
}

TEST_F(ExitTest, UnhandledEventsAreReported) {
    EXPECT_FALSE(Send(EventType::Click, "nothing"));
    EXPECT_FALSE(Send(EventType::MouseDown, "Picture8"));
    EXPECT_FALSE(app.quitRequested);
}

}  // namespace
}  // namespace ceph::app
