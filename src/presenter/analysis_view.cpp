#include "presenter/analysis_view.h"

#include <cmath>

namespace ceph::presenter {

namespace {

// Beyond one SD in orange, beyond two in red and bold: both as arrows too, so that a
// page copied in grey still tells them apart.
constexpr Colour kBeyondOne = Bgr(214, 104, 0);
constexpr Colour kUnchanged = Bgr(0x80, 0x80, 0x80);

ui::TableCell Text(std::string text) {
    ui::TableCell cell;
    cell.text = std::move(text);
    return cell;
}

ui::TableCell Flagged(std::string text, model::Flag flag) {
    ui::TableCell cell = Text(std::move(text));
    switch (flag) {
        case model::Flag::High:
        case model::Flag::Low:
            cell.colour = kBeyondOne;
            break;
        case model::Flag::VeryHigh:
        case model::Flag::VeryLow:
            cell.colour = kRed;
            cell.bold = true;
            break;
        case model::Flag::None:
            break;
    }
    return cell;
}

ui::TableCell ValueWithFlag(const model::ResultRow& row) {
    return FlaggedValue(model::ShownNumber(row.value, row.decimals), row.flag);
}

std::vector<ui::TableCell> RowCells(const AnalysisReading& r, std::size_t i) {
    const model::ResultRow& row = r.shown.result.rows[i];
    const int decimals = row.decimals;
    std::vector<ui::TableCell> cells;
    cells.push_back(Text(model::NameWithUnit(row.name, row.unit)));
    cells.push_back(Flagged(model::ShownNumber(row.value, decimals), row.flag));
    if (row.norm) {
        ui::TableCell norm = Text(model::ShownNumber(row.norm->mean, decimals) + " ± " +
                                  model::ShownNumber(row.norm->sd, decimals));
        norm.tooltip = row.norm->source;
        cells.push_back(std::move(norm));
        cells.push_back(Flagged(
            SignedText(model::ShownDifference(row.norm->mean, row.value, decimals), decimals),
            row.flag));
    } else {
        cells.push_back({});
        cells.push_back({});
    }
    cells.push_back(Flagged(std::string(model::FlagText(row.flag)), row.flag));
    if (r.compared) {
        const model::ResultRow& second = r.compared->result.rows.at(i);
        cells.push_back(ValueWithFlag(second));
        cells.push_back(
            Text(SignedText(model::ShownDifference(row.value, second.value, decimals), decimals)));
    }
    if (r.simulated) {
        const model::ResultRow& moved = r.simulated->rows.at(i);
        const bool changed =
            model::ShownNumber(moved.value, decimals) != model::ShownNumber(row.value, decimals);
        // Unchanged in grey: the column reads as the change, and a blank cell would pass
        // for a value that could not be had.
        ui::TableCell cell = ValueWithFlag(moved);
        if (!changed) cell.colour = kUnchanged, cell.bold = false;
        cells.push_back(std::move(cell));
    }
    return cells;
}

std::string CaseText(const AnalysisReading& r) {
    std::string text = "顯示：" + r.shown.caption + "　" + r.shown.age;
    if (r.compared) text += "\n比較：" + r.compared->caption + "　" + r.compared->age;
    if (r.simulated) text += "\n模擬：組織移動後重算";
    if (!r.normSet.empty()) text += "\n常模：" + r.normSet;
    return text;
}

}  // namespace

ui::TableCell FlaggedValue(std::string text, model::Flag flag) {
    if (const std::string_view arrow = model::FlagText(flag); !arrow.empty())
        text += " " + std::string(arrow);
    return Flagged(std::move(text), flag);
}

std::string SignedText(double difference, int decimals) {
    if (std::isnan(difference)) return std::string();
    const std::string size = model::ShownNumber(std::abs(difference), decimals);
    // A difference that rounds to nothing has no sign.
    if (size.find_first_not_of("0.") == std::string::npos) return size;
    return (difference < 0 ? "-" : "+") + size;
}

void ShowAnalysis(ui::AnalysisWindow& w, const AnalysisReading& r) {
    const model::NamedAnalysis& analysis = *r.analysis;
    w.anawin.caption = "分析 — " + analysis.name;
    w.AnaList.items.clear();
    for (const model::NamedAnalysis& a : w.analyses) {
        if (&a == &analysis) w.AnaList.listIndex = static_cast<int>(w.AnaList.items.size());
        w.AnaList.items.push_back(a.name);
    }
    w.NormList.items = analysis.normSets;
    w.NormList.listIndex = -1;
    for (std::size_t i = 0; i < analysis.normSets.size(); ++i)
        if (analysis.normSets[i] == r.normSet) w.NormList.listIndex = static_cast<int>(i);
    w.LabelCase.caption = CaseText(r);

    ui::Table& t = w.AnaTable;
    t.columns = {"項目", "數值", "常模 (平均 ± SD)", "差異", "標記"};
    if (r.compared) {
        t.columns.push_back(r.compared->caption);
        t.columns.push_back("差值");
    }
    if (r.simulated) t.columns.push_back("模擬");
    t.rows.clear();
    for (std::size_t i = 0; i < r.shown.result.rows.size(); ++i)
        t.rows.push_back(RowCells(r, i));

    w.LabelNotes.caption.clear();
    for (const std::string& note : analysis.notes)
        w.LabelNotes.caption += (w.LabelNotes.caption.empty() ? "" : "\n") + note;
}

}  // namespace ceph::presenter
