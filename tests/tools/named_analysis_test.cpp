// The named analyses at the command line: the values, norms and flags a clinician reads
// in the window, a practice's table, and names that are no analysis.
#include <gtest/gtest.h>

#include "run_cephtool.h"
#include "support/worked_tracing.h"

namespace ceph::tools {
namespace {

using testing::RunCephtool;
using testing::ToolRun;

const std::string kLine = "A1," + testing::kWorkedFields + ",0,30Y 1M\n";

TEST(NamedAnalysis, AnalysePrintsValueNormAndFlagPerMeasurement) {
    testing::TempDir dir;
    const ToolRun steiner =
        RunCephtool(dir, {"analyse", "--analysis", "steiner", "--header", "--sex", "M"}, kLine);
    ASSERT_EQ(steiner.status, 0) << steiner.err;
    EXPECT_EQ(steiner.out.rfind("code,SNA (°),SNA norm,SNA flag,SNB (°),", 0), 0u);
    // SNA 92.2 against 82 ± 2 is past two SD; OP-SN 0.0 against 14 ± 4 too, below.
    EXPECT_NE(steiner.out.find("\nA1,92.2,82.0±2.0,↑↑,87.6,80.0±2.0,↑↑,4.6,2.0±2.0,↑,"),
              std::string::npos)
        << steiner.out;
    EXPECT_NE(steiner.out.find(",0.0,14.0±4.0,↓↓\n"), std::string::npos);
    // McNamara's adult norms by sex.
    const ToolRun mcnamara = RunCephtool(dir, {"analyse", "--analysis", "McNamara"}, kLine);
    EXPECT_NE(mcnamara.out.find(",76.5,66.7±4.1,↑↑,"), std::string::npos) << mcnamara.out;

    const ToolRun unknown = RunCephtool(dir, {"analyse", "--analysis", "Ricketts"}, kLine);
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("--analysis Ricketts: no such analysis"), std::string::npos);
    const ToolRun noSet =
        RunCephtool(dir, {"analyse", "--analysis", "Downs", "--norm-set", "X"}, kLine);
    EXPECT_EQ(noSet.status, 2);
}

TEST(NamedAnalysis, APracticeTableIsListedAndItsFaultsAreTold) {
    testing::TempDir dir;
    dir.Write("analyses.tsv", "Ours\tS-N\tdistance\tS, N\tmm\t1\t診所\t\t\t70\t3\tours\n");
    const ToolRun listed = RunCephtool(dir, {"analyses", "--data", dir.str()});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find("Ours (practice): 1 measurements; norms: 診所"), std::string::npos);
    EXPECT_NE(listed.out.find("Björk–Jarabak: 7 measurements"), std::string::npos);
    const ToolRun ours =
        RunCephtool(dir, {"analyse", "--analysis", "ours", "--data", dir.str()}, kLine);
    EXPECT_EQ(ours.out, "A1,70.0,70.0±3.0,\n") << ours.err;

    dir.Write("analyses.tsv", "Ours\tCo-A\tdistance\tCo, A\tmm\t1\n");
    const ToolRun faulty = RunCephtool(dir, {"analyses", "--data", dir.str()});
    EXPECT_EQ(faulty.status, 1);
    EXPECT_NE(faulty.err.find("analyses.tsv 第 1 行"), std::string::npos) << faulty.err;
    EXPECT_NE(faulty.out.find("Steiner"), std::string::npos);
}

TEST(NamedAnalysis, NormSetsAreNamedAsAnalysesAre) {
    testing::TempDir dir;
    dir.Write("analyses.tsv",
              "Ours\tS-N\tdistance\tS, N\tmm\t1\t台灣成人\t\t\t70\t3\tours\n"
              "Ours\tS-N\t\t\t\t\tTaiwan kids\t\t\t60\t3\tours\n");
    const auto analyse = [&](const char* set) {
        return RunCephtool(
            dir, {"analyse", "--analysis", "ours", "--norm-set", set, "--data", dir.str()}, kLine);
    };
    EXPECT_EQ(analyse("taiwan-KIDS").out, "A1,70.0,60.0±3.0,↑↑\n") << analyse("taiwan-KIDS").err;
    EXPECT_EQ(analyse("台灣 成人").out, "A1,70.0,70.0±3.0,\n");
    const ToolRun none = analyse("Japan");
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("--norm-set Japan: Ours has no such norm set (台灣成人, Taiwan kids)"),
              std::string::npos)
        << none.err;
}

TEST(NamedAnalysis, ExportTakesTheAnalysisForEveryStoredTracing) {
    testing::TempDir dir;
    dir.Write("ceph-1", kLine);
    const ToolRun run =
        RunCephtool(dir, {"export", "--data", dir.str(), "--analysis", "Tweed", "--sex", "M"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(
        run.out,
        "code,tracing,age,FMA (°),FMA norm,FMA flag,IMPA (°),IMPA norm,IMPA flag,FMIA (°),"
        "FMIA norm,FMIA flag\r\nA1,1,30Y 1M,28.6,25.0±5.0,,83.3,90.0±5.0,↓,68.2,65.0±5.0,\r\n");
}

}  // namespace
}  // namespace ceph::tools
