// The radiographs practices really have: DICOM files in every compression X-ray systems
// write, deep grey TIFFs and PNGs, and camera JPEGs stored on their side. Each file is
// made here, so the known pixel values can be checked.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <QBuffer>
#include <QImageWriter>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "dicom_files.h"
#include "platform/dicom_codec.h"
#include "platform/headless_services.h"
#include "platform/jpeg_codec.h"
#include "platform/picture_file.h"
#include "platform/picture_levels.h"
#include "platform/pictures.h"
#include "report/full_report.h"
#include "support/temp_dir.h"

namespace ceph {
namespace {

using platform::DecodedPicture;
using testing::DicomPattern;
using testing::DicomPicture;
using testing::WriteDicom;

DecodedPicture Decode(const std::string& bytes, std::string* error) {
    QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return platform::DecodePicture(data, error);
}

std::uint16_t Level16(const QImage& image, int x, int y) {
    return reinterpret_cast<const std::uint16_t*>(image.constScanLine(y))[x];
}

// Replaces the value of an unsigned short element of the main data set (the file's
// first occurrence of the tag, explicitly coded).
void PatchUnsignedShort(std::string& file, std::uint16_t group, std::uint16_t element,
                        std::uint16_t value) {
    const char tag[4] = {static_cast<char>(group & 0xFF), static_cast<char>(group >> 8),
                         static_cast<char>(element & 0xFF), static_cast<char>(element >> 8)};
    const std::size_t at = file.find(std::string(tag, 4) + "US");
    ASSERT_NE(at, std::string::npos);
    file[at + 8] = static_cast<char>(value & 0xFF);
    file[at + 9] = static_cast<char>(value >> 8);
}

TEST(DicomDecoder, EverySyntaxGivesTheStoredValuesWhateverTheFileName) {
    DicomPicture p;
    p.values = DicomPattern(p.width, p.height, 12);
    const struct {
        gdcm::TransferSyntax::TSType syntax;
        const char* name;
    } syntaxes[] = {{gdcm::TransferSyntax::ExplicitVRLittleEndian, "explicit"},
                    {gdcm::TransferSyntax::ImplicitVRLittleEndian, "implicit"},
                    {gdcm::TransferSyntax::JPEG2000Lossless, "jpeg2000"},
                    {gdcm::TransferSyntax::JPEGLSLossless, "jpegls"},
                    {gdcm::TransferSyntax::JPEGLosslessProcess14_1, "jpeg lossless"},
                    {gdcm::TransferSyntax::RLELossless, "rle"}};
    testing::TempDir dir;
    for (const auto& s : syntaxes) {
        SCOPED_TRACE(s.name);
        p.syntax = s.syntax;
        const std::string file = WriteDicom(p);
        ASSERT_FALSE(file.empty());
        const std::string path = dir.Write(std::string(s.name) + ".jpg", file).string();
        platform::PictureStore store;
        const auto ref = store.Load(path);
        ASSERT_TRUE(ref) << ref.why().detail;
        EXPECT_EQ(ref->bits, 16);
        EXPECT_EQ(ref->widthPx, p.width);
        EXPECT_EQ(ref->heightPx, p.height);
        EXPECT_FALSE(ref->histogramWindow.empty());
        EXPECT_EQ(ref->damage, "");
        const QImage& image = store.Deep(*ref);
        ASSERT_EQ(image.format(), QImage::Format_Grayscale16);
        int wrong = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                wrong +=
                    Level16(image, x, y) != p.values[static_cast<std::size_t>(y) * p.width + x];
        EXPECT_EQ(wrong, 0);
    }
}

TEST(DicomDecoder, RescaleWindowAndMonochrome1) {
    // A negative intercept: the values move up so none is negative, the window with them.
    DicomPicture p;
    p.width = p.height = 32;
    p.values = DicomPattern(p.width, p.height, 12);
    p.values[0] = 0;
    p.values[1] = 4095;
    p.texts = {{gdcm::Tag(0x0028, 0x1052), "-1024"},
               {gdcm::Tag(0x0028, 0x1053), "1"},
               {gdcm::Tag(0x0028, 0x1050), "500"},
               {gdcm::Tag(0x0028, 0x1051), "2000"}};
    std::string error;
    DecodedPicture d = Decode(WriteDicom(p), &error);
    ASSERT_FALSE(d.image.isNull()) << error;
    EXPECT_EQ(Level16(d.image, 0, 0), 0);
    EXPECT_EQ(Level16(d.image, 1, 0), 4095);
    EXPECT_EQ(Level16(d.image, 5, 3), p.values[3 * 32 + 5]);
    EXPECT_DOUBLE_EQ(d.fileWindow.level, 1524);
    EXPECT_DOUBLE_EQ(d.fileWindow.width, 2000);

    // MONOCHROME1: the lowest stored value is white, so it becomes the highest; the
    // window turns with the values.
    p.monochrome1 = true;
    p.texts.resize(2);
    p.texts.push_back({gdcm::Tag(0x0028, 0x1050), "1000"});
    p.texts.push_back({gdcm::Tag(0x0028, 0x1051), "400"});
    d = Decode(WriteDicom(p), &error);
    ASSERT_FALSE(d.image.isNull()) << error;
    EXPECT_EQ(Level16(d.image, 0, 0), 4095);
    EXPECT_EQ(Level16(d.image, 1, 0), 0);
    EXPECT_DOUBLE_EQ(d.fileWindow.level, 4095 - (1000 + 1024));
    EXPECT_DOUBLE_EQ(d.fileWindow.width, 400);

    // A VOI LUT in place of the window, over rescaled values below zero: its output
    // values are the picture's, its range the file's window.
    p.monochrome1 = false;
    p.texts.resize(1);
    p.lutFirst = -500;
    for (int i = 0; i < 2048; ++i)
        p.lut.push_back(static_cast<std::uint16_t>(1000 + 2 * i));
    p.values[2] = 1024 - 400;
    d = Decode(WriteDicom(p), &error);
    ASSERT_FALSE(d.image.isNull()) << error;
    EXPECT_EQ(Level16(d.image, 0, 0), 1000);
    EXPECT_EQ(Level16(d.image, 1, 0), 1000 + 2 * 2047);
    EXPECT_EQ(Level16(d.image, 2, 0), 1000 + 2 * 100);
    EXPECT_DOUBLE_EQ(d.fileWindow.level, 1000 + 2047);
    EXPECT_DOUBLE_EQ(d.fileWindow.width, 2 * 2047);

    // Rescaled values all above zero but beyond 16 bits are scaled down, the highest two
    // still apart.
    p.lut.clear();
    p.texts = {{gdcm::Tag(0x0028, 0x1052), "1000"}, {gdcm::Tag(0x0028, 0x1053), "20"}};
    p.values[0] = 4094;
    d = Decode(WriteDicom(p), &error);
    ASSERT_FALSE(d.image.isNull()) << error;
    EXPECT_EQ(Level16(d.image, 1, 0), 65535);
    EXPECT_LT(Level16(d.image, 0, 0), 65535);

    // A rescale past what a double holds is damage: the stored values are shown.
    p.texts = {{gdcm::Tag(0x0028, 0x1053), "1e308"}};
    d = Decode(WriteDicom(p), &error);
    ASSERT_FALSE(d.image.isNull()) << error;
    EXPECT_EQ(Level16(d.image, 5, 3), p.values[3 * 32 + 5]);

    // Signed values with no rescale: the most negative becomes 0.
    DicomPicture s;
    s.width = s.height = 16;
    s.bitsStored = 16;
    s.isSigned = true;
    s.values.assign(256, 0);
    s.values[0] = static_cast<std::uint16_t>(-32768);
    s.values[1] = static_cast<std::uint16_t>(-1);
    s.values[2] = 100;
    d = Decode(WriteDicom(s), &error);
    ASSERT_FALSE(d.image.isNull()) << error;
    EXPECT_EQ(Level16(d.image, 0, 0), 0);
    EXPECT_EQ(Level16(d.image, 1, 0), 32767);
    EXPECT_EQ(Level16(d.image, 2, 0), 32868);
}

TEST(DicomDecoder, SpacingFromTheImagerCorrectedByTheMagnification) {
    DicomPicture p;
    p.width = p.height = 16;
    p.values.assign(256, 7);
    const auto spacing = [&](std::vector<std::pair<gdcm::Tag, std::string>> texts) {
        p.texts = std::move(texts);
        std::string error;
        const DecodedPicture d = Decode(WriteDicom(p), &error);
        EXPECT_FALSE(d.image.isNull()) << error;
        return std::pair(d.spacingX, d.spacingY);
    };
    const gdcm::Tag imager(0x0018, 0x1164), magnification(0x0018, 0x1114), pixel(0x0028, 0x0030);
    // Rows first: the spacing down, then across.
    EXPECT_EQ(spacing({{imager, "0.2\\0.1"}}), std::pair(0.1, 0.2));
    const auto [x, y] = spacing({{imager, "0.11\\0.11"}, {magnification, "1.1"}});
    EXPECT_NEAR(x, 0.1, 1e-12);
    EXPECT_NEAR(y, 0.1, 1e-12);
    EXPECT_EQ(spacing({{imager, "0.11\\0.11"}, {magnification, "0"}}), std::pair(0.11, 0.11));
    EXPECT_EQ(spacing({{pixel, "0.15\\0.14"}}), std::pair(0.14, 0.15));
    EXPECT_EQ(spacing({{imager, "25\\abc"}}), std::pair(0.0, 0.0));
    EXPECT_EQ(spacing({}), std::pair(0.0, 0.0));
}

TEST(DicomDecoder, RefusesWhatItCannotShowWithTheReason) {
    std::string error;
    EXPECT_TRUE(platform::DecodeDicom("not a DICOM file at all", 23, &error).image.isNull());
    EXPECT_NE(error.find("不是 DICOM"), std::string::npos) << error;

    DicomPicture p;
    p.values = DicomPattern(p.width, p.height, 12);
    for (const auto syntax :
         {gdcm::TransferSyntax::ExplicitVRLittleEndian, gdcm::TransferSyntax::JPEG2000Lossless}) {
        p.syntax = syntax;
        std::string file = WriteDicom(p);
        file.resize(file.size() - 300);
        error.clear();
        EXPECT_TRUE(Decode(file, &error).image.isNull());
        EXPECT_NE(error.find("截斷"), std::string::npos) << error;
    }

    p.syntax = gdcm::TransferSyntax::ExplicitVRLittleEndian;
    std::string huge = WriteDicom(p);
    PatchUnsignedShort(huge, 0x0028, 0x0010, 60000);
    PatchUnsignedShort(huge, 0x0028, 0x0011, 60000);
    EXPECT_TRUE(Decode(huge, &error).image.isNull());
    EXPECT_EQ(error, platform::PictureTooLargeReason(60000, 60000));

    // Within the size limits, but its pixels and GDCM's buffers together exceed the
    // memory allowed: refused before GDCM allocates them.
    std::string heavy = WriteDicom(p);
    PatchUnsignedShort(heavy, 0x0028, 0x0010, 16000);
    PatchUnsignedShort(heavy, 0x0028, 0x0011, 16000);
    EXPECT_TRUE(Decode(heavy, &error).image.isNull());
    EXPECT_NE(error.find("記憶體"), std::string::npos) << error;

    // A value representation no one knows: GDCM's reader would stop the program.
    std::string unknown = WriteDicom(p);
    unknown[unknown.find(std::string("\x28\x00\x10\x00US", 6)) + 4] = 'Z';
    EXPECT_TRUE(Decode(unknown, &error).image.isNull());
    EXPECT_NE(error.find("損壞"), std::string::npos) << error;

    // A compressed stream larger than the header says is refused before its decoder
    // writes past the buffer the header sizes, even behind an empty first fragment.
    for (const auto syntax :
         {gdcm::TransferSyntax::JPEG2000Lossless, gdcm::TransferSyntax::JPEGLosslessProcess14_1}) {
        p.syntax = syntax;
        std::string larger = WriteDicom(p);
        PatchUnsignedShort(larger, 0x0028, 0x0010, 16);
        const std::size_t table = larger.find(std::string("\xFE\xFF\x00\xE0", 4));
        ASSERT_NE(table, std::string::npos);
        std::uint32_t tableLength = 0;
        std::memcpy(&tableLength, larger.data() + table + 4, 4);
        larger.insert(table + 8 + tableLength, std::string("\xFE\xFF\x00\xE0\0\0\0\0", 8));
        error.clear();
        EXPECT_TRUE(Decode(larger, &error).image.isNull());
        EXPECT_NE(error.find("不符"), std::string::npos) << error;
    }
    p.syntax = gdcm::TransferSyntax::ExplicitVRLittleEndian;

    // A file that ends where its pixel data would begin was cut short.
    std::string empty = WriteDicom(p);
    empty.resize(empty.find(std::string("\xE0\x7F\x10\x00", 4)));
    EXPECT_TRUE(Decode(empty, &error).image.isNull());
    EXPECT_NE(error.find("截斷"), std::string::npos) << error;
}

TEST(DicomDecoder, TwelveBitsInTheUpperPartOfSixteenShowTheSameFilm) {
    // Some detectors store their 12 bits in the upper part of the 16 allocated, the high
    // bit at 15: the same film as its 12 bits stored in the lower part.
    DicomPicture p;
    p.values = DicomPattern(p.width, p.height, 12);
    std::string error;
    const DecodedPicture low = Decode(WriteDicom(p), &error);
    ASSERT_FALSE(low.image.isNull()) << error;
    for (std::uint16_t& v : p.values)
        v = static_cast<std::uint16_t>(v << 4);
    std::string file = WriteDicom(p);
    PatchUnsignedShort(file, 0x0028, 0x0102, 15);
    const DecodedPicture high = Decode(file, &error);
    ASSERT_FALSE(high.image.isNull()) << error;
    EXPECT_EQ(high.image, low.image);
    EXPECT_EQ(high.fileWindow, low.fileWindow);
}

// The film may be the only copy: a compressed frame damaged where its decoder can tell is
// shown as far as it goes, with the damage named, never as if it were whole.
TEST(DicomDecoder, DamagedCompressedFramesAreShownWithTheDamageNamed) {
    DicomPicture p;
    p.values = DicomPattern(p.width, p.height, 12);
    for (const auto syntax :
         {gdcm::TransferSyntax::RLELossless, gdcm::TransferSyntax::JPEG2000Lossless}) {
        SCOPED_TRACE(syntax);
        p.syntax = syntax;
        const std::string whole = WriteDicom(p);
        std::string error;
        const DecodedPicture intact = Decode(whole, &error);
        ASSERT_FALSE(intact.image.isNull()) << error;
        EXPECT_EQ(intact.damage, "");
        const DecodedPicture cut = Decode(testing::CutFirstFragment(whole, 0.6), &error);
        ASSERT_EQ(cut.image.size(), intact.image.size()) << error;
        EXPECT_NE(
            cut.damage.find(syntax == gdcm::TransferSyntax::RLELossless ? "RLE" : "JPEG 2000"),
            std::string::npos)
            << cut.damage;
        // What a run-length stream still holds is the film's (a JPEG 2000 one refines the
        // whole picture as it goes).
        if (syntax == gdcm::TransferSyntax::RLELossless) {
            EXPECT_EQ(Level16(cut.image, 5, 0), Level16(intact.image, 5, 0));
        }
    }

    // A run-length segment holding more than its rows is damage too.
    p.syntax = gdcm::TransferSyntax::RLELossless;
    std::string longer = WriteDicom(p);
    const std::size_t end = longer.rfind(std::string("\xFE\xFF\xDD\xE0", 4));
    ASSERT_NE(end, std::string::npos);
    longer.insert(end, "\xFF\x07", 2);  // one byte more, repeated
    const std::size_t item = longer.rfind(std::string("\xFE\xFF\x00\xE0", 4), end);
    std::uint32_t length = 0;
    std::memcpy(&length, longer.data() + item + 4, 4);
    length += 2;
    std::memcpy(longer.data() + item + 4, &length, 4);
    std::string error;
    const DecodedPicture over = Decode(longer, &error);
    ASSERT_FALSE(over.image.isNull()) << error;
    EXPECT_NE(over.damage.find("多出"), std::string::npos) << over.damage;
}

TEST(DicomDecoder, JpegLsStreamCutShortIsRefusedAsCut) {
    // A 300 × 380 film whose stream was cut, its lengths kept consistent: the decoder
    // read on past the end for seconds before refusing it, the window frozen meanwhile.
    DicomPicture p;
    p.width = 300;
    p.height = 380;
    p.values = DicomPattern(p.width, p.height, 12);
    std::uint32_t noise = 1;
    for (std::uint16_t& v : p.values) {
        noise = noise * 1664525u + 1013904223u;
        v = static_cast<std::uint16_t>((v + (noise >> 26)) & 0x0FFF);
    }
    p.syntax = gdcm::TransferSyntax::JPEGLSLossless;
    const std::string whole = WriteDicom(p);
    std::string error;
    ASSERT_FALSE(Decode(whole, &error).image.isNull()) << error;
    for (const double keep : {1.0 / 3, 0.5}) {
        error.clear();
        EXPECT_TRUE(Decode(testing::CutFirstFragment(whole, keep), &error).image.isNull());
        EXPECT_NE(error.find("截斷"), std::string::npos) << keep << " " << error;
    }
}

TEST(DicomDecoder, ReasonsNameWhatIsReallyWrong) {
    DicomPicture p;
    p.values = DicomPattern(p.width, p.height, 12);
    std::string error;
    // A frame count no film has, not a pixel format said to be unsupported.
    p.texts = {{gdcm::Tag(0x0028, 0x0008), "1000000000"}};
    EXPECT_TRUE(Decode(WriteDicom(p), &error).image.isNull());
    EXPECT_NE(error.find("1000000000 個影格"), std::string::npos) << error;

    // Cut inside its header: cut short, not a file without a picture.
    p.texts.clear();
    const std::string file = WriteDicom(p);
    const std::size_t columns = file.find(std::string("\x28\x00\x11\x00", 4));
    ASSERT_NE(columns, std::string::npos);
    EXPECT_TRUE(Decode(file.substr(0, columns), &error).image.isNull());
    EXPECT_NE(error.find("截斷"), std::string::npos) << error;

    // A data set that holds no picture at all (a structured report) says so.
    gdcm::Writer writer;
    writer.GetFile().GetHeader().SetDataSetTransferSyntax(
        gdcm::TransferSyntax::ExplicitVRLittleEndian);
    gdcm::DataSet& set = writer.GetFile().GetDataSet();
    set.Insert(gdcm::Attribute<0x0008, 0x0016>{"1.2.840.10008.5.1.4.1.1.88.11"}.GetAsDataElement());
    set.Insert(gdcm::Attribute<0x0008, 0x0018>{"1.2.3.4"}.GetAsDataElement());
    set.Insert(gdcm::Attribute<0x0008, 0x0060>{"SR"}.GetAsDataElement());
    std::ostringstream report;
    writer.SetStream(report);
    ASSERT_TRUE(writer.Write());
    EXPECT_TRUE(Decode(report.str(), &error).image.isNull());
    EXPECT_NE(error.find("沒有像素資料"), std::string::npos) << error;

#ifndef _WIN32
    // A device named as the picture: not a regular file, and never read.
    platform::HeadlessServices services;
    const report::FullRadiograph device =
        report::FindRadiograph(services, "/dev/zero", 0.5, 10, 20);
    EXPECT_TRUE(device.picture.empty());
    EXPECT_NE(device.problem.find("這不是一般檔案"), std::string::npos) << device.problem;
    EXPECT_EQ(device.problem.find("找不到"), std::string::npos) << device.problem;
#endif
}

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
        std::string error;
        const DecodedPicture d = Decode(file, &error);
        ASSERT_EQ(d.image.format(), QImage::Format_Grayscale16) << error;
        ASSERT_EQ(d.image.size(), QSize(width, height));
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                wrong += Level16(d.image, x, y) != values[y * width + x];
        EXPECT_EQ(wrong, 0);
        EXPECT_DOUBLE_EQ(d.spacingX, 0.1);
        EXPECT_DOUBLE_EQ(d.spacingY, 0.2);

