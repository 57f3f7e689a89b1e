// Keeping a tracing: finishing an input into its record file, the record line, saving
// the figure alignment, and what a failed write leaves behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/startup.h"
#include "store/record_line.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "support/worked_tracing.h"
#include "tools/run_cephtool.h"
#include "usecases/save.h"
#include "wiring/events.h"

namespace ceph::usecases {
namespace {

namespace fs = std::filesystem;

using testing::Slurp;

TEST(RecordLine, FinishedTracingInMillimetresWithSAtTheOrigin) {
    PointRow x{}, y{};
    for (int i = 1; i <= 19; ++i)
        x[i] = 100 + 40.0f * i, y[i] = 3050 - 20.0f * i;
    x[1] = 100, y[1] = 50;      // N
    x[16] = 100, y[16] = 3050;  // S, 3000 image units below N
    x[2] = 400, y[2] = 2650;    // 300 units right of S and 400 above it
    ToMillimetres(x, y, 75);
    EXPECT_EQ(x[16], 0.0f);
    EXPECT_EQ(y[16], 0.0f);
    EXPECT_EQ(x[1], 0.0f);
    EXPECT_EQ(y[1], -75.0f);
    EXPECT_EQ(x[2], 7.5f);
    EXPECT_EQ(y[2], -10.0f);

    const std::string line = store::FormatRecordLine("00101", x, y, "45Y 3M");
    EXPECT_EQ(line.rfind("00101,0.0,-75.0,", 0), 0u) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 40);
    EXPECT_NE(line.find(",0.0,0.0,"), std::string::npos) << "S is stored at the origin";
    EXPECT_EQ(line.substr(line.size() - 9), ",0,45Y 3M");
    EXPECT_EQ(store::FormatRecordLine("7", PointRow{}, PointRow{}, "1Y 0M").find("-"),
              std::string::npos)
        << "zeros are written without sign";

    // Without a true length or without a measured distance the image units stay.
    for (double length : {0.0, 75.0}) {
        PointRow a{}, b{};
        a[5] = 123.4f, b[5] = 56.7f;
        if (length != 0) a[1] = a[16] = 10, b[1] = b[16] = 20;  // N on S: no distance
        ToMillimetres(a, b, length);
        EXPECT_EQ(a[5], 123.4f);
        EXPECT_EQ(b[5], 56.7f);
    }
}

TEST(RecordLine, FigureFieldsAreAddedOrReplacedAfterTheAgeText) {
    auto fields = [](const char* scale, const char* left, const char* top) {
        return model::FigureAlignment{model::TypedNumber(scale), model::TypedNumber(left),
                                      model::TypedNumber(top)};
    };
    PointRow x{}, y{};
    const std::string base = store::FormatRecordLine("00101", x, y, "45Y 3M");
    const model::FigureAlignment boxes = fields("1.5", "-20", "35");
    const std::string once = store::WithFigureFields(base, boxes);
    EXPECT_EQ(once, base + ",1.5,-20,35");
    EXPECT_EQ(store::WithFigureFields(once, fields("2", "0", "7")), base + ",2,0,7");
    EXPECT_EQ(store::WithFigureFields(base + "  ", boxes), base + ",1.5,-20,35")
        << "blanks dropped";
    EXPECT_EQ(store::WithFigureFields(base + ",", boxes), base + ",1.5,-20,35");
    EXPECT_EQ(store::WithFigureFields("7,1,2", boxes), "7,1,2,1.5,-20,35")
        << "short lines get them too";

    const store::RecordFields read =
        store::ParseRecordFields(store::WithFigureFields(once, fields("2", "0", "7")));
    EXPECT_EQ(read.age, "45Y 3M");
    EXPECT_EQ(read.figure, fields("2", "0", "7"));
}

// A patient in the middle of an input: the 19 landmarks clicked (in image units) and
// the calibration panel showing.
class FinishTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("OutExe.tmp", "Chen\r\n00101\r\n0650315\r\nM\r\n");
        app::FormLoad(program, dir.StartupFromHere());
        services.today = {2026, 3};
    }
    void Digitise(int index) {
        Click("inputn", index);
        services.messages.clear();  // the question about the missing picture, declined
        for (int i = 1; i <= 19; ++i)
            w.state.X[i] = 1000 + 30.0f * i, w.state.Y[i] = 2000 + 45.0f * (i % 7);
        w.state.X[1] = 1000, w.state.Y[1] = 500;     // N
        w.state.X[16] = 1000, w.state.Y[16] = 3500;  // S: 3000 units below N
        w.LabelPNTNo.caption = "20";
        w.Picture7.visible = true;
        w.Text6.text = "75";
        w.Text2.text = "0.025";  // as the panel shows it for 75 mm over 3000 units
    }
    void Click(std::string_view name, int index = -1) {
        wiring::Dispatch(program, {wiring::EventType::Click, name, index});
    }
    fs::path Record(int n) const { return dir.path() / ("ceph-" + std::to_string(n)); }

    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
    ui::MainWindow& w = program.win;
};

