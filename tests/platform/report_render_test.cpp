// The report as it leaves the program: a printed page replayed into a PDF file, the page
// as a picture against a committed reference, and the snapshot bitmap of the panel.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <fstream>

#include "headless_services.h"
#include "platform/painting.h"
#include "platform/qt_services.h"
#include "support/command_output.h"
#include "support/fake_services.h"
#include "support/printed_page.h"
#include "support/temp_dir.h"

#ifndef CEPH_TEST_DATA
#error "CEPH_TEST_DATA names the folder of the committed test pictures"
#endif

namespace ceph {
namespace {

class ReportRenderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The page the print command would send, at the top of the paper, for 林美華
        // (the name in Big5).
        pages = testing::PrintFirstTracing(program, services, dir, "\xAA\x4C\xAC\xFC\xB5\xD8");
    }

    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
    std::vector<ui::DrawingList> pages;
};

TEST_F(ReportRenderTest, PrintedPageAsPdfHoldsTheReport) {
    CEPH_SKIP_WITHOUT_PDF_TOOLS();
    ASSERT_EQ(pages.size(), 1u);
    platform::HeadlessServices paper;
    const std::string pdf = (dir.path() / "page.pdf").string();
    ASSERT_FALSE(paper.WritePdf(pages, pdf));
    EXPECT_NE(testing::CommandOutput("pdfinfo '" + pdf + "'").find("Pages:           1"),
              std::string::npos);
    const std::string text = testing::CommandOutput("pdftotext -layout '" + pdf + "' -");
    for (const char* expected :
         {"10234", "林美華", "SNA:", "92.2", "Max./Mand.", "72.6", "(87.0±4.4)", "GONIAL:"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
}

TEST_F(ReportRenderTest, PageLooksLikeTheReference) {
    // 60 dots per inch keeps the reference small; the comparison allows for small
    // differences in how text is smoothed.
    const QImage page = platform::RenderPage(pages[0], nullptr, QSize(450, 360), 60)
                            .convertToFormat(QImage::Format_Grayscale8);
    const QString referencePath = QStringLiteral(CEPH_TEST_DATA "/report_page.png");
    if (qEnvironmentVariableIsSet("CEPH_UPDATE_REFERENCE")) page.save(referencePath);
    const QImage reference = QImage(referencePath).convertToFormat(QImage::Format_Grayscale8);
    ASSERT_EQ(reference.size(), page.size());
    long differing = 0, inked = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const int a = page.pixelColor(x, y).value(), b = reference.pixelColor(x, y).value();
            inked += b < 128;
            differing += std::abs(a - b) > 96;
        }
    EXPECT_GT(inked, 1500);  // the reference holds a whole report, not a blank page
    EXPECT_LT(differing, inked / 20) << differing << " of " << inked;
}

TEST_F(ReportRenderTest, SnapshotIsATwentyFourBitBitmap) {
    platform::QtServices screen;
    const std::string path = (dir.path() / "tmp.bmp").string();
    ASSERT_TRUE(screen.SaveBitmap(program.win.Picture3, path));
    std::ifstream in(path, std::ios::binary);
    char header[30] = {};
    in.read(header, sizeof header);
    EXPECT_EQ(std::string(header, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(header[28]), 24);  // bits per pixel
    const QImage image(QString::fromStdString(path));
    EXPECT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(2, 300), QColor(192, 255, 255)) << "light cyan panel";
}

}  // namespace
}  // namespace ceph
