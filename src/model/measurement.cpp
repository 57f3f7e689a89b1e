#include "model/measurement.h"

#include <cassert>
#include <utility>

#include "model/norms.h"
#include "model/numbers.h"

namespace ceph::model {

namespace {

using enum Landmark;
using enum Unit;

constexpr Analysis kStandardAnalysis{"標準分析", std::span<const Measurement>(kStandardRows)};

// The values a row's formula reads, from the rows computed before it; their places are
// found from the keys when the program is compiled.
template <std::size_t I>
Inputs InputsOf(const RowValues& rows) {
    constexpr std::array<int, kMaxInputs> places = InputRows(I);
    Inputs inputs{};
    for (std::size_t k = 0; k < kMaxInputs; ++k)
        if (places[k] >= 0) inputs[k] = rows[static_cast<std::size_t>(places[k])];
    return inputs;
}

// The standard analysis runs over whole record files: its rows are called directly, so
// the compiler sees all 37 formulas at once and shares what they compute alike.
template <std::size_t... I>
[[gnu::flatten]] void ComputeStandard(const FormulaPoints& p, RowValues& rows,
                                      std::index_sequence<I...>) {
    ((rows[I] = kStandardRows[I].formula(p, InputsOf<I>(rows))), ...);
}

// Another list of the rows: each input found by its key among the rows before it.
void ComputeRows(std::span<const Measurement> rows, const FormulaPoints& p, RowValues& values) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        Inputs inputs{};
        for (std::size_t k = 0; k < kMaxInputs && rows[i].inputs[k]; ++k)
            for (std::size_t j = 0; j < i; ++j)
                if (std::string_view(rows[j].key) == rows[i].inputs[k]) inputs[k] = values[j];
        values[i] = rows[i].formula(p, inputs);
    }
}

}  // namespace

const Analysis& StandardAnalysis() {
    return kStandardAnalysis;
}

const Measurement& Row(int row) {
    return kStandardRows[static_cast<std::size_t>(row)];
}

AnalysisValues ComputeValues(const Analysis& analysis, PointTable X, PointTable Y) {
    assert(analysis.rows.size() <= static_cast<std::size_t>(kRows));
    AnalysisValues v;
    DeriveOcclusalPoints(X, Y);
    v.x29 = X[Slot(MolarPoint)], v.y29 = Y[Slot(MolarPoint)];
    v.x30 = X[Slot(IncisorPoint)], v.y30 = Y[Slot(IncisorPoint)];
    const FormulaPoints p(X, Y);
    if (analysis.rows.data() == kStandardRows)
        ComputeStandard(p, v.rows, std::make_index_sequence<std::size(kStandardRows)>());
    else
        ComputeRows(analysis.rows, p, v.rows);
    return v;
}

AnalysisTexts ToTexts(const Analysis& analysis, const AnalysisValues& values, int normGroup) {
    AnalysisTexts t;
    for (std::size_t i = 0; i < analysis.rows.size(); ++i)
        t.values[i] = FormatFixed(values.rows[i], analysis.rows[i].decimals);
    t.norms = NormTexts(normGroup);
    return t;
}

int NormIndex(const Analysis& analysis, int row) {
    const auto& rows = analysis.rows;
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size() || !HasNorms(rows[row].key))
        return -1;
    int index = 0;
    for (int r = 0; r < row; ++r)
        if (HasNorms(rows[r].key)) ++index;
    return index;
}

std::string_view UnitText(Unit unit) {
    switch (unit) {
        case Degree:
            return "°";
        case Millimetre:
            return "mm";
        case Percent:
            return "%";
        case None:
            break;
    }
    return "";
}

std::string ShownValue(std::string_view text) {
    // Cutting a longer value would print a plausible wrong number ("903.0" for
    // -12334903.0); a filled field says plainly that it does not fit.
    if (text.size() > 5) return "*****";
    return std::string(text);
}

std::string ValueField(std::string_view text) {
    std::string field = "     " + ShownValue(text);
    return field.substr(field.size() - 5);
}

}  // namespace ceph::model
