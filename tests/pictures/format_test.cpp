// The picture formats as the program knows them, whatever decodes them: files recognised
// by their content in the order the formats were registered, the names the picker lists,
// pictures turned upright, and the checks Qt's readers need before they see a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "base/filesys.h"
#include "pictures/bitmap_files.h"
#include "pictures/bmp_png.h"
#include "pictures/format.h"
#include "pictures/orientation.h"

namespace ceph {
namespace {

base::Result<pictures::Picture> OnePixel(int level) {
    pictures::Picture picture;
    picture.pixels = pictures::NewPixels(1, 1, pictures::PixelFormat::Grey8);
    picture.pixels.Row(0)[0] = static_cast<unsigned char>(level);
    return picture;
}

int LevelOf(const base::Result<pictures::Picture>& picture) {
    return picture ? picture->pixels.Row(0)[0] : -1;
}

// Two formats of the test's own, recognised by their first bytes: "AA" (and, read by the
// second as well, "AB"), and "BB".
bool StartsA(std::string_view bytes) {
    return bytes.substr(0, 2) == "AA" || bytes.substr(0, 2) == "AB";
}
bool StartsB(std::string_view bytes) {
    return bytes.substr(0, 2) == "BB" || bytes.substr(0, 2) == "AB";
}
bool EndsInTilde(std::string_view name) {
    return !name.empty() && name.back() == '~';
}

TEST(Formats, FilesAreRecognisedByContentInTheOrderTheFormatsCame) {
    pictures::Register({"test A", "*.aa", nullptr, StartsA,
                        [](std::string_view) { return OnePixel(1); }, "不是 A"});
    pictures::Register({"test B", "*.bb;*.b2", EndsInTilde, StartsB,
                        [](std::string_view) { return OnePixel(2); }, "不是 B"});
    EXPECT_EQ(LevelOf(pictures::Decode("AAxx")), 1);
    EXPECT_EQ(LevelOf(pictures::Decode("BBxx")), 2);
    EXPECT_EQ(LevelOf(pictures::Decode("ABxx")), 1) << "the first registered that takes them";
    const auto unknown = pictures::Decode("zzzz");
    ASSERT_FALSE(unknown);
    EXPECT_EQ(unknown.why().detail, "不是可以辨識的圖檔格式");

    // Registered again, a format keeps its place.
    pictures::Register({"test A", "*.aa", nullptr, StartsA,
                        [](std::string_view) { return OnePixel(3); }, "不是 A"});
    EXPECT_EQ(LevelOf(pictures::Decode("ABxx")), 3);
    const pictures::Format& a =
        *std::find_if(pictures::Formats().begin(), pictures::Formats().end(),
                      [](const pictures::Format& f) { return f.name == "test A"; });
    ASSERT_NE(pictures::FormatAfter(a, "ABxx"), nullptr);
    EXPECT_EQ(pictures::FormatAfter(a, "ABxx")->name, "test B");
    EXPECT_EQ(pictures::FormatAfter(a, "AAxx"), nullptr);

    const auto notA = pictures::DecodeAs(a, "BBxx");
    ASSERT_FALSE(notA);
    EXPECT_EQ(notA.why().detail, "不是 A");

    // The picker's names: every format's patterns, and what a format names beyond them.
    const std::string patterns = pictures::NamePatterns();
    for (const char* name : {"x.AA", "y.bb", "z.b2"})
        EXPECT_TRUE(base::MatchesPattern(name, patterns)) << name << " in " << patterns;
    EXPECT_FALSE(base::MatchesPattern("x.ab", patterns));
    EXPECT_TRUE(pictures::NamedAsAny("backup~"));
    EXPECT_FALSE(pictures::NamedAsAny("backup"));
}

TEST(Formats, BareAndNumberedNamesAreToldApart) {
    for (const char* name : {"IM0001", "1.2.840.113619.2.5", "x.7"})
        EXPECT_TRUE(pictures::BareOrNumberedName(name)) << name;
    for (const char* name : {"", "a.b.7z", "x.JPG", "ceph.", "1.2.dcm"})
        EXPECT_FALSE(pictures::BareOrNumberedName(name)) << name;
}

// A 3 × 2 grey picture of six levels, turned by each orientation, and what the upright
// rows read.
TEST(Orientation, EveryOrientationPutsEachPixelInItsPlace) {
    pictures::Pixels stored = pictures::NewPixels(3, 2, pictures::PixelFormat::Grey8);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            stored.Row(y)[x] = static_cast<unsigned char>(1 + x + 3 * y);  // 1 2 3 / 4 5 6
    stored.dotsPerMeterX = 100;
    stored.dotsPerMeterY = 200;
    const char* const expected[9] = {"",       "123456", "321654", "654321", "456123",
                                     "142536", "415263", "635241", "362514"};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const auto turned = pictures::Upright(stored, orientation);
        ASSERT_TRUE(turned) << turned.why().detail;
        const bool across = orientation >= 5;
        ASSERT_EQ(turned->width, across ? 2 : 3);
        std::string read;
        for (int y = 0; y < turned->height; ++y)
            for (int x = 0; x < turned->width; ++x)
                read += static_cast<char>('0' + turned->Row(y)[x]);
        EXPECT_EQ(read, expected[orientation]);
        EXPECT_EQ(turned->dotsPerMeterX, across ? 200 : 100);
    }
    // Two and four bytes a pixel turn whole.
    for (const auto format : {pictures::PixelFormat::Grey16, pictures::PixelFormat::Rgb32}) {
        pictures::Pixels wide = pictures::NewPixels(2, 1, format);
        const int bytes = pictures::BitsPerPixel(format) / 8;
        for (int i = 0; i < 2 * bytes; ++i)
            wide.Row(0)[i] = static_cast<unsigned char>(i < bytes ? 0x11 : 0x22);
        const auto turned = pictures::Upright(wide, 2);
        ASSERT_TRUE(turned);
        EXPECT_EQ(turned->Row(0)[0], 0x22);
        EXPECT_EQ(turned->Row(0)[2 * bytes - 1], 0x11);
    }
}

TEST(QtReadersChecks, BitmapShortnessIsJudgedFromItsHeaderRows) {
    using pictures::BitmapDataShort;
    using testing::BitmapClaiming;
    // 100 bytes of pixels: 8 rows of 8 fit, 10 rows of 12 (rows padded to 4 bytes) do not.
    EXPECT_FALSE(BitmapDataShort(BitmapClaiming(8, 8)));
    EXPECT_FALSE(BitmapDataShort(BitmapClaiming(8, -8))) << "stored top down";
    EXPECT_TRUE(BitmapDataShort(BitmapClaiming(10, 10)));
    EXPECT_TRUE(BitmapDataShort(BitmapClaiming(10, -10)));
    // Heights with no size a picture can have are left to the size check, without
    // overflow on the way (-2^31 has no 32-bit opposite).
    for (int height : {INT_MIN, INT_MIN + 1, INT_MAX})
        EXPECT_FALSE(BitmapDataShort(BitmapClaiming(100, height))) << height;
}

}  // namespace
}  // namespace ceph
