// TIFF pictures as film scanners and X-ray systems write them (deep grey, in strips or
// tiles, compressed or not, on their side), written here by libtiff.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pictures/decoded.h"
#include "pictures/dicom_files.h"
#include "pictures/tiff_codec.h"
#include "support/temp_dir.h"

namespace ceph {
namespace {

using testing::Decoded;
using testing::DicomPattern;
using testing::Level16;
using testing::Reason;

// A 16-bit grey TIFF written by libtiff.
std::string WriteTiff(const testing::TempDir& dir, std::uint16_t compression, bool tiled,
                      bool whiteIsZero, std::uint16_t orientation,
                      const std::vector<std::uint16_t>& values, int width, int height) {
    const std::string path = (dir.path() / "deep.tif").string();
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (!t) return {};
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC,
                 whiteIsZero ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(t, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(t, TIFFTAG_ORIENTATION, orientation);
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER);
    TIFFSetField(t, TIFFTAG_XRESOLUTION, 100.0f);
    TIFFSetField(t, TIFFTAG_YRESOLUTION, 50.0f);
    if (tiled) {
        TIFFSetField(t, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(t, TIFFTAG_TILELENGTH, 16);
        std::vector<std::uint16_t> tile(256);
        for (int ty = 0; ty < height; ty += 16)
            for (int tx = 0; tx < width; tx += 16) {
                for (int r = 0; r < 16; ++r)
                    for (int c = 0; c < 16; ++c)
                        tile[r * 16 + c] = ty + r < height && tx + c < width
                                               ? values[(ty + r) * width + tx + c]
                                               : 0;
                TIFFWriteTile(t, tile.data(), tx, ty, 0, 0);
            }
    } else {
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 5);
        for (int y = 0; y < height; ++y)
            TIFFWriteScanline(t, const_cast<std::uint16_t*>(&values[y * width]), y, 0);
    }
    TIFFClose(t);
    return testing::Slurp(path);
}

// An uncompressed 16-bit grey TIFF with its directory before the pixels, as scanners
// write them: cut short, the directory is whole and only the pixels are missing.
std::string HeaderFirstTiff(int width, int height) {
    std::string bytes("II*\0\x08\0\0\0", 8);
    const auto put16 = [&](unsigned v) { bytes.append({char(v & 0xFF), char(v >> 8)}); };
    const auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    const std::uint32_t pixels = 8 + 2 + 9 * 12 + 4;
    const std::uint32_t entries[9][3] = {{256, 3, std::uint32_t(width)},
                                         {257, 3, std::uint32_t(height)},
                                         {258, 3, 16},
                                         {259, 3, 1},
                                         {262, 3, 1},
                                         {273, 4, pixels},
                                         {277, 3, 1},
                                         {278, 3, std::uint32_t(height)},
                                         {279, 4, std::uint32_t(width * height * 2)}};
    put16(9);
    for (const auto& e : entries) {
        put16(e[0]);
        put16(e[1]);
        put32(1);
        put32(e[2]);
    }
    put32(0);
    for (int i = 0; i < width * height; ++i)
        put16(static_cast<unsigned>(i * 97));
    return bytes;
}

TEST(TiffDecoder, DeepGreyInEveryLayout) {
    testing::TempDir dir;
    const int width = 40, height = 24;
    const std::vector<std::uint16_t> values = DicomPattern(width, height, 16);
    const struct {
        std::uint16_t compression;
        bool tiled;
    } layouts[] = {{COMPRESSION_NONE, false},
                   {COMPRESSION_LZW, false},
                   {COMPRESSION_ADOBE_DEFLATE, true},
                   {COMPRESSION_PACKBITS, true}};
    for (const auto& l : layouts) {
        SCOPED_TRACE(std::to_string(l.compression) + (l.tiled ? " tiled" : " strips"));
        const std::string file = WriteTiff(dir, l.compression, l.tiled, false, ORIENTATION_TOPLEFT,
                                           values, width, height);
        const auto d = Decoded(file);
        ASSERT_TRUE(d) << Reason(d);
        ASSERT_EQ(d->pixels.format, pictures::PixelFormat::Grey16);
        ASSERT_EQ(d->pixels.width, width);
        ASSERT_EQ(d->pixels.height, height);
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                wrong += Level16(d->pixels, x, y) != values[y * width + x];
        EXPECT_EQ(wrong, 0);
        EXPECT_DOUBLE_EQ(d->spacingX, 0.1);
        EXPECT_DOUBLE_EQ(d->spacingY, 0.2);

        std::string cut = file;
        cut.resize(file.size() / 2);
        const std::string error = Reason(Decoded(cut));
        EXPECT_NE(error.find("TIFF"), std::string::npos) << error;
    }

    std::string whole = HeaderFirstTiff(20, 10);
    const auto header = Decoded(whole);
    ASSERT_TRUE(header) << Reason(header);
    ASSERT_EQ(header->pixels.format, pictures::PixelFormat::Grey16);
    whole.resize(whole.size() - 100);
    const std::string error = Reason(Decoded(whole));
    EXPECT_NE(error.find("TIFF"), std::string::npos) << error;

    // White is zero, stored on its side (the first row is the right-hand column).
    const std::string file =
        WriteTiff(dir, COMPRESSION_LZW, false, true, ORIENTATION_RIGHTTOP, values, width, height);
    const auto d = Decoded(file);
    ASSERT_TRUE(d) << Reason(d);
    ASSERT_EQ(d->pixels.width, height);
    ASSERT_EQ(d->pixels.height, width);
    EXPECT_EQ(Level16(d->pixels, height - 1, 0), 65535 - values[0]);
    EXPECT_EQ(Level16(d->pixels, height - 1 - 2, 3), 65535 - values[2 * width + 3]);
    EXPECT_DOUBLE_EQ(d->spacingX, 0.2);

    // Grey with an alpha sample after each level: the levels alone reach the picture.
    const std::string path = (dir.path() / "alpha.tif").string();
    TIFF* t = TIFFOpen(path.c_str(), "w");
    ASSERT_TRUE(t);
    const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 3);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, 1);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 2);
    TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, extra);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    std::uint16_t row[] = {100, 65535, 2000, 65535, 3000, 65535};
    TIFFWriteScanline(t, row, 0, 0);
    TIFFClose(t);
    const auto alpha = Decoded(testing::Slurp(path));
    ASSERT_TRUE(alpha) << Reason(alpha);
    ASSERT_EQ(alpha->pixels.format, pictures::PixelFormat::Grey16);
    EXPECT_EQ(Level16(alpha->pixels, 0, 0), 100);
    EXPECT_EQ(Level16(alpha->pixels, 1, 0), 2000);
    EXPECT_EQ(Level16(alpha->pixels, 2, 0), 3000);
}