        std::string cut = file;
        cut.resize(file.size() / 2);
        EXPECT_TRUE(Decode(cut, &error).image.isNull());
        EXPECT_NE(error.find("TIFF"), std::string::npos) << error;
    }

    std::string error;
    std::string whole = HeaderFirstTiff(20, 10);
    ASSERT_EQ(Decode(whole, &error).image.format(), QImage::Format_Grayscale16) << error;
    whole.resize(whole.size() - 100);
    EXPECT_TRUE(Decode(whole, &error).image.isNull());
    EXPECT_NE(error.find("TIFF"), std::string::npos) << error;

    // White is zero, stored on its side (the first row is the right-hand column).
    const std::string file =
        WriteTiff(dir, COMPRESSION_LZW, false, true, ORIENTATION_RIGHTTOP, values, width, height);
    const DecodedPicture d = Decode(file, &error);
    ASSERT_EQ(d.image.size(), QSize(height, width)) << error;
    EXPECT_EQ(Level16(d.image, height - 1, 0), 65535 - values[0]);
    EXPECT_EQ(Level16(d.image, height - 1 - 2, 3), 65535 - values[2 * width + 3]);
    EXPECT_DOUBLE_EQ(d.spacingX, 0.2);

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
    const DecodedPicture alpha = Decode(testing::Slurp(path), &error);
    ASSERT_EQ(alpha.image.format(), QImage::Format_Grayscale16) << error;
    EXPECT_EQ(Level16(alpha.image, 0, 0), 100);
    EXPECT_EQ(Level16(alpha.image, 1, 0), 2000);
    EXPECT_EQ(Level16(alpha.image, 2, 0), 3000);
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
        std::string error;
        const DecodedPicture d = Decode(TiffWithResolution(dir, c.unit, c.resolution), &error);
        ASSERT_FALSE(d.image.isNull()) << error;
        EXPECT_NEAR(d.spacingX, c.mm, 1e-6);
        EXPECT_NEAR(d.spacingY, c.mm, 1e-6);
    }
}

