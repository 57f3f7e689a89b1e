// cephtool analyse: one CSV line per record line, foreign lines reported and skipped.
#include <gtest/gtest.h>

#include <sstream>

#include "model/measurement.h"
#include "model/numbers.h"
#include "presenter/result_grid.h"
#include "store/record_line.h"
#include "support/worked_tracing.h"
#include "tools/analyse.h"
#include "usecases/show.h"

namespace ceph::tools {
namespace {

const std::string kWorkedLine = " W7 ," + testing::kWorkedFields + ",0,8Y 11M";

TEST(Analyse, WorkedTracingAsCsv) {
    EXPECT_EQ(AnalyseRecordLine(kWorkedLine, true),
              "W7,92.2,87.6,4.6,6.0,4.2,2.7,2.4,27.0,37.5,62.5,75.2,90.6,45.3,76.5,116.6,129.2,"
              "5.3,65.8,87.2,6.0,28.9,24.9,43.7,28.8,2.0,136.2,4.2,3.1,-2.9,-4.0,78.9,108.6,66.4,"
              "37.4,96.4,46.2,72.6,(79.2±3.1), (95.7±4.4),(53.2±3.2),(33.8±2.3),(90.4±3.6),"
              "(55.9±2.6),(82.8±2.4)");
    // Not male: the female norms of the same age band.
    EXPECT_NE(AnalyseRecordLine(kWorkedLine, false).find("(77.3±3.2)"), std::string::npos);
}

TEST(Analyse, ForeignLinesAreReportedAndSkipped) {
    std::istringstream in(std::string(kWorkedLine) + "\r\n\r\nno comma here\n" + kWorkedLine +
                          "\n");
    std::ostringstream out, err;
    EXPECT_EQ(AnalyseStream(in, "in.txt", out, err, false), 2);
    const std::string csv = out.str();
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2);
    EXPECT_EQ(err.str(),
              "in.txt:2: not a record line, skipped\nin.txt:3: not a record line, skipped\n");
    // Every output line has the code, 37 values and 7 norms.
    std::istringstream lines(csv);
    for (std::string line; std::getline(lines, line);)
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 44);
}

TEST(Analyse, RecordsSeparatedByALoneCrAreTwoRecords) {
    std::istringstream in(std::string(kWorkedLine) + "\r" + kWorkedLine + "\rlast,1\r");
    std::ostringstream out, err;
    // The third record holds no coordinates at all.
    EXPECT_EQ(AnalyseStream(in, "in.txt", out, err, true), 1);
    EXPECT_EQ(err.str(), "in.txt:3: coordinates that are not finite numbers, skipped\n");
    const std::string csv = out.str();
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2);
    EXPECT_EQ(csv.find('\r'), std::string::npos) << "no stray character in a field";
    EXPECT_EQ(csv.substr(0, csv.find('\n')), AnalyseRecordLine(kWorkedLine, true));
}

TEST(Analyse, ValuesAreTheReportsTextsStarsIncluded) {
    // A moved far forward: several values no longer fit their five printed characters.
    std::string line = kWorkedLine;
    line.replace(line.find(",72,52,"), 7, ",-900,52,");
    ui::MainWindow win;
    presenter::LayOutResultGrid(win);
    usecases::ApplyStoredTracing(win, store::TracingOf(store::ParseRecordFields(line)));
    std::string report = "W7";
    for (const ui::TextBox& value : win.Text3)
        (report += ',') += TrimBlanks(model::ValueField(value.text));
    const std::string csv = AnalyseRecordLine(line, true);
    EXPECT_EQ(csv.substr(0, report.size() + 1), report + ",");
    EXPECT_NE(report.find(",*****,"), std::string::npos) << report;
}

}  // namespace
}  // namespace ceph::tools
