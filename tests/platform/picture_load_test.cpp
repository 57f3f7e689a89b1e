// Loading radiographs and other pictures into the picture store, writing JPEG files,
// refusing damaged or hostile files without crashing, and painting only the exposed
// part of a zoomed picture.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>
#include <QWidget>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

#include "pictures/bitmap_files.h"
#include "pictures/flat_jpeg.h"
#include "pictures/jpeg_codec.h"
#include "platform/jpeg_writer.h"
#include "platform/pictures.h"
#include "platform/qt_formats.h"
#include "platform/widgets.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace ceph {
namespace {

using platform::PictureStore;
using testing::BitmapClaiming;

// A grey picture with texture in both directions, so that a shifted or mirrored copy
// shows; smooth enough for JPEG to keep it close.
QImage GreyPicture(int width, int height) {
    QImage image(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x)
            line[x] = static_cast<uchar>(40 + (x * 150) / width + (y * 60) / height);
    }
    return image;
}

// A pattern that changes at every pixel, for painting checks where JPEG plays no part.
QImage PatternPicture(int width, int height) {
    QImage image(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.scanLine(y)[x] = static_cast<uchar>((x * 7 + y * 13) & 0xFF);
    return image;
}

// Four large flat colour blocks: chroma subsampling leaves their insides alone.
QImage ColourPicture() {
    QImage image(64, 64, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(200, 30, 30), qRgb(30, 180, 40), qRgb(20, 40, 210),
                            qRgb(230, 220, 40)};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, colours[(y / 32) * 2 + x / 32]);
    return image;
}

// The largest difference of any channel between two pictures of the same size.
int MaxDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return worst;
}

std::string Encoded(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format, quality));
    return bytes.toStdString();
}

class PictureLoadTest : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        return dir.Write(name, bytes).string();
    }
    // The picture a file loads as; a null one when it cannot be read.
    QImage Loaded(const std::string& path) {
        const auto ref = store.Load(path);
        return ref ? store.Get(*ref) : QImage();
    }

    testing::TempDir dir;
    PictureStore store;
};

TEST_F(PictureLoadTest, GreyJpegLoadsAsOneBytePerPixel) {
    const QImage source = GreyPicture(300, 200);
    // Written by Qt's encoder, so that the decoder is not checked against itself.
    const auto refLoaded = store.Load(Write("ceph.jpg", Encoded(source, "JPG", 95)));
    ASSERT_TRUE(refLoaded) << refLoaded.why().detail;
    const ui::PictureRef ref = *refLoaded;
    EXPECT_EQ(ref.widthPx, 300);
    EXPECT_EQ(ref.heightPx, 200);
    const QImage& loaded = store.Get(ref);
    EXPECT_EQ(loaded.format(), QImage::Format_Grayscale8);
    EXPECT_LE(MaxDifference(loaded, source), 4);
}

TEST_F(PictureLoadTest, ColourJpegLoadsInColour) {
    const QImage source = ColourPicture();
    const auto refLoaded = store.Load(Write("colour.jpg", Encoded(source, "JPG", 95)));
    ASSERT_TRUE(refLoaded) << refLoaded.why().detail;
    const ui::PictureRef ref = *refLoaded;
    const QImage& loaded = store.Get(ref);
    EXPECT_EQ(loaded.format(), QImage::Format_RGB32);
    // The middle of every block, away from the blurred edges between them.
    for (QPoint p : {QPoint(16, 16), QPoint(48, 16), QPoint(16, 48), QPoint(48, 48)})
        EXPECT_LE(
            MaxDifference(loaded.copy(QRect(p, QSize(4, 4))), source.copy(QRect(p, QSize(4, 4)))),
            6)
            << p.x() << "," << p.y();
}

