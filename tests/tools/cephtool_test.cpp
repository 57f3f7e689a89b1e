// cephtool's command lines: one strict reading for every command, and `analyse` over
// every file it is given.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "base/filesys.h"
#include "run_cephtool.h"
#include "support/patient_folder.h"
#include "support/worked_tracing.h"
#include "tools/analyse.h"

namespace ceph::tools {
namespace {

using testing::RunCephtool;
using testing::ToolRun;

const std::string kLine = "A1," + testing::kWorkedFields + ",0,8Y 11M";

// The same record line under another code.
std::string Coded(const std::string& code) {
    return code + kLine.substr(kLine.find(','));
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

TEST(Cephtool, EveryFaultyCommandLineIsToldInOneLineWithTheUsage) {
    const std::string figure = "figure --data D --handoff H --tracing 1 --out f.svg ";
    const std::string report = "report --data D --handoff H --out r.pdf ";
    struct Case {
        std::string args;
        std::string told;  // what the first line of the message must hold
    };
    const Case cases[] = {
        // Numbers are whole decimal numbers within the option's range.
        {"import --data D --tracing 1abc", "--tracing 1abc: not a whole number"},
        {"import --data D --tracing 4294967297", "--tracing 4294967297: not between 1 and 9"},
        {"import --data D --tracing 0", "--tracing 0: not between 1 and 9"},
        {"import --data D --tracing ''", "--tracing: no value given"},
        {figure + "--select 9", "--select 9: not between 0 and 8"},
        {figure + "--turn 1.5", "--turn 1.5: not a whole number"},
        {figure + "--shift-x 99999999999", "--shift-x 99999999999: not between"},
        {"analyse --sex X", "--sex X: not one of M|F"},
        // An option given twice is a mistake, not the last one winning.
        {"import --data A --data B --tracing 1", "--data: given more than once"},
        {"figure --data D --handoff H --tracing 1 --out a.svg --out b.svg",
         "--out: given more than once"},
        {"analyse --sex M --sex F", "--sex: given more than once"},
        {"analyse --header --uncertainty --header", "--header: given more than once"},
        {figure + "--tracing 2", "--tracing: given more than once"},
        // Unknown options, missing values and required options, stray arguments.
        {"analyse --bogus", "unknown option --bogus"},
        {"analyse -x", "unknown option -x"},
        {"analyse --sex", "--sex: no value given"},
        {"import --data --tracing 1", "--data: no value given"},
        {"import --tracing 1", "missing --data"},
        {"figure --data D --handoff H --out f.svg", "missing --tracing"},
        {"import --data D --tracing 1 a.csv b.csv", "unexpected argument b.csv"},
        {figure + "extra", "unexpected argument extra"},
        {"analyse a - b -", "- (standard input) named more than once"},
        {"figure --data D --handoff H --tracing 1 --out f.txt", "--out f.txt: not a .svg"},
#ifdef CEPHTOOL_WITH_REPORT
        {figure + "--picture p.png", "--picture: the radiograph is drawn into a .png only"},
        {report + "--tracing 1abc", "--tracing 1abc: not a whole number"},
        {report + "--tracing 4294967297", "--tracing 4294967297: not between 1 and 9"},
        {report + "--tracing 1 --line 4294967301", "--line 4294967301: not between 0 and 5"},
        {report + "--tracing 1 --line 6", "--line 6: not between 0 and 5"},
        {report + "--tracing 1 --out s.pdf", "--out: given more than once"},
        {"report --data D --handoff H --tracing 1 --out r.doc", "--out r.doc: not a .pdf"},
#endif
        // The program as a whole.
        {"", "no command given"},
        {"analyze", "unknown command analyze"},
        {"--version now", "unexpected argument now"},
    };
    testing::TempDir scratch;
    for (const Case& c : cases) {
        std::vector<std::string> args = Words(c.args);
        // Words drops the empty value written as ''.
        if (c.args.find("''") != std::string::npos)
            std::replace(args.begin(), args.end(), std::string("''"), std::string());
        const ToolRun run = RunCephtool(scratch, args);
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_EQ(run.out, "") << c.args;
        EXPECT_NE(FirstLine(run.err).find(c.told), std::string::npos) << c.args << "\n" << run.err;
        EXPECT_EQ(run.err.find("usage: cephtool"), FirstLine(run.err).size() + 1)
            << "the usage follows the one line: " << c.args << "\n"
            << run.err;
    }
}

#ifdef CEPHTOOL_WITH_REPORT
// The radiograph under the figure is read as the window reads it; one that cannot be is
// named, and no figure is written.
TEST(Cephtool, FigureOverTheRadiograph) {
    testing::TempDir scratch;
    const std::string demo = CEPH_DEMO_DIR;
    const std::vector<std::string> figure = {
        "figure", "--data", demo, "--handoff", demo + "/OutExe.tmp", "--tracing", "1"};
    auto run = [&](const std::string& picture, const std::string& out) {
        std::vector<std::string> args = figure;
        if (!picture.empty()) args.insert(args.end(), {"--picture", picture});
        args.insert(args.end(), {"--out", (scratch.path() / out).string()});
        return RunCephtool(scratch, args);
    };
    ASSERT_EQ(run("", "plain.png").status, 0);
    ASSERT_EQ(run(demo + "/pictures/10234_3.jpg", "over.png").status, 0);
    EXPECT_NE(testing::Slurp(scratch.path() / "plain.png"),
              testing::Slurp(scratch.path() / "over.png"));

    const std::string missing = (scratch.path() / "none.dcm").string();
    const ToolRun refused = run(missing, "none.png");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("cannot read " + missing), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(scratch.path() / "none.png"));
}
#endif

TEST(Cephtool, HelpAndVersionGoToStandardOutput) {
    testing::TempDir scratch;
    std::vector<std::string> commands = {"analyse", "export", "figure", "import"};
#ifdef CEPHTOOL_WITH_REPORT
    commands.push_back("report");
#endif
    for (const std::string& command : commands) {
        // Help wins over anything else on the line.
        for (const std::string help : {"--help", "-h"}) {
            for (const std::vector<std::string>& args :
                 {std::vector<std::string>{command, help},
                  std::vector<std::string>{command, "--bogus", help, "--tracing", "1x"}}) {
                const ToolRun run = RunCephtool(scratch, args);
                EXPECT_EQ(run.status, 0) << command << " " << help;
                EXPECT_EQ(run.out.rfind("usage: cephtool " + command + " ", 0), 0u) << run.out;
                EXPECT_EQ(run.err, "");
            }
        }
    }
    for (const std::string help : {"--help", "-h"}) {
        const ToolRun run = RunCephtool(scratch, {help});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        for (const std::string& command : commands)
            EXPECT_NE(run.out.find("cephtool " + command + " "), std::string::npos) << run.out;
    }
    const ToolRun version = RunCephtool(scratch, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "cephtool " CEPHTOOL_VERSION "\n");
}

TEST(Cephtool, AnalyseReadsEveryFileInTurnToTheSameOutput) {
    testing::TempDir dir;
    const std::string a = dir.Write("a.txt", Coded("A") + "\r\nno record here\r\n").string();
    const std::string b = dir.Write("b.txt", Coded("B") + "\n" + Coded("B2")).string();
    const ToolRun run = RunCephtool(dir, {"analyse", "--sex", "M", a, "-", b}, Coded("C") + "\n");
    EXPECT_EQ(run.status, 1) << "a line was skipped";
    EXPECT_EQ(run.out, AnalyseRecordLine(Coded("A"), true) + "\n" +
                           AnalyseRecordLine(Coded("C"), true) + "\n" +
                           AnalyseRecordLine(Coded("B"), true) + "\n" +
                           AnalyseRecordLine(Coded("B2"), true) + "\n");
    EXPECT_EQ(run.err, a + ":2: not a record line, skipped\n");

    const ToolRun clean = RunCephtool(dir, {"analyse", b, "--", b});
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(std::count(clean.out.begin(), clean.out.end(), '\n'), 4);
}

TEST(Cephtool, AnalyseTellsInputsItCannotReadAndGoesOn) {
    testing::TempDir dir;
    const std::string good = dir.Write("good.txt", kLine + "\n").string();
    const std::string missing = (dir.path() / "missing.txt").string();
    const std::string folder = (dir.path() / "folder").string();
    std::filesystem::create_directory(folder);
    std::vector<std::string> unreadable = {missing, folder};
#ifdef _WIN32
    unreadable.push_back("NUL");
#else
    const std::string fifo = (dir.path() / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    unreadable.insert(unreadable.end(), {fifo, "/dev/null"});
    // Permissions do not hold the superuser back.
    if (geteuid() != 0) {
        const std::string locked = dir.Write("locked.txt", kLine + "\n").string();
        std::filesystem::permissions(locked, std::filesystem::perms::none);
        unreadable.push_back(locked);
    }
#endif
    for (const std::string& bad : unreadable) {
        const ToolRun run = RunCephtool(dir, {"analyse", bad, good});
        EXPECT_EQ(run.status, 1) << bad << "\n" << run.err;
        EXPECT_EQ(run.out, AnalyseRecordLine(kLine, false) + "\n") << bad;
        EXPECT_EQ(run.err.rfind("cephtool: cannot read " + bad + ": ", 0), 0u) << run.err;
        EXPECT_GT(FirstLine(run.err).size(), ("cephtool: cannot read " + bad + ": ").size())
            << "with the reason";
    }
}

// A practice's folders have Chinese names: a name on the command line reaches its file
// and comes back unchanged in what is told. The standard streams carry every byte as
// it is, a Ctrl-Z (the end of a text file to old Windows programs) included.
TEST(Cephtool, ChineseNamesAndEveryByteOfTheStreamsPassUnchanged) {
    testing::TempDir dir;
    const std::filesystem::path folder = dir.path() / base::ToPath("病歷");
    std::filesystem::create_directories(folder);
    std::ofstream(folder / base::ToPath("林美華.txt"), std::ios::binary) << Coded("L") << "\n";
    const std::string file = base::FromPath(folder / base::ToPath("林美華.txt"));
    const std::string missing = base::FromPath(folder / base::ToPath("許.txt"));
    const ToolRun run =
        RunCephtool(dir, {"analyse", file, missing, "-"}, "\x1A\r\n" + Coded("C") + "\r\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, AnalyseRecordLine(Coded("L"), false) + "\n" +
                           AnalyseRecordLine(Coded("C"), false) + "\n");
    EXPECT_EQ(run.err.rfind("cephtool: cannot read " + missing + ": ", 0), 0u) << run.err;
    const std::string skipped = "standard input:1: not a record line, skipped\n";
    EXPECT_EQ(run.err.substr(run.err.size() - std::min(run.err.size(), skipped.size())), skipped)
        << run.err;
}

TEST(Cephtool, AnalyseSkipsCoordinatesThatAreNoFiniteNumbers) {
    testing::TempDir dir;
    std::string tooLarge = kLine, overflowing = kLine;
    tooLarge.replace(tooLarge.find(",62,"), 4, ",1e39,");
    overflowing.replace(overflowing.find(",74,0,"), 4, ",1e400,");
    const std::string file =
        dir.Write("r.txt", tooLarge + "\n" + kLine + "\n" + overflowing + "\n").string();
    const ToolRun run = RunCephtool(dir, {"analyse", file});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, AnalyseRecordLine(kLine, false) + "\n");
    EXPECT_EQ(run.err, file + ":1: coordinates that are not finite numbers, skipped\n" + file +
                           ":3: coordinates that are not finite numbers, skipped\n");
}

}  // namespace
}  // namespace ceph::tools