TEST_F(FinishTest, FinishingStoresTheLineLastAndKeepsEveryOtherLine) {
    const std::string others =
        "00100,1.0,2.0,x\r\n"
        "00101,old line of this patient\r\n"
        "  weird line without code\r\n"
        "\r\n"
        "001011,a longer code is another patient\r\n"
        "00101 ,blanks around the code still make it this patient's\r\n";
    dir.Write("ceph-3", others);
    Digitise(2);
    Click("Command4");

    const std::string stored = Slurp(Record(3));
    EXPECT_EQ(stored.rfind("00100,1.0,2.0,x\r\n  weird line without code\r\n\r\n"
                           "001011,a longer code is another patient\r\n00101,",
                           0),
              0u)
        << stored;
    const std::string last = stored.substr(stored.rfind("\r\n00101,") + 2);
    EXPECT_EQ(last.rfind("00101,0.0,-75.0,", 0), 0u) << last;
    EXPECT_EQ(last.substr(last.size() - 11), ",0,50Y 0M\r\n");
    EXPECT_EQ(std::count(last.begin(), last.end(), ','), 40);
    EXPECT_EQ(Slurp(dir.path() / "filesave" / "CephRate.ini"), w.Text2.text + "\r\n");

    // Back in the viewing state with the stored tracing shown.
    EXPECT_TRUE(w.readn[2].enabled);
    EXPECT_FALSE(w.comp[2].enabled) << "it is the tracing shown";
    EXPECT_EQ(w.inputn[2].caption, "修改第 3 張") << "the menu says so at once";
    EXPECT_TRUE(w.inputmmnn.enabled);
    EXPECT_FALSE(w.Picture2.visible);
    EXPECT_TRUE(w.Picture3.visible);
    EXPECT_EQ(w.Label2.caption, "P.3");
    EXPECT_EQ(w.Label13.caption, "50Y 0M");
    EXPECT_EQ(w.Text1[0].text, "1");
    EXPECT_TRUE(w.Line2[0].visible) << "the figure is built";

    // Finishing the same tracing again leaves one line of the patient, at the end.
    Digitise(2);
    w.Text6.text = "70";
    Click("Command4");
    const std::string again = Slurp(Record(3));
    std::size_t mine = 0;
    for (std::size_t at = again.find("\n00101,"); at != std::string::npos;
         at = again.find("\n00101,", at + 1))
        ++mine;
    EXPECT_EQ(mine, 1u);
    EXPECT_NE(again.find("\r\n00101,0.0,-70.0,"), std::string::npos);
    EXPECT_EQ(again.substr(again.size() - 9), ",50Y 0M\r\n");
}

TEST_F(FinishTest, EnteringAStoredTracingAgainKeepsTheAgeItWasTakenAt) {
    Digitise(1);
    w.Text4.text = "49Y 11M";  // typed by hand over the computed age
    Click("Command4");
    services.today = {2027, 8};
    Click("inputn", 1);
    EXPECT_EQ(w.Text4.text, "49Y 11M");
    EXPECT_FALSE(w.LabelAgeNote.visible);
    Click("Command3");
    Click("inputn", 4);  // nothing stored there: today's age
    EXPECT_EQ(w.Text4.text, "51Y 5M");
}

TEST_F(FinishTest, ShowingAFinishedTracingGivesBackItsPointsToATenth) {
    Digitise(0);
    std::array<float, 20> x{}, y{};
    const float k = 75.0f / 3000;
    for (int i = 1; i <= 19; ++i)
        x[i] = (w.state.X[i] - w.state.X[16]) * k, y[i] = (w.state.Y[i] - w.state.Y[16]) * k;
    Click("Command4");
    for (int i = 1; i <= 19; ++i) {
        EXPECT_NEAR(w.state.X[i], x[i], 0.05 + 1e-4) << i;
        EXPECT_NEAR(w.state.Y[i], y[i], 0.05 + 1e-4) << i;
    }
    EXPECT_EQ(w.state.X[16], 0.0f);
}

