#include "report/report.h"

#include "analysis/result_rows.h"
#include "base/filesys.h"
#include "report/output.h"

namespace ceph::report {

namespace {

void DrawHeader(base::App& app, bool overlay, int top) {
    const ui::MainWindow& w = app.win;
    const int h = overlay ? top + 270 : top;
    if (!overlay) {
        PrintTextAt(app, 12, 200, h + 100, w.Label0.caption);
        PrintTextAt(app, 12, 2000, h + 100, w.Label1.caption);
        PrintTextAt(app, 12, 3500, h + 130, w.Label15.caption);
        PrintTextAt(app, 10, 4000, h + 130, w.Label3.caption);
    }
    PrintTextAt(app, 10, 7000, h + 130, w.Label13.caption);
    PrintTextAt(app, 12, 8500, h + 100, w.Label2.caption);
}

void DrawRows(base::App& app, bool overlay, int top) {
    const ui::State& s = app.win.state;
    // A single tracing on paper gets the larger font; screen reports and comparisons
    // the smaller one with room between the rows for the overlay.
    const bool singleOnPaper = !s.Comparing && !s.ToScreen;
    const int size = singleOnPaper ? 12 : 10;
    const int pitch = singleOnPaper ? 260 : 350;
    const int r = overlay ? top + 180 : top;
    const int o = overlay ? 1 : 0;
    for (int row = 0; row <= 36; ++row) {
        int x, y;
        if (row <= 13) {
            x = 200, y = r + 700 + row * pitch;
        } else if (row <= 23) {
            x = 3000, y = r + 700 + (row - 14) * pitch;
        } else if (row <= 25) {
            x = 3000, y = r + 700 + (row - 13) * pitch;
        } else if (row <= 29) {
            x = 5800 + (row - 26) * 900, y = r + 700;
        } else {
            x = 5700, y = r + 900 + (row - 28) * pitch;
        }
        analysis::PrintResultRow(app, size, x, y, row, o);
    }
}

}  // namespace

std::string SnapshotPath(const ui::State& state) {
    return state.DataDir + "filesave" + base::kSeparator + "tmp.bmp";
}

void DrawReport(base::App& app, bool overlay, int top) {
    ui::MainWindow& w = app.win;
    if (overlay) {
        w.Picture3.foreColor = kRed;
        w.Picture8.foreColor = kRed;
    } else {
        w.Picture3.foreColor = kSystemWindowText;
        w.Picture8.foreColor = kBlue;
    }
    app.services.SetPointer(base::Pointer::Hourglass);
    PrintTextAt(app, 64, 0, 0, " ");  // on paper this starts the page
    DrawHeader(app, overlay, top);
    DrawRows(app, overlay, top);
    if (w.printgraph.checked) {
        DrawPairLines(app, 30, 800, 600, 0);
        DrawPairLines(app, 10, 6000, 4500, 1);
    }
    if (!overlay && w.state.ToScreen) app.services.SaveBitmap(w.Picture3, SnapshotPath(w.state));
    app.services.SetPointer(base::Pointer::Default);
}

}  // namespace ceph::report
