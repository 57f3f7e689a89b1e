// The tables of the full report: the program's own 37 values and the chosen analysis,
// each value with its norm and flag, the simulated value where the figure moved it.
#include <cmath>
#include <set>

#include "page/full_page.h"

namespace ceph::page {

namespace {

constexpr float kSize = 8, kPitch = 200;
constexpr float kHeadSize = 7;
constexpr float kGap = 240;  // between the two tables

// Where a table's columns begin, from its left edge; negative: no such column.
struct Columns {
    float value, norm, deviation, flag, halfWidth, simulated;
};
constexpr Columns kStandardColumns{1050, 1850, -1, 2800, 3250, 3750};
constexpr Columns kChosenColumns{1300, 2100, 3050, 3550, -1, 4050};

Colour FlagColour(model::Flag flag) {
    switch (flag) {
        case model::Flag::High:
        case model::Flag::Low:
            return kFlagOrange;
        case model::Flag::VeryHigh:
        case model::Flag::VeryLow:
            return kFlagRed;
        case model::Flag::None:
            break;
    }
    return kBlack;
}

std::string WithUnit(double value, const model::ResultRow& row) {
    const std::string number = model::ShownNumber(value, row.decimals);
    if (number.empty()) return "—";
    return number + std::string(model::UnitText(row.unit));
}

// A value and its flag, the arrow larger and in the flag's colour so that it shows on
// any printer.
void ValueWithFlag(DrawingList& page, float x, float flagX, float y, double value,
                   const model::ResultRow& row, model::Flag flag) {
    AddText(page, kSize, x, y, WithUnit(value, row), FlagColour(flag));
    if (flag != model::Flag::None)
        AddText(page, kSize + 2, flagX, y - 30, std::string(model::FlagText(flag)),
                FlagColour(flag));
}

struct Table {
    const model::NamedAnalysis* analysis;
    model::AnalysisResult result, simulated;
    bool withSimulation = false;
    const uncertainty::Uncertainty* halfWidths = nullptr;
};

void DrawHeads(DrawingList& page, const Table& t, const Columns& c, float x, float y) {
    AddText(page, kHeadSize, x, y, "項目", kPageGrey);
    AddText(page, kHeadSize, x + c.value, y, "數值", kPageGrey);
    AddText(page, kHeadSize, x + c.norm, y, "常模", kPageGrey);
    if (c.deviation >= 0) AddText(page, kHeadSize, x + c.deviation, y, "差", kPageGrey);
    if (t.halfWidths && c.halfWidth >= 0)
        AddText(page, kHeadSize, x + c.halfWidth, y, "可信範圍", kPageGrey);
    if (t.withSimulation) AddText(page, kHeadSize, x + c.simulated, y, "模擬", kPageGrey);
}

void DrawRow(DrawingList& page, const Table& t, const Columns& c, std::size_t i, float x, float y) {
    const model::ResultRow& row = t.result.rows[i];
    AddText(page, kSize, x, y, row.name);
    ValueWithFlag(page, x + c.value, x + c.flag, y, row.value, row, row.flag);
    if (row.norm) {
        AddText(page, kSize, x + c.norm, y, model::ShownNorm(*row.norm, row.decimals));
        const double d = model::ShownDifference(row.norm->mean, row.value, row.decimals);
        if (c.deviation >= 0 && std::isfinite(d))
            AddText(page, kSize, x + c.deviation, y,
                    (d > 0 ? "+" : "") + model::ShownNumber(d, row.decimals));
    }
    const auto& rows = t.analysis->rows;
    if (t.halfWidths && c.halfWidth >= 0 && i < rows.size()) {
        const int k = model::RowIndex(rows[i].key);
        if (k >= 0 && k < model::kRows)
            AddText(
                page, kHeadSize, x + c.halfWidth, y + 20,
                uncertainty::HalfWidthText(t.halfWidths->halfWidth[static_cast<std::size_t>(k)]),
                kPageGrey);
    }
    if (!t.withSimulation || i >= t.simulated.rows.size()) return;
    // What the movement left as it was stands in grey, so the column reads as the change
    // and an empty cell never passes for a value that could not be had.
    const model::ResultRow& moved = t.simulated.rows[i];
    if (model::ShownNumber(moved.value, row.decimals) ==
        model::ShownNumber(row.value, row.decimals)) {
        AddText(page, kSize, x + c.simulated, y, WithUnit(moved.value, row), kPageGrey);
        return;
    }
    ValueWithFlag(page, x + c.simulated, x + c.simulated + 650, y, moved.value, moved, moved.flag);
}

// A table from `top`; returns where the next line may go.
float DrawTable(DrawingList& page, const Table& t, const Columns& c, const std::string& title,
                float x, float top, float bottom) {
    AddText(page, 10, x, top, title);
    float y = top + 300;
    DrawHeads(page, t, c, x, y);
    y += 220;
    const std::size_t n = t.result.rows.size();
    for (std::size_t i = 0; i < n; ++i, y += kPitch) {
        if (y + 2 * kPitch > bottom) {
            AddText(page, kSize, x, y, "…其餘 " + std::to_string(n - i) + " 項未印出", kPageGrey);
            return y + kPitch;
        }
        DrawRow(page, t, c, i, x, y);
    }
    return y + 60;
}

// Wrapped lines of small text from `y`, while there is room.
float DrawNotes(DrawingList& page, const std::vector<std::string>& notes, float size, Colour colour,
                float x, float y, float width, float bottom) {
    for (const std::string& note : notes)
        for (std::string& line : WrapText(note, size, width)) {
            if (y + size * 20 > bottom) return y;
            AddText(page, size, x, y, std::move(line), colour);
            y += size * 25;
        }
    return y;
}

Table Evaluated(const model::NamedAnalysis& analysis, const FullReportInputs& in,
                const std::string& set) {
    const model::NormChoice choice{set, in.patient.sex, in.tracing.age};
    Table t{&analysis, model::Evaluate(analysis, in.tracing.X, in.tracing.Y, choice), {}};
    const model::Simulation& sim = in.figure.simulation;
    t.withSimulation = sim.moved;
    if (sim.moved) t.simulated = model::Evaluate(analysis, sim.X, sim.Y, choice);
    return t;
}

}  // namespace

void DrawAnalysisTables(DrawingList& page, const FullReportInputs& in, float top, float bottom) {
    const float half = (kFullPageWidth - kGap) / 2;
    const float legendTop = bottom - 560;
    if (in.standard) {
        Table t = Evaluated(*in.standard, in, {});
        if (in.halfWidths) t.halfWidths = &*in.halfWidths;
        DrawTable(page, t, kStandardColumns, in.standard->name, 0, top, legendTop);
    }
    // The program's own rows chosen with their own norms are the left table already.
    const bool repeated = in.chosen && in.chosen == in.standard &&
                          (in.normSet.empty() || in.normSet == in.chosen->normSets.front());
    if (in.chosen && !repeated) {
        const Table t = Evaluated(*in.chosen, in, in.normSet);
        const std::string set = in.normSet.empty() && !in.chosen->normSets.empty()
                                    ? in.chosen->normSets.front()
                                    : in.normSet;
        const std::string title = in.chosen->name + (set.empty() ? "" : "（常模：" + set + "）");
        const float x = half + kGap;
        float y = DrawTable(page, t, kChosenColumns, title, x, top, legendTop);
        y = DrawNotes(page, in.chosen->notes, 7.5f, kBlack, x, y + 60, half, legendTop);
        std::set<std::string> seen;
        std::vector<std::string> sources;
        for (const model::ResultRow& row : t.result.rows)
            if (row.norm && !row.norm->source.empty() && seen.insert(row.norm->source).second)
                sources.push_back(row.norm->source);
        if (!sources.empty()) sources.front() = "常模來源：" + sources.front();
        DrawNotes(page, sources, 6.5f, kPageGrey, x, y + 60, half, legendTop);
    }
    std::vector<std::string> legend{
        "常模為平均±標準差；↑ ↓ 超出常模 1 個標準差（橘色），↑↑ ↓↓ 超出 2 個標準差（紅色）；"
        "差為數值減常模平均。"};
    if (in.halfWidths)
        legend.push_back("可信範圍：點選誤差下的 95% 範圍（" +
                         std::to_string(in.halfWidths->draws) + " 次模擬）。");
    if (in.figure.simulation.moved) legend.push_back("模擬：依模擬圖形的移動重算，只列有改變者。");
    DrawNotes(page, legend, 7, kPageGrey, 0, legendTop + 20, kFullPageWidth, bottom);
}

}  // namespace ceph::page
