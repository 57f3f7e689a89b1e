// Record lines that hold no tracing, and record files as other programs leave them: the
// window and every command read them alike and say what they skip.
#include <gtest/gtest.h>

#include "base/filesys.h"
#include "run_cephtool.h"
#include "store/record_file.h"
#include "store/record_line.h"
#include "support/worked_tracing.h"
#include "tools/analyse.h"
#include "tools/import_command.h"
#include "tools/stored_tracing.h"
#include "usecases/show.h"

namespace ceph::tools {
namespace {

using testing::RunCephtool;
using testing::ToolRun;

const std::string kTracing = "," + testing::kWorkedFields + ",0,48Y 2M";

TEST(NotATracing, TheWindowAndEveryCommandRefuseTheSameLines) {
    const std::string numbers = "的座標不是有效的數字，無法顯示。",
                      tooFar = "有標記點離 S 超過 1000 mm，不是有效的描圖，無法顯示。";
    struct Case {
        const char* xOfN;
        std::string window, tool;
    };
    const Case cases[] = {
        {"nan", numbers, "coordinates that are not finite numbers"},
        {"inf", numbers, "coordinates that are not finite numbers"},
        {"abc", numbers, "coordinates that are not finite numbers"},
        {"", numbers, "coordinates that are not finite numbers"},
        {"1e39", numbers, "coordinates that are not finite numbers"},
        {"3e38", tooFar, "landmarks more than 1000 mm from S"},
        {"1200", tooFar, "landmarks more than 1000 mm from S"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xOfN);
        testing::TempDir dir;
        const std::string line = "10234," + std::string(c.xOfN) + kTracing.substr(3);
        const std::string file = dir.Write("ceph-1", line + "\r\n").string();
        const std::string handoff =
            dir.Write("OutExe.tmp", "Lin\r\n10234\r\n0650315\r\nF\r\n").string();

        ui::MainWindow win;
        win.state.DataDir = base::WithTrailingSeparator(dir.str());
        win.state.Patient.code = "10234";
        const store::TracingLookup found =
            store::FindTracing(win.state.DataDir, win.state.Patient.code, 0);
        ASSERT_FALSE(found.ok());
        EXPECT_EQ(found.why().message, "第 1 張描圖（" + file + "）" + c.window);

        const ToolRun analysed = RunCephtool(dir, {"analyse", file});
        EXPECT_EQ(analysed.status, 1);
        EXPECT_EQ(analysed.out, "");
        EXPECT_EQ(analysed.err, file + ":1: " + c.tool + ", skipped\n");

        const base::Result<StoredTracing> told = ReadStoredTracing({dir.str(), handoff, 1});
        ASSERT_FALSE(told.ok());
        EXPECT_TRUE(told.why().detail.ends_with(" has " + c.tool)) << told.why().detail;

        const PreparedImport imported = PrepareImport(line);
        ASSERT_FALSE(imported.ok());
        EXPECT_EQ(imported.why().size(), 1u);
    }
}

TEST(NotATracing, TheFigureOfAHugeTracingIsNeverWritten) {
    testing::TempDir dir;
    dir.Write("ceph-1", "10234,3e38" + kTracing.substr(3) + "\r\n");
    const std::string handoff =
        dir.Write("OutExe.tmp", "Lin\r\n10234\r\n0650315\r\nF\r\n").string();
    const std::string out = (dir.path() / "figure.svg").string();
    const ToolRun run = RunCephtool(
        dir, {"figure", "--data", dir.str(), "--handoff", handoff, "--tracing", "1", "--out", out});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("landmarks more than 1000 mm from S"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(OddRecordFiles, AByteOrderMarkIsPassedOverAndAHugeLineSkipped) {
    testing::TempDir dir;
    const std::string mark = "\xEF\xBB\xBF";
    const std::string file =
        dir.Write("data/ceph-1", mark + "A1" + kTracing + "\r\n" + std::string(2 << 20, 'x') +
                                     "\r\nB1" + kTracing + "\r\n")
            .string();
    const ToolRun analysed = RunCephtool(dir, {"analyse", file});
    EXPECT_EQ(analysed.status, 1);
    EXPECT_EQ(analysed.out.rfind("A1,", 0), 0u);
    EXPECT_NE(analysed.out.find("\nB1,"), std::string::npos);
    EXPECT_EQ(analysed.err, file + ":2: longer than 1 MB, not a record line, skipped\n");

    const ToolRun exported = RunCephtool(dir, {"export", "--data", (dir.path() / "data").string()});
    EXPECT_NE(exported.out.find("\r\nA1,1,48Y 2M,"), std::string::npos);

    const ToolRun refused =
        RunCephtool(dir, {"import", "--data", dir.str(), "--tracing", "2", file});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(file + ":2: longer than 1 MB, not a record line\n"),
              std::string::npos)
        << refused.err;
    const std::string good = dir.Write("good.txt", mark + "A1" + kTracing + "\r\n").string();
    EXPECT_EQ(RunCephtool(dir, {"import", "--data", dir.str(), "--tracing", "2", good}).status, 0);
    EXPECT_EQ(testing::Slurp(dir.path() / "ceph-2").rfind("A1,70.0,0.0,", 0), 0u);
}

}  // namespace
}  // namespace ceph::tools