// Scanners and X-ray systems often store grey pictures in colour coding; a coloured mark
// on one must keep the picture in colour.
TEST_F(PictureLoadTest, ColourCodedJpegIsGreyOnlyWhenItsColoursAre) {
    // An odd size: the decoded brightness plane is padded beyond the picture.
    const QImage grey = GreyPicture(301, 199);
    const auto refLoaded = store.Load(
        Write("ycc.jpg", Encoded(grey.convertToFormat(QImage::Format_RGB32), "JPG", 95)));
    ASSERT_TRUE(refLoaded) << refLoaded.why().detail;
    const ui::PictureRef ref = *refLoaded;
    const QImage& loaded = store.Get(ref);
    EXPECT_EQ(loaded.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(loaded.size(), QSize(301, 199));
    EXPECT_LE(MaxDifference(loaded, grey), 4);

    QImage marked = grey.convertToFormat(QImage::Format_RGB32);
    for (int y = 100; y < 116; ++y)
        for (int x = 200; x < 216; ++x)
            marked.setPixel(x, y, qRgb(220, 40, 40));
    const QImage colour = Loaded(Write("marked.jpg", Encoded(marked, "JPG", 95)));
    EXPECT_EQ(colour.format(), QImage::Format_RGB32);
    EXPECT_GT(qRed(colour.pixel(208, 108)), 180);
    EXPECT_LT(qGreen(colour.pixel(208, 108)), 90);
    EXPECT_LE(MaxDifference(colour.copy(0, 0, 150, 90), grey.copy(0, 0, 150, 90)), 6);
}

TEST_F(PictureLoadTest, BitmapsAndPngsKeepGreyAsOneBytePerPixel) {
    const QImage grey = PatternPicture(40, 30);
    const QImage colour = ColourPicture();
    QImage translucent = colour.convertToFormat(QImage::Format_ARGB32);
    translucent.setPixel(0, 0, qRgba(10, 20, 30, 40));
    struct Case {
        const char* name;
        std::string bytes;
        QImage::Format format;
        const QImage& expected;
    };
    const Case cases[] = {
        {"grey.png", Encoded(grey, "PNG"), QImage::Format_Grayscale8, grey},
        // A 24-bit bitmap of a grey radiograph is still grey.
        {"grey24.bmp", Encoded(grey.convertToFormat(QImage::Format_RGB32), "BMP"),
         QImage::Format_Grayscale8, grey},
        {"colour.bmp", Encoded(colour, "BMP"), QImage::Format_RGB32, colour},
        {"colour.png", Encoded(colour, "PNG"), QImage::Format_RGB32, colour},
        // Eight-bit bitmaps come as indexed pictures: a grey palette makes a grey picture.
        {"grey8.bmp", Encoded(grey.convertToFormat(QImage::Format_Indexed8), "BMP"),
         QImage::Format_Grayscale8, grey},
        {"palette.bmp", Encoded(colour.convertToFormat(QImage::Format_Indexed8), "BMP"),
         QImage::Format_RGB32, colour},
        {"alpha.png", Encoded(translucent, "PNG"), QImage::Format_ARGB32_Premultiplied, colour},
    };
    for (const Case& c : cases) {
        const auto refLoaded = store.Load(Write(c.name, c.bytes));
        ASSERT_TRUE(refLoaded) << c.name << ": " << refLoaded.why().detail;
        const ui::PictureRef ref = *refLoaded;
        const QImage& loaded = store.Get(ref);
        EXPECT_EQ(loaded.format(), c.format) << c.name;
        EXPECT_EQ(loaded.size(), c.expected.size()) << c.name;
        EXPECT_EQ(MaxDifference(loaded.copy(1, 1, 20, 20), c.expected.copy(1, 1, 20, 20)), 0)
            << c.name;
    }
}

TEST_F(PictureLoadTest, FormatIsTakenFromTheContentNotTheName) {
    const QImage grey = GreyPicture(32, 32);
    const auto jpegLoaded = store.Load(Write("really-a-jpeg.bmp", Encoded(grey, "JPG", 90)));
    ASSERT_TRUE(jpegLoaded) << jpegLoaded.why().detail;
    const ui::PictureRef jpeg = *jpegLoaded;
    EXPECT_EQ(store.Get(jpeg).format(), QImage::Format_Grayscale8);
    const auto pngLoaded = store.Load(Write("really-a-png.jpg", Encoded(grey, "PNG")));
    ASSERT_TRUE(pngLoaded) << pngLoaded.why().detail;
    const ui::PictureRef png = *pngLoaded;
    EXPECT_EQ(MaxDifference(store.Get(png), grey), 0);
}

// A JPEG whose frame header, baseline or progressive, claims another size.
std::string Claiming(std::string bytes, int width, int height) {
    std::size_t sof = bytes.find("\xFF\xC0");
    if (sof == std::string::npos) sof = bytes.find("\xFF\xC2");
    EXPECT_NE(sof, std::string::npos);
    bytes[sof + 5] = static_cast<char>(height >> 8);
    bytes[sof + 6] = static_cast<char>(height & 0xFF);
    bytes[sof + 7] = static_cast<char>(width >> 8);
    bytes[sof + 8] = static_cast<char>(width & 0xFF);
    return bytes;
}

// A small grey JPEG whose frame header claims another size.
std::string JpegClaiming(int width, int height) {
    return Claiming(Encoded(GreyPicture(16, 16), "JPG", 90), width, height);
}

TEST_F(PictureLoadTest, BadFilesGiveAnEmptyReferenceAndAReason) {
    const std::string jpeg = Encoded(PatternPicture(256, 256), "JPG", 90);
    const std::string png = Encoded(PatternPicture(256, 256), "PNG");
    const std::string bmp = Encoded(PatternPicture(256, 256), "BMP");
    std::string damagedTable = jpeg;
    damagedTable[damagedTable.find("\xFF\xC4") + 4] = '\x37';  // no such Huffman table
    std::string damagedScan = jpeg;
    const std::size_t scan = damagedScan.find("\xFF\xDA") + 20;
    for (std::size_t i = scan; i < scan + 200; i += 2)
        damagedScan.replace(i, 2, "\xFF\xD3");  // restart markers where none belong

    struct Case {
        const char* name;
        std::string path;
        const char* reasonPart;  // some words the reason must hold
    };
    std::vector<Case> cases = {
        {"missing", dir.str() + "/none.jpg", "找不到"},
        {"folder", dir.str(), "資料夾"},
        {"empty", Write("empty.jpg", ""), "空"},
        {"text", Write("notes.jpg", "Patient notes, not a picture\r\n"), "格式"},
        {"jpeg marker then junk", Write("junk.jpg", "\xFF\xD8\xFF junk junk junk"), "JPEG"},
        // Start, a JFIF segment and the end: nothing of a picture.
        {"jpeg without a frame",
         Write("noframe.jpg", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0"
                                          "\xFF\xD9",
                                          22)),
         "不是完整的 JPEG"},
        {"jpeg cut before its first scan",
         Write("headers.jpg", jpeg.substr(0, jpeg.find("\xFF\xDA"))), "不是完整的 JPEG"},
        {"truncated jpeg", Write("cut.jpg", jpeg.substr(0, jpeg.size() * 6 / 10)), "不完整"},
        {"damaged jpeg table", Write("table.jpg", damagedTable), "JPEG"},
        {"damaged jpeg scan", Write("scan.jpg", damagedScan), "損壞"},
        {"huge jpeg", Write("huge.jpg", JpegClaiming(60000, 60000)), "60000"},
        {"jpeg over the pixel limit", Write("wide.jpg", JpegClaiming(20000, 20001)), "20001"},
        {"huge bitmap", Write("huge.bmp", BitmapClaiming(60000, 60000)), "損壞"},
        {"bitmap over the side limit", Write("wide.bmp", BitmapClaiming(20001, 100)), "20001"},
        {"truncated png", Write("cut.png", png.substr(0, png.size() / 2)), "損壞"},
        // libpng would allocate the 2 GB this text chunk claims before finding the end.
        {"png chunk longer than the file",
         Write("chunk.png", png.substr(0, 33) + std::string("\x7F\xFF\xFF\xF0tEXtkey\0", 12)),
         "區塊超出"},
        {"truncated bitmap", Write("cut.bmp", bmp.substr(0, bmp.size() / 2)), "不完整"},
    };
#ifndef _WIN32
    // A pipe without a writer would block a plain open for ever.
    const std::string pipe = dir.str() + "/pipe.jpg";
    EXPECT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    cases.push_back({"pipe", pipe, "一般檔案"});
#endif
    for (const Case& c : cases) {
        const auto refused = store.Load(c.path);
        ASSERT_FALSE(refused) << c.name;
        EXPECT_NE(refused.why().detail.find(c.reasonPart), std::string::npos)
            << c.name << ": " << refused.why().detail;
    }
    // A good picture after a bad one loads.
    EXPECT_TRUE(store.Load(Write("good.png", png)).ok());
}

