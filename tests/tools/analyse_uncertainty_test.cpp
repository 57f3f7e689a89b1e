// cephtool analyse --uncertainty and --header: the half-widths after the usual fields,
// the columns named, and an error table that cannot be used.
#include <gtest/gtest.h>

#include <regex>

#include "run_cephtool.h"
#include "tools/analyse.h"

namespace ceph::tools {
namespace {

using testing::RunCephtool;
using testing::ToolRun;

// Taken while the current folder is still the build's (see run_cephtool.h).
const std::filesystem::path kDemo = std::filesystem::absolute(CEPH_DEMO_DIR);

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    for (std::size_t comma; (comma = line.find(',', at)) != std::string::npos; at = comma + 1)
        fields.push_back(line.substr(at, comma - at));
    fields.push_back(line.substr(at));
    return fields;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(AnalyseUncertainty, TheDemoTracingsGetPlausibleHalfWidthsAfterTheirFields) {
    testing::TempDir dir;
    // Each ends with its line end.
    const std::string records = testing::Slurp(kDemo / "ceph-1") + testing::Slurp(kDemo / "ceph-2");
    const ToolRun plain = RunCephtool(dir, {"analyse"}, records);
    const ToolRun run = RunCephtool(dir, {"analyse", "--header", "--uncertainty"}, records);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out), before = Lines(plain.out);
    ASSERT_EQ(lines.size(), 3u);
    ASSERT_EQ(before.size(), 2u);
    const std::vector<std::string> header = Fields(lines[0]);
    ASSERT_EQ(header.size(), 1u + 37 + 7 + 37);
    EXPECT_EQ(header[0], "code");
    EXPECT_EQ(header[3], "ANB:");
    EXPECT_EQ(header[38], "Ar-A: norm");
    EXPECT_EQ(header[45], "±SNA:");
    EXPECT_EQ(header[81], "±Max./Mand.");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind(before[i - 1] + ",", 0), 0u) << "the usual fields come first";
        const std::vector<std::string> f = Fields(lines[i]);
        ASSERT_EQ(f.size(), header.size());
        auto width = [&](int row) { return std::stod(f[45 + row]); };
        EXPECT_NEAR(width(2), 2.2, 0.3);  // ANB
        for (int row : {0, 1, 7})         // SNA, SNB, SN/MP
            EXPECT_TRUE(width(row) > 1.5 && width(row) < 3.2) << header[45 + row] << f[45 + row];
        for (int row = 0; row < 37; ++row)
            EXPECT_TRUE(std::regex_match(f[45 + row], std::regex(R"(\d+\.\d\d)"))) << f[45 + row];
    }
}

TEST(AnalyseUncertainty, DrawsWithoutAValueAreToldInTheField) {
    // Po straight below Or: no row measured from the nasion perpendicular has a value.
    // Ar on Gn, moving by about a rounding step of its coordinates: Ar-Gn is zero in
    // most draws but not all.
    const std::string line =
        "X,70,0,62,25,75,45,72,52,66,58,74,74,71,72,62,92,66,95,68,112,"
        "65,118,60,120,10,90,65,118,62,22,0,0,25,48,40,72,42,74,0,8Y";
    uncertainty::ErrorModel model;
    model.landmark[14] = {2e-6, 2e-6, 0};
    const std::vector<std::string> f =
        Fields(AnalyseRecordLine(line, AnalyseOptions{.errorModel = &model, .draws = 400}));
    ASSERT_EQ(f.size(), 82u);
    EXPECT_EQ(f[45 + 4], "");  // A-Nv
    EXPECT_TRUE(std::regex_match(f[45 + 36], std::regex(R"(\d+\.\d\d \([1-3]\d\d undefined\))")))
        << f[45 + 36];
    EXPECT_EQ(f[45 + 12], "0.00");  // N-ANS
}

TEST(AnalyseUncertainty, AnErrorTableThatCannotBeUsedEndsTheRun) {
    testing::TempDir dir;
    const std::string record = testing::Slurp(kDemo / "ceph-1");
    const std::string missing = (dir.path() / "missing.tsv").string();
    const ToolRun unread = RunCephtool(dir, {"analyse", "--uncertainty", "--error-model", missing});
    EXPECT_EQ(unread.status, 1);
    EXPECT_EQ(unread.out, "");
    EXPECT_EQ(unread.err.rfind("cephtool: cannot read " + missing + ": ", 0), 0u) << unread.err;

    const std::string faulty = dir.Write("faulty.tsv", "1\tN\t0.4\t0.6\t2\tmeasured\n").string();
    const ToolRun bad = RunCephtool(dir, {"analyse", "--uncertainty", "--error-model", faulty});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "cephtool: cannot read " + faulty +
                           ": line 1: r 2 is not between -1 and 1 (exclusive)\n");

    std::string still;
    for (int k = 1; k <= 19; ++k)
        still += std::to_string(k) + " L 0 0 0 none\n";
    const std::string ours = dir.Write("ours.tsv", still).string();
    const ToolRun zero =
        RunCephtool(dir, {"analyse", "--uncertainty", "--error-model", ours}, record);
    EXPECT_EQ(zero.status, 0) << zero.err;
    const std::vector<std::string> f = Fields(Lines(zero.out).at(0));
    ASSERT_EQ(f.size(), 82u);
    for (std::size_t i = 45; i < f.size(); ++i)
        EXPECT_EQ(f[i], "0.00") << i;

    const ToolRun alone = RunCephtool(dir, {"analyse", "--draws", "500"}, record);
    EXPECT_EQ(alone.status, 2);
    EXPECT_EQ(alone.err.substr(0, alone.err.find('\n')),
              "cephtool analyse: --draws: only with --uncertainty");
}

}  // namespace
}  // namespace ceph::tools
