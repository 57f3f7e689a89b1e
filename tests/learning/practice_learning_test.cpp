// Learning from the practice's own tracings in the window: two tracings traced by clicks
// on generated films teach a model that is kept in the data folder and suggests on the
// next film; a learning stopped with 取消 keeps nothing and leaves the old model whole.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/startup.h"
#include "pictures/jpeg_writer.h"
#include "store/landmark_model_file.h"
#include "support/fake_services.h"
#include "support/generated_films.h"
#include "support/temp_dir.h"
#include "usecases/practice_learning.h"
#include "wiring/events.h"

namespace ceph {
namespace {

using wiring::EventType;

learning::LearningOptions Quick() {
    learning::LearningOptions o;
    o.scale = 0.8, o.localScale = 0.4, o.treesPerCascade = 20, o.localTrees = 6;
    o.localSamples = 2, o.folds = 2, o.cascades = 5;
    return o;
}

class PracticeLearningTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        base_ = new testing::GeneratedFilm(testing::DemoFilm(CEPH_DEMO_DIR, 0.25));
    }
    static void TearDownTestSuite() { delete base_; }

    // A patient whose tracings 1 and 2 have copies of the generated film, each traced
    // by clicks on its landmarks and stored.
    void SetUp() override {
        dir.Write("OutExe.tmp", "Chen\r\n00101\r\n0650315\r\nM\r\n");
        dir.Write("selvsys.ini",
                  "[Selvaron]\r\nPersonPicDir=" + (dir.path() / "pics").string() + "\r\n");
        services.pictureSize = base_->film.width;
        services.pictureHeight = base_->film.height;
        for (std::uint32_t handle = 1; handle <= 8; ++handle)
            services.greyPixels.push_back({handle, base_->film});
        std::filesystem::create_directories(dir.path() / "pics");
        for (int n = 1; n <= 3; ++n)
            WriteFilm("pics/00101_" + std::to_string(n) + ".jpg");
        app::FormLoad(program, dir.StartupFromHere());
        for (int index = 0; index < 2; ++index)
            Trace(index);
    }
    void WriteFilm(const std::string& name) const {
        const learning::GreyFilm& f = base_->film;
        pictures::JpegSource source;
        source.width = f.width, source.height = f.height;
        source.rows = [&f](int y, int count, std::vector<const unsigned char*>& rows) {
            for (int i = 0; i < count; ++i)
                rows.push_back(f.pixels.data() + static_cast<std::size_t>(y + i) * f.width);
            return true;
        };
        ASSERT_FALSE(pictures::WriteJpeg(source, (dir.path() / name).string(), 95));
    }
    void Send(EventType type, std::string_view name, float x = 0, float y = 0, int index = -1) {
        wiring::Event e{type, name, index};
        e.x = x, e.y = y;
        wiring::Dispatch(program, e);
    }
    void Trace(int index) {
        Send(EventType::Click, "inputn", 0, 0, index);
        for (int k = 0; k < 19; ++k) {
            const auto n = static_cast<std::size_t>(std::stoi(w.LabelPNTNo.caption));
            const float x = static_cast<float>(base_->marks[n]->x) * 15,
                        y = static_cast<float>(base_->marks[n]->y) * 15;
            Send(EventType::MouseMove, "Image1", x, y);
            Send(EventType::Click, "Image1", x, y);
        }
        w.Text6.text = "67";
        Send(EventType::Click, "Command4");
    }
    // Ticks the window's timer until the learning ends.
    void WaitForTheEnd() {
        for (int i = 0; i < 6000 && program.learning; ++i) {
            Send(EventType::Timer, "Timer1");
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_FALSE(program.learning) << "the learning never ended";
    }
    std::filesystem::path Model() const { return dir.path() / store::kLandmarkModelName; }

    static testing::GeneratedFilm* base_;
    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
    ui::MainWindow& w = program.win;
};
testing::GeneratedFilm* PracticeLearningTest::base_ = nullptr;

TEST_F(PracticeLearningTest, TheTracingsTeachAModelThatSuggestsOnTheNextFilm) {
    ASSERT_FALSE(std::filesystem::exists(Model()));
    Send(EventType::Click, "inputn", 0, 0, 2);
    EXPECT_FALSE(w.state.Digitising.suggested.Any()) << "no model yet";
    usecases::StartPracticeLearning(program, Quick());
    EXPECT_TRUE(w.LabelLearning.visible);
    EXPECT_TRUE(w.CommandLearnCancel.visible);
    EXPECT_FALSE(w.learnmn.enabled) << "one learning at a time";
    // The window goes on meanwhile: landmarks are clicked as always.
    Send(EventType::Click, "Image1", 1500, 1500);
    EXPECT_EQ(w.state.X[16], 1500);
    WaitForTheEnd();
    EXPECT_FALSE(w.LabelLearning.visible);
    EXPECT_TRUE(w.learnmn.enabled);
    ASSERT_TRUE(std::filesystem::exists(Model()));
    const auto kept = store::LoadLandmarkModel(Model().string());
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->films, 2u);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find("2 張描圖"), std::string::npos);
    // The film shown is looked at again with the new model.
    EXPECT_TRUE(w.state.Digitising.suggested.Any());
}

TEST_F(PracticeLearningTest, StoppedLearningKeepsTheOldModelWhole) {
    const std::string old = "an older model, kept as it is";
    dir.Write(store::kLandmarkModelName, old);
    learning::LearningOptions slow = Quick();
    slow.treesPerCascade = 2000;  // long enough to be stopped on the way
    usecases::StartPracticeLearning(program, slow);
    Send(EventType::Click, "CommandLearnCancel");
    WaitForTheEnd();
    EXPECT_EQ(testing::Slurp(Model()), old);
    EXPECT_TRUE(services.messages.empty()) << "the clinician stopped it and knows";
    EXPECT_FALSE(w.CommandLearnCancel.visible);
    EXPECT_TRUE(w.learnmn.enabled);
}

TEST_F(PracticeLearningTest, AFolderWithoutTracedFilmsSaysSoAndKeepsNothing) {
    testing::TempDir empty;
    w.state.DataDir = empty.str() + "/";
    usecases::StartPracticeLearning(program, Quick());
    WaitForTheEnd();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find("無法學習描點建議"), std::string::npos);
    EXPECT_NE(services.messages[0].text.find("原來的描點建議沒有改變"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(empty.path() / store::kLandmarkModelName));
}

}  // namespace
}  // namespace ceph