TEST(DeepPng, KeepsItsSixteenBitsAndItsHistogramWindow) {
    QImage deep(100, 10, QImage::Format_Grayscale16);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 100; ++x)
            reinterpret_cast<std::uint16_t*>(deep.scanLine(y))[x] =
                static_cast<std::uint16_t>(1000 + x * 100);
    testing::TempDir dir;
    const std::string path = (dir.path() / "deep.png").string();
    ASSERT_TRUE(deep.save(QString::fromStdString(path), "PNG"));
    platform::PictureStore store;
    const auto ref = store.Load(path);
    ASSERT_TRUE(ref) << ref.why().detail;
    EXPECT_EQ(ref->bits, 16);
    EXPECT_EQ(store.Deep(*ref).format(), QImage::Format_Grayscale16);
    EXPECT_EQ(Level16(store.Deep(*ref), 37, 4), 4700);
    // 1000 pixels: the 0.5 % point is the 6th lowest, the 99.5 % one the 995th.
    EXPECT_DOUBLE_EQ(ref->histogramWindow.level, (1000 + 10900) / 2.0);
    EXPECT_DOUBLE_EQ(ref->histogramWindow.width, 9900);
    EXPECT_TRUE(platform::HistogramWindow(QImage(4, 4, QImage::Format_RGB32)).empty());

    // Added without a file (a 16-bit PNG on the clipboard): the same window, not the
    // near-black of every level a picture can hold.
    const ui::PictureRef added = store.Add(deep);
    EXPECT_EQ(added.histogramWindow, ref->histogramWindow);
    EXPECT_GT(qGray(store.Get(added).pixel(50, 0)), 100);
}