// A PNG whose header claims another size, its checksum made to match.
std::string PngClaiming(std::string png, int width, int height) {
    auto put32 = [&png](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            png[at + i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
    };
    put32(16, static_cast<std::uint32_t>(width));
    put32(20, static_cast<std::uint32_t>(height));
    std::uint32_t crc = 0xFFFFFFFF;  // over the chunk's type and data, bytes 12..28
    for (std::size_t i = 12; i < 29; ++i) {
        crc ^= static_cast<unsigned char>(png[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    put32(29, ~crc);
    return png;
}

// Adobe's four-ink JPEGs, which Qt reads too: the inks become the same colours.
TEST_F(PictureLoadTest, CmykJpegLoadsInTheColoursQtGivesIt) {
    const std::string bytes =
        testing::FlatJpeg{.width = 40, .height = 24, .components = 4, .adobe = true}.Bytes();
    const auto refLoaded = store.Load(Write("inks.jpg", bytes));
    ASSERT_TRUE(refLoaded) << refLoaded.why().detail;
    const ui::PictureRef ref = *refLoaded;
    const QImage& loaded = store.Get(ref);
    EXPECT_EQ(loaded.format(), QImage::Format_RGB32);
    const QImage byQt = QImage::fromData(QByteArray::fromStdString(bytes), "JPG");
    ASSERT_EQ(byQt.size(), QSize(40, 24));
    EXPECT_LE(MaxDifference(loaded, byQt), 1);
    EXPECT_NE(loaded.pixel(3, 3), loaded.pixel(35, 20)) << "blocks of their own colours";
}

// Qt's messages while loading, to tell its own refusals from the program's.
std::vector<std::string>* qtMessages = nullptr;
void KeepMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
    if (qtMessages) qtMessages->push_back(text.toStdString());
}

// A header of a few bytes can claim any size within the limits: what decides is the
// memory its pixels would take as the decoder lays them out, before any is allocated.
TEST_F(PictureLoadTest, PicturesNeedingTooMuchMemoryAreRefusedFromTheirHeader) {
    using testing::FlatJpeg;
    const std::string inks = FlatJpeg{.components = 4, .adobe = true}.Bytes();
    const std::string rgb = FlatJpeg{.components = 3, .adobe = true}.Bytes();
    const std::string grey = FlatJpeg{}.Bytes();
    const std::string progressive = FlatJpeg{.progressive = true}.Bytes();
    const std::string colourPng = Encoded(ColourPicture(), "PNG");
    const std::string greyPng = Encoded(GreyPicture(16, 16), "PNG");
    // The same files at their own size are good pictures.
    for (const std::string* bytes : {&inks, &rgb, &grey, &progressive, &colourPng, &greyPng}) {
        const auto loaded = store.Load(Write("small", *bytes));
        ASSERT_TRUE(loaded) << loaded.why().detail;
    }

    struct Case {
        const char* name;
        std::string bytes;
        bool tooMuch;  // refused for its memory; otherwise for its missing data
    };
    const Case cases[] = {
        // Four bytes a pixel: 1249 MB, from 200 bytes.
        {"inks", Claiming(inks, 17933, 18249), true},
        {"rgb", Claiming(rgb, 12000, 12000), true},
        // One byte a pixel: 137 MB is allowed, and the file is too short for it.
        {"grey", Claiming(grey, 12000, 12000), false},
        {"grey at the size limit", Claiming(grey, 20000, 20000), false},
        // A progressive grey picture also holds two bytes a pixel of coefficients.
        {"progressive", Claiming(progressive, 16000, 16000), true},
        {"baseline of that size", Claiming(grey, 16000, 16000), false},
        {"colour png", PngClaiming(colourPng, 20000, 20000), true},
        // Qt counts four bytes a pixel against its own limit: not this one's.
        {"grey png", PngClaiming(greyPng, 20000, 20000), false},
    };
    std::vector<std::string> messages;
    qtMessages = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(KeepMessage);
    std::string reason;
    for (const Case& c : cases) {
        const auto refused = store.Load(Write(c.name, c.bytes));
        ASSERT_FALSE(refused) << c.name;
        reason = refused.why().detail;
        EXPECT_EQ(reason.find("記憶體（最多 512 MB）") != std::string::npos, c.tooMuch)
            << c.name << ": " << reason;
    }
    qInstallMessageHandler(previous);
    qtMessages = nullptr;
    EXPECT_NE(reason.find("圖檔資料損壞"), std::string::npos) << reason;
    for (const std::string& message : messages)
        EXPECT_EQ(message.find("allocation limit"), std::string::npos) << message;
}

// A cut progressive JPEG is refused from its size before its coefficients are
// allocated; whole ones, however flat, load.
TEST_F(PictureLoadTest, JpegsFarTooShortForTheirSizeAreRefusedUndecoded) {
    auto progressive = [](const QImage& image) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "JPG");
        writer.setProgressiveScanWrite(true);
        writer.setQuality(50);
        EXPECT_TRUE(writer.write(image));
        return bytes.toStdString();
    };
    // A flat picture compresses better than any radiograph.
    QImage flat(2048, 2048, QImage::Format_Grayscale8);
    flat.fill(128);
    const std::string whole = progressive(flat);
    ASSERT_NE(whole.find("\xFF\xC2"), std::string::npos);
    const auto refLoaded = store.Load(Write("flat.jpg", whole));
    ASSERT_TRUE(refLoaded) << whole.size() << " bytes: " << refLoaded.why().detail;
    const ui::PictureRef ref = *refLoaded;
    EXPECT_EQ(ref.widthPx, 2048);
    const std::string noisy = progressive(PatternPicture(256, 256));
    ASSERT_GT(noisy.size(), 3000u);

    const std::string cases[] = {
        Claiming(noisy.substr(0, 3000), 8000, 8000),
        Claiming(whole, 12000, 12000),
        Claiming(testing::FlatJpeg{.components = 3}.Bytes(), 6000, 6000),
    };
    for (const std::string& bytes : cases) {
        const auto refused = store.Load(Write("cut.jpg", bytes));
        ASSERT_FALSE(refused);
        EXPECT_NE(refused.why().detail.find("截斷"), std::string::npos) << refused.why().detail;
    }
}

// Heights with no size a picture can have (the shortness check leaves them to the size
// check: tests/pictures) are refused.
TEST_F(PictureLoadTest, BitmapsClaimingNoPossibleHeightAreRefused) {
    for (int height : {INT_MIN, INT_MIN + 1, INT_MAX})
        EXPECT_FALSE(store.Load(Write("tall.bmp", BitmapClaiming(100, height))).ok()) << height;
}

// Random damage to small pictures of every format: whatever the bytes, loading returns.
TEST_F(PictureLoadTest, RandomlyDamagedFilesNeverCrash) {
    const QImage picture = GreyPicture(48, 40);
    const std::string originals[] = {Encoded(picture, "JPG", 90),
                                     Encoded(ColourPicture(), "JPG", 90), Encoded(picture, "PNG"),
                                     Encoded(picture, "BMP")};
    std::mt19937 random(20240611);
    int refused = 0;
    for (int round = 0; round < 300; ++round) {
        std::string bytes = originals[round % 4];
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < changes; ++i)
            bytes[random() % bytes.size()] = static_cast<char>(random() & 0xFF);
        if (round % 3 == 0) bytes.resize(random() % bytes.size());
        const auto ref = store.Load(Write("damaged", bytes));
        if (!ref) {
            ++refused;
            EXPECT_FALSE(ref.why().detail.empty());
        } else {
            EXPECT_EQ(store.Get(*ref).width(), ref->widthPx);
        }
    }
    EXPECT_GT(refused, 50);  // the damage did reach the decoders
}

