// Showing a stored tracing: which line of a record file is the patient's, and what
// the window shows of it or says when it cannot.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "model/measurement.h"
#include "presenter/result_grid.h"
#include "store/record_line.h"
#include "support/counting_line.h"
#include "support/temp_dir.h"
#include "usecases/show.h"

namespace ceph::usecases {
namespace {

using store::LineFault;
using store::TracingLookup;

// 19 landmarks with x = i and y = -i, S (16) at the origin.
const auto Line = testing::CountingLine;

class LoadTracingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        presenter::LayOutResultGrid(win);  // as start-up does
        win.state.DataDir = dir.str() + "/";
        win.state.Patient.code = "00101";
    }
    testing::TempDir dir;
    ui::MainWindow win;
};

TEST_F(LoadTracingTest, FirstLineOfThePatientWinsAndOthersAreNotTheirs) {
    dir.Write("ceph-3", Line("0010", "1Y 0M") + "\r\n" + Line("001011", "2Y 0M") + "\r\n" +
                            Line(" 00101 ", "45Y 3M,1.5,-20,35") + "\r\n" + Line("00101", "9Y 9M") +
                            "\r\n");
    win.state.FigurePanel.scaleArmed = true;
    const TracingLookup found = usecases::LoadTracing(win, 2);
    ASSERT_TRUE(found.ok() && found->has_value());
    EXPECT_EQ(win.Label2.caption, "P.3");
    EXPECT_EQ(win.Label13.caption, "45Y 3M");
    EXPECT_EQ(win.Text1[0].text, "1.5");
    EXPECT_EQ(win.Text1[1].text, "-20");
    EXPECT_EQ(win.Text1[2].text, "35");
    EXPECT_FALSE(win.state.FigurePanel.scaleArmed);
    EXPECT_EQ(win.state.FigurePanel.alignment.left.Value(), -20) << "the state holds what is shown";
    EXPECT_EQ(win.state.X[5], 5.0f);
    EXPECT_NE(win.Text3[0].text, "Text3");  // the analysis ran
}

TEST_F(LoadTracingTest, ComparingLeavesTheFigureBoxes) {
    dir.Write("ceph-1", Line("00101", "45Y 3M,1.5,-20,35") + "\r\n");
    win.state.Comparing = true;
    const TracingLookup found = usecases::LoadTracing(win, 0);
    ASSERT_TRUE(found.ok() && found->has_value());
    EXPECT_EQ(win.Text1[0].text, "1");
    EXPECT_EQ(win.Text1[1].text, "0");
    EXPECT_EQ(win.Label13.caption, "45Y 3M");
}

TEST_F(LoadTracingTest, MissingLineChangesNothingButTheCaption) {
    win.state.X[1] = 42;
    const TracingLookup found = usecases::LoadTracing(win, 4);
    ASSERT_TRUE(found.ok());
    EXPECT_FALSE(found->has_value());
    EXPECT_EQ(win.state.X[1], 42.0f);
    EXPECT_EQ(win.Text3[0].text, "Text3");
    EXPECT_EQ(win.Label2.caption, "P.5");
    // Looking for the tracing leaves an empty record file behind.
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "ceph-5"));
    EXPECT_EQ(std::filesystem::file_size(dir.path() / "ceph-5"), 0u);
}

TEST_F(LoadTracingTest, AnUnreadableFileOrANonNumberLineIsToldNotShown) {
    std::string line = Line("00101", "45Y 3M");
    dir.Write("ceph-2", line.replace(line.find(",1.0,") + 1, 3, "1e39") + "\r\n");
    std::filesystem::create_directory(dir.path() / "ceph-4");
    win.state.X[1] = 42;
    const TracingLookup bad = usecases::LoadTracing(win, 1);
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.why().fault, LineFault::NotANumber);
    EXPECT_FALSE(bad.why().error);
    EXPECT_EQ(bad.why().message,
              "第 2 張描圖（" + dir.str() + "/ceph-2）的座標不是有效的數字，無法顯示。");
    const TracingLookup folder = usecases::LoadTracing(win, 3);
    ASSERT_FALSE(folder.ok());
    EXPECT_TRUE(folder.why().error);
    EXPECT_EQ(folder.why().message, "無法讀取 " + dir.str() + "/ceph-4：這個名稱已是一個資料夾");
    EXPECT_EQ(win.state.X[1], 42.0f);
    EXPECT_EQ(win.Text3[0].text, "Text3");
}

}  // namespace
}  // namespace ceph::usecases
