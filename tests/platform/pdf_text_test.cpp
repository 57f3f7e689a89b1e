// The text layer of the printed page in a PDF file: a reader extracting the text gets the
// characters the page shows, with the program's Chinese face, not look-alikes or gaps.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPainterPath>
#include <QRawFont>
#include <sstream>

#include "headless_services.h"
#include "platform/print_font.h"
#include "platform/qt_services.h"
#include "support/command_output.h"
#include "support/fake_services.h"
#include "support/printed_page.h"
#include "support/temp_dir.h"

namespace ceph {
namespace {

std::string PdfText(const std::string& pdf, bool layout) {
    return testing::CommandOutput(std::string("pdftotext ") + (layout ? "-layout '" : "'") + pdf +
                                  "' -");
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

TEST(PdfTextTest, ReportHeaderAndRowsComeBackAsPrinted) {
    CEPH_SKIP_WITHOUT_PDF_TOOLS();
    testing::TempDir dir;
    testing::FakeServices fake;
    ui::App program{fake};
    // 陳大文 in Big5: 大 and 文 share their glyphs with the Kangxi radicals ⼤ and ⽂.
    const std::vector<ui::DrawingList> pages =
        testing::PrintFirstTracing(program, fake, dir, "\xB3\xAF\xA4\x6A\xA4\xE5");
    ASSERT_EQ(pages.size(), 1u);

    // The command-line companion's writer and the window's "save as PDF".
    platform::HeadlessServices headless;
    platform::QtServices windowed;
    const std::pair<const char*, ui::Services*> writers[] = {{"headless", &headless},
                                                             {"window", &windowed}};
    for (const auto& [name, services] : writers) {
        SCOPED_TRACE(name);
        const std::string pdf = (dir.path() / (std::string(name) + ".pdf")).string();
        ASSERT_FALSE(services->WritePdf(pages, pdf));
        const std::string text = PdfText(pdf, true);
        const std::string header = text.substr(0, text.find('\n'));
        EXPECT_EQ(Words(header),
                  (std::vector<std::string>{"10234", "陳大文", "F", "0650315", "48Y", "2M", "P.1"}))
            << header;
        // Digits that follow letters in the row labels went missing the same way.
        for (const char* label : {"SN/U1:", "U1/L1:", "U1-NP:", "L1/MP:", "92.2", "(87.0±4.4)"})
            EXPECT_NE(text.find(label), std::string::npos) << label << "\n" << text;
    }
}

TEST(PdfTextTest, AnyPageKeepsLookalikesDigitsAndLigaturesApart) {
    CEPH_SKIP_WITHOUT_PDF_TOOLS();
    // Text the shaper would draw with substituted glyphs (digits after letters, "fi" and
    // "ffl" ligatures) and ideographs whose glyphs radicals and compatibility forms share.
    const char* lines[] = {"大文十人", "Office waffle fly", "A1 B22 P.9 Y3 48Y 2M", "黃龍"};
    ui::DrawingList page;
    float y = 200;
    for (const char* line : lines) {
        page.ops.push_back(ui::DrawText{12, 200, y, line, kBlack});
        y += 400;
    }
    testing::TempDir dir;
    const std::string pdf = (dir.path() / "page.pdf").string();
    platform::HeadlessServices paper;
    ASSERT_FALSE(paper.WritePdf({page}, pdf));
    const std::string text = PdfText(pdf, false);
    for (const char* line : lines)
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
}

TEST(PdfTextTest, PrintFontDrawsTheScreenFontsGlyphs) {
    const QFont screen = QGuiApplication::font();
    const QFont print = platform::PrintFont(screen);
    ASSERT_NE(print.families(), screen.families()) << "the face was not registered again";
    const QRawFont a = QRawFont::fromFont(screen), b = QRawFont::fromFont(print);
    ASSERT_TRUE(a.isValid() && b.isValid());
    EXPECT_EQ(a.familyName() + QStringLiteral(" print"), b.familyName());
    const QString sample = QStringLiteral("陳大文 48Y 2M P.1 SN/U1: 92.2°");
    const QList<quint32> glyphs = a.glyphIndexesForString(sample);
    EXPECT_EQ(glyphs, b.glyphIndexesForString(sample));
    EXPECT_EQ(a.advancesForGlyphIndexes(glyphs), b.advancesForGlyphIndexes(glyphs));
    for (const quint32 g : glyphs)
        EXPECT_EQ(a.pathForGlyph(g), b.pathForGlyph(g)) << g;
    // Asking again hands back the same registration; the print face is its own.
    EXPECT_EQ(platform::PrintFont(screen).families(), print.families());
    EXPECT_EQ(platform::PrintFont(print).families(), print.families());
}

TEST(PdfTextTest, CharacterMapKeepsOrdinaryCharactersOfSharedGlyphs) {
    // Radicals (U+2E82, U+2F24), a compatibility ideograph (U+FA49) and a compatibility
    // hyphen (U+2011) go when an ordinary character has their glyph; characters that are
    // all ordinary (hyphen and soft hyphen) or all compatibility forms (two spaces) stay,
    // as do glyphs with one character.
    const platform::CharacterMap map = {{0x2D, 9},    {0x41, 12},    {0xAD, 9},    {0x2003, 11},
                                        {0x2011, 9},  {0x2E82, 7},   {0x2F24, 5},  {0x3000, 11},
                                        {0x4E5B, 7},  {0x5927, 5},   {0x5928, 6},  {0x722B, 20},
                                        {0xFA49, 20}, {0x1F600, 30}, {0x1F601, 31}};
    const platform::CharacterMap kept = platform::OneCharacterPerGlyph(map);
    const platform::CharacterMap expected = {
        {0x2D, 9},   {0x41, 12},  {0xAD, 9},    {0x2003, 11},  {0x3000, 11}, {0x4E5B, 7},
        {0x5927, 5}, {0x5928, 6}, {0x722B, 20}, {0x1F600, 30}, {0x1F601, 31}};
    EXPECT_EQ(kept, expected);
    // Written as format 12 and read back, with runs and the supplementary planes.
    EXPECT_EQ(platform::ReadCharacterMap(platform::WriteCharacterMap(kept)), kept);
}

TEST(PdfTextTest, CharacterMapReadsFormat4) {
    // Two segments: 'A'..'C' by delta to glyphs 10..12, 'x'..'y' through the glyph array to
    // glyphs 40 and 0 (unmapped); then the closing 0xFFFF segment.
    const unsigned words[] = {
        4, 0, 0, 6, 4, 1,  2, 'C', 'y', 0xFFFF, 0, 'A', 'x', 0xFFFF, 0x10000 + 10 - 'A',
        0, 1, 0, 4, 0, 40, 0};
    QByteArray sub;
    for (unsigned w : words) {
        sub.append(static_cast<char>(w >> 8 & 0xFF));
        sub.append(static_cast<char>(w & 0xFF));
    }
    const unsigned header[] = {0, 1, 3, 1, 0, 12};
    QByteArray cmap;
    for (unsigned w : header) {
        cmap.append(static_cast<char>(w >> 8 & 0xFF));
        cmap.append(static_cast<char>(w & 0xFF));
    }
    cmap += sub;
    const platform::CharacterMap expected = {{'A', 10}, {'B', 11}, {'C', 12}, {'x', 40}};
    EXPECT_EQ(platform::ReadCharacterMap(cmap), expected);
    EXPECT_TRUE(platform::ReadCharacterMap(QByteArray("\0\0\0\5", 4)).empty()) << "truncated";
}

}  // namespace
}  // namespace ceph
