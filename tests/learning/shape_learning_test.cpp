// Learning where the landmarks lie from generated films with known landmarks, and
// suggesting them on others: close to the truth on films it never saw, each landmark's
// expected error measured, a landmark never marked left unknown, and a model that went
// through its file suggesting exactly as before.
#include <gtest/gtest.h>

#include <cmath>

#include "learning/shape_learning.h"
#include "store/landmark_model_file.h"
#include "support/generated_films.h"

namespace ceph::learning {
namespace {

// Small enough to learn in seconds on one core, good enough to tell right from wrong.
LearningOptions Quick() {
    LearningOptions o;
    o.scale = 0.8;
    o.localScale = 0.4;
    o.treesPerCascade = 100;
    o.localTrees = 30;
    o.localSamples = 4;
    o.folds = 2;
    return o;
}

// The generated films are of 0.4 mm a pixel.
std::vector<MarkedFilm> Marked(const std::vector<testing::GeneratedFilm>& films,
                               const LearningOptions& o) {
    std::vector<MarkedFilm> marked;
    for (const auto& g : films)
        marked.push_back(ForLearning(g.film, 0.4, g.marks, o));
    return marked;
}

// The mean distance, in pixels, between suggestions and the truth over the films.
double MeanError(const Suggester& s, const std::vector<testing::GeneratedFilm>& films,
                 int& suggested) {
    double sum = 0;
    int n = 0;
    suggested = 0;
    for (const auto& g : films) {
        const FilmMarks got = s.Suggest(g.film, 0.4);
        for (int k = 1; k <= model::kLandmarkCount; ++k) {
            const auto i = static_cast<std::size_t>(k);
            if (!got[i]) continue;
            ++suggested;
            sum += std::hypot(got[i]->x - g.marks[i]->x, got[i]->y - g.marks[i]->y);
            ++n;
        }
    }
    return n ? sum / n : 1e9;
}

class ShapeLearningTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // A quarter of the radiograph: 350 x 425 pixels of 0.4 mm.
        base_ = new testing::GeneratedFilm(testing::DemoFilm(CEPH_DEMO_DIR, 0.25));
    }
    static void TearDownTestSuite() { delete base_; }
    static testing::GeneratedFilm* base_;
};
testing::GeneratedFilm* ShapeLearningTest::base_ = nullptr;

TEST_F(ShapeLearningTest, SuggestsCloseToTheTruthOnFilmsItNeverSaw) {
    ASSERT_GT(base_->film.width, 300);
    const auto learnt = testing::GeneratedFilms(*base_, 24, 1);
    const auto unseen = testing::GeneratedFilms(*base_, 6, 2);
    std::vector<std::string> told;
    LearningOptions o = Quick();
    o.progress = [&](const std::string& what) {
        told.push_back(what);
        return true;
    };
    const auto model = Learn(Marked(learnt, o), o);
    ASSERT_TRUE(model) << model.why();
    EXPECT_EQ(model->Parts(), 19);
    EXPECT_EQ(model->films, 24u);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.front(), "交叉驗證第 1 輪 (共 2 輪)");
    EXPECT_NE(std::find(told.begin(), told.end(), "以全部 24 張學習"), told.end());
    EXPECT_EQ(told.back(), "細看 Lower Molar") << "the closer looks last";
    EXPECT_EQ(model->local.size(), 19u);
    EXPECT_FALSE(model->framed.cascades.empty());
    for (int k = 1; k <= model::kLandmarkCount; ++k) {
        const float e = model->expectedError[static_cast<std::size_t>(k)];
        EXPECT_TRUE(e > 0 && e < 5) << k << ": " << e;
    }
    const Suggester suggester(*model);
    int suggested = 0;
    const double error = MeanError(suggester, unseen, suggested);
    EXPECT_EQ(suggested, 19 * 6);
    // The films lie some 20 pixels from the radiograph they were made from, on average;
    // the suggestions follow them to about a pixel.
    double moved = 0;
    for (const auto& g : unseen)
        for (int k = 1; k <= model::kLandmarkCount; ++k) {
            const auto i = static_cast<std::size_t>(k);
            moved +=
                std::hypot(g.marks[i]->x - base_->marks[i]->x, g.marks[i]->y - base_->marks[i]->y);
        }
    moved /= suggested;
    EXPECT_GT(moved, 10);
    EXPECT_LT(error, 2.5) << "pixels of 0.4 mm";

    // A film of finer pixels than those learnt from: the same places, in its pixels.
    const GreyFilm larger = Scaled(unseen[0].film, 1.5);
    const FilmMarks atScale = suggester.Suggest(unseen[0].film, 0.4),
                    finer = suggester.Suggest(larger, 0.4 / 1.5);
    for (int k = 1; k <= model::kLandmarkCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        EXPECT_NEAR(finer[i]->x, atScale[i]->x * 1.5, 1.5) << k;
        EXPECT_NEAR(finer[i]->y, atScale[i]->y * 1.5, 1.5) << k;
    }

    // Through its file: the same suggestions to the last bit.
    const auto read = store::ReadLandmarkModel(store::LandmarkModelBytes(*model));
    ASSERT_TRUE(read) << read.why();
    const Suggester again(*read);
    const FilmMarks a = suggester.Suggest(unseen[0].film, 0.4),
                    b = again.Suggest(unseen[0].film, 0.4);
    for (int k = 1; k <= model::kLandmarkCount; ++k) {
        EXPECT_EQ(a[static_cast<std::size_t>(k)]->x, b[static_cast<std::size_t>(k)]->x);
        EXPECT_EQ(a[static_cast<std::size_t>(k)]->y, b[static_cast<std::size_t>(k)]->y);
    }
}

// A public set marks some landmarks on no film, and some on only part of them: those
// on none stay unknown and get no suggestion; those on some are learnt all the same.
TEST_F(ShapeLearningTest, LandmarksMarkedNowhereOrOnlySomewhere) {
    auto learnt = testing::GeneratedFilms(*base_, 10, 3);
    for (std::size_t i = 0; i < learnt.size(); ++i) {
        learnt[i].marks[static_cast<std::size_t>(model::Landmark::Or)].reset();
        if (i % 2) learnt[i].marks[static_cast<std::size_t>(model::Landmark::Po)].reset();
    }
    LearningOptions o = Quick();
    o.folds = 0;
    const auto model = Learn(Marked(learnt, o), o);
    ASSERT_TRUE(model) << model.why();
    EXPECT_FALSE(model->known[static_cast<std::size_t>(model::Landmark::Or)]);
    EXPECT_TRUE(model->known[static_cast<std::size_t>(model::Landmark::Po)]);
    const FilmMarks got =
        Suggester(*model).Suggest(testing::GeneratedFilms(*base_, 1, 4)[0].film, 0.4);
    EXPECT_FALSE(got[static_cast<std::size_t>(model::Landmark::Or)]);
    EXPECT_TRUE(got[static_cast<std::size_t>(model::Landmark::Po)]);

    EXPECT_FALSE(Learn({}, o)) << "nothing to learn from";
    o.progress = [](const std::string&) { return false; };
    const auto stopped = Learn(Marked(learnt, o), o);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.why(), "已取消");
}

}  // namespace
}  // namespace ceph::learning
