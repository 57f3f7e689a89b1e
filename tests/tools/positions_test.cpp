// cephtool positions, and the full report drawing the film traced: positions count
// only while their record line and their film are the ones they were taken with.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "run_cephtool.h"
#include "store/film_positions.h"
#include "store/record_line.h"
#include "support/command_output.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"

namespace ceph::tools {
namespace {

#ifdef CEPHTOOL_WITH_REPORT

// A grey 24-bit bitmap of `width` x `height` pixels.
std::string Bitmap(int width, int height) {
    const int row = (width * 3 + 3) / 4 * 4;
    const int size = 54 + row * height;
    std::string b(static_cast<std::size_t>(size), '\x80');
    auto put = [&](int at, int value, int bytes) {
        for (int k = 0; k < bytes; ++k)
            b[at + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
    };
    b[0] = 'B', b[1] = 'M';
    put(2, size, 4), put(6, 0, 4), put(10, 54, 4), put(14, 40, 4), put(18, width, 4);
    put(22, height, 4), put(26, 1, 2), put(28, 24, 2), put(30, 0, 4), put(34, row * height, 4);
    put(38, 2835, 4), put(42, 2835, 4), put(46, 0, 4), put(50, 0, 4);
    return b;
}

class PositionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::WritePatientFolder(dir, {.code = "10234"});
        testing::WriteStoredTracing(dir, "10234");
        dir.Write("pics/10234_1.bmp", Bitmap(60, 50));
        const std::string line = "10234," + std::string(testing::kWorkedFields) + ",0,48Y 2M";
        const auto tracing = store::ReadTracingLine(line);
        film.picture = "10234_1.bmp", film.width = 60, film.height = 50;
        film.digest = store::CoordinatesDigest(tracing->X, tracing->Y);
        for (int n = 1; n <= 19; ++n)
            film.at[n] = {10.0 + n, 30.0 - n * 0.5};
        film.at[16] = {12.5, 30}, film.at[1] = {47.25, 20};
    }
    void WritePositions(const std::vector<std::string>& more = {}) {
        std::string text = store::FilmPositionsLine("10234", film) + "\r\n";
        for (const std::string& line : more)
            text += line + "\r\n";
        dir.Write("film-1.txt", text);
    }
    testing::ToolRun Positions(std::vector<std::string> more = {}) {
        std::vector<std::string> args{"positions", "--data", dir.str()};
        args.insert(args.end(), more.begin(), more.end());
        return testing::RunCephtool(dir, args);
    }
    testing::TempDir dir;
    model::FilmPositions film;
};

TEST_F(PositionsTest, ListsThePositionsThatStillCount) {
    model::FilmPositions stale = film;
    stale.digest = "0000000000000000";                        // another line's
    WritePositions({store::FilmPositionsLine("99999", film),  // a patient with no tracing 1
                    store::FilmPositionsLine("10234 ", stale)});
    const testing::ToolRun run = Positions();
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string header = run.out.substr(0, run.out.find("\r\n"));
    EXPECT_EQ(header.rfind("code,tracing,picture,width,height,turn,N x,N y,", 0), 0u) << header;
    EXPECT_NE(header.find(",S x,S y,"), std::string::npos) << header;
    const std::string rows = run.out.substr(header.size() + 2);
    EXPECT_EQ(rows.rfind("10234,1,10234_1.bmp,60,50,0,47.25,20.00,", 0), 0u) << rows;
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 1) << rows;
    EXPECT_EQ(Positions({"--tracing", "2"}).out, header + "\r\n");

    // Another film under the same name, or none: the positions no longer count.
    dir.Write("pics/10234_1.bmp", Bitmap(61, 50));
    EXPECT_EQ(Positions().out, header + "\r\n");
    std::filesystem::remove(dir.path() / "pics" / "10234_1.bmp");
    EXPECT_EQ(Positions().out, header + "\r\n");
    EXPECT_EQ(Positions({"--data", (dir.path() / "none").string()}).status, 2) << "given twice";
}

TEST_F(PositionsTest, TheFullReportDrawsTheFilmTracedWithoutAHandAlignment) {
    CEPH_SKIP_WITHOUT_PDF_TOOLS();
    const std::string pdf = (dir.path() / "full.pdf").string();
    const std::vector<std::string> args = {"report",    "--full",
                                           "--data",    dir.str(),
                                           "--handoff", (dir.path() / "OutExe.tmp").string(),
                                           "--tracing", "1",
                                           "--out",     pdf};
    ASSERT_EQ(testing::RunCephtool(dir, args).status, 0);
    const std::string never = "沒有對齊過圖形";
    EXPECT_NE(testing::CommandOutput("pdftotext '" + pdf + "' -").find(never), std::string::npos)
        << "the worked tracing was never aligned";
    WritePositions();
    const testing::ToolRun run = testing::RunCephtool(dir, args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(testing::CommandOutput("pdftotext '" + pdf + "' -").find(never), std::string::npos);
}

#endif

}  // namespace
}  // namespace ceph::tools
