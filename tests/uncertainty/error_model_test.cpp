// The landmark error table: the one built in, and what a replacement may not hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/temp_dir.h"
#include "uncertainty/error_model.h"

namespace ceph::uncertainty {
namespace {

// The built-in table with the row of landmark `k` replaced by `row` (removed when
// empty), and the number of the line it was on.
std::string WithRow(int k, const std::string& row, int* line) {
    std::string text(DefaultErrorModelText());
    const std::size_t at = text.find("\n" + std::to_string(k) + "\t") + 1;
    *line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
    const std::size_t end = text.find('\n', at) + 1;
    return text.replace(at, end - at, row.empty() ? row : row + "\n");
}

TEST(ErrorModel, TheBuiltInTableHoldsEveryLandmark) {
    const ErrorModel& m = DefaultErrorModel();
    EXPECT_DOUBLE_EQ(m.landmark[4].sx, 0.94);  // A
    EXPECT_DOUBLE_EQ(m.landmark[4].sy, 1.68);
    EXPECT_DOUBLE_EQ(m.landmark[4].r, 0.71);
    EXPECT_DOUBLE_EQ(m.landmark[9].sy, 2.15);  // B
    EXPECT_DOUBLE_EQ(m.landmark[9].r, -0.76);
    EXPECT_DOUBLE_EQ(m.landmark[19].sx, 1.0);  // Lower Molar
    for (int k = 1; k <= 19; ++k)
        EXPECT_GT(m.landmark[k].sx * m.landmark[k].sy, 0) << k;
}

TEST(ErrorModel, AReplacementMayUseBlanksAndWindowsLineEnds) {
    int line = 0;
    std::string text = WithRow(5, "5  U1 Apex  2.5 1.25 -0.5 ours  # our two clinicians", &line);
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2)
        text.insert(at, "\r");
    const auto m = ParseErrorModel("\xEF\xBB\xBF" + text);
    ASSERT_TRUE(m) << m.why().detail;
    EXPECT_DOUBLE_EQ(m->landmark[5].sx, 2.5);
    EXPECT_DOUBLE_EQ(m->landmark[5].r, -0.5);
}

TEST(ErrorModel, AFaultyTableIsRefusedNamingTheLine) {
    struct Case {
        int k;
        std::string row, told;
    };
    const Case cases[] = {
        {7, "", "the table ends without landmark 7"},
        {3, "3\tANS\t-1.15\t0.31\t0.10\tmeasured", "sx -1.15 is not between 0 and 20 mm"},
        {3, "3\tANS\t1.15\t0.31\t1.00\tmeasured", "r 1.00 is not between -1 and 1"},
        {3, "3\tANS\t1.15\t0.31\t-1\tmeasured", "r -1 is not between -1 and 1"},
        {3, "3\tANS\t1.15\tabout\t0.1\tmeasured", "sy 'about' is not a number"},
        {3, "3\tANS\t1.15\tnan\t0.1\tmeasured", "sy 'nan' is not a number"},
        {3, "3\tANS\t1.15\t0.31\t0.10", "expected number, name, sx, sy, r and basis"},
        {3, "20\tANS\t1.15\t0.31\t0.10\tmeasured", "'20' is not a landmark number"},
        {3, "2\tOr\t1.47\t0.94\t-0.40\tmeasured", "landmark 2 given again (first on line"},
    };
    for (const Case& c : cases) {
        int line = 0;
        const std::string text = WithRow(c.k, c.row, &line);
        const auto m = ParseErrorModel(text);
        ASSERT_FALSE(m) << c.row;
        const std::string& why = m.why().detail;
        // A missing row is told where the table ends.
        const int expected =
            c.row.empty() ? static_cast<int>(std::count(text.begin(), text.end(), '\n')) : line;
        EXPECT_EQ(why.rfind("line " + std::to_string(expected) + ": " + c.told, 0), 0u) << why;
    }
}

TEST(ErrorModel, ATableThatCannotBeReadIsToldWithTheReason) {
    testing::TempDir dir;
    // The system's reason, not a line of a table.
    for (const auto& path : {dir.path() / "missing.tsv", dir.path()}) {
        const auto loaded = LoadErrorModel(path.string());
        ASSERT_FALSE(loaded);
        const std::string& why = loaded.why().detail;
        EXPECT_FALSE(why.empty() || why.starts_with("line")) << why;
    }
    const auto file = dir.Write("ours.tsv", std::string(DefaultErrorModelText()));
    const auto loaded = LoadErrorModel(file.string());
    EXPECT_TRUE(loaded) << loaded.why().detail;
}

}  // namespace
}  // namespace ceph::uncertainty
