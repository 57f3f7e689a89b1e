#include "analysis/result_rows.h"

#include <string>

#include "report/output.h"

namespace ceph::analysis {

std::string_view PrintedUnit(int row) {
    // d degrees, m millimetres, p percent, - none; one letter per row.
    static constexpr std::string_view kUnits = "ddddmmddpppmmmddmddmmmmmmd----mmmdddp";
    switch (row >= 0 && row < 37 ? kUnits[static_cast<std::size_t>(row)] : '-') {
        case 'd':
            return "°";
        case 'm':
            return "mm";
        case 'p':
            return "%";
        default:
            return "";
    }
}

std::string ValueField(std::string_view text) {
    std::string field = "     " + std::string(text);
    return field.substr(field.size() - 5);
}

void PrintResultRow(base::App& app, int size, int x, int y, int row, int overlay) {
    const ui::MainWindow& w = app.win;
    if (overlay == 0) report::PrintTextAt(app, size, x, y, w.Label6[row].caption);
    int vx = x + 1400, vy = y;
    if (row <= 25) vx = x + 1200;
    if (row >= 26 && row <= 29) vx = x - 200, vy = y + 400;  // under the caption
    report::PrintTextAt(app, size, vx, vy, ValueField(w.Text3[row].text));
    const bool difference = row >= 26 && row <= 29;
    if (overlay == 0 && !difference) {
        int ux = x + 1900 + (size == 12 ? 50 : 0) + (row >= 30 ? 200 : 0);
        report::PrintTextAt(app, size, ux, y, PrintedUnit(row));
    }
    if (row >= 30) report::PrintTextAt(app, size, x + 2600, y, w.Label12[row - 30].caption);
}

}  // namespace ceph::analysis
