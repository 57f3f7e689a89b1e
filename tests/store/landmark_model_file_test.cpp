// The landmark model file lies in the shared folder: what we write reads back the same,
// and anything else (another file, one cut short, damaged, or sound-looking but naming
// pixels and parts that are not there) is refused with a reason before any use.
#include <gtest/gtest.h>

#include <limits>

#include "store/landmark_model_file.h"
#include "support/temp_dir.h"

namespace ceph::store {
namespace {

model::LandmarkModel Small() {
    model::LandmarkModel m;
    m.millimetresPerPixel = 0.4;
    m.films = 12;
    m.filmWidth = 140;
    m.known[1] = m.known[16] = m.known[12] = true;  // N, S, Me: three parts
    m.expectedError[1] = 1.5f;
    m.global.initialShape = {0.8f, 0.2f, 0.7f, 0.9f, 0.3f, 0.25f};
    model::ShapeCascade c;
    c.features = {{0, 0.01f, -0.02f}, {2, 0.0f, 0.05f}, {1, -0.1f, 0.0f}};
    model::ShapeTree t;
    t.splits = {{0, 1, 3.5f}, {1, 2, -2.0f}, {2, 0, 0.0f}};
    t.leaves.assign(4 * 6, 0.001f);
    c.trees = {t, t};
    m.global.cascades = {c, c};
    m.framed = m.global;
    m.frameMargin = 0.15f;
    // A closer look at S: one part, so every feature follows it.
    model::ShapeCascade one;
    one.features = {{0, 0.1f, 0.0f}, {0, -0.1f, 0.05f}};
    model::ShapeTree single;
    single.splits = {{0, 1, 2.0f}};
    single.leaves = {0.01f, 0.0f, -0.01f, 0.02f};
    one.trees = {single};
    m.localMillimetresPerPixel = 0.2;
    m.localBox = 24;
    m.local = {{16, {{0.5f, 0.5f}, {one}}}};
    return m;
}

// The payload's checksum made right again after a change, as a hostile file would be.
std::string Resealed(std::string bytes) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (std::size_t i = 40; i < bytes.size(); ++i)
        h = (h ^ static_cast<unsigned char>(bytes[i])) * 0x100000001b3ull;
    for (int i = 0; i < 8; ++i)
        bytes[32 + static_cast<std::size_t>(i)] = static_cast<char>((h >> (8 * i)) & 0xFF);
    return bytes;
}

TEST(LandmarkModelFile, ReadsBackWhatItWrote) {
    const std::string bytes = LandmarkModelBytes(Small());
    const auto read = ReadLandmarkModel(bytes);
    ASSERT_TRUE(read) << read.why();
    EXPECT_EQ(*read, Small());
    EXPECT_EQ(read->Parts(), 3);
}

TEST(LandmarkModelFile, RefusesWhatIsNotAWholeSoundModel) {
    const std::string good = LandmarkModelBytes(Small());
    const auto refused = [](const std::string& bytes) {
        const auto read = ReadLandmarkModel(bytes);
        return read ? std::string() : read.why();
    };
    EXPECT_EQ(refused("GIF89a"), "不是本程式的描點建議模型檔");
    for (std::size_t cut : {std::size_t{20}, good.size() / 2, good.size() - 1})
        EXPECT_EQ(refused(good.substr(0, cut)), "描點建議模型檔不完整") << cut;
    std::string damaged = good;
    damaged[good.size() - 3] ^= 0x10;
    EXPECT_EQ(refused(damaged), "描點建議模型檔已損壞");
    std::string later = good;
    later[16] = 2;
    EXPECT_NE(refused(later).find("版本 2"), std::string::npos);

    // Sound checksums over unsound contents: a feature following a fourth part, a split
    // reading a pixel past its cascade's, a count of features far beyond the file.
    model::LandmarkModel m = Small();
    m.global.cascades[1].features[2].anchor = 3;
    EXPECT_EQ(refused(LandmarkModelBytes(m)), "描點建議模型檔的內容不合理");
    m = Small();
    m.global.cascades[0].trees[1].splits[2].second = 3;
    EXPECT_EQ(refused(LandmarkModelBytes(m)), "描點建議模型檔的內容不合理");
    std::string huge = good;
    const std::size_t features = 40 + 8 + 4 + 4 + 19 * 5 + 6 * 4 + 4;  // the first count
    huge[features + 3] = '\x7f';
    EXPECT_EQ(refused(Resealed(huge)), "描點建議模型檔的內容不合理");
    m = Small();
    m.global.initialShape[1] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(refused(LandmarkModelBytes(m)), "描點建議模型檔的內容不合理");
    // Values no learning makes, whose sums would leave the film or the numbers.
    m = Small();
    m.global.cascades[0].trees[0].leaves[3] = 1e30f;
    EXPECT_EQ(refused(LandmarkModelBytes(m)), "描點建議模型檔的內容不合理");
    m = Small();
    m.filmWidth = 0;
    EXPECT_EQ(refused(LandmarkModelBytes(m)), "描點建議模型檔的內容不合理");
    // A closer look at a landmark the model does not know, or at one twice.
    m = Small();
    m.local[0].landmark = 2;
    EXPECT_EQ(refused(LandmarkModelBytes(m)), "描點建議模型檔的內容不合理");
    m = Small();
    m.local.push_back(m.local[0]);
    EXPECT_EQ(refused(LandmarkModelBytes(m)), "描點建議模型檔的內容不合理");
}

TEST(LandmarkModelFile, LoadingNamesTheFile) {
    testing::TempDir dir;
    dir.Write("landmark-model.dat", "not a model");
    const std::string path = (dir.path() / "landmark-model.dat").string();
    const auto bad = LoadLandmarkModel(path);
    ASSERT_FALSE(bad);
    EXPECT_NE(bad.why().find(path), std::string::npos) << bad.why();
    const auto missing = LoadLandmarkModel((dir.path() / "none.dat").string());
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.why().find("none.dat"), std::string::npos);
    dir.Write("landmark-model.dat", LandmarkModelBytes(Small()));
    EXPECT_TRUE(LoadLandmarkModel(path));
}

}  // namespace
}  // namespace ceph::store