TEST_F(FinishTest, AFailedWriteKeepsFilesAndTheInputSoItCanBeTriedAgain) {
    dir.Write("filesave/CephRate.ini", "0.031\r\n");
    fs::remove(Record(2));            // start-up's look made it an empty file
    fs::create_directory(Record(2));  // the record file's name is taken by a folder
    Digitise(1);
    const ui::State before = w.state;
    Click("Command4");

    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find(Record(2).string()), std::string::npos)
        << services.messages[0].text;
    EXPECT_NE(services.messages[0].text.find("完成存檔退出"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(Record(2)));
    EXPECT_EQ(Slurp(dir.path() / "filesave" / "CephRate.ini"), "0.031\r\n");
    EXPECT_FALSE(w.readn[1].enabled);
    EXPECT_TRUE(w.Picture7.visible) << "still in the calibration panel";
    EXPECT_TRUE(w.Picture2.visible);
    EXPECT_EQ(w.state.X, before.X) << "the points keep their image units";
    EXPECT_EQ(w.state.Y, before.Y);
    for (const fs::directory_entry& e : fs::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();

    // Once the cause is gone the same button stores the same tracing.
    fs::remove(Record(2));
    Click("Command4");
    EXPECT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(Slurp(Record(2)).rfind("00101,0.0,-75.0,", 0), 0u);
    EXPECT_TRUE(w.readn[1].enabled);
}

// A record line another program could store: the worked tracing under `code`.
std::string Line(const std::string& code, const std::string& age) {
    return code + "," + testing::kWorkedFields + ",0," + age + "\r\n";
}

TEST_F(FinishTest, ASlotFilledMeanwhileByAnotherProgramIsNotOverwrittenUnasked) {
    Digitise(0);  // tracing 1 is empty as the input begins
    testing::TempDir scratch;
    const testing::ToolRun run =
        testing::RunCephtool(scratch, {"import", "--data", dir.path().string(), "--tracing", "1"},
                             Line("00101", "12Y 3M") + Line("00200", "9Y 0M"));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string theirs = Slurp(Record(1));

    Click("Command4");  // 取消, the default
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text,
              "第 1 張描圖已被另一部電腦或程式改過（年齡 12Y 3M），要以這次的描圖取代它嗎？");
    EXPECT_EQ(Slurp(Record(1)), theirs);
    EXPECT_TRUE(w.Picture7.visible) << "the input stays, to be given up or stored again";
    EXPECT_FALSE(fs::exists(dir.path() / "filesave" / "CephRate.ini"));

    services.answers = {ui::MessageAnswer::Yes};
    Click("Command4");
    const std::string now = Slurp(Record(1));
    EXPECT_EQ(now.find("12Y 3M"), std::string::npos) << now;
    EXPECT_NE(now.find(",9Y 0M\r\n00101,0.0,-75.0,"), std::string::npos) << now;
    EXPECT_TRUE(w.readn[0].enabled);
}

TEST_F(FinishTest, ACodeThatCannotOwnALineIsRefused) {
    for (const char* code : {"", "  ", "001,01"}) {
        w.state.Patient.code = code;
        Digitise(0);
        services.messages.clear();
        Click("Command4");
        EXPECT_EQ(services.messages.size(), 1u) << '"' << code << '"';
        EXPECT_TRUE(w.Picture7.visible);
        EXPECT_FALSE(fs::exists(Record(1)) && fs::file_size(Record(1)) > 0) << code;
    }
}

TEST_F(FinishTest, AnSNLengthThatCannotScaleIsRefusedAndChangesNothing) {
    const std::string record = "00100,1.0,2.0,x\r\n00101,the tracing before\r\n";
    const std::string rate = "0.031\r\n";
    dir.Write("ceph-1", record);
    dir.Write("filesave/CephRate.ini", rate);
    struct Case {
        const char* length;
        bool nOnS;
        const char* why;  // part of the red line
    };
    const Case cases[] = {
        {"", false, "請輸入"},
        {"0", false, "「0」不是正數"},
        {"七十", false, "「七十」無法讀成數字"},
        {",", false, "「,」無法讀成數字"},
        {"7,5", false, "「7,5」無法讀成數字"},
        {"-70", false, "「-70」不是正數"},
        {"1e30", false, "「1e30」不在 20–200 mm 之間"},
        // Meant as 70: every landmark would lie within a millimetre of S.
        {"0.7", false, "「0.7」不在 20–200 mm 之間"},
        {"250", false, "「250」不在 20–200 mm 之間"},
        {"75", true, "N 與 S"},
    };
    for (const Case& c : cases) {
        Digitise(0);
        if (c.nOnS) w.state.X[1] = w.state.X[16], w.state.Y[1] = w.state.Y[16];
        w.Text6.text = c.length;
        const ui::State before = w.state;
        Click("Command4");
        EXPECT_EQ(Slurp(Record(1)), record) << c.length;
        EXPECT_EQ(Slurp(dir.path() / "filesave" / "CephRate.ini"), rate) << c.length;
        EXPECT_EQ(w.state.X, before.X) << c.length;
        EXPECT_EQ(w.state.Y, before.Y) << c.length;
        EXPECT_NE(w.LabelSNCheck.caption.find(c.why), std::string::npos)
            << c.length << ": " << w.LabelSNCheck.caption;
        EXPECT_TRUE(w.Picture7.visible) << "still in the calibration panel";
        EXPECT_TRUE(w.Picture2.visible);
        EXPECT_TRUE(services.messages.empty()) << services.messages.back().text;
    }
    // Corrected, the same press stores it.
    Digitise(0);
    Click("Command4");
    EXPECT_NE(Slurp(Record(1)).find("00101,0.0,-75.0,"), std::string::npos);
}

