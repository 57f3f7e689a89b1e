// The film positions line: written and read back whatever the film's name holds, and
// a damaged line is no positions at all.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/filesys.h"
#include "store/film_positions.h"

namespace ceph::store {
namespace {

model::FilmPositions Sample() {
    model::FilmPositions film;
    film.picture = "sub dir/100%, a\r\nfilm.dcm";
    film.width = 2400, film.height = 1935;
    film.turn = {3, true};
    film.digest = "0123456789abcdef";
    for (int n = 1; n <= 19; ++n)
        film.at[n] = {n * 10.25, -n * 0.5};
    return film;
}

TEST(FilmPositionsLine, ReadsBackWhatItWrote) {
    const std::string line = FilmPositionsLine("00101", Sample());
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(line.rfind("00101,sub dir/100%25%2C a%0D%0Afilm.dcm,2400,1935,mirror+270,", 0), 0u)
        << line;
    const auto read = ReadFilmPositionsLine(line);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->code, "00101");
    EXPECT_EQ(read->film.picture, Sample().picture);
    EXPECT_EQ(read->film.turn, Sample().turn);
    EXPECT_EQ(read->film.digest, Sample().digest);
    for (int n = 1; n <= 19; ++n) {
        EXPECT_DOUBLE_EQ(read->film.at[n].x, Sample().at[n].x);
        EXPECT_DOUBLE_EQ(read->film.at[n].y, Sample().at[n].y);
    }
}

TEST(FilmPositionsLine, ADamagedLineIsNone) {
    const std::string good = FilmPositionsLine("00101", Sample());
    const auto damaged = [&](std::size_t field, std::string_view text) {
        std::string line = good;
        std::size_t start = 0;
        for (std::size_t k = 0; k < field; ++k)
            start = line.find(',', start) + 1;
        const std::size_t end = line.find(',', start);
        return line.replace(start, end - start, text);
    };
    EXPECT_FALSE(ReadFilmPositionsLine(good.substr(0, good.rfind(','))));  // a field short
    EXPECT_FALSE(ReadFilmPositionsLine(good + ",1"));
    EXPECT_FALSE(ReadFilmPositionsLine(damaged(0, "")));        // no patient
    EXPECT_FALSE(ReadFilmPositionsLine(damaged(1, "a%2")));     // a cut escape
    EXPECT_FALSE(ReadFilmPositionsLine(damaged(2, "0")));       // no width
    EXPECT_FALSE(ReadFilmPositionsLine(damaged(3, "19.5")));    // half a pixel
    EXPECT_FALSE(ReadFilmPositionsLine(damaged(4, "45")));      // no turn of a film
    EXPECT_FALSE(ReadFilmPositionsLine(damaged(5, "12345")));   // no digest of a line
    EXPECT_FALSE(ReadFilmPositionsLine(damaged(9, "nan")));     // a coordinate
    EXPECT_FALSE(ReadFilmPositionsLine(damaged(43, "1e300")));  // the last one
}

TEST(FilmPositionsLine, TheDigestFollowsTheCoordinatesAsStored) {
    model::PointTable x{}, y{};
    x[1] = 12.34f, y[1] = -70.0f;
    const std::string digest = CoordinatesDigest(x, y);
    EXPECT_EQ(digest.size(), 16u);
    x[1] = 12.3f;  // the same tenth, as the line keeps it
    EXPECT_EQ(CoordinatesDigest(x, y), digest);
    y[19] = 0.1f;
    EXPECT_NE(CoordinatesDigest(x, y), digest);
}

// The settings may name the picture folder relative to where the program runs, the
// picture dialog gives whole paths: a film in the folder is kept by its name in it, so the
// data folder can move; one elsewhere by its whole path.
TEST(FilmName, RelativeToThePictureFolderHoweverEitherIsWritten) {
    const std::string here = base::FromPath(std::filesystem::current_path()) + "/";
    EXPECT_EQ(FilmName("pictures/", here + "pictures/10234_3.jpg"), "10234_3.jpg");
    EXPECT_EQ(FilmName(here + "pictures/", "pictures/10234_3.jpg"), "10234_3.jpg");
    EXPECT_EQ(FilmName("pictures/", here + "pictures/./old/../10234_3.jpg"), "10234_3.jpg");
    EXPECT_EQ(FilmName("pictures/", here + "pictures2/x.jpg"), here + "pictures2/x.jpg");
    EXPECT_EQ(FilmName("pictures/", "pictures/../x.jpg"), "pictures/../x.jpg");
    EXPECT_EQ(FilmName("", "/films/x.jpg"), "/films/x.jpg");
}

}  // namespace
}  // namespace ceph::store
