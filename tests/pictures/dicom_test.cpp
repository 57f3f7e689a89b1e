// DICOM radiographs in every compression X-ray systems write, made here with GDCM's own
// writer so that the known values can be checked, and the damaged and hostile files
// refused with the reason (or, where the film can still be shown, shown with the damage
// named).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "base/filesys.h"
#include "pictures/decoded.h"
#include "pictures/dicom_codec.h"
#include "pictures/dicom_files.h"
#include "pictures/limits.h"
#include "pictures/picture_file.h"
#include "support/temp_dir.h"

namespace ceph {
namespace {

using testing::Decoded;
using testing::DicomPattern;
using testing::DicomPicture;
using testing::Level16;
using testing::Reason;
using testing::WriteDicom;

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
        pictures::FileBytes bytes;
        ASSERT_TRUE(pictures::ReadPictureFile(path, bytes).ok());
        const auto d = Decoded(std::string(bytes.View()));
        ASSERT_TRUE(d) << Reason(d);
        EXPECT_EQ(d->pixels.width, p.width);
        EXPECT_EQ(d->pixels.height, p.height);
        EXPECT_EQ(d->damage, "");
        const pictures::Pixels& image = d->pixels;
        ASSERT_EQ(image.format, pictures::PixelFormat::Grey16);
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
    auto d = Decoded(WriteDicom(p));
    ASSERT_TRUE(d) << Reason(d);
    EXPECT_EQ(Level16(d->pixels, 0, 0), 0);
    EXPECT_EQ(Level16(d->pixels, 1, 0), 4095);
    EXPECT_EQ(Level16(d->pixels, 5, 3), p.values[3 * 32 + 5]);
    EXPECT_DOUBLE_EQ(d->fileWindow.level, 1524);
    EXPECT_DOUBLE_EQ(d->fileWindow.width, 2000);

    // MONOCHROME1: the lowest stored value is white, so it becomes the highest; the
    // window turns with the values.
    p.monochrome1 = true;
    p.texts.resize(2);
    p.texts.push_back({gdcm::Tag(0x0028, 0x1050), "1000"});
    p.texts.push_back({gdcm::Tag(0x0028, 0x1051), "400"});
    d = Decoded(WriteDicom(p));
    ASSERT_TRUE(d) << Reason(d);
    EXPECT_EQ(Level16(d->pixels, 0, 0), 4095);
    EXPECT_EQ(Level16(d->pixels, 1, 0), 0);
    EXPECT_DOUBLE_EQ(d->fileWindow.level, 4095 - (1000 + 1024));
    EXPECT_DOUBLE_EQ(d->fileWindow.width, 400);

    // A VOI LUT in place of the window, over rescaled values below zero: its output
    // values are the picture's, its range the file's window.
    p.monochrome1 = false;
    p.texts.resize(1);
    p.lutFirst = -500;
    for (int i = 0; i < 2048; ++i)
        p.lut.push_back(static_cast<std::uint16_t>(1000 + 2 * i));
    p.values[2] = 1024 - 400;
    d = Decoded(WriteDicom(p));
    ASSERT_TRUE(d) << Reason(d);
    EXPECT_EQ(Level16(d->pixels, 0, 0), 1000);
    EXPECT_EQ(Level16(d->pixels, 1, 0), 1000 + 2 * 2047);
    EXPECT_EQ(Level16(d->pixels, 2, 0), 1000 + 2 * 100);
    EXPECT_DOUBLE_EQ(d->fileWindow.level, 1000 + 2047);
    EXPECT_DOUBLE_EQ(d->fileWindow.width, 2 * 2047);

    // Rescaled values all above zero but beyond 16 bits are scaled down, the highest two
    // still apart.
    p.lut.clear();
    p.texts = {{gdcm::Tag(0x0028, 0x1052), "1000"}, {gdcm::Tag(0x0028, 0x1053), "20"}};
    p.values[0] = 4094;
    d = Decoded(WriteDicom(p));
    ASSERT_TRUE(d) << Reason(d);
    EXPECT_EQ(Level16(d->pixels, 1, 0), 65535);
    EXPECT_LT(Level16(d->pixels, 0, 0), 65535);

