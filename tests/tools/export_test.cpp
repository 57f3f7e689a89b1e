// cephtool export: every stored tracing as one CSV table, with the same texts as
// `cephtool analyse` and the norms of each patient's own sex.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/filesys.h"
#include "run_cephtool.h"
#include "support/worked_tracing.h"
#include "tools/analyse.h"
#include "tools/export_command.h"

namespace ceph::tools {
namespace {

using testing::RunCephtool;
using testing::ToolRun;

// Coordinates and age of a worked tracing, after its code.
const std::string kTracing = "," + testing::kWorkedFields + ",0,8Y 11M";

// The row export must give: analyse's texts after the code, tracing and age.
std::string Expected(const std::string& codeField, int tracing, const std::string& line, bool male,
                     const std::string& figure = ",,") {
    const std::string analysed = AnalyseRecordLine(line, male);
    return codeField + "," + std::to_string(tracing) + ",8Y 11M" +
           analysed.substr(analysed.find(',')) + "," + figure + "\r\n";
}

std::string Header(const std::string& csv) {
    return csv.substr(0, csv.find("\r\n") + 2);
}

TEST(Export, FieldsAreQuotedOnlyWhenTheyMustBe) {
    std::string out;
    for (const char* field : {"plain", "", "a,b", "say \"hi\"", "two\r\nlines", "lf\n"})
        AppendCsvField(out += '|', field);
    EXPECT_EQ(out, "|plain||\"a,b\"|\"say \"\"hi\"\"\"|\"two\r\nlines\"|\"lf\n\"");
    out.clear();
    AppendCsvField(out, "\xb3\xaf");  // Big5 for 陳
    EXPECT_EQ(out, "陳");
}

TEST(Export, FormulaLikeTextIsShownNotRunAndNumbersStayNumbers) {
    std::string out;
    for (const char* field : {"=cmd|' /C calc'!A0", "+A1", "-A1", "@SUM(A1)", "\tx", "\rx", "=a,b",
                              "-12.3", "+5", "-1e3", "-", "a=b"})
        AppendCsvField(out += '|', field);
    EXPECT_EQ(
        out,
        "|'=cmd|' /C calc'!A0|'+A1|'-A1|'@SUM(A1)|'\tx|\"'\rx\"|\"'=a,b\"|-12.3|+5|-1e3|'-|a=b");

    // The code, the age and a figure field of a stored line, in both commands.
    testing::TempDir dir;
    const std::string line = "=1+2," + testing::kWorkedFields + ",0,@age,1.5,=cmd,-20";
    dir.Write("data/ceph-1", line + "\r\n");
    const ToolRun run = RunCephtool(dir, {"export", "--data", (dir.path() / "data").string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\r\n'=1+2,1,'@age,"), std::string::npos) << run.out;
    EXPECT_TRUE(run.out.ends_with(",1.5,'=cmd,-20\r\n")) << run.out;
    EXPECT_EQ(AnalyseRecordLine(line, false).rfind("'=1+2,", 0), 0u);
}

TEST(Export, EveryTracingWithAnalysesTextsAndQuotedCodes) {
    testing::TempDir dir;
    const std::string quoted = "Q\"1", figured = "F1" + kTracing + ",1.5,-120,80";
    dir.Write("data/ceph-1", "A1" + kTracing + "\r\n" + quoted + kTracing + "\r\n");
    dir.Write("data/ceph-3", figured + "\n");
    const std::string data = (dir.path() / "data").string();
    const ToolRun run = RunCephtool(dir, {"export", "--data", data, "--sex", "M"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string header = Header(run.out);
    EXPECT_EQ(header.rfind("code,tracing,age,SNA (°),SNB (°),", 0), 0u) << header;
    EXPECT_NE(header.find(",AB,UL,AU,BL,Ar-A (mm),"), std::string::npos) << header;
    EXPECT_NE(header.find(",Max./Mand. (%),Ar-A norm,Ar-Gn norm,"), std::string::npos);
    EXPECT_NE(header.find(",Max./Mand. norm,scale,left,top\r\n"), std::string::npos);
    EXPECT_EQ(std::count(header.begin(), header.end(), ','), 49);
    EXPECT_EQ(run.out, header + Expected("A1", 1, "A1" + kTracing, true) +
                           Expected("\"Q\"\"1\"", 1, quoted + kTracing, true) +
                           Expected("F1", 3, figured, true, "1.5,-120,80"));

    // The same table through the atomic writer; only a .csv file is written.
    const std::string csv = (dir.path() / "all.CSV").string();
    EXPECT_EQ(RunCephtool(dir, {"export", "--data", data, "--sex", "M", "--out", csv}).status, 0);
    EXPECT_EQ(testing::Slurp(csv), run.out);
    EXPECT_EQ(RunCephtool(dir, {"export", "--data", data, "--out", "all.txt"}).status, 2);
}

TEST(Export, EachPatientsHandOffChoosesTheNorms) {
    testing::TempDir dir;
    std::string lines;
    for (const char* code : {"M1", "F1", "NONE", "../out", "D1"})
        lines += code + kTracing + "\r\n";
    dir.Write("data/ceph-2", lines);
    // The sex as some hosts write it: lower case, a blank after it.
    dir.Write("handoffs/M1.tmp", "Wang\r\nM1\r\n0650315\r\nm \r\n");
    dir.Write("handoffs/F1.tmp", "Lin\r\nF1\r\n0650315\r\nF\r\n");
    // Named by a code that leads out of the folder: never read.
    dir.Write("out.tmp", "Wang\r\n../out\r\n0650315\r\nF\r\n");
    std::filesystem::create_directories(dir.path() / "handoffs/D1.tmp");
    const std::string handoffs = (dir.path() / "handoffs").string();
    const ToolRun run = RunCephtool(dir, {"export", "--data", (dir.path() / "data").string(),
                                          "--handoff-dir", handoffs, "--sex", "M"});
    EXPECT_EQ(run.status, 1) << "the folder in D1's place is told";
    EXPECT_EQ(run.err.rfind("cephtool: cannot read the hand-off file " + handoffs +
                                base::kSeparator + "D1.tmp: ",
                            0),
              0u)
        << run.err;
    const std::string body = run.out.substr(Header(run.out).size());
    EXPECT_EQ(body, Expected("M1", 2, "M1" + kTracing, true) +
                        Expected("F1", 2, "F1" + kTracing, false) +
                        Expected("NONE", 2, "NONE" + kTracing, true) +
                        Expected("../out", 2, "../out" + kTracing, true) +
                        Expected("D1", 2, "D1" + kTracing, true));
}

TEST(Export, SkippedLinesAndUnreadableFilesAreToldAndTheRestExported) {
    testing::TempDir dir;
    std::string notFinite = "B1" + kTracing;
    notFinite.replace(notFinite.find(",62,"), 4, ",1e39,");
    dir.Write("data/ceph-1", "A1" + kTracing + "\r\nno comma\r\n" + notFinite + "\r\n");
    dir.Write("data/ceph-9", "C1" + kTracing + "\r\n");
    std::filesystem::create_directories(dir.path() / "data/ceph-4");
#ifndef _WIN32
    ASSERT_EQ(mkfifo((dir.path() / "data/ceph-5").c_str(), 0600), 0);
#endif
    const std::string data = (dir.path() / "data").string(),
                      file = data + base::kSeparator + "ceph-";
    const ToolRun run = RunCephtool(dir, {"export", "--data", data});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(
        run.out.substr(Header(run.out).size()),
        Expected("A1", 1, "A1" + kTracing, false) + Expected("C1", 9, "C1" + kTracing, false));
    const std::string err = run.err;
    EXPECT_EQ(err.substr(0, err.find("cephtool:")),
              file + "1:2: not a record line, skipped\n" + file +
                  "1:3: coordinates that are not finite numbers, skipped\n");
    EXPECT_NE(err.find("cephtool: cannot read " + file + "4: "), std::string::npos) << err;
#ifndef _WIN32
    EXPECT_NE(err.find("cephtool: cannot read " + file + "5: "), std::string::npos) << err;
#endif
}

}  // namespace
}  // namespace ceph::tools
