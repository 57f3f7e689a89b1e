// cephtool train and suggest, run as a practice's script would: a list of generated films
// with their landmarks learnt, suggestions on films it never saw in the pictures' own
// pixels, and what cannot be read named.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "learning/landmark_list.h"
#include "run_cephtool.h"
#include "support/generated_films.h"
#include "support/temp_dir.h"

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
    testing::ToolRun Run(std::vector<std::string> args) { return testing::RunCephtool(dir, args); }
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

    // A list whose films' scale nobody knows teaches nothing.
    run = Run({"train", "--out", P("m.dat"), "--folds", "0", P("list.csv")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("--spacing"), std::string::npos) << run.err;
}

#endif

}  // namespace
}  // namespace ceph::tools
