// The steps of placing the landmarks on the typed state, and the numbers a click and
// the calibration keep: exactly those the read-out and the panel show.
#include <gtest/gtest.h>

#include <vector>

#include "app/startup.h"
#include "digitising/steps.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "wiring/events.h"

namespace ceph {
namespace {

using digitising::Advance;
using digitising::Ask;
using digitising::StepBack;
using Step = ui::DigitisingState::Step;

TEST(DigitisingSteps, ClickOrderForwardAndBack) {
    ui::DigitisingState s;
    EXPECT_FALSE(Advance(s)) << "no input: a click places nothing";
    EXPECT_FALSE(StepBack(s));
    EXPECT_FALSE(s.ScaleFixed());

    Ask(s, 16);
    std::vector<int> asked;
    while (s.step == Step::Asking) {
        asked.push_back(s.AskedNumber());
        EXPECT_EQ(s.ScaleFixed(), asked.size() > 1)
            << "the scale follows the zoom only while S is asked";
        ASSERT_TRUE(Advance(s));
    }
    EXPECT_EQ(asked, (std::vector<int>{16, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17,
                                       18, 19}));
    EXPECT_EQ(s.step, Step::Finished);
    EXPECT_EQ(s.AskedNumber(), 20);
    EXPECT_TRUE(s.ScaleFixed());
    EXPECT_FALSE(Advance(s)) << "nothing after the end";

    std::vector<int> back;
    while (StepBack(s))
        back.push_back(s.AskedNumber());
    EXPECT_EQ(back, (std::vector<int>{19, 18, 17, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1,
                                      16}));

    // A replaced picture's note lasts until a landmark is asked again.
    s.restarted = ui::DigitisingState::Restart::FilmTurned;
    Ask(s, 1);
    EXPECT_EQ(s.restarted, ui::DigitisingState::Restart::None);
    digitising::EndInput(s);
    EXPECT_EQ(s.step, Step::NotInputting);
}

class StoredNumbersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("OutExe.tmp", "Chen\r\n00101\r\n0650315\r\nM\r\n");
        app::FormLoad(program, dir.StartupFromHere());
        wiring::Dispatch(program, {wiring::EventType::Click, "inputn", 0});
    }
    void Send(wiring::EventType type, std::string_view name, float x = 0, float y = 0) {
        wiring::Event e{type, name, -1};
        e.x = x, e.y = y;
        wiring::Dispatch(program, e);
    }

    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
    ui::MainWindow& w = program.win;
};

TEST_F(StoredNumbersTest, AClickStoresThePositionAsTheReadOutShowsIt) {
    // Seven significant digits: 1234.5678 is read out and stored as 1234.568, a tenth
    // stays the float a tenth is, and a far position goes through the exponent form.
    Send(wiring::EventType::MouseMove, "Image1", 1234.5678f, 0.1f);
    EXPECT_EQ(w.LabelX.caption, "1234.568");
    EXPECT_EQ(w.LabelY.caption, "0.1");
    Send(wiring::EventType::Click, "Image1", 1234.5678f, 0.1f);
    EXPECT_EQ(w.state.X[16], 1234.568f);
    EXPECT_EQ(w.state.Y[16], 0.1f);
    Send(wiring::EventType::Click, "Image1", 123456789.0f, 1e-9f);
    EXPECT_EQ(w.LabelX.caption, "1.234568E+08");
    EXPECT_EQ(w.state.X[1], 123456800.0f);
    EXPECT_EQ(w.state.Y[1], 1e-9f);
}

TEST_F(StoredNumbersTest, TheLengthIsProposedFromTheDistanceAsShown) {
    w.state.SavedRate = 1;                                 // the scale on file
    Send(wiring::EventType::Click, "Image1", 0, 0);        // S
    Send(wiring::EventType::Click, "Image1", 2500.6f, 0);  // N
    for (int k = 2; k < 19; ++k)
        Send(wiring::EventType::Click, "Image1", 10, 10);
    EXPECT_EQ(w.Label14.caption, "2501");
    EXPECT_EQ(w.Text6.text, "2501.0") << "not 2500.6: the whole units the panel shows";
    EXPECT_EQ(w.Text2.text, "1.000");
}

}  // namespace
}  // namespace ceph
