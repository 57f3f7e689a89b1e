#pragma once
// Computing the program's own analysis (its 37 rows in standard_rows.h) and the texts of
// its result. An analysis is a list of measurements; computing one gives numbers, and
// the texts shown are made from them where they are shown.

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "model/norms.h"
#include "model/standard_rows.h"

namespace ceph::model {

// A row without a defined value holds NaN.
using RowValues = std::array<double, kRows>;

struct Analysis {
    const char* name;
    std::span<const Measurement> rows;
};

// The program's analysis: 37 rows, SNA to Max./Mand.
const Analysis& StandardAnalysis();

// Row `row` of the standard analysis.
const Measurement& Row(int row);

struct AnalysisValues {
    RowValues rows{};
    float x29 = 0, y29 = 0;  // molar point
    float x30 = 0, y30 = 0;  // incisor point
};

// Computes every row of an analysis. X and Y must hold landmarks 1..19 in millimetres
// (S at the origin, y downwards); points 29 and 30 are derived here.
AnalysisValues ComputeValues(const Analysis& analysis, PointTable X, PointTable Y);
inline AnalysisValues ComputeValues(PointTable X, PointTable Y) {
    return ComputeValues(StandardAnalysis(), X, Y);
}

// The texts of one tracing's result: each value at its decimals (empty where a row has
// no value) and the norm texts of the rows that have norms, for a norm group.
struct AnalysisTexts {
    std::array<std::string, kRows> values;
    std::array<const char*, kNormRows> norms;
};
AnalysisTexts ToTexts(const Analysis& analysis, const AnalysisValues& values, int normGroup);
inline AnalysisTexts ToTexts(const AnalysisValues& values, int normGroup) {
    return ToTexts(StandardAnalysis(), values, normGroup);
}

// Which of the norm texts belongs to row `row` of an analysis; -1 when the row has no
// norm.
int NormIndex(const Analysis& analysis, int row);

// The unit as printed after a value: "°", "mm", "%" or nothing.
std::string_view UnitText(Unit unit);

// A value text as the report shows it: the text, or "*****" when it is longer than
// the five characters printed.
std::string ShownValue(std::string_view text);

// A value as printed: ShownValue right-aligned in five characters.
std::string ValueField(std::string_view text);

}  // namespace ceph::model
