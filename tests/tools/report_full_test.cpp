// cephtool report --full: the full page as a PDF whose text a reader can take out, with
// the practice's name when its settings give one and without when they do not.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "run_cephtool.h"
#include "support/command_output.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"

namespace ceph::tools {
namespace {

#ifdef CEPHTOOL_WITH_REPORT

TEST(ReportFullTest, PdfTextHoldsTheClinicHeaderValuesNormsAndFlags) {
    CEPH_SKIP_WITHOUT_PDF_TOOLS();
    testing::TempDir dir;
    // 陳大文 and 快樂牙醫診所 in Big5, as the suite and a Windows editor write them.
    testing::WritePatientFolder(dir,
                                {.name = "\xB3\xAF\xA4\x6A\xA4\xE5", .code = "10234", .sex = "F"});
    testing::WriteStoredTracing(dir, "10234");
    dir.Write("readceph.ini",
              "[readceph]\r\nClinicName=\xA7\xD6\xBC\xD6\xA4\xFA\xC2\xE5\xB6\x45\xA9\xD2\r\n");
    const std::string data = dir.path().string(), pdf = (dir.path() / "full.pdf").string();
    const std::vector<std::string> args = {
        "report",    "--full", "--data", data, "--handoff", (dir.path() / "OutExe.tmp").string(),
        "--tracing", "1",      "--out",  pdf};
    const testing::ToolRun run = testing::RunCephtool(dir, args);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text = testing::CommandOutput("pdftotext -layout '" + pdf + "' -");
    for (const char* expected : {"快樂牙醫診所", "10234", "陳大文", "48Y 2M", "P.1", "列印日期",
                                 "Steiner", "SNA", "92.2°", "82.0±2.0", "↑↑"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;

    // Without the program's settings file: no name, and the page all the same; another
    // analysis with the ranges as a picture.
    std::filesystem::remove(dir.path() / "readceph.ini");
    const std::string downs = (dir.path() / "downs.pdf").string();
    std::vector<std::string> again = args;
    again.back() = downs;
    again.insert(again.end(), {"--analysis", "downs", "--uncertainty"});
    const testing::ToolRun second = testing::RunCephtool(dir, again);
    ASSERT_EQ(second.status, 0) << second.err;
    const std::string plain = testing::CommandOutput("pdftotext -layout '" + downs + "' -");
    EXPECT_EQ(plain.find("快樂"), std::string::npos);
    for (const char* expected : {"10234", "Downs", "Facial angle", "可信範圍"})
        EXPECT_NE(plain.find(expected), std::string::npos) << expected << "\n" << plain;

    // An analysis that is not there is named with those that are.
    again[again.size() - 2] = "nothing";
    const testing::ToolRun unknown = testing::RunCephtool(dir, again);
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("McNamara"), std::string::npos) << unknown.err;
}

// The window prints the norm set chosen in the analysis window; cephtool names it the
// way `analyse` does, and refuses a set the analysis does not have.
TEST(ReportFullTest, NormSetChosenAsAnalyseChoosesIt) {
    CEPH_SKIP_WITHOUT_PDF_TOOLS();
    testing::TempDir dir;
    testing::WritePatientFolder(dir, {.name = "A", .code = "10234", .sex = "F"});
    testing::WriteStoredTracing(dir, "10234");
    dir.Write("analyses.tsv",
              "Ours\tS-N\tdistance\tS, N\tmm\t1\t台灣成人\t\t\t70\t3\tours\n"
              "Ours\tS-N\t\t\t\t\tTaiwan kids\t\t\t60\t3\tours\n");
    const std::string data = dir.path().string(), pdf = (dir.path() / "full.pdf").string();
    const auto report = [&](std::vector<std::string> more) {
        std::vector<std::string> args = {"report",    "--full",
                                         "--data",    data,
                                         "--handoff", (dir.path() / "OutExe.tmp").string(),
                                         "--tracing", "1",
                                         "--out",     pdf};
        args.insert(args.end(), more.begin(), more.end());
        return testing::RunCephtool(dir, args);
    };
    ASSERT_EQ(report({"--analysis", "ours", "--norm-set", "taiwan-KIDS"}).status, 0);
    const std::string kids = testing::CommandOutput("pdftotext -layout '" + pdf + "' -");
    EXPECT_NE(kids.find("60.0±3.0"), std::string::npos) << kids;
    ASSERT_EQ(report({"--analysis", "ours"}).status, 0);
    const std::string first = testing::CommandOutput("pdftotext -layout '" + pdf + "' -");
    EXPECT_NE(first.find("70.0±3.0"), std::string::npos) << first;

    const testing::ToolRun none = report({"--analysis", "ours", "--norm-set", "Japan"});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("Ours has no such norm set (台灣成人, Taiwan kids)"), std::string::npos)
        << none.err;
}

#endif

}  // namespace
}  // namespace ceph::tools
