// Correcting a stored tracing on its radiograph: S and N placed on the film find the
// tracing there, a dragged mark changes the shown values at once, "存檔" stores the
// moved landmark and nothing else, "取消" and a failed write leave the file alone.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "app/startup.h"
#include "model/measurement.h"
#include "store/record_line.h"
#include "support/fake_services.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"
#include "tools/run_cephtool.h"
#include "usecases/correct.h"
#include "wiring/events.h"

namespace ceph::usecases {
namespace {

namespace fs = std::filesystem;
using testing::Slurp;
using wiring::EventType;

constexpr int kPog = 10;

class CorrectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::WritePatientFolder(dir);
        testing::WriteStoredTracing(dir, "00101");
        dir.Write("pics/00101_1.bmp", "BM");
        services.pictureSize = 2000;
        app::FormLoad(program, dir.StartupFromHere());
        Click("readn", 0);
        stored = Slurp(Record());
    }

    void Click(std::string_view name, int index = -1) {
        wiring::Dispatch(program, {EventType::Click, name, index});
    }
    void Mouse(EventType type, double x, double y) {
        wiring::Event e{type, "Image1"};
        e.x = static_cast<float>(x), e.y = static_cast<float>(y), e.button = 1;
        wiring::Dispatch(program, e);
    }
    void ClickFilm(double x, double y) {
        Mouse(EventType::MouseMove, x, y);
        Mouse(EventType::Click, x, y);
    }
    fs::path Record() const { return dir.path() / "ceph-1"; }

    // Where the film shows the point (x, y) mm of the tracing, in twips of the shown
    // film: 8 pixels a millimetre, turned 10 degrees, S at pixel (700, 600).
    std::pair<double, double> OnFilm(double x, double y) const {
        const double a = 8 * std::cos(0.1745329), b = 8 * std::sin(0.1745329);
        const double k = w.Image1.width / 2000.0;  // twips per pixel at the zoom shown
        return {(a * x - b * y + 700) * k, (b * x + a * y + 600) * k};
    }

    // Opens the correction at 150 % and places S and N where the film shows them.
    void StartCorrecting() {
        Click("correctmn");
        w.VScroll2.value = 150;
        wiring::Dispatch(program, {EventType::Change, "VScroll2"});
        auto [sx, sy] = OnFilm(0, 0);
        ClickFilm(sx, sy);
        auto [nx, ny] = OnFilm(70, 0);
        ClickFilm(nx, ny);
    }

    // Drags Pog from where it is stored to 2 mm further forward, pressing beside the
    // mark as a hand does.
    void DragPogForward() {
        const double nudge = 3 * 15;  // three screen pixels right of the mark
        auto [px, py] = OnFilm(68, 112);
        auto [tx, ty] = OnFilm(70, 112);
        Mouse(EventType::MouseDown, px + nudge, py);
        for (int step = 1; step <= 4; ++step)
            Mouse(EventType::MouseMove, px + nudge + (tx - px) * step / 4,
                  py + (ty - py) * step / 4);
        Mouse(EventType::MouseUp, tx + nudge, ty);
    }

    double PogNv() const {
        const auto& rows = model::StandardAnalysis().rows;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (std::string_view(rows[i].key) == "Pog-Nv") return std::stod(w.Text3[i].text);
        ADD_FAILURE() << "no Pog-Nv row";
        return 0;
    }

    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
    ui::MainWindow& w = program.win;
    std::string stored;
};

