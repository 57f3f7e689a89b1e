// Suggested landmarks in the window: with the practice's model, Enter places each landmark
// exactly where a click on its suggestion would, at any zoom; 全部採用 stops at a
// landmark the model does not know; without a model, or with one that cannot be used,
// input is as it always was (the bad file named once).
#include <gtest/gtest.h>

#include "app/startup.h"
#include "imaging/viewport.h"
#include "learning/shape_learning.h"
#include "store/landmark_model_file.h"
#include "support/fake_services.h"
#include "support/generated_films.h"
#include "support/temp_dir.h"
#include "wiring/events.h"

namespace ceph {
namespace {

using Step = ui::DigitisingState::Step;

// A small model learnt from generated films, with `unknown` marked on none of them.
std::string ModelBytes(const testing::GeneratedFilm& base, int unknown) {
    learning::LearningOptions o;
    o.scale = 0.8, o.localScale = 0.4, o.treesPerCascade = 25, o.localTrees = 8;
    o.localSamples = 2, o.folds = 2, o.cascades = 6;
    std::vector<learning::MarkedFilm> films;
    for (testing::GeneratedFilm& g : testing::GeneratedFilms(base, 6, 7)) {
        if (unknown) g.marks[static_cast<std::size_t>(unknown)].reset();
        films.push_back(learning::ForLearning(g.film, 0.4, g.marks, o));
    }
    return store::LandmarkModelBytes(*learning::Learn(films, o));
}

class SuggestionsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        base_ = new testing::GeneratedFilm(testing::DemoFilm(CEPH_DEMO_DIR, 0.25));
        model_ = new std::string(ModelBytes(*base_, 0));
    }
    static void TearDownTestSuite() {
        delete base_;
        delete model_;
    }

    // A program started on a patient whose tracing 1 has the generated film, given
    // pixels by `services`, and a model file of `bytes` in the data folder (none: empty).
    void Start(ui::App& app, testing::FakeServices& services, const testing::TempDir& dir,
               const std::string& bytes) {
        dir.Write("OutExe.tmp", "Chen\r\n00101\r\n0650315\r\nM\r\n");
        dir.Write("selvsys.ini",
                  "[Selvaron]\r\nPersonPicDir=" + (dir.path() / "pics").string() + "\r\n");
        dir.Write("pics/00101_1.bmp", "picture");
        if (!bytes.empty()) dir.Write(store::kLandmarkModelName, bytes);
        services.pictureSize = base_->film.width;
        services.pictureHeight = base_->film.height;
        for (std::uint32_t handle = 1; handle <= 8; ++handle)
            services.greyPixels.push_back({handle, base_->film});
        app::FormLoad(app, dir.StartupFromHere());
        Send(app, wiring::EventType::Click, "inputn", 0);
    }
    static void Send(ui::App& app, wiring::EventType type, std::string_view name, float x = 0,
                     float y = 0) {
        wiring::Event e{type, name, name == "inputn" ? 0 : -1};
        e.x = x, e.y = y;
        wiring::Dispatch(app, e);
    }
    static int Suggested(const ui::App& app, ui::MarkKind kind) {
        int n = 0;
        for (const ui::PlacedMark& m : app.win.Image1.marks)
            n += m.kind == kind;
        return n;
    }

    static testing::GeneratedFilm* base_;
    static std::string* model_;
};
testing::GeneratedFilm* SuggestionsTest::base_ = nullptr;
std::string* SuggestionsTest::model_ = nullptr;

