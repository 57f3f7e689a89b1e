// The tracing's picture written to its files: bitmaps laid out as they always were (grey
// ones in 8 bits), JPEGs byte for byte as TurboJPEG wrote them, a large grey picture
// stored grey with its progress told, and failures told with their reason.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <QBuffer>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/safe_file.h"
#include "headless_services.h"
#include "platform/file_output.h"
#include "platform/jpeg_writer.h"
#include "platform/pictures.h"
#include "support/temp_dir.h"

namespace ceph {
namespace {

std::string Content(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string QtBitmap(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "BMP"));
    return bytes.toStdString();
}

// The JPEG TurboJPEG makes of a picture, as the program stored them before.
std::string TurboJpeg(const QImage& image, int quality) {
    const bool grey = image.format() == QImage::Format_Grayscale8 || image.allGray();
    QImage source =
        image.convertToFormat(grey                                      ? QImage::Format_Grayscale8
                              : image.format() == QImage::Format_RGB888 ? QImage::Format_RGB888
                                                                        : QImage::Format_RGB32);
    const int format = grey                                       ? TJPF_GRAY
                       : source.format() == QImage::Format_RGB888 ? TJPF_RGB
                                                                  : TJPF_BGRX;
    tjhandle handle = tjInitCompress();
    unsigned char* bytes = nullptr;
    unsigned long length = 0;
    EXPECT_EQ(tjCompress2(handle, source.constBits(), source.width(),
                          static_cast<int>(source.bytesPerLine()), source.height(), format, &bytes,
                          &length, grey ? TJSAMP_GRAY : TJSAMP_420, quality, TJFLAG_ACCURATEDCT),
              0);
    std::string out(reinterpret_cast<const char*>(bytes), length);
    tjFree(bytes);
    tjDestroy(handle);
    return out;
}

// Grey levels that change from pixel to pixel and row to row, of an odd width so that
// rows are padded.
QImage Grey(int width, int height) {
    QImage image(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.scanLine(y)[x] = static_cast<uchar>((x * 7 + y * 3 + (x * y) % 11) & 0xFF);
    return image;
}

QImage Colour(QImage::Format format) {
    QImage image(53, 41, format);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 4, y * 6, (x + y) * 2, 128 + x));
    return image;
}

class PictureStoreTest : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return (dir.path() / name).string(); }
    testing::TempDir dir;
};

TEST_F(PictureStoreTest, FilesAreWhatTheyWereGreyBitmapsInEightBits) {
    // As Qt lays out a grey picture: 8 bits a pixel with the 256 greys. Qt leaves the
    // padding at the end of a row as its buffer held it, so bytes are compared on rows
    // without padding, and a padded picture by what it reads back as.
    const QImage unpadded = Grey(300, 67);
    ASSERT_FALSE(platform::WriteBitmap(unpadded, Path("grey.bmp")));
    EXPECT_EQ(Content(dir.path() / "grey.bmp"), QtBitmap(unpadded));
    EXPECT_EQ(Content(dir.path() / "grey.bmp").substr(28, 2), std::string("\x08\x00", 2));
    const QImage grey = Grey(301, 67);
    ASSERT_FALSE(platform::WriteBitmap(grey, Path("grey.bmp")));
    platform::PictureStore store;
    const auto backLoaded = store.Load(Path("grey.bmp"));
    ASSERT_TRUE(backLoaded) << backLoaded.why().detail;
    const ui::PictureRef back = *backLoaded;
    EXPECT_EQ(store.Get(back), grey);

    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied,
                                  QImage::Format_RGB888, QImage::Format_Indexed8}) {
        SCOPED_TRACE(format);
        const QImage colour = format == QImage::Format_Indexed8
                                  ? Colour(QImage::Format_RGB32).convertToFormat(format)
                                  : Colour(format);
        // 24 bits a pixel, as the program has always written them.
        ASSERT_FALSE(platform::WriteBitmap(colour, Path("colour.bmp")));
        EXPECT_EQ(Content(dir.path() / "colour.bmp"),
                  QtBitmap(colour.convertToFormat(QImage::Format_RGB888)));
        ASSERT_FALSE(platform::WriteJpeg(colour, Path("colour.jpg"), 80));
        EXPECT_EQ(Content(dir.path() / "colour.jpg"), TurboJpeg(colour, 80));
    }
    for (const QImage& image : {grey, grey.convertToFormat(QImage::Format_RGB32)}) {
        ASSERT_FALSE(platform::WriteJpeg(image, Path("grey.jpg"), 80));
        EXPECT_EQ(Content(dir.path() / "grey.jpg"), TurboJpeg(image, 80));
    }
}

// Records the progress the save services tell.
class WatchedServices : public platform::HeadlessServices {
  public:
    void ShowProgress(const std::string& text, double done) override {
        steps.push_back(done);
        label = text;
    }
    std::vector<double> steps;
    std::string label;
};

