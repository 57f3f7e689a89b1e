// cephtool train and suggest, run as a practice's script would: a list of generated films
// with their landmarks learnt, suggestions on films it never saw in the pictures' own
// pixels, and what cannot be read named.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "run_cephtool.h"
#include "support/temp_dir.h"

#ifdef CEPHTOOL_WITH_LEARNING
#include "learning/landmark_list.h"
#include "store/film_positions.h"
#include "store/record_line.h"
#include "support/generated_films.h"
#endif

namespace ceph::tools {
namespace {

#ifdef CEPHTOOL_WITH_LEARNING

// The film as a PGM file, one of the formats Qt's readers take.
void WritePgm(const std::filesystem::path& path, const learning::GreyFilm& film) {
    std::ofstream out(path, std::ios::binary);
    out << "P5\n" << film.width << " " << film.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(film.pixels.data()),
              static_cast<std::streamsize>(film.pixels.size()));
}

class LearningCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const testing::GeneratedFilm base = testing::DemoFilm(CEPH_DEMO_DIR, 0.25);
        std::string list = learning::ListHeader();
        int n = 0;
        for (const auto& g : testing::GeneratedFilms(base, 20, 11)) {
            const std::string name = "films/" + std::to_string(++n) + ".pgm";
            std::filesystem::create_directories(dir.path() / "films");
            WritePgm(dir.path() / name, g.film);
            list += learning::ListRow(name, g.marks);
        }
        // A film the list names that is not there: named, and the rest learnt.
        list += learning::ListRow("films/missing.pgm", {});
        dir.Write("list.csv", list);
        unseen = testing::GeneratedFilms(base, 2, 12);
        for (std::size_t i = 0; i < unseen.size(); ++i)
            WritePgm(dir.path() / ("unseen" + std::to_string(i) + ".pgm"), unseen[i].film);
    }
    // Learning takes its time, most of all under the sanitizers on a busy machine.
    testing::ToolRun Run(std::vector<std::string> args) {
        const int seconds = !args.empty() && args[0] == "train" ? 300 : 20;
        return testing::RunCephtool(dir, args, "", seconds);
    }
    std::string P(const std::string& name) const { return (dir.path() / name).string(); }

    testing::TempDir dir;
    std::vector<testing::GeneratedFilm> unseen;
};

TEST_F(LearningCommandsTest, LearntFromAListSuggestsOnFilmsItNeverSaw) {
    const testing::ToolRun train =
        Run({"train", "--out", P("model.dat"), "--trees", "60", "--threads", "1", "--folds", "0",
             "--scale", "0.8", "--spacing", "0.4", P("list.csv")});
    ASSERT_EQ(train.status, 0) << train.err;
    EXPECT_NE(train.err.find("missing.pgm"), std::string::npos) << train.err;
    EXPECT_NE(train.err.find("20 films to learn from"), std::string::npos) << train.err;

    const testing::ToolRun suggest = Run({"suggest", "--model", P("model.dat"), "--spacing", "0.4",
                                          P("unseen0.pgm"), P("unseen1.pgm")});
    ASSERT_EQ(suggest.status, 0) << suggest.err;
    const auto rows = learning::ReadLandmarkList(suggest.out);
    ASSERT_TRUE(rows) << rows.why() << "\n" << suggest.out;
    ASSERT_EQ(rows->size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ((*rows)[i].picture, P("unseen" + std::to_string(i) + ".pgm"));
        double sum = 0;
        for (int k = 1; k <= model::kLandmarkCount; ++k) {
            const auto& got = (*rows)[i].marks[static_cast<std::size_t>(k)];
            const auto& truth = unseen[i].marks[static_cast<std::size_t>(k)];
            ASSERT_TRUE(got) << k;
            sum += std::hypot(got->x - truth->x, got->y - truth->y);
        }
        // Learnt at half the films' size: pixels of the films given, 0.4 mm each.
        EXPECT_LT(sum / model::kLandmarkCount, 4.0) << i;
    }
    // Without the spacing, a film as wide as those learnt from is taken at their scale.
    EXPECT_EQ(Run({"suggest", "--model", P("model.dat"), P("unseen0.pgm"), P("unseen1.pgm")}).out,
              suggest.out);
}

