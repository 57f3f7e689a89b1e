// Films received for a patient filed in the picture folder: named so that the picture
// menu lists them for that patient, never over another file (a tracing's picture, an
// earlier film, one arriving at the same moment), and refused whole when the code could
// leave the folder or name a device.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/filesys.h"
#include "store/received_films.h"
#include "support/temp_dir.h"

namespace ceph::store {
namespace {

namespace fs = std::filesystem;

TEST(ReceivedFilms, NamedForThePictureMenuAndNeverOverAnotherFile) {
    EXPECT_EQ(ReceivedFilmName("10234", 1), "10234r01.dcm");
    EXPECT_EQ(ReceivedFilmName("10234", 99), "10234r99.dcm");
    // The menu lists the code followed by one to three characters.
    EXPECT_TRUE(base::MatchesPattern(ReceivedFilmName("10234", 7), "10234???.*"));
    EXPECT_FALSE(base::MatchesPattern(ReceivedFilmName("10234", 7), "10234_?.*"))
        << "never a tracing's own picture name";

    testing::TempDir dir;
    dir.Write("pics/10234_1.jpg", "the tracing's picture");
    dir.Write("pics/10234r01.dcm", "an earlier film");
    const std::string pics = dir.str() + "/pics/";
    const auto first = FileReceivedFilm(pics, "10234", "film A");
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, pics + "10234r02.dcm");
    const auto second = FileReceivedFilm(pics, "10234", "film B");
    ASSERT_TRUE(second);
    EXPECT_EQ(testing::Slurp(*second), "film B");
    EXPECT_EQ(testing::Slurp(pics + "10234r01.dcm"), "an earlier film");
    EXPECT_EQ(testing::Slurp(pics + "10234_1.jpg"), "the tracing's picture");
    EXPECT_EQ(testing::FileNames(pics), (std::vector<std::string>{"10234_1.jpg", "10234r01.dcm",
                                                                  "10234r02.dcm", "10234r03.dcm"}))
        << "no scratch file left";
}

TEST(ReceivedFilms, ACodeThatCouldLeaveTheFolderIsRefusedWithNothingWritten) {
    testing::TempDir dir;
    fs::create_directories(dir.path() / "pics");
    const std::string pics = dir.str() + "/pics/";
    for (const char* code : {"", "../10234", "a/b", "CON", "10234.", "x\ny"}) {
        const auto filed = FileReceivedFilm(pics, code, "film");
        ASSERT_FALSE(filed) << code;
        EXPECT_FALSE(filed.why().detail.empty()) << code;
    }
    EXPECT_TRUE(testing::FileNames(pics).empty());
    EXPECT_FALSE(fs::exists(dir.path() / "10234r01.dcm"));
}

TEST(ReceivedFilms, FilmsArrivingTogetherAreEachFiledOnce) {
    testing::TempDir dir;
    fs::create_directories(dir.path() / "pics");
    const std::string pics = dir.str() + "/pics/";
    constexpr int kSenders = 8;
    std::vector<std::string> got(kSenders);
    std::vector<std::thread> senders;
    for (int i = 0; i < kSenders; ++i)
        senders.emplace_back([&, i] {
            const std::string film(100000 + i, static_cast<char>('a' + i));
            const auto filed = FileReceivedFilm(pics, "10234", film);
            if (filed) got[static_cast<std::size_t>(i)] = *filed;
        });
    for (std::thread& t : senders)
        t.join();
    std::set<std::string> paths(got.begin(), got.end());
    EXPECT_EQ(paths.size(), std::size_t{kSenders}) << "each under a name of its own";
    for (int i = 0; i < kSenders; ++i)
        EXPECT_EQ(testing::Slurp(got[static_cast<std::size_t>(i)]),
                  std::string(100000 + i, static_cast<char>('a' + i)));
    EXPECT_EQ(testing::FileNames(pics).size(), std::size_t{kSenders});
}

TEST(ReceivedFilms, EveryNameTakenIsToldAndNothingReplaced) {
    testing::TempDir dir;
    const std::string pics = dir.str() + "/pics/";
    for (int n = 1; n <= kMostReceivedFilms; ++n)
        dir.Write("pics/" + ReceivedFilmName("7", n), "old");
    const auto filed = FileReceivedFilm(pics, "7", "new");
    ASSERT_FALSE(filed);
    EXPECT_NE(filed.why().detail.find("99"), std::string::npos);
    EXPECT_EQ(testing::Slurp(pics + "7r50.dcm"), "old");
}

TEST(ReceivedFilms, FilmsOfNoPatientAreKeptInIncomingBesideThePictureFolder) {
    testing::TempDir dir;
    dir.Write("data/pics/10234_1.jpg", "a tracing's picture");
    const std::string pics = dir.str() + "/data/pics/";
    EXPECT_EQ(IncomingFolder(pics),
              base::WithTrailingSeparator(base::FromPath(dir.path() / "data" / "incoming")));
    const auto first = FileIncomingFilm(pics, "20261210-174800", "film A");
    const auto second = FileIncomingFilm(pics, "20261210-174800", "film B");
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_EQ(*first, IncomingFolder(pics) + "20261210-174800-01.dcm");
    EXPECT_EQ(testing::Slurp(*second), "film B");
    EXPECT_EQ(testing::FileNames(pics), std::vector<std::string>{"10234_1.jpg"})
        << "none in the menu";
}

}  // namespace
}  // namespace ceph::store