TEST_F(PictureStoreTest, ALargeGreyPictureIsStoredGreyWithItsProgressTold) {
    WatchedServices services;
    const QImage picture = Grey(4001, 3000);
    const ui::PictureRef ref = services.Pictures().Add(picture);
    const std::string bmp = Path("00101_1.bmp"), jpg = Path("00101_1.jpg");

    ASSERT_FALSE(services.SavePictureBitmap(ref, {}, bmp));
    EXPECT_EQ(std::filesystem::file_size(bmp), 14u + 40 + 1024 + 4004u * 3000);
    EXPECT_GT(services.steps.size(), 50u);
    EXPECT_TRUE(std::is_sorted(services.steps.begin(), services.steps.end()));
    EXPECT_EQ(services.steps.back(), 1.0) << "the display ends";
    EXPECT_NE(services.label.find(bmp), std::string::npos);

    services.steps.clear();
    ASSERT_FALSE(services.SavePictureJpeg(ref, {}, jpg, 80));
    EXPECT_GT(services.steps.size(), 50u);
    const std::string bytes = Content(jpg);
    tjhandle handle = tjInitDecompress();
    int width = 0, height = 0, sampling = -1, colours = -1;
    ASSERT_EQ(tjDecompressHeader3(handle, reinterpret_cast<const unsigned char*>(bytes.data()),
                                  bytes.size(), &width, &height, &sampling, &colours),
              0);
    tjDestroy(handle);
    EXPECT_EQ(width, 4001);
    EXPECT_EQ(height, 3000);
    EXPECT_EQ(colours, TJCS_GRAY);

    // Both come back as the grey picture.
    const auto fromBitmap = services.LoadPicture(bmp);
    ASSERT_TRUE(fromBitmap) << fromBitmap.why().detail;
    EXPECT_EQ(services.Pictures().Get(*fromBitmap), picture);
    const auto fromJpeg = services.LoadPicture(jpg);
    ASSERT_TRUE(fromJpeg) << fromJpeg.why().detail;
    EXPECT_EQ(services.Pictures().Get(*fromJpeg).format(), QImage::Format_Grayscale8);
}

TEST_F(PictureStoreTest, AFailedStoreSaysWhyAndLeavesNoFile) {
    platform::HeadlessServices services;
    const ui::PictureRef ref = services.Pictures().Add(Grey(20, 10));
    struct Case {
        std::string path;
        std::errc why;
    };
    const Case cases[] = {{Path("missing/00101_1."), std::errc::no_such_file_or_directory},
                          {Path(std::string(300, '7') + "_1."), std::errc::filename_too_long}};
    for (const Case& c : cases) {
        for (const std::error_code ec : {services.SavePictureBitmap(ref, {}, c.path + "bmp"),
                                         services.SavePictureJpeg(ref, {}, c.path + "jpg", 80)}) {
            EXPECT_EQ(ec, c.why) << ec.message();
            EXPECT_NE(base::ErrorText(ec), ec.message()) << "told in the user's words";
        }
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 0);
    EXPECT_EQ(services.SavePictureBitmap({}, {}, Path("none.bmp")), std::errc::invalid_argument);
}

}  // namespace
}  // namespace ceph

namespace ceph {
namespace {

// A film turned for showing keeps every pixel, where the film positions' arithmetic says
// it goes, deep films included: positions taken on a turned film name its pixels.
TEST(PictureTurning, EveryPixelLandsWhereThePositionsSayItGoes) {
    for (const QImage::Format format : {QImage::Format_Grayscale8, QImage::Format_Grayscale16}) {
        QImage film(7, 4, format);
        film.fill(0);
        film.setPixelColor(5, 1, QColor(255, 255, 255));  // one lit pixel
        platform::PictureStore store;
        const page::PictureRef ref = store.Add(film);
        for (bool mirrored : {false, true}) {
            for (int q = 0; q < 4; ++q) {
                const model::FilmTurn turn{q, mirrored};
                const page::PictureRef turned = store.Turned(ref, turn);
                const QImage& shown = store.Get(turned);
                int w = 7, h = 4;
                model::TurnedSize(w, h, turn);
                ASSERT_EQ(turned.widthPx, w) << model::TurnText(turn);
                ASSERT_EQ(turned.heightPx, h);
                ASSERT_EQ(shown.width(), w);
                // The lit pixel's centre, carried as a landmark would be.
                const model::FilmPoint p = model::TurnPoint({5.5, 1.5}, 7, 4, turn);
                const int x = static_cast<int>(p.x), y = static_cast<int>(p.y);
                EXPECT_GT(qGray(shown.pixel(x, y)), 200) << model::TurnText(turn);
                EXPECT_EQ(qGray(shown.pixel((x + 1) % w, y)), 0) << model::TurnText(turn);
            }
        }
        EXPECT_TRUE(store.Turned(page::PictureRef(999, 1, 1), {1, false}).empty());
    }
}

}  // namespace
}  // namespace ceph
