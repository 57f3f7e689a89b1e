// The classic analyses: every measurement against a hand computation on two tracings,
// the norms a patient gets, flags at their edges, and a practice's own table with its
// faults.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "base/text_codec.h"
#include "model/analyses.h"
#include "model/norms.h"
#include "model/numbers.h"
#include "store/practice_analyses.h"
#include "support/temp_dir.h"
#include "support/worked_tracing.h"

namespace ceph::model {
namespace {

struct Points19 {
    PointTable X{}, Y{};
    explicit Points19(const float (&p)[19][2]) {
        for (int i = 0; i < 19; ++i)
            X[i + 1] = p[i][0], Y[i + 1] = p[i][1];
    }
};

constexpr float kOther[19][2] = {{70, -5},  {55, 15},  {68, 40}, {65, 45}, {60, 52},
                                 {68, 72},  {66, 70},  {55, 90}, {60, 88}, {62, 100},
                                 {58, 106}, {52, 108}, {0, 85},  {-8, 40}, {-12, 20},
                                 {0, 0},    {15, 42},  {35, 68}, {35, 72}};

std::map<std::string, std::string> Shown(const char* analysis, const Points19& t,
                                         NormChoice choice = {}) {
    const NamedAnalysis* a = FindAnalysis(BuiltInAnalyses(), analysis);
    EXPECT_NE(a, nullptr) << analysis;
    std::map<std::string, std::string> out;
    if (!a) return out;
    for (const ResultRow& r : Evaluate(*a, t.X, t.Y, choice).rows)
        out[r.name] = ShownNumber(r.value, r.decimals);
    return out;
}

// Expected texts worked out by hand (vectors, dot and cross products) for the worked
// tracing and for a second one.
TEST(ClassicAnalyses, EveryMeasurementMatchesAHandComputation) {
    const std::map<std::string, std::pair<const char*, const char*>> expected[] = {
        {{"SNA", {"92.2", "80.2"}},
         {"SNB", {"87.6", "79.8"}},
         {"ANB", {"4.6", "0.4"}},
         {"SN-GoGn", {"27.0", "24.0"}},
         {"U1-NA", {"24.4", "27.5"}},
         {"U1-NA mm", {"1.2", "5.7"}},
         {"L1-NB", {"21.8", "22.7"}},
         {"L1-NB mm", {"4.0", "4.0"}},
         {"Pog-NB", {"2.7", "3.3"}},
         {"U1-L1", {"129.2", "129.4"}},
         {"OP-SN", {"0.0", "5.9"}}},
        {{"Facial angle", {"91.4", "81.4"}},
         {"Convexity", {"6.0", "-2.6"}},
         {"A-B plane", {"-6.9", "-2.3"}},
         {"FH-MP", {"28.6", "28.1"}},
         {"Y-axis", {"58.8", "65.6"}},
         {"OP-FH", {"-2.4", "6.1"}},
         {"U1-L1", {"129.2", "129.4"}},
         {"L1-OP", {"24.2", "27.0"}},
         {"L1-MP", {"-6.7", "5.0"}},
         {"U1-APog", {"3.5", "4.5"}}},
        {{"FMA", {"28.6", "28.1"}}, {"IMPA", {"83.3", "95.0"}}, {"FMIA", {"68.2", "56.9"}}},
        {{"N-S-Ar", {"98.1", "105.4"}},
         {"S-Ar-Go", {"156.6", "158.6"}},
         {"Ar-Go-Me", {"136.2", "123.9"}},
         {"Sum", {"391.0", "387.9"}},
         {"S-Go", {"90.6", "85.0"}},
         {"N-Me", {"120.4", "114.4"}},
         {"S-Go/N-Me", {"75.2", "74.3"}}},
        {{"A-Nperp", {"4.2", "-8.7"}},
         {"Pog-Nperp", {"2.7", "-15.8"}},
         {"ANS-Me", {"76.5", "69.9"}},
         {"FH-MP", {"28.6", "28.1"}},
         {"U1-Avert", {"2.9", "1.0"}},
         {"L1-APog", {"0.3", "2.4"}}},
    };
    const char* names[] = {"Steiner", "Downs", "Tweed", "Björk–Jarabak", "McNamara"};
    const Points19 worked(testing::kWorkedPoints), other(kOther);
    for (int i = 0; i < 5; ++i) {
        const auto a = Shown(names[i], worked), b = Shown(names[i], other);
        EXPECT_EQ(a.size(), expected[i].size()) << names[i];
        for (const auto& [name, texts] : expected[i]) {
            EXPECT_EQ(a.at(name), texts.first) << names[i] << " " << name;
            EXPECT_EQ(b.at(name), texts.second) << names[i] << " " << name;
        }
    }
    // The same measurement under the program's own name gives the same number.
    EXPECT_EQ(Shown("standard", worked).at("SNA"), "92.2");
    EXPECT_EQ(Shown("standard", worked).at("U1/L1"), "129.2");
}

TEST(ClassicAnalyses, EveryNormNamesItsSourceAndWhatCannotBeMeasuredIsSaid) {
    for (const NamedAnalysis& a : BuiltInAnalyses()) {
        if (a.standard) continue;
        EXPECT_FALSE(a.normSets.empty()) << a.name;
        for (const ClassicMeasurement& m : a.rows)
            for (const NormEntry& n : m.norms) {
                EXPECT_FALSE(n.source.empty()) << a.name << " " << m.name;
                EXPECT_GT(n.sd, 0) << a.name << " " << m.name;
            }
    }
    const NamedAnalysis* mcnamara = FindAnalysis(BuiltInAnalyses(), "mcnamara");
    ASSERT_NE(mcnamara, nullptr);
    bool saysCondylion = false;
    for (const std::string& note : mcnamara->notes)
        saysCondylion |= note.find("Co") != std::string::npos;
    EXPECT_TRUE(saysCondylion);
    EXPECT_NE(FindAnalysis(BuiltInAnalyses(), "bjork-jarabak"), nullptr);
    EXPECT_EQ(FindAnalysis(BuiltInAnalyses(), "Ricketts"), nullptr);
}

TEST(ClassicAnalyses, NormsFollowSexAndAge) {
    const Points19 worked(testing::kWorkedPoints);
    const NamedAnalysis& mcnamara = *FindAnalysis(BuiltInAnalyses(), "McNamara");
    auto norm = [&](const char* sex, const char* age) {
        const auto r = Evaluate(mcnamara, worked.X, worked.Y, {"", sex, age}).rows;
        return r[2].norm ? r[2].norm->mean : -1.0;  // ANS-Me
    };
    EXPECT_EQ(norm("M", "25Y 0M"), 74.6);
    EXPECT_EQ(norm("F", "18Y 0M"), 66.7);
    EXPECT_EQ(norm("F", "12Y 3M"), -1.0);  // adults' norms only
    EXPECT_EQ(norm("", "30Y 0M"), -1.0);   // sex unknown: no sex-specific norm
    // The program's own rows keep their norms by group.
    const auto standard = Evaluate(*FindAnalysis(BuiltInAnalyses(), "standard"), worked.X, worked.Y,
                                   {"", "M", "8Y 11M"});
    ASSERT_TRUE(standard.rows[30].norm);
    EXPECT_EQ(standard.rows[30].norm->mean, 79.2);
    EXPECT_EQ(standard.rows[30].norm->sd, 3.1);
    EXPECT_FALSE(standard.rows[0].norm);
    // A practice's row of the program's own takes that row's norms whatever it is called.
    auto ours = ReadAnalysisTable(
        "Ours\tMaxilla\tstandard\t30\tmm\t1\n"
        "Ours\tAr-Gn\tstandard\t30\tmm\t1\n",
        true);
    ASSERT_TRUE(ours);
    for (const ResultRow& row :
         Evaluate(ours->front(), worked.X, worked.Y, {"", "M", "8Y 11M"}).rows) {
        ASSERT_TRUE(row.norm) << row.name;
        EXPECT_EQ(row.norm->mean, 79.2) << row.name;
    }
}

// The analysis window and the full report compare the program's rows with the norms
// the report prints, chosen as the report chooses them (not male is female, an age of
// 8.5 is in the band 9-11), not as the named analyses choose theirs.
TEST(ClassicAnalyses, TheProgramsRowsTakeTheNormsTheReportPrints) {
    const Points19 worked(testing::kWorkedPoints);
    const NamedAnalysis& standard = *FindAnalysis(BuiltInAnalyses(), "standard");
    for (const char* sex : {"M", "F", ""})
        for (const char* age : {"-3", "7Y 2M", "8.5", "10Y 0M", "13Y 5M", "40Y 1M", "0Y 6M"}) {
            const auto rows = Evaluate(standard, worked.X, worked.Y, {"", sex, age}).rows;
            const auto printed = NormTexts(NormGroup(sex, age));
            for (int row = 0; row < kRows; ++row) {
                const int k = NormIndex(StandardAnalysis(), row);
                const std::string text = k < 0 ? "" : std::string(TrimBlanks(printed[k]));
                ASSERT_EQ(rows[row].norm.has_value(), !text.empty()) << sex << age << row;
                if (!rows[row].norm) continue;
                EXPECT_EQ("(" + ShownNorm(*rows[row].norm, 1) + ")", text) << sex << age;
                EXPECT_EQ(rows[row].norm->source, "本程式 A-Ar-Gn 常模（依性別與年齡組）");
            }
        }
    EXPECT_EQ(Evaluate(standard, worked.X, worked.Y, {"", "", "8.5"}).rows[30].norm->mean, 81.1);
}

TEST(ClassicAnalyses, FlagsBeginPastOneAndTwoStandardDeviations) {
    EXPECT_EQ(FlagOf(84.0, 1, 82, 2), Flag::None);
    EXPECT_EQ(FlagOf(84.1, 1, 82, 2), Flag::High);
    EXPECT_EQ(FlagOf(86.0, 1, 82, 2), Flag::High);
    EXPECT_EQ(FlagOf(86.1, 1, 82, 2), Flag::VeryHigh);
    EXPECT_EQ(FlagOf(80.0, 1, 82, 2), Flag::None);
    EXPECT_EQ(FlagOf(77.9, 1, 82, 2), Flag::VeryLow);
    // 91.4 - 87.8 is a hair over 3.6 in binary: shown exactly one SD away, not flagged.
    EXPECT_EQ(FlagOf(91.4, 1, 87.8, 3.6), Flag::None);
    EXPECT_EQ(FlagOf(91.36, 1, 87.8, 3.6), Flag::None);  // shown as 91.4
    EXPECT_EQ(FlagOf(kNoValue, 1, 87.8, 3.6), Flag::None);
    EXPECT_EQ(FlagText(Flag::VeryLow), "↓↓");
    EXPECT_DOUBLE_EQ(ShownDifference(91.36, 87.84, 1), -3.6);  // 87.8 - 91.4 as shown
}

TEST(PracticeAnalyses, EveryKindReadsAndComputes) {
    const char* table =
        "# our own\n"
        "Ours\tSNA\tvertex\tS, N, A\t°\t1\t診所\t\t\t82\t3\tour charts\n"
        "Ours\tSN-MP\tangle\ts,n,go,gn,0\tdeg\t2\n"
        "Ours\tOcc\tturn\tPo,Or,MolarPoint,Incisor Point\t°\t1\n"
        "Ours\tN-Me\tdistance\tN, Me\tmm\t1\n"
        "Ours\tU1-NA\tsigned\tU1 Edge, N, A\tmm\t1\r\n"
        "Ours\tA-Np\tprojected\tN, A, Po, Or\tmm\t1\n"
        "Ours\tS-Go\tdistance\tS, Go\tmm\t1\n"
        "Ours\tS-Go/N-Me\tratio\tS-Go, N-Me\t%\t1\n"
        "Ours\t180-SNA\tsum\t180, -SNA\t°\t1\n"
        "Ours\tWITS\tstandard\t19\tmm\t1\n"
        "Ours\tSNA\t\t\t\t\t診所\tM\t15-\t83\t3\tour charts\n"
        "Ours\t只給數值\tnote\n";
    auto read = ReadAnalysisTable(table, true);
    ASSERT_TRUE(read) << read.why().line << " " << read.why().reason;
    ASSERT_EQ(read->size(), 1u);
    const NamedAnalysis& ours = read->front();
    EXPECT_TRUE(ours.practice);
    EXPECT_EQ(ours.notes.size(), 1u);
    const Points19 worked(testing::kWorkedPoints);
    const auto rows = Evaluate(ours, worked.X, worked.Y, {"", "M", "16Y 0M"}).rows;
    const char* texts[] = {"92.2", "26.98", "-2.4", "120.4", "1.2",
                           "4.2",  "90.6",  "75.2", "87.8",  "6.0"};
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(ShownNumber(rows[i].value, rows[i].decimals), texts[i]) << i;
    EXPECT_EQ(rows[0].norm->mean, 83);  // the male adult norm over the general one
    EXPECT_EQ(rows[0].flag, Flag::VeryHigh);
}

// A practice's table names the program's rows by number: read into the row's key once,
// so the row keeps its value and its norms whatever the practice calls it.
TEST(PracticeAnalyses, TheProgramsRowsNamedByNumberKeepTheirValuesAndNorms) {
    testing::TempDir dir;
    std::string table;
    for (int row = 0; row < kRows; ++row)
        table +=
            "Ours\tRow " + std::to_string(row) + "\tstandard\t" + std::to_string(row) + "\t\t1\n";
    std::ofstream(dir.path() / "analyses.tsv") << table;
    const store::LoadedAnalyses loaded = store::LoadAnalyses(dir.str() + "/");
    ASSERT_EQ(loaded.problem, "");
    const NamedAnalysis* ours = FindAnalysis(loaded.analyses, "Ours");
    ASSERT_NE(ours, nullptr);
    const Points19 worked(testing::kWorkedPoints);
    const RowValues own = ComputeValues(worked.X, worked.Y).rows;
    const auto rows = Evaluate(*ours, worked.X, worked.Y, {"", "F", "13Y 0M"}).rows;
    ASSERT_EQ(rows.size(), std::size_t(kRows));
    for (int row = 0; row < kRows; ++row) {
        EXPECT_EQ(ours->rows[row].key, Row(row).key);
        EXPECT_EQ(rows[row].value, own[row]) << row;
        EXPECT_EQ(rows[row].norm.has_value(), NormIndex(StandardAnalysis(), row) >= 0) << row;
    }
    for (const char* number : {"37", "-1", "x", "1, 2", "", "30.0"}) {
        auto read = ReadAnalysisTable(
            std::string("X\tA\tdistance\tS, N\tmm\t1\nX\tB\tstandard\t") + number + "\t\t1\n",
            true);
        ASSERT_FALSE(read) << number;
        EXPECT_EQ(read.why().line, 2) << number;
        EXPECT_EQ(read.why().reason, "standard 須給 0 到 36 的列號") << number;
    }
}

TEST(PracticeAnalyses, AFaultNamesItsLineAndWhy) {
    const std::pair<const char*, const char*> faults[] = {
        {"X\tCo-A\tdistance\tCo, A\tmm\t1\n", "Co"},
        {"X\tA\tangle\tS, N, A\t°\t1\n", "4"},
        {"X\tA\tslope\tS, N\t°\t1\n", "slope"},
        {"X\tA\tdistance\tS, N\tmm\t1\t\t\t\t80\t0\n", "標準差"},
        {"X\tA\tdistance\tS, N\tmm\t1\t\t\t\t80\t2\t\textra\n", "欄"},
        {"X\tA\tratio\tS-N, B\t%\t1\n", "「B」"},
        {"X\tA\tdistance\tS, N\tinch\t1\n", "inch"},
        {"X\tA\tdistance\tS, N\tmm\t1\t\tW\t\t1\t1\n", "性別"},
        {"X\tA\tdistance\tS, N\tmm\t1\t\t\t11-9\t1\t1\n", "年齡"},
    };
    for (const auto& [line, word] : faults) {
        const std::string text = std::string("# ok\nX\tS-N\tdistance\tS, N\tmm\t1\n") + line;
        auto read = ReadAnalysisTable(text, true);
        ASSERT_FALSE(read) << line;
        EXPECT_EQ(read.why().line, 3) << line;
        EXPECT_NE(read.why().reason.find(word), std::string::npos) << read.why().reason;
    }
    auto redefined =
        ReadAnalysisTable("X\tA\tdistance\tS, N\tmm\t1\nX\tA\tdistance\tS, A\tmm\t1\n", true);
    ASSERT_FALSE(redefined);
    EXPECT_NE(redefined.why().reason.find("第 1 行"), std::string::npos);
    // So is a sum of other measurements than the first time.
    auto resummed = ReadAnalysisTable(
        "X\tA\tdistance\tS, N\tmm\t1\nX\tC\tdistance\tS, A\tmm\t1\n"
        "X\tD\tsum\tA, C\tmm\t1\nX\tD\tsum\tA, -C\tmm\t1\n",
        true);
    ASSERT_FALSE(resummed);
    EXPECT_NE(resummed.why().reason.find("第 3 行"), std::string::npos);
    // Thousands of norms are no practice's chart, and each new one is compared with those
    // before it: refused at the first too many, not read for minutes.
    std::string sets = "X\tA\tdistance\tS, N\tmm\t1\n", bands = sets;
    for (int i = 0; i < 1000; ++i) {
        sets += "X\tA\t\t\t\t\ts" + std::to_string(i) + "\t\t\t1\t1\n";
        bands += "X\tA\t\t\t\t\t\t\t" + std::to_string(i) + "-" + std::to_string(i) + "\t1\t1\n";
    }
    for (const auto& [table, line] : {std::pair{sets, 52}, std::pair{bands, 202}}) {
        auto tooMany = ReadAnalysisTable(table, true);
        ASSERT_FALSE(tooMany);
        EXPECT_EQ(tooMany.why().line, line) << tooMany.why().reason;
    }
}

// A ten-year-old in two bands would get whichever line comes first, and the flag with it.
TEST(PracticeAnalyses, NormsLeftToTheOrderOfTheLinesAreRefused) {
    const std::string head = "X\tA\tdistance\tS, N\tmm\t1\n";
    int mean = 70;  // each norm its own, so that which one is taken shows
    const auto norm = [&mean](const char* sex, const char* age, const char* set = "") {
        return std::string("X\tA\t\t\t\t\t") + set + "\t" + sex + "\t" + age + "\t" +
               std::to_string(mean++) + "\t3\n";
    };
    const std::pair<std::string, const char*> clashes[] = {
        {norm("F", "9-11") + norm("F", "10-12"), "10-11 歲"},
        {norm("", "9-11") + norm("", "11-13"), "11 歲"},  // both ends are whole years in
        {norm("M", "-8") + norm("M", "8-"), "8 歲"},
        {norm("F", "12-") + norm("F", "15-"), "15 歲以上"},
        {norm("", "") + norm("", ""), "已在第 2 行寫過"},
    };
    for (const auto& [norms, shared] : clashes) {
        auto read = ReadAnalysisTable(head + norms, true);
        ASSERT_FALSE(read) << norms;
        EXPECT_EQ(read.why().line, 3) << norms;
        EXPECT_NE(read.why().reason.find("第 2 行"), std::string::npos) << read.why().reason;
        EXPECT_NE(read.why().reason.find(shared), std::string::npos) << read.why().reason;
    }
    // Another set, another sex, a band beside the norm for any age, or one sex beside both
    // sexes: the most specific is taken, whatever the order.
    const std::string apart[] = {
        norm("F", "9-11") + norm("F", "12-14"), norm("F", "9-11") + norm("F", "10-12", "B"),
        norm("F", "9-11") + norm("M", "10-12"), norm("", "") + norm("", "10-12"),
        norm("", "9-11") + norm("F", "10-12")};
    const Points19 worked(testing::kWorkedPoints);
    for (const std::string& norms : apart) {
        const std::size_t second = norms.find('\n') + 1;
        std::vector<double> means;
        for (const std::string& order : {norms, norms.substr(second) + norms.substr(0, second)}) {
            auto read = ReadAnalysisTable(head + order, true);
            ASSERT_TRUE(read) << order << read.why().reason;
            const auto row =
                Evaluate(read->front(), worked.X, worked.Y, {"常模", "F", "10Y 6M"}).rows;
            means.push_back(row[0].norm ? row[0].norm->mean : -1);
        }
        EXPECT_EQ(means[0], means[1]) << norms;
    }
}

// The command line and the window find analyses and norm sets by SameName; two names it
// takes for one would leave the choice to the order of the lines.
TEST(PracticeAnalyses, NamesTakenForOneAnotherAreRefused) {
    EXPECT_TRUE(SameName("Björk–Jarabak", "bjork-jarabak"));
    EXPECT_TRUE(SameName("台灣 成人", "台灣成人"));
    EXPECT_TRUE(SameName("ＴＡＩＷＡＮ（成人）", "taiwan 成人"));
    EXPECT_FALSE(SameName("台灣成人", "台灣兒童"));
    EXPECT_FALSE(SameName("Ours 台灣", "Ours 日本"));
    const std::string a = "X\tA\tdistance\tS, N\tmm\t1\n";
    const std::pair<std::string, const char*> same[] = {
        {"Ours\tA\tdistance\tS, N\tmm\t1\n" + a + "OURS\tA\tdistance\tS, N\tmm\t1\n",
         "第 1 行的「Ours」"},
        {a + "X\tA\t\t\t\t\t台灣 成人\t\t\t70\t3\nX\tA\t\t\t\t\t台灣成人\tF\t\t70\t3\n",
         "第 2 行的「台灣 成人」"},
    };
    for (const auto& [table, first] : same) {
        auto read = ReadAnalysisTable(table, true);
        ASSERT_FALSE(read) << table;
        EXPECT_EQ(read.why().line, 3);
        EXPECT_NE(read.why().reason.find(first), std::string::npos) << read.why().reason;
    }
    EXPECT_FALSE(
        ReadAnalysisTable("Steiner\tSNA\t\t\t\t\t原 著\t\t\t81\t3\n", true, BuiltInAnalyses()));
    auto two = ReadAnalysisTable(
        "Ours 台灣\tA\tdistance\tS, N\tmm\t1\n"
        "Ours 日本\tA\tdistance\tS, N\tmm\t1\n",
        true);
    ASSERT_TRUE(two) << two.why().reason;
    EXPECT_EQ(two->size(), 2u);
    // A name that fits several sets chooses none of them: the first set is used.
    NamedAnalysis sets;
    sets.normSets = {"Taiwan", "台灣", "TAIWAN"};
    EXPECT_EQ(NormSetsNamed(sets, "taiwan").size(), 2u);
    EXPECT_EQ(NormSetsNamed(sets, "TAIWAN"), std::vector<std::string>{"TAIWAN"});
    EXPECT_EQ(NormSetOf(sets, "taiwan"), "Taiwan");
}

TEST(PracticeAnalyses, APracticeAddsItsPopulationsNormsToABuiltInAnalysis) {
    const std::string add =
        "Steiner\tSNA\t\t\t\t\t台灣成人\t\t18-\t81.5\t3.5\tTAO\n"
        "標準分析\tAr-A\t\t\t\t\t台灣成人\t\t\t85\t4\tTAO\n";
    auto read = ReadAnalysisTable(add, true, BuiltInAnalyses());
    ASSERT_TRUE(read) << read.why().reason;
    const NamedAnalysis* steiner = FindAnalysis(*read, "Steiner");
    ASSERT_NE(steiner, nullptr);
    EXPECT_EQ(steiner->normSets, (std::vector<std::string>{"原著", "台灣成人"}));
    const Points19 worked(testing::kWorkedPoints);
    auto sna = [&](const NamedAnalysis& a, const char* set) {
        return Evaluate(a, worked.X, worked.Y, {set, "F", "30Y 0M"}).rows[0].norm->mean;
    };
    EXPECT_EQ(sna(*steiner, "台灣成人"), 81.5);
    EXPECT_EQ(sna(*steiner, "原著"), 82);
    const NamedAnalysis& standard = *FindAnalysis(*read, "standard");
    auto arA = [&](const char* set) {
        return Evaluate(standard, worked.X, worked.Y, {set, "F", "30Y 0M"}).rows[30].norm->mean;
    };
    EXPECT_EQ(arA("台灣成人"), 85);
    EXPECT_EQ(arA("原著"), 87.0);  // the program's own group norm stays
    for (const char* fault :
         {"Steiner\tSNA\tvertex\tS, N, B\t°\t1\tX\t\t\t1\t1\n",
          "Steiner\tSNA\t\t\t\t\t原著\t\t\t81\t3\n", "Steiner\tCo-A\t\t\t\t\tX\t\t\t81\t3\n"})
        EXPECT_FALSE(ReadAnalysisTable(fault, true, BuiltInAnalyses())) << fault;
}

TEST(PracticeAnalyses, AFaultyFileIsNamedAndTheBuiltInOnesStay) {
    testing::TempDir dir;
    const std::string data = dir.str() + "/";
    EXPECT_EQ(store::LoadAnalyses(data).problem, "");  // no file: nothing to say
    std::ofstream(dir.path() / "analyses.tsv") << "Ours\tSNA\tvertex\tS, N, A\t°\t1\n"
                                                  "Ours\tCo-Gn\tdistance\tCo, Gn\tmm\t1\n";
    auto loaded = store::LoadAnalyses(data);
    EXPECT_NE(loaded.problem.find("analyses.tsv 第 2 行"), std::string::npos) << loaded.problem;
    EXPECT_NE(FindAnalysis(loaded.analyses, "Steiner"), nullptr);
    EXPECT_EQ(FindAnalysis(loaded.analyses, "Ours"), nullptr);
    std::ofstream(dir.path() / "analyses.tsv") << "steiner\tSNA\tvertex\tS, N, A\t°\t1\n";
    EXPECT_NE(store::LoadAnalyses(data).problem.find("不能重新定義"), std::string::npos);
    // UTF-8 but for one line from a Big5 program: read as Big5, the UTF-8 ° is garbled,
    // and the message says why before what.
    const std::string unit = "Ours\tSNA\tvertex\tS, N, A\t°\t1\n";
    const std::string big5 = "Ours\tSNA\t\t\t\t\t" + base::Utf8ToBig5("診所") + "\t\t\t82\t3\n";
    std::ofstream(dir.path() / "analyses.tsv") << "# ok\n" << unit << big5;
    const std::string mixed = store::LoadAnalyses(data).problem;
    EXPECT_EQ(mixed.find("analyses.tsv 第 3 行不是 UTF-8"), mixed.find("analyses.tsv ")) << mixed;
    EXPECT_NE(mixed.find("Big5"), std::string::npos) << mixed;
    // Big5 through and through, the fault is told as it is.
    std::ofstream(dir.path() / "analyses.tsv")
        << base::Utf8ToBig5("Ours\tSNA\tvertex\tS, N, A\tinch\t1\n") << big5;
    EXPECT_NE(store::LoadAnalyses(data).problem.find("analyses.tsv 第 1 行：不認得的單位「inch」"),
              std::string::npos);
    std::filesystem::remove(dir.path() / "analyses.tsv");
    std::filesystem::create_directory(dir.path() / "analyses.tsv");
    EXPECT_NE(store::LoadAnalyses(data).problem.find("無法讀取"), std::string::npos);
}

}  // namespace
}  // namespace ceph::model
