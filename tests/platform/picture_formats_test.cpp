// The pictures' formats as the store keeps them: a DICOM film deep with its histogram's
// window whatever its file's name, a deep PNG through Qt, and a device named as the
// picture never read. The decoders themselves are tested in tests/pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "page/full_report.h"
#include "pictures/dicom_files.h"
#include "platform/page_files.h"
#include "platform/picture_levels.h"
#include "platform/pictures.h"
#include "support/temp_dir.h"

namespace ceph {
namespace {

using testing::DicomPattern;
using testing::DicomPicture;
using testing::WriteDicom;

std::uint16_t Level16(const QImage& image, int x, int y) {
    return reinterpret_cast<const std::uint16_t*>(image.constScanLine(y))[x];
}

TEST(DicomInTheStore, KeptDeepWithItsHistogramWindowWhateverTheFileName) {
    DicomPicture p;
    p.values = DicomPattern(p.width, p.height, 12);
    p.syntax = gdcm::TransferSyntax::JPEG2000Lossless;
    testing::TempDir dir;
    const std::string path = dir.Write("film.jpg", WriteDicom(p)).string();
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
            wrong += Level16(image, x, y) != p.values[static_cast<std::size_t>(y) * p.width + x];
    EXPECT_EQ(wrong, 0);
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

#ifndef _WIN32
TEST(PictureFiles, ADeviceNamedAsThePictureIsNeverRead) {
    // Not a regular file, and never read.
    platform::PageFiles pictures;
    const page::FullRadiograph device = page::FindRadiograph(pictures, "/dev/zero", 0.5, 10, 20);
    EXPECT_TRUE(device.picture.empty());
    EXPECT_NE(device.problem.find("這不是一般檔案"), std::string::npos) << device.problem;
    EXPECT_EQ(device.problem.find("找不到"), std::string::npos) << device.problem;
}
#endif

}  // namespace
}  // namespace ceph
