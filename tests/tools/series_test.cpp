// cephtool series: a patient's tracings laid over the lowest-numbered one, and their
// values side by side as `analyse` prints them.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "model/tracing.h"
#include "run_cephtool.h"
#include "store/record_line.h"
#include "support/command_output.h"
#include "support/moved_tracing.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"

namespace ceph::tools {
namespace {

model::Tracing Worked() {
    return *store::ReadTracingLine("x," + testing::kWorkedFields + ",0,1Y 0M");
}

// landmark -> (x, y) of one tracing in the series output.
std::map<std::string, std::pair<double, double>> PointsOf(const std::string& csv, int tracing) {
    std::map<std::string, std::pair<double, double>> points;
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string s; std::getline(fields, s, ',');)
            f.push_back(s);
        if (f.size() == 5 && std::stoi(f[0]) == tracing)
            points[f[2]] = {std::stod(f[3]), std::stod(f[4])};
    }
    return points;
}

class SeriesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::WritePatientFolder(dir, {.code = "10234", .sex = "F"});
        model::Tracing grown = Worked();
        for (int n : {7, 8, 9, 10, 11, 12, 13, 19}) {  // the mandible and the lower teeth
            grown.X[static_cast<std::size_t>(n)] += 2;
            grown.Y[static_cast<std::size_t>(n)] += 3;
        }
        dir.Write("ceph-1", "10234," + testing::kWorkedFields + ",0,10Y 0M\r\n");
        dir.Write("ceph-2", testing::OnAnotherFilm(Worked(), 7, 5, -3, "11Y 6M") + "\r\n");
        dir.Write("ceph-4", testing::OnAnotherFilm(grown, -9, -4, 6, "12Y 0M") + "\r\n");
    }
    testing::ToolRun Series(std::vector<std::string> more) {
        std::vector<std::string> args{"series", "--data", dir.str(), "--handoff",
                                      (dir.path() / "OutExe.tmp").string()};
        args.insert(args.end(), more.begin(), more.end());
        return testing::RunCephtool(dir, args);
    }
    testing::TempDir dir;
};

TEST_F(SeriesTest, TracingsLaidOverTheReferenceShowWhatMoved) {
    const testing::ToolRun run = Series({});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("tracing,age,landmark,x,y\r\n1,10Y 0M,N,70.00,0.00\r\n", 0), 0u);
    const auto reference = PointsOf(run.out, 1), same = PointsOf(run.out, 2),
               grown = PointsOf(run.out, 4);
    ASSERT_EQ(reference.size(), 19u);
    for (const auto& [name, at] : reference) {
        EXPECT_NEAR(same.at(name).first, at.first, 0.3) << name;
        EXPECT_NEAR(same.at(name).second, at.second, 0.3) << name;
    }
    // On the cranial base the mandible's own move shows: 2 mm forward, 3 mm down.
    for (const char* name : {"Pog", "Me", "Go"}) {
        EXPECT_NEAR(grown.at(name).first - reference.at(name).first, 2, 0.2) << name;
        EXPECT_NEAR(grown.at(name).second - reference.at(name).second, 3, 0.2) << name;
    }
    // On the mandible the mandible stays, and the cranial base moves instead.
    const auto onMandible = PointsOf(Series({"--registration", "mandible"}).out, 4);
    EXPECT_NEAR(onMandible.at("Me").first, reference.at("Me").first, 0.01);
    EXPECT_NEAR(onMandible.at("Pog").first, reference.at("Pog").first, 0.3);
    EXPECT_GT(std::abs(onMandible.at("N").second - reference.at("N").second), 2);

    // The lowest chosen is the reference, as stored.
    const auto alone = PointsOf(Series({"--tracings", "4,2"}).out, 2);
    EXPECT_EQ(alone.at("S"), (std::pair<double, double>{0, 0}));
    EXPECT_EQ(Series({"--tracings", "2,2"}).status, 2);
    EXPECT_EQ(Series({"--tracings", "3"}).status, 1) << "no tracing 3 stored";
    EXPECT_EQ(Series({"--registration", "palate"}).status, 2);
}