TEST_F(PictureLoadTest, SavedJpegsLoadBackCloseToThePicture) {
    const QImage grey = GreyPicture(300, 300);
    const std::string greyPath = dir.str() + "/grey.jpg";
    const auto greySaved = platform::SaveJpeg(grey, greyPath, 80);
    ASSERT_TRUE(greySaved) << greySaved.why().detail;
    const auto greyRefLoaded = store.Load(greyPath);
    ASSERT_TRUE(greyRefLoaded) << greyRefLoaded.why().detail;
    const ui::PictureRef greyRef = *greyRefLoaded;
    EXPECT_EQ(store.Get(greyRef).format(), QImage::Format_Grayscale8);
    EXPECT_LE(MaxDifference(store.Get(greyRef), grey), 6);

    // A grey picture held in colour is written as a grey JPEG, a third of the pixels.
    const std::string asColour = dir.str() + "/grey-from-rgb.jpg";
    ASSERT_TRUE(platform::SaveJpeg(grey.convertToFormat(QImage::Format_RGB32), asColour, 80).ok());
    EXPECT_EQ(Loaded(asColour).format(), QImage::Format_Grayscale8);

    const QImage colour = ColourPicture();
    const std::string colourPath = dir.str() + "/colour.jpg";
    const auto colourSaved = platform::SaveJpeg(colour, colourPath, 80);
    ASSERT_TRUE(colourSaved) << colourSaved.why().detail;
    const QImage loaded = Loaded(colourPath);
    ASSERT_EQ(loaded.format(), QImage::Format_RGB32);
    EXPECT_LE(MaxDifference(loaded.copy(8, 8, 16, 16), colour.copy(8, 8, 16, 16)), 10);

    // Higher quality stays closer and takes more bytes.
    const std::string fine = dir.str() + "/fine.jpg";
    const QImage noisy = PatternPicture(200, 200);
    ASSERT_TRUE(platform::SaveJpeg(noisy, fine, 95).ok());
    ASSERT_TRUE(platform::SaveJpeg(noisy, greyPath, 30).ok());
    EXPECT_GT(std::filesystem::file_size(fine), std::filesystem::file_size(greyPath));
    const auto fineBack = pictures::LoadJpeg(fine), coarseBack = pictures::LoadJpeg(greyPath);
    ASSERT_TRUE(fineBack.ok() && coarseBack.ok());
    EXPECT_LT(MaxDifference(platform::ToQImage(*fineBack), noisy),
              MaxDifference(platform::ToQImage(*coarseBack), noisy));
}