TEST_F(LearningCommandsTest, WhatCannotBeReadIsNamed) {
    dir.Write("model.dat", "not a model");
    testing::ToolRun run = Run({"suggest", "--model", P("model.dat"), P("unseen0.pgm")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("model.dat"), std::string::npos) << run.err;

    dir.Write("bad.csv", "picture,Nasion x\n");
    run = Run({"train", "--out", P("m.dat"), "--spacing", "0.4", P("bad.csv")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Nasion x"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(P("m.dat")));
    EXPECT_EQ(Run({"train", "--out", P("m.dat"), "--spacing", "big", P("list.csv")}).status, 2);
    EXPECT_EQ(Run({"train", "--out", P("m.dat")}).status, 2) << "no list";
    EXPECT_EQ(Run({"train", "--out", P("m.dat"), "--scale", "0.015", P("list.csv")}).status, 2)
        << "closer looks finer than a model may hold";

    // A list whose films' scale nobody knows teaches nothing.
    run = Run({"train", "--out", P("m.dat"), "--folds", "0", P("list.csv")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("--spacing"), std::string::npos) << run.err;
}

// The practice's own tracings teach it: each stored tracing whose film positions still
// count, its film turned as it was shown and at the tracing's own scale.
TEST_F(LearningCommandsTest, LearntFromTheTracingsOfADataFolder) {
    const testing::GeneratedFilm base = testing::DemoFilm(CEPH_DEMO_DIR, 0.25);
    dir.Write("data/selvsys.ini", "[Selvaron]\r\nPersonPicDir=pics\r\n");
    std::filesystem::create_directories(dir.path() / "data/pics");
    std::string records, positions;
    int n = 0;
    for (const auto& g : testing::GeneratedFilms(base, 20, 21)) {
        const std::string code = std::to_string(10000 + ++n);
        model::Tracing t;
        const auto& s = *g.marks[16];
        for (int k = 1; k <= model::kLandmarkCount; ++k) {
            t.X[static_cast<std::size_t>(k)] = static_cast<float>((g.marks[k]->x - s.x) * 0.4);
            t.Y[static_cast<std::size_t>(k)] = static_cast<float>((g.marks[k]->y - s.y) * 0.4);
        }
        t.age = "12Y 0M";
        const std::string line = store::FormatRecordLine(code, t);
        const auto stored = store::ReadTracingLine(line);
        model::FilmPositions film;
        film.picture = code + ".pgm";
        film.width = g.film.width, film.height = g.film.height;
        // Every third film was shown turned a quarter clockwise: the file is upright.
        film.turn = n % 3 == 0 ? model::FilmTurn{1, false} : model::FilmTurn{};
        WritePgm(
            dir.path() / "data/pics" / film.picture,
            learning::Turned(g.film, n % 3 == 0 ? model::FilmTurn{3, false} : model::FilmTurn{}));
        film.digest = store::CoordinatesDigest(stored->X, stored->Y);
        for (int k = 1; k <= model::kLandmarkCount; ++k)
            film.at[static_cast<std::size_t>(k)] = *g.marks[k];
        // The last one's tracing was corrected since: its positions no longer count.
        if (n == 20) t.X[1] += 1;
        records += store::FormatRecordLine(code, t) + "\r\n";
        positions += store::FilmPositionsLine(code, film) + "\r\n";
    }
    dir.Write("data/ceph-1", records);
    dir.Write("data/film-1.txt", positions);
    const testing::ToolRun train = Run({"train", "--out", P("model.dat"), "--trees", "60",
                                        "--folds", "0", "--scale", "0.8", "--data", P("data")});
    ASSERT_EQ(train.status, 0) << train.err;
    EXPECT_NE(train.err.find("19 films to learn from"), std::string::npos) << train.err;
    const testing::ToolRun suggest =
        Run({"suggest", "--model", P("model.dat"), "--spacing", "0.4", P("unseen0.pgm")});
    const auto rows = learning::ReadLandmarkList(suggest.out);
    ASSERT_TRUE(rows && rows->size() == 1) << suggest.err;
    double sum = 0;
    for (int k = 1; k <= model::kLandmarkCount; ++k) {
        const auto& got = (*rows)[0].marks[static_cast<std::size_t>(k)];
        sum += std::hypot(got->x - unseen[0].marks[k]->x, got->y - unseen[0].marks[k]->y);
    }
    EXPECT_LT(sum / model::kLandmarkCount, 4.0);
}

#endif

}  // namespace
}  // namespace ceph::tools
