// The half-widths beside the report's values, measured in the panel's own font: with
// the widest values, norms and half-widths, no "±" covers any other text of the report.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QRectF>

#include "page/tracing_page.h"
#include "report/report.h"
#include "shown_window.h"
#include "support/patient_folder.h"

namespace ceph {
namespace {

// The ink of a text as the panel paints it: its top-left at (x, y), `size` points
// being size·20 twips high.
QRectF InkOf(const ui::DrawText& t, QFont font) {
    font.setPixelSize(static_cast<int>(t.size * 20));
    const QFontMetricsF metrics(font);
    const QString text = QString::fromStdString(t.text);
    return metrics.tightBoundingRect(text).translated(t.x, t.y + metrics.ascent());
}

// Checks that no "±" of `halfWidths` covers a text of the report or another half-width
// text; gives how many it checked.
int PlusMinusCovering(const ui::DrawingList& halfWidths, const ui::DrawingList& report,
                      const QFont& font) {
    int checked = 0;
    for (const ui::DrawOp& op : halfWidths.ops) {
        const auto* pm = std::get_if<ui::DrawText>(&op);
        if (!pm || pm->text.rfind("±", 0) != 0) continue;
        ++checked;
        const QRectF mine = InkOf(*pm, font);
        for (const ui::DrawingList* list : {&report, &halfWidths})
            for (const ui::DrawOp& other : list->ops) {
                const auto* t = std::get_if<ui::DrawText>(&other);
                if (!t || t == pm || t->text.find_first_not_of(' ') == std::string::npos) continue;
                EXPECT_FALSE(mine.intersects(InkOf(*t, font)))
                    << '"' << pm->text << "\" at (" << pm->x << ", " << pm->y << ") covers \""
                    << t->text << "\" at (" << t->x << ", " << t->y << ")";
            }
    }
    return checked;
}

TEST(HalfWidthsLayout, NoPlusMinusCoversAnyTextOfTheReport) {
    testing::TempDir dir;
    testing::WritePatientFolder(dir);
    testing::ShownWindow shown(dir);
    const QFont font = shown.window->WidgetOf(&shown.program.win.Picture3)->font();

    model::ReportedTracing widest;
    widest.values.fill("-88.8");
    widest.norms.fill("(88.8±8.8)");
    ui::PictureBox panel;
    report::PanelTarget target(panel);
    page::DrawReportPage(target, shown.program.win.state.Patient, widest, {});

    // The widest half-width shown with its figures, and one too wide to show them.
    for (double spread : {88.8, 1e6}) {
        uncertainty::Uncertainty u;
        u.halfWidth.fill(spread);
        u.undefinedDraws.fill(1);
        u.draws = 1000;
        ui::DrawingList halfWidths;
        page::DrawHalfWidths(halfWidths, false, u);
        // Each row's and the legend's.
        EXPECT_EQ(PlusMinusCovering(halfWidths, panel.drawing, font), model::kRows + 1);
    }
}

}  // namespace
}  // namespace ceph