TEST_F(FinishTest, AnAgeThatWouldSplitTheLineIsRefused) {
    for (const char* age : {"50Y,9M", "50Y 9M\r\n00101,1", "50Y\n"}) {
        Digitise(0);
        w.Text4.text = age;
        const ui::State before = w.state;
        services.messages.clear();
        Click("Command4");
        ASSERT_EQ(services.messages.size(), 1u) << age;
        EXPECT_NE(services.messages[0].text.find(std::string("「") + age + "」"),
                  std::string::npos);
        EXPECT_EQ(Slurp(Record(1)), "") << age;
        EXPECT_FALSE(fs::exists(dir.path() / "filesave" / "CephRate.ini"));
        EXPECT_EQ(w.state.X, before.X);
        EXPECT_TRUE(w.Picture7.visible);
    }
}

TEST_F(FinishTest, OnlyAScaleIsKeptForTheNextProposal) {
    dir.Write("filesave/CephRate.ini", "0.031\r\n");
    Digitise(0);
    w.Text2.text = "0";  // edited by hand after the length
    Click("Command4");
    EXPECT_EQ(Slurp(Record(1)).rfind("00101,0.0,-75.0,", 0), 0u) << "the tracing is stored";
    EXPECT_EQ(Slurp(dir.path() / "filesave" / "CephRate.ini"), "0.031\r\n");
}

TEST_F(FinishTest, AlignmentIsSavedIntoTheShownLineAndShownAgain) {
    Digitise(1);
    Click("Command4");
    dir.Write("ceph-2", "00999,someone else\r\n" + Slurp(Record(2)) + "00998,another\r\n");
    const std::string before = Slurp(Record(2));

    // Offset armed by the focus in its box: the clicked point goes onto S.
    wiring::Dispatch(program, {wiring::EventType::GotFocus, "Text1", 1});
    wiring::Event up{wiring::EventType::MouseUp, "Picture8"};
    up.x = 1000, up.y = 700;
    wiring::Dispatch(program, up);
    const std::string after = Slurp(Record(2));
    const std::size_t mine = before.find("\r\n00101,") + 2;
    const std::size_t end = before.find("\r\n", mine);
    EXPECT_EQ(after, before.substr(0, end) + ",1,-200,-100" + before.substr(end));
    EXPECT_EQ(w.Text1[1].text, "-200") << "shown again from the stored line";
    EXPECT_EQ(w.Text1[2].text, "-100");
    EXPECT_FALSE(w.state.FigurePanel.offsetArmed);

    // ReLoad replaces the three fields, keeping the first 41.
    w.Text1[0].text = "1.5";
    Click("Command2");
    EXPECT_EQ(Slurp(Record(2)), before.substr(0, end) + ",1.5,-200,-100" + before.substr(end));
    // A scale of 0 still in the box when ReLoad is pressed is stored as 1.
    w.Text1[0].text = "0";
    Click("Command2");
    EXPECT_EQ(Slurp(Record(2)), before.substr(0, end) + ",1,-200,-100" + before.substr(end));
    w.Text1[0].text = "1.5";
    Click("Command2");

    // A box that would split the line is refused and nothing is written.
    w.Text1[2].text = "3,5";
    services.messages.clear();
    Click("Command2");
    EXPECT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(Slurp(Record(2)), before.substr(0, end) + ",1.5,-200,-100" + before.substr(end));
}

TEST_F(FinishTest, FigureSaveWithoutThePatientsLineChangesNothing) {
    dir.Write("ceph-4", "00999,someone else\n");
    const fs::file_time_type stamp = fs::last_write_time(Record(4));
    w.state.ShownTracing = 3;
    Click("Command2");
    EXPECT_EQ(Slurp(Record(4)), "00999,someone else\n");
    EXPECT_EQ(fs::last_write_time(Record(4)), stamp);
    EXPECT_TRUE(services.messages.empty());
}

}  // namespace
}  // namespace ceph::usecases
