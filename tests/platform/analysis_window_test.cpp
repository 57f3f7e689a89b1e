// The analysis window on the screen: a window of its own, not modal, beside the main
// window, whose table shows the rows of the chosen analysis with the flags in colour.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QTableWidget>

#include "shown_window.h"
#include "support/patient_folder.h"

namespace ceph {
namespace {

TEST(AnalysisWindow, OpensBesideTheMainWindowAndShowsTheRows) {
    testing::TempDir dir;
    testing::WritePatientFolder(dir);
    testing::WriteStoredTracing(dir, "00101");
    testing::ShownWindow shown(dir);
    platform::QtMainWindow& window = *shown.window;
    window.Handle({wiring::EventType::Click, "readn", 0});
    int steiner = -1;
    for (const ui::MenuItem& item : shown.program.win.analysisn)
        if (item.caption == "Steiner") steiner = item.index;
    ASSERT_GE(steiner, 0);
    window.Handle({wiring::EventType::Click, "analysisn", steiner});
    QApplication::processEvents();

    QDialog* panel = window.AnalysisDialog();
    ASSERT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->isModal());
    EXPECT_TRUE(window.isEnabled()) << "the main window stays usable";
    auto* table = panel->findChild<QTableWidget*>(QStringLiteral("anawin.AnaTable"));
    ASSERT_TRUE(table);
    EXPECT_TRUE(table->isVisible());
    ASSERT_EQ(table->rowCount(), 11);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("SNA (°)"));
    // SNA lies beyond two SD of its norm: its flag in red and bold.
    EXPECT_EQ(table->item(0, 4)->text(), QStringLiteral("↑↑"));
    EXPECT_EQ(table->item(0, 4)->foreground().color(), QColor(Qt::red));
    EXPECT_TRUE(table->item(0, 4)->font().bold());
    // Nothing of the table is cut: each column is as wide as its texts.
    for (int r = 0; r < table->rowCount(); ++r)
        for (int c = 0; c < table->columnCount(); ++c) {
            const QTableWidgetItem* item = table->item(r, c);
            EXPECT_LT(QFontMetrics(item->font()).horizontalAdvance(item->text()),
                      table->columnWidth(c))
                << item->text().toStdString();
        }

    // Closed by the user, it is closed in the model too.
    panel->reject();
    EXPECT_FALSE(shown.program.analysis.anawin.visible);
}

TEST(AnalysisWindow, MenuItemsThatMovedKeepTheirActions) {
    testing::TempDir dir;
    testing::WritePatientFolder(dir);
    testing::WriteStoredTracing(dir, "00101");
    testing::ShownWindow shown(dir);
    platform::QtMainWindow& window = *shown.window;
    ui::MainWindow& w = shown.program.win;
    window.Handle({wiring::EventType::Click, "readn", 0});
    // The analyses read again within one event can leave a run-time menu array as long
    // as it was but with its last items made anew elsewhere in memory.
    ui::MenuArray moved = w.analysisn;
    w.analysisn.swap(moved);
    window.Handle({wiring::EventType::Click, "analysisn", 1});
    QAction* item = window.ActionOf(&w.analysisn[0]);
    ASSERT_TRUE(item) << "the menu is built again for the items it shows";
    item->trigger();
    EXPECT_EQ(w.state.ChosenAnalysis, w.analysisn[0].caption);
    EXPECT_TRUE(item->isChecked());
}

}  // namespace
}  // namespace ceph