TEST_F(SuggestionsTest, EnterPlacesEachLandmarkAsAClickOnItsSuggestion) {
    testing::TempDir dir, otherDir;
    testing::FakeServices services, otherServices;
    ui::App app{services}, clicked{otherServices};
    Start(app, services, dir, *model_);
    Start(clicked, otherServices, otherDir, "");
    const ui::DigitisingState& flow = app.win.state.Digitising;
    ASSERT_TRUE(flow.suggested.Any());
    // Every landmark suggested, S asked and ringed by its expected error.
    EXPECT_EQ(Suggested(app, ui::MarkKind::Suggested), 18);
    ASSERT_EQ(Suggested(app, ui::MarkKind::SuggestedAsked), 1);
    EXPECT_TRUE(app.win.CommandAcceptAll.visible);
    EXPECT_NE(app.win.LabelSuggestion.caption.find("預期誤差約 "), std::string::npos);
    for (const ui::PlacedMark& m : app.win.Image1.marks)
        if (m.kind == ui::MarkKind::SuggestedAsked) {
            EXPECT_EQ(m.label, "S");
            EXPECT_GT(m.reach, 0);
        }
    // The suggestions lie near the truth (a coarse model: within 6 pixels of 0.4 mm).
    const auto& s = flow.suggested.at[16];
    EXPECT_NEAR(s->x, base_->marks[16]->x, 6);
    EXPECT_NEAR(s->y, base_->marks[16]->y, 6);

    // S at 100 %, the rest at 150 %: each Enter stores what a click there stores, in
    // the units of S's zoom, and the film point.
    for (int k = 0; k < model::kLandmarkCount; ++k) {
        if (k == 1) {
            imaging::SetZoom(app, 150);
            imaging::SetZoom(clicked, 150);
        }
        const model::Landmark asked = flow.asked;
        const auto& at = flow.suggested.at[model::Slot(asked)];
        ASSERT_TRUE(at);
        const float x = static_cast<float>(at->x * app.win.Image1.width / flow.film.width),
                    y = static_cast<float>(at->y * app.win.Image1.height / flow.film.height);
        Send(app, wiring::EventType::MouseMove, "Image1", 10, 20);
        Send(app, wiring::EventType::Click, "acceptmn");
        EXPECT_EQ(flow.pointerX, 10) << "the pointer stays where the mouse is";
        Send(clicked, wiring::EventType::MouseMove, "Image1", x, y);
        Send(clicked, wiring::EventType::Click, "Image1", x, y);
    }
    const ui::State &a = app.win.state, &b = clicked.win.state;
    EXPECT_EQ(a.Digitising.step, Step::Finished);
    for (int n = 1; n <= model::kLandmarkCount; ++n) {
        EXPECT_EQ(a.X[n], b.X[n]) << n;
        EXPECT_EQ(a.Y[n], b.Y[n]) << n;
        EXPECT_EQ(a.Digitising.film.at[n].x, b.Digitising.film.at[n].x) << n;
    }
    EXPECT_EQ(app.win.Label14.caption, clicked.win.Label14.caption);
    // Once all are placed nothing more is suggested, and Enter places nothing.
    EXPECT_EQ(Suggested(app, ui::MarkKind::Suggested), 0);
    EXPECT_FALSE(app.win.CommandAcceptAll.visible);
    Send(app, wiring::EventType::Click, "acceptmn");
    EXPECT_EQ(a.X[1], b.X[1]);
}

TEST_F(SuggestionsTest, AcceptAllStopsAtALandmarkTheModelDoesNotKnow) {
    testing::TempDir dir;
    testing::FakeServices services;
    ui::App app{services};
    Start(app, services, dir, ModelBytes(*base_, 5));  // Or marked on no film
    const ui::DigitisingState& flow = app.win.state.Digitising;
    EXPECT_FALSE(flow.suggested.at[5]);
    Send(app, wiring::EventType::Click, "CommandAcceptAll");
    // S, N, 2, 3, 4 taken; Or asked as always, with no mark and Enter doing nothing.
    ASSERT_EQ(flow.step, Step::Asking);
    EXPECT_EQ(model::Number(flow.asked), 5);
    EXPECT_EQ(Suggested(app, ui::MarkKind::SuggestedAsked), 0);
    EXPECT_FALSE(app.win.CommandAcceptAll.visible);
    Send(app, wiring::EventType::Click, "acceptmn");
    EXPECT_EQ(model::Number(flow.asked), 5);
    Send(app, wiring::EventType::Click, "Image1", 700, 800);
    EXPECT_EQ(app.win.state.X[5], 700);
    Send(app, wiring::EventType::Click, "acceptallmn");
    EXPECT_EQ(flow.step, Step::Finished);
    EXPECT_TRUE(app.win.Picture7.visible);
    EXPECT_EQ(app.win.state.X[5], 700) << "the click stays as clicked";
}

TEST_F(SuggestionsTest, WithoutAUsableModelInputIsAsBefore) {
    {
        testing::TempDir dir;
        testing::FakeServices services;
        ui::App app{services};
        Start(app, services, dir, "");
        EXPECT_FALSE(app.win.state.Digitising.suggested.Any());
        EXPECT_TRUE(app.win.Image1.marks.empty());
        EXPECT_FALSE(app.win.CommandAcceptAll.visible);
        Send(app, wiring::EventType::Click, "acceptmn");
        EXPECT_EQ(model::Number(app.win.state.Digitising.asked), 16) << "S still asked";
        EXPECT_TRUE(services.messages.empty());
    }
    // A damaged model is named once, however often input starts, and nothing suggested.
    testing::TempDir dir;
    testing::FakeServices services;
    ui::App app{services};
    std::string damaged = *model_;
    damaged[35] ^= 0x55;  // its checksum
    Start(app, services, dir, damaged);
    Send(app, wiring::EventType::Click, "Command3");
    Send(app, wiring::EventType::Click, "inputn", 0);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find(store::kLandmarkModelName), std::string::npos);
    EXPECT_FALSE(app.win.state.Digitising.suggested.Any());
    EXPECT_TRUE(app.win.Image1.marks.empty());
    // A model learnt anew in its place is read at the next film.
    dir.Write(store::kLandmarkModelName, *model_);
    Send(app, wiring::EventType::Click, "Command3");
    Send(app, wiring::EventType::Click, "inputn", 0);
    EXPECT_TRUE(app.win.state.Digitising.suggested.Any());
    EXPECT_EQ(services.messages.size(), 1u);
}

}  // namespace
}  // namespace ceph