// A JPEG of a picture 32 wide and 16 high, dark, with a white block at its stored
// top-left corner and a mid-grey one at its top-right, and an EXIF block giving the
// orientation.
std::string OrientedJpeg(int orientation) {
    QImage image(32, 16, QImage::Format_Grayscale8);
    image.fill(0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            image.scanLine(y)[x] = 255;
            image.scanLine(y)[24 + x] = 128;
        }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "JPG").write(image);
    const unsigned char exif[] = {0xFF,
                                  0xE1,
                                  0x00,
                                  0x22,
                                  'E',
                                  'x',
                                  'i',
                                  'f',
                                  0,
                                  0,
                                  'I',
                                  'I',
                                  0x2A,
                                  0x00,
                                  8,
                                  0,
                                  0,
                                  0,
                                  1,
                                  0,
                                  0x12,
                                  0x01,
                                  3,
                                  0,
                                  1,
                                  0,
                                  0,
                                  0,
                                  static_cast<unsigned char>(orientation),
                                  0,
                                  0,
                                  0,
                                  0,
                                  0,
                                  0,
                                  0};
    std::string bytes(jpeg.constData(), static_cast<std::size_t>(jpeg.size()));
    bytes.insert(2, reinterpret_cast<const char*>(exif), sizeof exif);
    return bytes;
}

TEST(JpegOrientation, EveryExifOrientationReachesTheStoreUpright) {
    // Where the stored top-left and top-right blocks land once upright, as the corner of
    // the upright picture: 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left.
    const struct {
        int white, grey;
    } expected[9] = {{}, {0, 1}, {1, 0}, {2, 3}, {3, 2}, {0, 3}, {1, 2}, {2, 1}, {3, 0}};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        std::string error;
        const QImage image = Decode(OrientedJpeg(orientation), &error).image;
        ASSERT_FALSE(image.isNull()) << error;
        EXPECT_EQ(image.size(), orientation >= 5 ? QSize(16, 32) : QSize(32, 16));
        const auto level = [&](int corner) {
            const int x = corner == 0 || corner == 3 ? 3 : image.width() - 4;
            const int y = corner < 2 ? 3 : image.height() - 4;
            return qGray(image.pixel(x, y));
        };
        EXPECT_GT(level(expected[orientation].white), 220);
        EXPECT_NEAR(level(expected[orientation].grey), 128, 20);
    }
}

}  // namespace
}  // namespace ceph
