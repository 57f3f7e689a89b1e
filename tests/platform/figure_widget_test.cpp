// A tracing kept and worked on through the real window: nineteen clicks, the finish
// button, the figure shown from the menu, a structure moved with its bar, and the
// radiograph aligned by a click on the figure.
#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <sstream>

#include "grey_jpeg.h"
#include "platform/qt_window.h"
#include "shown_window.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"

namespace ceph {
namespace {

using testing::Slurp;

// Where the landmarks lie on the test radiograph, in pixels: S, then N, then the others.
QPoint LandmarkPixel(int k) {
    static const int at[19][2] = {{60, 80},   {200, 70},  {195, 120}, {205, 150}, {200, 160},
                                  {185, 175}, {210, 200}, {205, 205}, {180, 230}, {195, 240},
                                  {200, 260}, {195, 275}, {180, 280}, {90, 240},  {80, 150},
                                  {40, 120},  {110, 140}, {150, 190}, {160, 200}};
    return QPoint(at[k][0], at[k][1]);
}

TEST(FigureWidget, FinishShowMoveAndAlignInTheRealWindow) {
    testing::TempDir dir;
    testing::WritePatientFolder(dir);
    ASSERT_TRUE(testing::WriteGreyJpeg(dir.path() / "pics" / "00101_1.jpg", {300, 300}, 160));
    dir.Write("filesave/CephRate.ini", "0.02\r\n");  // a scale on file proposes the length
    testing::ShownWindow shown(dir);
    platform::QtMainWindow& window = *shown.window;
    ui::MainWindow& w = shown.program.win;

    window.ActionOf(&w.inputn[0])->trigger();
    QWidget* image = window.WidgetOf(&w.Image1);
    for (int k = 0; k < 19; ++k) {
        QTest::mouseMove(image, LandmarkPixel(k));
        QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, LandmarkPixel(k));
    }
    ASSERT_EQ(w.LabelPNTNo.caption, "20");
    auto* finish = qobject_cast<QPushButton*>(window.WidgetOf(&w.Command4));
    ASSERT_TRUE(finish && finish->isVisible());
    QTest::mouseClick(finish, Qt::LeftButton);

    const std::string record = Slurp(dir.path() / "ceph-1");
    ASSERT_EQ(record.rfind("00101,", 0), 0u) << record;
    EXPECT_NE(record.find(",0.0,0.0,"), std::string::npos) << "S at the origin";
    EXPECT_TRUE(window.WidgetOf(&w.Picture3)->isVisible());
    EXPECT_FALSE(window.WidgetOf(&w.Picture2)->isVisible());

    // The figure from the menu, over the report, with the profile and the incisor.
    QAction* graph = window.ActionOf(&w.graph);
    ASSERT_TRUE(graph->isEnabled());
    graph->trigger();
    EXPECT_EQ(graph->text().toStdString(), "取消圖形");
    QWidget* figure = window.WidgetOf(&w.Picture8);
    ASSERT_TRUE(figure->isVisible());
    for (int i = 0; i < 15; ++i)
        EXPECT_TRUE(window.WidgetOf(&w.Line2[i])->isVisible()) << i;
    EXPECT_TRUE(window.WidgetOf(&w.Line1[0])->isVisible());
    EXPECT_FALSE(window.WidgetOf(&w.Line1[4])->isVisible());

    // Choosing the mandible in the list shows its outline; the right end of the
    // left-right bar moves it 21 twips to the right.
    auto* list = qobject_cast<QListWidget*>(window.WidgetOf(&w.List1));
    ASSERT_NE(list, nullptr);
    list->setCurrentRow(4);
    EXPECT_EQ(w.List1.listIndex, 4);
    EXPECT_TRUE(window.WidgetOf(&w.Line1[4])->isVisible());
    const float before = w.Line1[4].x1;
    QWidget* bar = window.WidgetOf(&w.Label17);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() - 1, 5));
    EXPECT_NEAR(w.Line1[4].x1 - before, 20, 1.5) << "one click near the right end";
    // Beside the list, on the mandible's own line, what it has moved; the widest total
    // the bars can plausibly give fits too.
    auto* totals = qobject_cast<QListWidget*>(window.WidgetOf(&w.List2));
    ASSERT_NE(totals, nullptr);
    ASSERT_EQ(totals->count(), 9);
    EXPECT_EQ(totals->item(4)->text().toStdString(), "→0.7 mm");
    EXPECT_EQ(totals->visualItemRect(totals->item(4)).top(),
              list->visualItemRect(list->item(4)).top());
    EXPECT_EQ(totals->visualItemRect(totals->item(8)).bottom(),
              list->visualItemRect(list->item(8)).bottom());
    EXPECT_LE(totals->fontMetrics().horizontalAdvance(QStringLiteral("-13° ←20.0 ↑20.0 mm")),
              totals->viewport()->width() - 4);
    if (const char* shots = std::getenv("CEPH_SCREENSHOTS"))
        window.grab().save(QString::fromUtf8(shots) + QStringLiteral("/figure.png"));

    // Focusing the left offset box arms it; a click on the figure moves the clicked
    // picture point onto S and stores the alignment in the tracing's line.
    QWidget* left = window.WidgetOf(&w.Text1[1]);
    ASSERT_TRUE(left->isVisible()) << "the alignment frame shows with the radiograph";
    QTest::mouseClick(left, Qt::LeftButton);
    EXPECT_TRUE(w.state.FigurePanel.offsetArmed);
    QTest::mouseClick(figure, Qt::LeftButton, Qt::NoModifier, QPoint(100, 60));
    EXPECT_FALSE(w.state.FigurePanel.offsetArmed);
    const std::string aligned = Slurp(dir.path() / "ceph-1");
    EXPECT_EQ(std::count(aligned.begin(), aligned.end(), ','), 43) << aligned;
    EXPECT_NE(w.Text1[1].text, "0");
    EXPECT_TRUE(figure->isVisible()) << "still shown after the save";

    // The click on the figure took the focus, so the same box arms again for another
    // alignment.
    QTest::mouseClick(left, Qt::LeftButton);
    EXPECT_TRUE(w.state.FigurePanel.offsetArmed);
    if (const char* shots = std::getenv("CEPH_SCREENSHOTS"))
        window.grab().save(QString::fromUtf8(shots) + QStringLiteral("/aligned.png"));
}

}  // namespace
}  // namespace ceph