    // A rescale past what a double holds is damage: the stored values are shown.
    p.texts = {{gdcm::Tag(0x0028, 0x1053), "1e308"}};
    d = Decoded(WriteDicom(p));
    ASSERT_TRUE(d) << Reason(d);
    EXPECT_EQ(Level16(d->pixels, 5, 3), p.values[3 * 32 + 5]);

    // Signed values with no rescale: the most negative becomes 0.
    DicomPicture s;
    s.width = s.height = 16;
    s.bitsStored = 16;
    s.isSigned = true;
    s.values.assign(256, 0);
    s.values[0] = static_cast<std::uint16_t>(-32768);
    s.values[1] = static_cast<std::uint16_t>(-1);
    s.values[2] = 100;
    d = Decoded(WriteDicom(s));
    ASSERT_TRUE(d) << Reason(d);
    EXPECT_EQ(Level16(d->pixels, 0, 0), 0);
    EXPECT_EQ(Level16(d->pixels, 1, 0), 32767);
    EXPECT_EQ(Level16(d->pixels, 2, 0), 32868);
}

TEST(DicomDecoder, SpacingFromTheImagerCorrectedByTheMagnification) {
    DicomPicture p;
    p.width = p.height = 16;
    p.values.assign(256, 7);
    const auto spacing = [&](std::vector<std::pair<gdcm::Tag, std::string>> texts) {
        p.texts = std::move(texts);
        const auto d = Decoded(WriteDicom(p));
        EXPECT_TRUE(d) << Reason(d);
        return d ? std::pair(d->spacingX, d->spacingY) : std::pair(-1.0, -1.0);
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
    std::string error = Reason(pictures::DecodeDicom("not a DICOM file at all"));
    EXPECT_NE(error.find("不是 DICOM"), std::string::npos) << error;

    DicomPicture p;
    p.values = DicomPattern(p.width, p.height, 12);
    for (const auto syntax :
         {gdcm::TransferSyntax::ExplicitVRLittleEndian, gdcm::TransferSyntax::JPEG2000Lossless}) {
        p.syntax = syntax;
        std::string file = WriteDicom(p);
        file.resize(file.size() - 300);
        error = Reason(Decoded(file));
        EXPECT_NE(error.find("截斷"), std::string::npos) << error;
    }

    p.syntax = gdcm::TransferSyntax::ExplicitVRLittleEndian;
    std::string huge = WriteDicom(p);
    PatchUnsignedShort(huge, 0x0028, 0x0010, 60000);
    PatchUnsignedShort(huge, 0x0028, 0x0011, 60000);
    error = Reason(Decoded(huge));
    EXPECT_EQ(error, pictures::PictureTooLargeReason(60000, 60000));

    // Within the size limits, but its pixels and GDCM's buffers together exceed the
    // memory allowed: refused before GDCM allocates them.
    std::string heavy = WriteDicom(p);
    PatchUnsignedShort(heavy, 0x0028, 0x0010, 16000);
    PatchUnsignedShort(heavy, 0x0028, 0x0011, 16000);
    error = Reason(Decoded(heavy));
    EXPECT_NE(error.find("記憶體"), std::string::npos) << error;

    // A value representation no one knows: GDCM's reader would stop the program.
    std::string unknown = WriteDicom(p);
    unknown[unknown.find(std::string("\x28\x00\x10\x00US", 6)) + 4] = 'Z';
    error = Reason(Decoded(unknown));
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
        error = Reason(Decoded(larger));
        EXPECT_NE(error.find("不符"), std::string::npos) << error;
    }
    p.syntax = gdcm::TransferSyntax::ExplicitVRLittleEndian;

    // A file that ends where its pixel data would begin was cut short.
    std::string empty = WriteDicom(p);
    empty.resize(empty.find(std::string("\xE0\x7F\x10\x00", 4)));
    error = Reason(Decoded(empty));
    EXPECT_NE(error.find("截斷"), std::string::npos) << error;
}

TEST(DicomDecoder, TwelveBitsInTheUpperPartOfSixteenShowTheSameFilm) {
    // Some detectors store their 12 bits in the upper part of the 16 allocated, the high
    // bit at 15: the same film as its 12 bits stored in the lower part.
    DicomPicture p;
    p.values = DicomPattern(p.width, p.height, 12);
    const auto low = Decoded(WriteDicom(p));
    ASSERT_TRUE(low) << Reason(low);
    for (std::uint16_t& v : p.values)
        v = static_cast<std::uint16_t>(v << 4);
    std::string file = WriteDicom(p);
    PatchUnsignedShort(file, 0x0028, 0x0102, 15);
    const auto high = Decoded(file);
    ASSERT_TRUE(high) << Reason(high);
    EXPECT_TRUE(testing::SamePixels(high->pixels, low->pixels));
    EXPECT_EQ(high->fileWindow, low->fileWindow);
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
        const auto intact = Decoded(whole);
        ASSERT_TRUE(intact) << Reason(intact);
        EXPECT_EQ(intact->damage, "");
        const auto cut = Decoded(testing::CutFirstFragment(whole, 0.6));
        ASSERT_TRUE(cut) << Reason(cut);
        ASSERT_EQ(cut->pixels.width, intact->pixels.width);
        ASSERT_EQ(cut->pixels.height, intact->pixels.height);
        EXPECT_NE(
            cut->damage.find(syntax == gdcm::TransferSyntax::RLELossless ? "RLE" : "JPEG 2000"),
            std::string::npos)
            << cut->damage;
        // What a run-length stream still holds is the film's (a JPEG 2000 one refines the
        // whole picture as it goes).
        if (syntax == gdcm::TransferSyntax::RLELossless) {
            EXPECT_EQ(Level16(cut->pixels, 5, 0), Level16(intact->pixels, 5, 0));
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
    const auto over = Decoded(longer);
    ASSERT_TRUE(over) << Reason(over);
    EXPECT_NE(over->damage.find("多出"), std::string::npos) << over->damage;
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
    std::string error = Reason(Decoded(whole));
    ASSERT_EQ(error, "");
    for (const double keep : {1.0 / 3, 0.5}) {
        error = Reason(Decoded(testing::CutFirstFragment(whole, keep)));
        EXPECT_NE(error.find("截斷"), std::string::npos) << keep << " " << error;
    }
}

TEST(DicomDecoder, ReasonsNameWhatIsReallyWrong) {
    DicomPicture p;
    p.values = DicomPattern(p.width, p.height, 12);
    std::string error;
    // A frame count no film has, not a pixel format said to be unsupported.
    p.texts = {{gdcm::Tag(0x0028, 0x0008), "1000000000"}};
    error = Reason(Decoded(WriteDicom(p)));
    EXPECT_NE(error.find("1000000000 個影格"), std::string::npos) << error;

    // Cut inside its header: cut short, not a file without a picture.
    p.texts.clear();
    const std::string file = WriteDicom(p);
    const std::size_t columns = file.find(std::string("\x28\x00\x11\x00", 4));
    ASSERT_NE(columns, std::string::npos);
    error = Reason(Decoded(file.substr(0, columns)));
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
    error = Reason(Decoded(report.str()));
    EXPECT_NE(error.find("沒有像素資料"), std::string::npos) << error;
}

// DICOM files come named by their extension, without one, or by their number: the
// picker lists all of them, and nothing else.
TEST(DicomDecoder, ItsDescriptorNamesEveryFileThePickerLists) {
    const pictures::Format& dicom = pictures::DicomFormat();
    const auto listed = [&](const std::string& name) {
        return base::MatchesPattern(name, dicom.namePatterns) || dicom.alsoNamed(name);
    };
    for (const char* name : {"CEPH.DCM", "x.dicom", "x.dic", "IM0001", "1.2.840.113619.2.5"})
        EXPECT_TRUE(listed(name)) << name;
    for (const char* name : {"a.b.7z", "notes.txt", "ceph.", "x.dcm.bak"})
        EXPECT_FALSE(listed(name)) << name;
    EXPECT_EQ(Reason(pictures::DecodeAs(dicom, "II*\0")), "不是 DICOM 檔案");
}

}  // namespace
}  // namespace ceph
