// cephtool import: record lines from elsewhere checked in full before anything is
// stored, then stored through the same writer as finishing a tracing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "store/record_line.h"
#include "support/temp_dir.h"
#include "tools/import_command.h"

namespace ceph::tools {
namespace {

namespace fs = std::filesystem;

// A record line with S (landmark 16) at (sx, sy) and the others around it.
std::string Line(const std::string& code, float sx, float sy, const std::string& tail) {
    std::ostringstream out;
    out << code;
    for (int i = 1; i <= 19; ++i) {
        if (i == 16)
            out << ',' << sx << ',' << sy;
        else
            out << ',' << sx + i * 2.5f << ',' << sy - i;
    }
    out << ",0," << tail;
    return out.str();
}

TEST(Import, LinesAreCheckedAndWrittenInTheStoredForm) {
    const std::string text = Line("A1", 0, 0, "45Y 3M") + "\r\n\r\n" +
                             Line("B2", 10.25f, -4, "9Y 1M,1.5, -20 ,+35") + "\n" +
                             Line("C3", 0, 0, "1Y 0M").replace(3, 3, "1e1");
    const PreparedImport prepared = PrepareImport(text);
    ASSERT_TRUE(prepared.ok());
    const std::vector<std::string>& lines = *prepared;
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("A1,2.5,-1.0,5.0,-2.0,", 0), 0u) << lines[0];
    EXPECT_EQ(lines[0].substr(lines[0].size() - 9), ",0,45Y 3M");
    // S is moved to the origin and the figure fields follow the age, without blanks.
    EXPECT_EQ(lines[1].rfind("B2,2.5,-1.0,", 0), 0u) << lines[1];
    EXPECT_NE(lines[1].find(",0.0,0.0,"), std::string::npos);
    EXPECT_EQ(lines[1].substr(lines[1].size() - 20), ",0,9Y 1M,1.5,-20,+35");
    const store::RecordFields back = store::ParseRecordFields(lines[1]);
    EXPECT_FLOAT_EQ(back.x[1], 2.5f);
    EXPECT_EQ(lines[2].rfind("C3,10.0,", 0), 0u) << "any decimal form: " << lines[2];
}

TEST(Import, EveryBadLineIsNamed) {
    const std::string good = Line("A1", 0, 0, "45Y 3M");
    std::string shortLine = good.substr(0, good.rfind(','));
    std::string text = good + "\n" +                                        // 1 fine
                       shortLine + "\n" +                                   // 2: 40 fields
                       " A2" + good.substr(2) + "\n" +                      // 3: blank before code
                       "A3" + good.substr(2).replace(1, 3, "x.5") + "\n" +  // 4: not a number
                       "A4" + good.substr(2).replace(1, 3, "nan") + "\n" +  // 5: not finite
                       good + "\n" +                                        // 6: A1 again
                       Line("A5", 0, 0, "1Y 0M,1,2") + "\n" +               // 7: 43 fields
                       Line("A6", 0, 0, "1Y 0M,1,2,three") + "\n" +         // 8: figure text
                       "A7" + good.substr(2, good.size() - 11) +
                       ",5,45Y 3M\n";  // 9: field 40 not 0
    const PreparedImport prepared = PrepareImport(text);
    ASSERT_FALSE(prepared.ok());
    const std::vector<ImportProblem>& problems = prepared.why();
    std::vector<long> numbers;
    for (const ImportProblem& p : problems)
        numbers.push_back(p.line);
    EXPECT_EQ(numbers, (std::vector<long>{2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_NE(problems[4].reason.find("line 1"), std::string::npos) << problems[4].reason;
}

#ifdef CEPHTOOL
int Cephtool(const std::string& arguments) {
    const int status = std::system((std::string(CEPHTOOL) + " " + arguments).c_str());
#ifdef _WIN32
    return status;
#else
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

using testing::Slurp;

TEST(Import, StoresAllOrNothing) {
    testing::TempDir dir;
    dir.Write("data/ceph-2", "A1,old\r\nZ9,someone else\r\n");
    const std::string data = (dir.path() / "data").string();
    const fs::path input =
        dir.Write("in.csv", Line("A1", 0, 0, "45Y 3M") + "\n" + Line("B2", 0, 0, "9Y 1M") + "\n");
    const fs::path bad = dir.Write("bad.csv", Line("C3", 0, 0, "1Y 0M") + "\nno,record\n");

    EXPECT_EQ(Cephtool("import --data " + data + " --tracing 2 " + bad.string() + " 2>/dev/null"),
              1);
    EXPECT_EQ(Slurp(dir.path() / "data/ceph-2"), "A1,old\r\nZ9,someone else\r\n");

    EXPECT_EQ(Cephtool("import --data " + data + " --tracing 2 " + input.string() + " >/dev/null"),
              0);
    const std::string stored = Slurp(dir.path() / "data/ceph-2");
    EXPECT_EQ(stored.rfind("Z9,someone else\r\nA1,2.5,-1.0,", 0), 0u) << stored;
    EXPECT_NE(stored.find("\r\nB2,2.5,-1.0,"), std::string::npos);
    EXPECT_EQ(stored.substr(stored.size() - 8), ",9Y 1M\r\n");

    EXPECT_EQ(Cephtool("import --data " + (dir.path() / "nowhere").string() + " --tracing 2 " +
                       input.string() + " 2>/dev/null"),
              1);
    EXPECT_EQ(
        Cephtool("import --data " + data + " --tracing 10 " + input.string() + " 2>/dev/null"), 2);
}
#endif

}  // namespace
}  // namespace ceph::tools