// An 8 × 8 grey TIFF with the given resolution across and down.
std::string TiffWithResolution(const testing::TempDir& dir, std::uint16_t unit, float resolution) {
    const std::string path = (dir.path() / "scaled.tif").string();
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (!t) return {};
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 8);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, 8);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, unit);
    TIFFSetField(t, TIFFTAG_XRESOLUTION, resolution);
    TIFFSetField(t, TIFFTAG_YRESOLUTION, resolution);
    unsigned char row[8] = {0, 30, 60, 90, 120, 150, 180, 210};
    for (int y = 0; y < 8; ++y)
        TIFFWriteScanline(t, row, static_cast<std::uint32_t>(y), 0);
    TIFFClose(t);
    return testing::Slurp(path);
}

TEST(TiffDecoder, AScreensResolutionIsNoSpacing) {
    // 72 and 96 per inch are what programs write that do not know the scale; per
    // centimetre, rounded. A scanner's own resolution, however near, is the spacing.
    const struct {
        std::uint16_t unit;
        float resolution;
        double mm;
    } cases[] = {{RESUNIT_INCH, 72, 0},
                 {RESUNIT_INCH, 96, 0},
                 {RESUNIT_CENTIMETER, 28.35f, 0},
                 {RESUNIT_CENTIMETER, 37.80f, 0},
                 {RESUNIT_CENTIMETER, 28.3465f, 0},
                 {RESUNIT_CENTIMETER, 28.3f, 0},
                 {RESUNIT_INCH, 75, 25.4 / 75},
                 {RESUNIT_INCH, 100, 0.254},
                 {RESUNIT_INCH, 300, 25.4 / 300},
                 {RESUNIT_CENTIMETER, 40, 0.25}};
    testing::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.resolution) + (c.unit == RESUNIT_INCH ? " /in" : " /cm"));
        const auto d = Decoded(TiffWithResolution(dir, c.unit, c.resolution));
        ASSERT_TRUE(d) << Reason(d);
        EXPECT_NEAR(d->spacingX, c.mm, 1e-6);
        EXPECT_NEAR(d->spacingY, c.mm, 1e-6);
    }
}

// A colour TIFF whose pixels are all grey is kept as one byte a pixel, as every grey
// picture the program keeps; one with colour stays in colour.
TEST(TiffDecoder, ColourOfGreyPixelsIsKeptGrey) {
    testing::TempDir dir;
    const auto rgb = [&](unsigned char red) {
        const std::string path = (dir.path() / "rgb.tif").string();
        TIFF* t = TIFFOpen(path.c_str(), "w");
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 2);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, 1);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        unsigned char row[] = {40, 40, 40, red, 90, 90};
        TIFFWriteScanline(t, row, 0, 0);
        TIFFClose(t);
        return Decoded(testing::Slurp(path));
    };
    const auto grey = rgb(90);
    ASSERT_TRUE(grey) << Reason(grey);
    ASSERT_EQ(grey->pixels.format, pictures::PixelFormat::Grey8);
    EXPECT_EQ(testing::Level8(grey->pixels, 0, 0), 40);
    EXPECT_EQ(testing::Level8(grey->pixels, 1, 0), 90);
    const auto colour = rgb(200);
    ASSERT_TRUE(colour) << Reason(colour);
    ASSERT_EQ(colour->pixels.format, pictures::PixelFormat::Rgb32);
    EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(colour->pixels.Row(0))[1],
              pictures::Rgb32(200, 90, 90));
}

}  // namespace
}  // namespace ceph
