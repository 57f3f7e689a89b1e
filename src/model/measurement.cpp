#include "model/measurement.h"

#include <cassert>
#include <limits>
#include <utility>

#include "model/norms.h"
#include "model/numbers.h"

namespace ceph::model {

namespace {

using enum Landmark;
using enum Unit;
using enum Block;
using R = const RowValues&;
using P = const FormulaPoints&;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A measurement reversed in sign when the side test says so; a side value of exactly
// zero never reverses.
double Signed(double value, bool reverse) {
    return reverse ? -value : value;
}

// The upper face height in per cent of N-Me, vertically; single precision, as the
// lower face height is its complement in single precision.
float UpperFaceHeight(Points p) {
    const double faceHeight = double(p.y(Me)) - p.y(N);
    if (faceHeight == 0) return std::numeric_limits<float>::quiet_NaN();
    return static_cast<float>((double(p.y(ANS)) - p.y(N)) * 100 / faceHeight);
}

double Nv(P p, Landmark l) {
    return p.nv.Distance(l);
}

// The feet of A and B on the occlusal line, measured from the molar point: positive
// when A's foot lies farther along than B's.
double Wits(Points p) {
    const LineProjection occlusal(p.x(MolarPoint), p.y(MolarPoint),
                                  double(p.x(IncisorPoint)) - p.x(MolarPoint),
                                  double(p.y(IncisorPoint)) - p.y(MolarPoint));
    return occlusal.LineAfterPoint(p.x(A), p.y(A)) - occlusal.PointAfterLine(p.x(B), p.y(B));
}

double L1ToMandibularPlane(Points p) {
    return LineAngle(p, L1Edge, L1Apex, Go, Gn);
}

// The overbite: how far the incisor edges reach past the occlusal line, each on its
// own side.
double Overbite(Points p) {
    const double upper = Signed(LineDistance(p, U1Edge, MolarPoint, IncisorPoint),
                                SideValue(p, MolarPoint, IncisorPoint, U1Edge) > 0);
    const double lower = Signed(LineDistance(p, L1Edge, MolarPoint, IncisorPoint),
                                SideValue(p, MolarPoint, IncisorPoint, L1Edge) < 0);
    return upper + lower;
}

double Ratio(double part, double whole) {
    return whole == 0 ? kNaN : 100 * part / whole;
}

constexpr Measurement kStandard[] = {
    {"SNA", "SNA:", Degree, Skeletal, 0, 1,
     [](P p, R) -> double { return LineAngle(p, S, N, A, N); }},
    {"SNB", "SNB:", Degree, Skeletal, 1, 1,
     [](P p, R) -> double { return LineAngle(p, S, N, B, N); }},
    {"ANB", "ANB:", Degree, Skeletal, 2, 1, [](P, R r) { return r[0] - r[1]; }},
    {"NAP", "NAP:", Degree, Skeletal, 3, 1,
     [](P p, R) { return Signed(LineAngle(p, A, N, Pog, A), SideValue(p, N, Pog, A) < 0); }},
    {"A-Nv", "A-Nv:", Millimetre, Skeletal, 4, 1, [](P p, R) { return Nv(p, A); }},
    {"Pog-Nv", "Pog-Nv:", Millimetre, Skeletal, 5, 1, [](P p, R) { return Nv(p, Pog); }},
    {"SN/FH", "SN/FH:", Degree, Skeletal, 6, 1,
     [](P p, R) -> double { return LineAngle(p, N, S, Or, Po); }},
    {"SN/MP", "SN/MP:", Degree, Skeletal, 7, 1,
     [](P p, R) -> double { return LineAngle(p, N, S, Gn, Go); }},
    {"UFH", "UFH:", Percent, Skeletal, 8, 1, [](P p, R) -> double { return UpperFaceHeight(p); }},
    {"LFH", "LFH:", Percent, Skeletal, 9, 1,
     [](P, R r) -> double { return 100.0f - static_cast<float>(r[8]); }},
    {"PFH/AFH", "PFH/AFH:", Percent, Skeletal, 10, 1,
     [](P p, R) { return Ratio(PointDistance(p, S, Go), PointDistance(p, N, Me)); }},
    {"S-Go", "S-Go:", Millimetre, Skeletal, 11, 1,
     [](P p, R) -> double { return PointDistance(p, S, Go); }},
    {"N-ANS", "N-ANS:", Millimetre, Skeletal, 12, 1,
     [](P p, R) -> double { return PointDistance(p, N, ANS); }},
    {"ANS-Me", "ANS-Me:", Millimetre, Skeletal, 13, 1,
     [](P p, R) -> double { return PointDistance(p, ANS, Me); }},
    {"SN/U1", "SN/U1:", Degree, Dental, 0, 1,
     [](P p, R) -> double { return LineAngle(p, S, N, U1Edge, U1Apex); }},
    // The interincisal angle closes the angles with SN and the mandibular plane.
    {"U1/L1", "U1/L1:", Degree, Dental, 1, 1,
     [](P p, R r) { return 360 - r[7] - r[14] - L1ToMandibularPlane(p); }},
    {"U1-NP", "U1-NP:", Millimetre, Dental, 2, 1,
     [](P p, R) {
         return Signed(LineDistance(p, U1Edge, N, Pog), SideValue(p, N, Pog, U1Edge) < 0);
     }},
    {"LI/OP", "LI/OP:", Degree, Dental, 3, 1,
     [](P p, R) -> double { return LineAngle(p, L1Apex, L1Edge, MolarPoint, IncisorPoint); }},
    {"L1/MP", "L1/MP:", Degree, Dental, 4, 1, [](P p, R) { return L1ToMandibularPlane(p); }},
    {"WITS", "WITS:", Millimetre, Dental, 5, 1, [](P p, R) { return Wits(p); }},
    {"UI-PP", "UI-PP:", Millimetre, Dental, 6, 1,
     [](P p, R) { return LineDistance(p, U1Edge, PNS, ANS); }},
    {"UM-PP", "UM-PP:", Millimetre, Dental, 7, 1,
     [](P p, R) { return LineDistance(p, UpperMolar, ANS, PNS); }},
    {"LI-MP", "LI-MP:", Millimetre, Dental, 8, 1,
     [](P p, R) { return LineDistance(p, L1Edge, Go, Gn); }},
    {"LM-MP", "LM-MP:", Millimetre, Dental, 9, 1,
     [](P p, R) { return LineDistance(p, LowerMolar, Go, Gn); }},
    // One line left empty above overbite.
    {"OB", "OB:", Millimetre, Dental, 11, 1, [](P p, R) { return Overbite(p); }},
    {"GONIAL", "GONIAL:", Degree, Dental, 12, 1,
     [](P p, R) { return double(LineAngle(p, N, Go, Ar, Go)) + LineAngle(p, N, Go, Me, Go); }},
    // The horizontal differences, from the nasion perpendicular.
    {"AB", "AB", None, Differences, 0, 1, [](P p, R r) { return r[4] - Nv(p, B); }},
    {"UL", "UL", None, Differences, 1, 1, [](P p, R) { return Nv(p, U1Edge) - Nv(p, L1Edge); }},
    {"AU", "AU", None, Differences, 2, 1, [](P p, R r) { return r[4] - Nv(p, U1Edge); }},
    {"BL", "BL", None, Differences, 3, 1, [](P p, R) { return Nv(p, B) - Nv(p, L1Edge); }},
    // The maxilla and the mandible from articulare; below the differences' values.
    {"Ar-A", "Ar-A:", Millimetre, Maxillomandibular, 2, 1,
     [](P p, R) -> double { return PointDistance(p, Ar, A); }},
    {"Ar-Gn", "Ar-Gn: ", Millimetre, Maxillomandibular, 3, 1,
     [](P p, R) -> double { return PointDistance(p, Ar, Gn); }},
    {"A-Gn", "A-Gn:", Millimetre, Maxillomandibular, 4, 1,
     [](P p, R) -> double { return PointDistance(p, Gn, A); }},
    {"A/Ar/Gn", "A/Ar/Gn:", Degree, Maxillomandibular, 5, 1,
     [](P p, R) -> double { return LineAngle(p, A, Ar, Gn, Ar); }},
    {"Ar/A/Gn", "Ar/A/Gn:", Degree, Maxillomandibular, 6, 1,
     [](P p, R) -> double { return LineAngle(p, Gn, A, Ar, A); }},
    {"A/Gn/Ar", "A/Gn/Ar:", Degree, Maxillomandibular, 7, 1,
     [](P p, R) -> double { return LineAngle(p, A, Gn, Ar, Gn); }},
    {"Max./Mand.", "Max./Mand.", Percent, Maxillomandibular, 8, 1,
     [](P, R r) { return Ratio(r[30], r[31]); }},
};
static_assert(std::size(kStandard) == kRows);

constexpr Analysis kStandardAnalysis{"標準分析", std::span<const Measurement>(kStandard)};

// The standard analysis runs over whole record files: its rows are called directly, so
// the compiler sees all 37 formulas at once and shares what they compute alike.
template <std::size_t... I>
[[gnu::flatten]] void ComputeStandard(P p, RowValues& rows, std::index_sequence<I...>) {
    ((rows[I] = kStandard[I].formula(p, rows)), ...);
}

}  // namespace

const Analysis& StandardAnalysis() {
    return kStandardAnalysis;
}

const Measurement& Row(int row) {
    return kStandard[static_cast<std::size_t>(row)];
}

AnalysisValues ComputeValues(const Analysis& analysis, PointTable X, PointTable Y) {
    assert(analysis.rows.size() <= static_cast<std::size_t>(kRows));
    AnalysisValues v;
    DeriveOcclusalPoints(X, Y);
    v.x29 = X[Slot(MolarPoint)], v.y29 = Y[Slot(MolarPoint)];
    v.x30 = X[Slot(IncisorPoint)], v.y30 = Y[Slot(IncisorPoint)];
    const FormulaPoints p(X, Y);
    if (analysis.rows.data() == kStandard) {
        ComputeStandard(p, v.rows, std::make_index_sequence<std::size(kStandard)>());
        return v;
    }
    for (std::size_t i = 0; i < analysis.rows.size(); ++i)
        v.rows[i] = analysis.rows[i].formula(p, v.rows);
    return v;
}

AnalysisTexts ToTexts(const Analysis& analysis, const AnalysisValues& values, int normGroup) {
    AnalysisTexts t;
    for (std::size_t i = 0; i < analysis.rows.size(); ++i)
        t.values[i] = FormatFixed(values.rows[i], analysis.rows[i].decimals);
    t.norms = NormTexts(analysis, normGroup);
    return t;
}

int NormIndex(const Analysis& analysis, int row) {
    const auto& rows = analysis.rows;
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size() || !NormText(rows[row].key, 0))
        return -1;
    int index = 0;
    for (int r = 0; r < row; ++r)
        if (NormText(rows[r].key, 0)) ++index;
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