TEST_F(PictureLoadTest, SavingFailsWithAReason) {
    const auto nothing = platform::SaveJpeg(QImage(), dir.str() + "/none.jpg", 80);
    ASSERT_FALSE(nothing.ok());
    EXPECT_FALSE(nothing.why().detail.empty());
    const auto nowhere =
        platform::SaveJpeg(GreyPicture(8, 8), dir.str() + "/no/such/folder/x.jpg", 80);
    ASSERT_FALSE(nowhere.ok());
    EXPECT_NE(nowhere.why().detail.find("無法寫入"), std::string::npos) << nowhere.why().detail;
}

// The exposed part painted alone must give the pixels the whole stretched picture gives
// there, at any zoom and at any offset of the viewport.
TEST(PicturePaintTest, ExposedPartMatchesTheWholePicture) {
    const QImage picture = PatternPicture(120, 100);
    struct Case {
        double zoom;
        QPoint offset;  // the widget's top-left corner in the viewport
        QRect exposed;  // in the viewport
    };
    const Case cases[] = {
        {1, {-10, -7}, {5, 3, 40, 30}},     {3, {-95, -61}, {0, 0, 60, 60}},
        {3, {-200, -150}, {17, 9, 23, 31}}, {0.5, {0, 0}, {3, 5, 40, 30}},
        {0.37, {-3, -2}, {2, 2, 30, 25}},
    };
    for (const Case& c : cases) {
        const QSize size(static_cast<int>(picture.width() * c.zoom),
                         static_cast<int>(picture.height() * c.zoom));
        const bool reduced = c.zoom < 1;
        QImage whole(64, 64, QImage::Format_RGB32), part(64, 64, QImage::Format_RGB32);
        whole.fill(Qt::red);
        part.fill(Qt::red);
        {
            QPainter painter(&whole);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, reduced);
            painter.drawImage(QRect(c.offset, size), picture);
        }
        {
            QPainter painter(&part);
            painter.translate(c.offset);
            platform::PaintPicturePart(painter, picture, size, true,
                                       c.exposed.translated(-c.offset));
        }
        const QRect inside = c.exposed & QRect(c.offset, size);
        EXPECT_EQ(MaxDifference(part.copy(inside), whole.copy(inside)), 0) << c.zoom;
        // Nothing is painted outside the exposed part.
        EXPECT_EQ(part.pixel(inside.right() + 1, inside.top()), QColor(Qt::red).rgb()) << c.zoom;
        EXPECT_EQ(part.pixel(inside.left(), inside.bottom() + 1), QColor(Qt::red).rgb()) << c.zoom;
    }
}

TEST(PicturePaintTest, ZoomedImageControlShowsTheRightPixelsInItsViewport) {
    PictureStore store;
    const QImage picture = PatternPicture(100, 80);
    ui::Image model;
    model.picture = store.Add(picture);
    QWidget viewport;
    viewport.resize(50, 40);
    platform::ImageWidget widget(model, platform::Twips{}, &store, &viewport);
    widget.setGeometry(-31, -20, 300, 240);  // zoom 3, panned
    const QImage shown = viewport.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(50, 40));
    int wrong = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x)
            wrong += qGray(shown.pixel(x, y)) != qGray(picture.pixel((x + 31) / 3, (y + 20) / 3));
    EXPECT_EQ(wrong, 0);

    // Unstretched, the picture keeps its own size at the widget's corner.
    model.stretch = false;
    widget.setGeometry(-5, -5, 300, 240);
    const QImage unstretched = viewport.grab().toImage();
    EXPECT_EQ(qGray(unstretched.pixel(10, 10)), qGray(picture.pixel(15, 15)));
}

}  // namespace
}  // namespace ceph
