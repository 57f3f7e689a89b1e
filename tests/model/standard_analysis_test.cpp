// The 37 measurements: the worked tracing to the last printed digit, the sign rules,
// rows without a value, and the norm groups.
#include <gtest/gtest.h>

#include <algorithm>

#include "model/measurement.h"
#include "support/worked_tracing.h"

namespace ceph::model {
namespace {

using testing::kWorkedPoints;
constexpr const auto& kWorked = kWorkedPoints;

const char* const kWorkedTexts[kRows] = {
    "92.2", "87.6",  "4.6",  "6.0",  "4.2",   "2.7",   "2.4", "27.0", "37.5", "62.5",
    "75.2", "90.6",  "45.3", "76.5", "116.6", "129.2", "5.3", "65.8", "87.2", "6.0",
    "28.9", "24.9",  "43.7", "28.8", "2.0",   "136.2", "4.2", "3.1",  "-2.9", "-4.0",
    "78.9", "108.6", "66.4", "37.4", "96.4",  "46.2",  "72.6"};

struct Tracing {
    PointTable X{}, Y{};
    Tracing() {
        for (int i = 0; i < 19; ++i)
            X[i + 1] = kWorked[i][0], Y[i + 1] = kWorked[i][1];
    }
    Tracing& Set(int i, float x, float y) {
        X[i] = x, Y[i] = y;
        return *this;
    }
    AnalysisTexts Texts() const { return ToTexts(ComputeValues(X, Y), 0); }
};

TEST(Catalogue, WorkedTracingGivesEveryText) {
    Tracing t;
    AnalysisValues v = ComputeValues(t.X, t.Y);
    EXPECT_EQ(v.x29, 41.0f);
    EXPECT_EQ(v.y29, 73.0f);
    EXPECT_EQ(v.x30, 72.5f);
    EXPECT_EQ(v.y30, 73.0f);
    AnalysisTexts texts = ToTexts(v, 0);
    for (int row = 0; row < kRows; ++row)
        EXPECT_EQ(texts.values[row], kWorkedTexts[row]) << "row " << row;
    EXPECT_NEAR(v.rows[8] + v.rows[9], 100.0, 1e-4);
    EXPECT_NEAR(v.rows[36], 100 * v.rows[30] / v.rows[31], 1e-9);
    EXPECT_NEAR(v.rows[33] + v.rows[34] + v.rows[35], 180.0, 0.001);
}

TEST(Catalogue, OpenBiteIsNegative) {
    Tracing t;
    t.Set(6, 74, 72.5f).Set(7, 71, 73.5f);  // the incisor point stays at (72.5, 73)
    EXPECT_EQ(t.Texts().values[24], "-1.0");
}

TEST(Catalogue, APointBehindTheFacialLineGivesNegativeConvexity) {
    Tracing t;
    // The line N (70, 0) to Pog (68, 112) passes x = 69.07 at y = 52.
    t.Set(4, 67.07f, 52);
    EXPECT_EQ(t.Texts().values[3].front(), '-');
}

TEST(Catalogue, MirroringChangesOnlyTheSidedRows) {
    Tracing t, m;
    for (int i = 1; i <= 19; ++i)
        m.Set(i, -t.X[i], t.Y[i]);
    AnalysisTexts a = t.Texts(), b = m.Texts();
    for (int row = 0; row < kRows; ++row) {
        SCOPED_TRACE(row);
        if (row == 3 || row == 16 || row == 24) {
            ASSERT_FALSE(a.values[row].empty());
            EXPECT_EQ(b.values[row],
                      a.values[row].front() == '-' ? a.values[row].substr(1) : "-" + a.values[row]);
        } else {
            EXPECT_EQ(b.values[row], a.values[row]);
        }
    }
}

// Rows that lose their value in a degenerate tracing; every other row keeps the value
// of the worked tracing when the change does not touch it.
struct Moved {
    int landmark;
    float x, y;
};
struct Degenerate {
    const char* what;
    std::vector<Moved> moves;
    std::vector<int> emptyRows;
};

class DegenerateTracing : public ::testing::TestWithParam<Degenerate> {};

TEST_P(DegenerateTracing, LeavesOnlyTheUndefinedRowsEmpty) {
    const Degenerate& d = GetParam();
    Tracing t;
    for (const Moved& m : d.moves)
        t.Set(m.landmark, m.x, m.y);
    AnalysisTexts texts = t.Texts();
    for (int row = 0; row < kRows; ++row) {
        SCOPED_TRACE(row);
        bool shouldBeEmpty =
            std::find(d.emptyRows.begin(), d.emptyRows.end(), row) != d.emptyRows.end();
        EXPECT_EQ(texts.values[row].empty(), shouldBeEmpty) << texts.values[row];
        for (const std::string& v : texts.values) {
            EXPECT_EQ(v.find("nan"), std::string::npos);
            EXPECT_EQ(v.find("inf"), std::string::npos);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, DegenerateTracing,
                         ::testing::Values(
                             // A exactly on the line N-Pog (N->A and A->Pog both along (-6, 8)): no
                             // angle of convexity.
                             Degenerate{"A on N-Pog", {{4, 64, 8}, {10, -14, 112}}, {3}},
                             // Me level with N: no face height, so no upper or lower face share.
                             Degenerate{"Me level with N", {{12, 60, 0}}, {8, 9}},
                             // Po straight below Or: Frankfort horizontal has no slope.
                             Degenerate{"vertical Po-Or", {{15, 62, 40}}, {4, 5, 26, 27, 28, 29}},
                             // Gn on Ar: no Ar-Gn, no ratio, no angles at Ar or Gn; the mandibular
                             // plane Go-Gn and the rows built on it still stand.
                             Degenerate{"Gn on Ar", {{11, -5, 35}}, {33, 34, 35, 36}},
                             // N on S: nothing measured from S-N.
                             Degenerate{"N on S", {{1, 0, 0}}, {0, 1, 2, 6, 7, 14, 15}}),
                         [](const auto& info) {
                             std::string name = info.param.what;
                             std::replace_if(
                                 name.begin(), name.end(), [](char c) { return !std::isalnum(c); },
                                 '_');
                             return name;
                         });

TEST(Norms, GroupFollowsTheOrderedTests) {
    struct Case {
        const char* sex;
        const char* age;
        int group;
    };
    const Case cases[] = {
        {"M", "8Y 11M", 11},  {"F", "8Y 11M", 10}, {"F", "9Y 0M", 20},   {"M", "9Y 0M", 21},
        {"F", "11Y 6M", 20},  {"F", "12Y 0M", 30}, {"F", "14Y 11M", 30}, {"F", "15Y 0M", 40},
        {"M", "45Y 3M", 41},  {"F", "0Y 7M", 0},   {"F", "", 0},         {"F", "8.5", 20},
        {"F", "-3", 10},      {"m", "20Y 0M", 41}, {"M ", "20Y 0M", 41}, {"", "1Y 0M", 10},
        {" M", "20Y 0M", 41}, {"f", "20Y 0M", 40}, {" ", "20Y 0M", 40},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NormGroup(c.sex, c.age), c.group) << c.sex << "/" << c.age;
}

// The texts the report has always printed beside the A-Ar-Gn rows, by group 10, 11, 20,
// 21, 30, 31, 40, 41: made from the numbers by one formatter, they must stay byte for byte.
constexpr const char* kPrintedNorms[kNormRows][8] = {
    {"(77.3±3.2)", "(79.2±3.1)", "(81.1±3.6)", "(82.6±3.4)", "(85.4±4.2)", "(88.0±4.6)",
     "(87.0±4.4)", "(93.1±4.5)"},
    {" (93.9±3.8)", " (95.7±4.4)", "(100.4±4.6)", "(101.6±3.9)", "(108.2±5.5)", "(109.9±6.3)",
     "(111.9±5.3)", "(119.0±5.8)"},
    {"(52.8±3.3)", "(53.2±3.2)", "(55.1±3.5)", "(55.6±3.7)", "(58.3±4.0)", "(60.2±4.0)",
     "(58.7±4.0)", "(63.9±5.1)"},
    {"(34.1±2.0)", "(33.8±2.3)", "(33.2±2.1)", "(33.1±2.3)", "(32.4±2.3)", "(33.1±2.4)",
     "(31.2±2.0)", "(32.2±2.6)"},
    {"(90.5±3.2)", "(90.4±3.6)", "(93.0±3.8)", "(92.6±3.8)", "(95.9±4.1)", "(93.8±4.3)",
     "(98.5±4.6)", "(96.9±4.1)"},
    {"(55.3±2.9)", "(55.9±2.6)", "(53.8±3.1)", "(54.2±3.0)", "(51.7±3.3)", "(53.1±3.3)",
     "(50.3±4.2)", "(51.0±3.3)"},
    {"(82.3±2.9)", "(82.8±2.4)", "(80.9±2.9)", "(81.3±2.9)", "(79.0±3.1)", "(80.2±3.2)",
     "(77.8±3.9)", "(78.3±3.0)"},
};
constexpr int kGroupsInOrder[8] = {10, 11, 20, 21, 30, 31, 40, 41};

TEST(Norms, EveryGroupPrintsItsNormsAsBefore) {
    for (int g = 0; g < 8; ++g)
        for (int k = 0; k < kNormRows; ++k)
            EXPECT_STREQ(NormTexts(kGroupsInOrder[g])[k], kPrintedNorms[k][g])
                << "group " << kGroupsInOrder[g] << ", norm " << k;
    // No norm without an age, nor for a group NormGroup never gives.
    for (int group : {0, 12, 15, 50, -10})
        for (const char* text : NormTexts(group))
            EXPECT_STREQ(text, "") << group;
    // The norms stand beside the last block's rows, in their order.
    for (int k = 0; k < kNormRows; ++k)
        EXPECT_EQ(NormIndex(StandardAnalysis(), 30 + k), k);
    EXPECT_EQ(NormIndex(StandardAnalysis(), 29), -1);
}

}  // namespace
}  // namespace ceph::model
