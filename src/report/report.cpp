#include "report/report.h"

#include "model/norms.h"
#include "model/measurement.h"
#include "base/data_folder.h"
#include "base/filesys.h"
#include "report/output.h"

namespace ceph::report {

namespace {

void DrawHeader(ui::App& app, bool overlay, int top) {
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

void DrawRows(ui::App& app, bool overlay, int top) {
    for (int row = 0; row < model::kRows; ++row) {
        const RowPlace place = PlaceOfRow(app.win.state, row, overlay, top);
        PrintResultRow(app, place.size, place.x, place.y, row, overlay ? 1 : 0);
    }
}

}  // namespace

RowPlace PlaceOfRow(const ui::State& s, int row, bool overlay, int top) {
    // A single tracing on paper gets the larger font; screen reports and comparisons
    // the smaller one with room between the rows for the overlay.
    const bool singleOnPaper = !s.Comparing && !s.ToScreen;
    const int size = singleOnPaper ? 12 : 10;
    const int pitch = singleOnPaper ? 260 : 350;
    const int r = overlay ? top + 180 : top;
    const model::Measurement& spec = model::Row(row);
    switch (spec.block) {
        case model::Block::Skeletal:
            return {size, 200, r + 700 + spec.line * pitch};
        case model::Block::Dental:
            return {size, 3000, r + 700 + spec.line * pitch};
        case model::Block::Differences:
            return {size, 5800 + spec.line * 900, r + 700};
        case model::Block::Maxillomandibular:
            break;
    }
    return {size, 5700, r + 900 + spec.line * pitch};
}

void PrintResultRow(ui::App& app, int size, int x, int y, int row, int overlay) {
    const ui::MainWindow& w = app.win;
    const model::Measurement& spec = model::Row(row);
    const auto i = static_cast<std::size_t>(row);
    if (overlay == 0) PrintTextAt(app, size, x, y, spec.caption);
    switch (spec.block) {
        case model::Block::Differences:  // the value under its caption, no unit
            PrintTextAt(app, size, x - 200, y + 400, model::ValueField(w.Text3[i].text));
            return;
        case model::Block::Maxillomandibular:
            PrintTextAt(app, size, x + 1400, y, model::ValueField(w.Text3[i].text));
            break;
        default:
            PrintTextAt(app, size, x + 1200, y, model::ValueField(w.Text3[i].text));
            break;
    }
    const bool norms = spec.block == model::Block::Maxillomandibular;
    if (overlay == 0) {
        const int ux = x + 1900 + (size == 12 ? 50 : 0) + (norms ? 200 : 0);
        PrintTextAt(app, size, ux, y, model::UnitText(spec.unit));
    }
    if (norms) PrintTextAt(app, size, x + 2600, y, w.Label12[i - 30].caption);
}

static_assert(ui::kNormLabels == model::kNormRows);

ui::ReportInputs TakeReportInputs(const ui::MainWindow& w) {
    ui::ReportInputs r;
    r.X = w.state.X;
    r.Y = w.state.Y;
    for (std::size_t i = 0; i < r.values.size(); ++i)
        r.values[i] = w.Text3[i].text;
    for (std::size_t i = 0; i < r.norms.size(); ++i)
        r.norms[i] = w.Label12[i].caption;
    r.age = w.Label13.caption;
    r.caption = w.Label2.caption;
    return r;
}

void PutReportInputs(ui::MainWindow& w, const ui::ReportInputs& r) {
    w.state.X = r.X;
    w.state.Y = r.Y;
    for (std::size_t i = 0; i < r.values.size(); ++i)
        w.Text3[i].text = r.values[i];
    for (std::size_t i = 0; i < r.norms.size(); ++i)
        w.Label12[i].caption = r.norms[i];
    w.Label13.caption = r.age;
    w.Label2.caption = r.caption;
}

std::string SnapshotPath(const ui::State& state) {
    return base::SnapshotFile(state.DataDir);
}

void DrawReport(ui::App& app, bool overlay, int top) {
    ui::MainWindow& w = app.win;
    if (overlay) {
        w.Picture3.foreColor = kRed;
        w.Picture8.foreColor = kRed;
    } else {
        w.Picture3.foreColor = kSystemWindowText;
        w.Picture8.foreColor = kBlue;
    }
    app.services.SetPointer(ui::Pointer::Hourglass);
    PrintTextAt(app, 64, 0, 0, " ");  // on paper this starts the page
    DrawHeader(app, overlay, top);
    DrawRows(app, overlay, top);
    if (w.printgraph.checked) {
        DrawPairLines(app, 30, 800, 600, 0);
        DrawPairLines(app, 10, 6000, 4500, 1);
    }
    if (!overlay && w.state.ToScreen) {
        // Kept here for the comparisons of this tracing: the file is shared by every
        // workstation on the data folder, and another one may have replaced it since.
        w.state.ShownPanel = {w.Picture3.picture, w.Picture3.drawing};
        app.services.SaveBitmap(w.Picture3, SnapshotPath(w.state));
    }
    app.services.SetPointer(ui::Pointer::Default);
}

}  // namespace ceph::report