TEST_F(CorrectTest, AMovedLandmarkIsShownAtOnceStoredAndShownAgain) {
    ASSERT_TRUE(w.correctmn.enabled);
    const double before = PogNv();
    StartCorrecting();
    ASSERT_EQ(w.Image1.marks.size(), 19u);
    auto [px, py] = OnFilm(68, 112);
    EXPECT_NEAR(w.Image1.marks[kPog - 1].x, px, 1);
    EXPECT_NEAR(w.Image1.marks[kPog - 1].y, py, 1);
    EXPECT_EQ(w.Image1.marks[kPog - 1].label, "Pog");
    // The report panel stands beside the film, and the work area knows to leave it room.
    EXPECT_TRUE(w.Picture2.visible);
    EXPECT_TRUE(w.Picture3.visible);
    EXPECT_GE(w.Picture3.left, w.Picture2.left + w.Picture2.width);
    EXPECT_EQ(w.state.ReservedRight, w.Picture3.width);

    // A zoom keeps the marks on their points of the film.
    w.VScroll2.value = 100;
    wiring::Dispatch(program, {EventType::Change, "VScroll2"});
    std::tie(px, py) = OnFilm(68, 112);
    EXPECT_NEAR(w.Image1.marks[kPog - 1].x, px, 1);
    w.VScroll2.value = 150;
    wiring::Dispatch(program, {EventType::Change, "VScroll2"});

    DragPogForward();
    EXPECT_NEAR(PogNv() - before, 2, 0.15);
    EXPECT_EQ(Slurp(Record()), stored) << "nothing is written before 存檔";

    Click("saveCorrection");
    EXPECT_FALSE(w.Picture2.visible);
    EXPECT_EQ(w.state.ReservedRight, 0);
    const std::string line = Slurp(Record());
    const auto saved = store::ReadTracingLine(line.substr(0, line.find('\r')));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->age, "48Y 2M");
    EXPECT_NEAR(saved->X[kPog], 70, 0.05 + 1e-4);

    Click("readn", 0);
    EXPECT_NEAR(PogNv() - before, 2, 0.15);
    for (int i = 1; i <= 19; ++i) {
        const float x = i == kPog ? 70 : testing::kWorkedPoints[i - 1][0];
        EXPECT_NEAR(w.state.X[i], x, 0.05 + 1e-4) << i;
        EXPECT_NEAR(w.state.Y[i], testing::kWorkedPoints[i - 1][1], 0.05 + 1e-4) << i;
    }
}

TEST_F(CorrectTest, AMovedSMovesTheTracingSoSStaysTheOrigin) {
    StartCorrecting();
    auto [nx, ny] = OnFilm(70, 0);
    auto [sx, sy] = OnFilm(0, 0);
    auto [tx, ty] = OnFilm(3, -4);  // S placed 3 mm forward and 4 mm up
    Mouse(EventType::MouseDown, sx, sy);
    Mouse(EventType::MouseUp, tx, ty);
    // N has not moved on the film: its mark stays.
    EXPECT_NEAR(w.Image1.marks[0].x, nx, 1);
    EXPECT_NEAR(w.Image1.marks[0].y, ny, 1);
    // The figure and the values are drawn from S at the origin already.
    EXPECT_NEAR(w.state.X[16], 0, 1e-4);
    EXPECT_NEAR(w.state.X[1], 67, 1e-3);
    Click("saveCorrection");
    EXPECT_EQ(w.state.X[16], 0.0f);
    EXPECT_EQ(w.state.Y[16], 0.0f);
    for (int i : {1, kPog}) {
        EXPECT_NEAR(w.state.X[i], testing::kWorkedPoints[i - 1][0] - 3, 0.05 + 1e-4) << i;
        EXPECT_NEAR(w.state.Y[i], testing::kWorkedPoints[i - 1][1] + 4, 0.05 + 1e-4) << i;
    }
}

TEST_F(CorrectTest, TheFigureFieldsAreStoredAgainAsTheyWereWritten) {
    // However the fields were spelt, the corrected line keeps them byte for byte.
    const std::string written = "00101," + testing::kWorkedFields + ",0,48Y 2M,0.250, 2,-0\r\n";
    dir.Write("ceph-1", written);
    Click("readn", 0);
    EXPECT_EQ(w.Text1[1].text, " 2");
    StartCorrecting();
    DragPogForward();
    Click("saveCorrection");
    const std::string line = Slurp(Record());
    EXPECT_NE(line, written) << "Pog was moved";
    EXPECT_TRUE(line.ends_with(",48Y 2M,0.250, 2,-0\r\n")) << line;
}

TEST_F(CorrectTest, CancelLeavesTheRecordAsItWas) {
    const double before = PogNv();
    const float panelLeft = w.Picture3.left, panelWidth = w.Picture3.width;
    StartCorrecting();
    DragPogForward();
    Click("cancelCorrection");
    EXPECT_EQ(Slurp(Record()), stored);
    EXPECT_EQ(PogNv(), before);
    EXPECT_FALSE(w.Picture2.visible);
    EXPECT_EQ(w.Picture3.left, panelLeft) << "the report panel back in its place";
    EXPECT_EQ(w.Picture3.width, panelWidth);
    EXPECT_TRUE(w.readmn.enabled);
    EXPECT_TRUE(w.correctmn.enabled);
}

