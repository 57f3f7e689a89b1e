// JPEG pictures: what their frame tells before any pixel is allocated, and camera JPEGs
// stored on their side, written here by the pictures' own JPEG writer.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pictures/decoded.h"
#include "pictures/jpeg_codec.h"
#include "pictures/jpeg_frame.h"
#include "pictures/jpeg_writer.h"
#include "support/temp_dir.h"

namespace ceph {
namespace {

using testing::Decoded;
using testing::Reason;

// The JPEG the writer makes of `pixels` (Grey8 or Rgb32).
std::string WrittenJpeg(const pictures::Pixels& pixels, int quality) {
    testing::TempDir dir;
    const std::string path = (dir.path() / "written.jpg").string();
    pictures::JpegSource source;
    source.width = pixels.width;
    source.height = pixels.height;
    source.layout = pixels.format == pictures::PixelFormat::Grey8
                        ? pictures::JpegSource::Layout::Grey
                        : pictures::JpegSource::Layout::Rgb32;
    source.rowsPerStep = 16;
    source.rows = [&](int y, int count, std::vector<const unsigned char*>& rows) {
        rows.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            rows[static_cast<std::size_t>(i)] = pixels.Row(y + i);
        return true;
    };
    EXPECT_FALSE(pictures::WriteJpeg(source, path, quality));
    return testing::Slurp(path);
}

// A JPEG of a picture 32 wide and 16 high, dark, with a white block at its stored
// top-left corner and a mid-grey one at its top-right, and an EXIF block giving the
// orientation.
std::string OrientedJpeg(int orientation) {
    pictures::Pixels image = pictures::NewPixels(32, 16, pictures::PixelFormat::Grey8);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            image.Row(y)[x] = y < 8 && x < 8 ? 255 : y < 8 && x >= 24 ? 128 : 0;
    const unsigned char exif[] = {0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0,    0,    'I', 'I',
                                  0x2A, 0x00, 8,    0,    0,   0,   1,   0,   0x12, 0x01, 3,   0,
                                  1,    0,    0,    0,    0,   0,   0,   0,   0,    0,    0,   0};
    std::string bytes = WrittenJpeg(image, 90);
    std::string block(reinterpret_cast<const char*>(exif), sizeof exif);
    block[28] = static_cast<char>(orientation);
    bytes.insert(2, block);
    return bytes;
}

TEST(JpegOrientation, EveryExifOrientationIsTurnedUpright) {
    // Where the stored top-left and top-right blocks land once upright, as the corner of
    // the upright picture: 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left.
    const struct {
        int white, grey;
    } expected[9] = {{}, {0, 1}, {1, 0}, {2, 3}, {3, 2}, {0, 3}, {1, 2}, {2, 1}, {3, 0}};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const auto d = Decoded(OrientedJpeg(orientation));
        ASSERT_TRUE(d) << Reason(d);
        const pictures::Pixels& image = d->pixels;
        ASSERT_EQ(image.format, pictures::PixelFormat::Grey8);
        EXPECT_EQ(image.width, orientation >= 5 ? 16 : 32);
        EXPECT_EQ(image.height, orientation >= 5 ? 32 : 16);
        const auto level = [&](int corner) {
            const int x = corner == 0 || corner == 3 ? 3 : image.width - 4;
            const int y = corner < 2 ? 3 : image.height - 4;
            return testing::Level8(image, x, y);
        };
        EXPECT_GT(level(expected[orientation].white), 220);
        EXPECT_NEAR(level(expected[orientation].grey), 128, 20);
    }
}

// What the frame tells, read from what libjpeg writes: its sampling sets the coefficient
// buffer libjpeg allocates and the least length of a whole file.
TEST(JpegFrameTest, SamplingAndScansSetTheMemoryAndTheLeastLength) {
    pictures::Pixels colour = pictures::NewPixels(64, 48, pictures::PixelFormat::Rgb32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            reinterpret_cast<std::uint32_t*>(colour.Row(y))[x] = pictures::Rgb32(200, 40, 60);
    const std::string baseline = WrittenJpeg(colour, 90);
    const auto frameOf = [](const std::string& bytes, pictures::JpegFrame* frame) {
        return pictures::ReadJpegFrame(reinterpret_cast<const unsigned char*>(bytes.data()),
                                       bytes.size(), frame);
    };
    // One interleaved scan needs no buffer of the whole picture.
    pictures::JpegFrame frame;
    ASSERT_TRUE(frameOf(baseline, &frame));
    EXPECT_TRUE(frame.huffman);
    EXPECT_FALSE(frame.progressive);
    ASSERT_EQ(frame.components, 3);
    EXPECT_EQ(frame.hSampling[0] * 10 + frame.vSampling[0], 22) << "brightness at 2×2";
    EXPECT_EQ(pictures::JpegCoefficientBytes(frame, 1001, 1001), 0);

    // The same frame, progressive: 1001 pixels are 126 blocks of brightness (two sampling
    // units, whole) and 63 of each chroma, every block 64 coefficients of two bytes.
    std::string progressive = baseline;
    progressive[progressive.find("\xFF\xC0") + 1] = '\xC2';
    ASSERT_TRUE(frameOf(progressive, &frame));
    EXPECT_TRUE(frame.huffman && frame.progressive);
    EXPECT_EQ(pictures::JpegCoefficientBytes(frame, 1001, 1001), (126 * 126 + 2 * 63 * 63) * 128);
    const std::size_t least = (126 * 126 + 2 * 63 * 63) / 16;
    EXPECT_TRUE(pictures::JpegLongEnough(frame, 1001, 1001, least).ok());
    const auto shorter = pictures::JpegLongEnough(frame, 1001, 1001, least - 1);
    ASSERT_FALSE(shorter.ok());
    EXPECT_NE(shorter.why().detail.find("1001 × 1001"), std::string::npos) << shorter.why().detail;

    // Junk between segments is skipped, as libjpeg skips it, and the picture decodes.
    std::string junk = baseline;
    junk.insert(junk.find("\xFF\xC0"), "\x00\x12junk");
    EXPECT_TRUE(frameOf(junk, &frame));
    const auto decoded = pictures::DecodeJpegPixels(junk);
    EXPECT_TRUE(decoded) << decoded.why().detail;
}

// A JPEG TurboJPEG declines (its brightness sampled 3 × 1, outside TurboJPEG's list) goes
// to the format registered after JPEG that takes it (Qt's reader, in the program), and
// what that gives is turned upright like any JPEG; with none, the JPEG's own reason.
TEST(JpegDecoder, WhatTurboJpegDeclinesGoesToTheNextReaderAndIsTurnedUpright) {
    pictures::Pixels colour = pictures::NewPixels(32, 16, pictures::PixelFormat::Rgb32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            reinterpret_cast<std::uint32_t*>(colour.Row(y))[x] = pictures::Rgb32(x * 8, y * 16, 90);
    std::string bytes = WrittenJpeg(colour, 90);
    bytes[bytes.find("\xFF\xC0") + 11] = '\x31';
    const std::string exif(
        "\xFF\xE1\x00\x22"
        "Exif\0\0II\x2A\x00\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0"
        "\0\0\0\0",
        36);
    bytes.insert(2, exif);
    const std::string reason = Reason(Decoded(bytes));
    EXPECT_NE(reason.find("JPEG 檔頭損壞"), std::string::npos) << reason;

    const auto wide = [](std::string_view) -> base::Result<pictures::Picture> {
        pictures::Picture picture;
        picture.pixels = pictures::NewPixels(3, 1, pictures::PixelFormat::Grey8);
        for (int x = 0; x < 3; ++x)
            picture.pixels.Row(0)[x] = static_cast<unsigned char>(10 * (x + 1));
        return picture;
    };
    pictures::Register({"after JPEG", "", nullptr, pictures::IsJpeg, wide, ""});
    const auto d = Decoded(bytes);
    ASSERT_TRUE(d) << Reason(d);
    // Orientation 6: the stored row becomes the right-hand column, top down.
    ASSERT_EQ(d->pixels.width, 1);
    ASSERT_EQ(d->pixels.height, 3);
    EXPECT_EQ(testing::Level8(d->pixels, 0, 0), 10);
    EXPECT_EQ(testing::Level8(d->pixels, 0, 2), 30);
}

}  // namespace
}  // namespace ceph