TEST_F(SeriesTest, ValuesAreWhatAnalysePrintsForEachTracing) {
    const testing::ToolRun values = Series({"--values"});
    ASSERT_EQ(values.status, 0) << values.err;
    std::istringstream lines(values.out);
    std::string header, line;
    std::getline(lines, header);
    EXPECT_EQ(header.rfind("tracing,age,SNA:,SNB:,", 0), 0u) << header;
    for (const char* n : {"1", "2", "4"}) {
        ASSERT_TRUE(std::getline(lines, line));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string file = (dir.path() / ("ceph-" + std::string(n))).string();
        const testing::ToolRun analysed =
            testing::RunCephtool(dir, {"analyse", "--sex", "F", file});
        // analyse: code, 37 values, 7 norms; series: tracing, age, 37 values.
        std::string expected = analysed.out.substr(analysed.out.find(',') + 1);
        for (int k = 0; k < 7; ++k)
            expected.erase(expected.rfind(','));
        const std::string got = line.substr(line.find(',', line.find(',') + 1) + 1);
        EXPECT_EQ(got, expected.substr(0, expected.find_first_of("\r\n"))) << n;
    }
}

// With --analysis the named analysis's values, norms and flags, as `analyse --analysis`
// gives them for each tracing's age (the norms follow the age).
TEST_F(SeriesTest, NamedAnalysisValuesAreAnalysesOwn) {
    const testing::ToolRun values = Series({"--values", "--analysis", "steiner"});
    ASSERT_EQ(values.status, 0) << values.err;
    std::istringstream lines(values.out);
    std::string header, line;
    std::getline(lines, header);
    EXPECT_EQ(header.rfind("tracing,age,SNA (°),SNA norm,SNA flag,", 0), 0u) << header;
    for (const char* n : {"1", "2", "4"}) {
        ASSERT_TRUE(std::getline(lines, line));
        const std::string file = (dir.path() / ("ceph-" + std::string(n))).string();
        const testing::ToolRun analysed =
            testing::RunCephtool(dir, {"analyse", "--analysis", "Steiner", "--sex", "F", file});
        const std::string expected = analysed.out.substr(analysed.out.find(',') + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        EXPECT_EQ(line.substr(line.find(',', line.find(',') + 1) + 1),
                  expected.substr(0, expected.find_first_of("\r\n")))
            << n;
    }
    EXPECT_EQ(Series({"--values", "--analysis", "Ricketts"}).status, 2);
    EXPECT_EQ(Series({"--analysis", "Steiner"}).status, 2) << "only with --values";
    EXPECT_EQ(Series({"--values", "--norm-set", "x"}).status, 2) << "only with --analysis";
}

#ifdef CEPHTOOL_WITH_REPORT
// --out writes the follow-up page: one page whose text names the tracings and the change.
TEST_F(SeriesTest, OutWritesTheFollowUpPage) {
    CEPH_SKIP_WITHOUT_PDF_TOOLS();
    const std::string pdf = (dir.path() / "series.pdf").string();
    const testing::ToolRun run = Series({"--tracings", "1,4", "--out", pdf});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(testing::CommandOutput("pdfinfo '" + pdf + "' | grep -c '^Pages: *1$'"), "1\n");
    const std::string text = testing::CommandOutput("pdftotext -layout '" + pdf + "' -");
    for (const char* expected : {"10234", "第 1 張", "第 4 張", "12Y 0M", "SNA", "每年"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    EXPECT_EQ(text.find("第 2 張"), std::string::npos) << "not chosen";

    EXPECT_EQ(Series({"--out", (dir.path() / "series.txt").string()}).status, 2);
    EXPECT_EQ(Series({"--out", pdf, "--values"}).status, 2);
    EXPECT_EQ(Series({"--out", pdf, "--registration", "maxilla"}).status, 2);
    const testing::ToolRun nowhere = Series({"--out", (dir.path() / "no" / "s.png").string()});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("s.png"), std::string::npos) << nowhere.err;
}
#endif

}  // namespace
}  // namespace ceph::tools