TEST_F(CorrectTest, AFailedWriteKeepsTheCorrectionOpen) {
    StartCorrecting();
    DragPogForward();
    fs::remove(Record());
    fs::create_directory(Record());  // the record file's name is taken by a folder
    Click("saveCorrection");
    ASSERT_FALSE(services.messages.empty());
    EXPECT_NE(services.messages.back().text.find(Record().string()), std::string::npos)
        << services.messages.back().text;
    EXPECT_TRUE(Correcting(w));
    EXPECT_TRUE(w.Picture2.visible);

    // The cause gone, the same moves are stored.
    fs::remove(Record());
    dir.Write("ceph-1", stored);
    Click("saveCorrection");
    EXPECT_FALSE(Correcting(w));
    EXPECT_NE(Slurp(Record()).find(",70.0,112.0,"), std::string::npos) << Slurp(Record());
}

TEST_F(CorrectTest, LeavingWithUnstoredMovesAsksFirst) {
    StartCorrecting();
    DragPogForward();
    services.answers = {ui::MessageAnswer::No};
    Click("quitmn");
    EXPECT_FALSE(program.quitRequested);
    EXPECT_TRUE(Correcting(w));
    services.answers = {ui::MessageAnswer::Yes};
    wiring::Dispatch(program, {EventType::Unload, "readceph"});
    EXPECT_TRUE(program.quitRequested);
    EXPECT_EQ(Slurp(Record()), stored);
}

TEST_F(CorrectTest, WhatIsShownWhileMovingIsWhatIsStored) {
    StartCorrecting();
    DragPogForward();
    const auto shown = w.Text3;
    Click("saveCorrection");
    Click("readn", 0);
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(w.Text3[i].text, shown[i].text) << i;
}

TEST_F(CorrectTest, NClickedOnSIsAskedAgainSayingWhy) {
    Click("correctmn");
    auto [sx, sy] = OnFilm(0, 0);
    ClickFilm(sx, sy);
    ClickFilm(sx, sy);
    EXPECT_EQ(w.state.Correction.step, ui::CorrectionState::Step::AskingN);
    EXPECT_NE(w.LabelPNTDef.caption.find("N 與 S 同一點"), std::string::npos);
    EXPECT_EQ(w.LabelPNTDef.foreColor, kRed);
    auto [nx, ny] = OnFilm(70, 0);
    ClickFilm(nx, ny);
    EXPECT_EQ(w.Image1.marks.size(), 19u);
    EXPECT_NE(w.LabelPNTDef.foreColor, kRed);
}

TEST_F(CorrectTest, ATracingStoredMeanwhileByAnotherProgramIsNotOverwrittenUnasked) {
    StartCorrecting();
    DragPogForward();
    // Another program stores tracing 1 of the same patient while the correction is open.
    testing::TempDir scratch;
    const std::string theirs = "00101," + std::string(testing::kWorkedFields) + ",0,50Y 1M";
    const testing::ToolRun run = testing::RunCephtool(
        scratch, {"import", "--data", dir.path().string(), "--tracing", "1"}, theirs + "\r\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string imported = Slurp(Record());
    ASSERT_NE(imported, stored);

    Click("saveCorrection");  // the question's default: 取消
    ASSERT_FALSE(services.messages.empty());
    const auto& asked = services.messages.back();
    EXPECT_EQ(asked.text,
              "第 1 張描圖已被另一部電腦或程式改過（年齡 50Y 1M），要以這次的描圖取代它嗎？");
    EXPECT_STREQ(asked.style.yesText, "取代");
    EXPECT_TRUE(asked.style.defaultIsSecond);
    EXPECT_EQ(Slurp(Record()), imported) << "the other program's tracing kept";
    EXPECT_TRUE(Correcting(w)) << "the moves stay on the screen";

    services.answers = {ui::MessageAnswer::Yes};  // 取代, knowingly
    Click("saveCorrection");
    EXPECT_FALSE(Correcting(w));
    const std::string now = Slurp(Record());
    EXPECT_NE(now.find(",70.0,112.0,"), std::string::npos) << now;
    EXPECT_EQ(now.find("50Y 1M"), std::string::npos) << now;
}

TEST_F(CorrectTest, AMissingFilmIsNamed) {
    fs::remove(dir.path() / "pics" / "00101_1.bmp");
    Click("correctmn");
    ASSERT_FALSE(services.messages.empty());
    EXPECT_NE(services.messages.back().text.find("00101_1.bmp"), std::string::npos);
    EXPECT_FALSE(Correcting(w));
    EXPECT_FALSE(w.Picture2.visible);
}

}  // namespace
}  // namespace ceph::usecases
