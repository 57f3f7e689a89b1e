#pragma once
// The program's own analysis as one table: 37 rows, SNA to Max./Mand. A row is its key
// (the name its norms, the named analyses and a practice's table know it by), caption,
// unit, place in the report, decimals and formula. A formula reads the landmarks and,
// by their keys, the earlier rows it builds on. The formulas are C++ functions named
// here: each keeps the single-precision steps the report's last digits come from. The
// window and the report size their arrays by counts taken from the table.

#include <array>
#include <cstddef>
#include <limits>
#include <string_view>

#include "model/geometry.h"

namespace ceph::model {

enum class Unit { Degree, Millimetre, Percent, None };

// The blocks of the report: skeletal and facial rows, dental rows, the four horizontal
// differences (a header row of their own), and the A-Ar-Gn rows with their norms.
enum class Block { Skeletal, Dental, Differences, Maxillomandibular };

// What a formula reads: the landmarks (29 and 30 derived), and the nasion perpendicular
// that the horizontal rows measure from, set up once for all of them.
struct FormulaPoints : Points {
    FormulaPoints(const PointTable& x, const PointTable& y) : Points{x, y}, nv(*this) {}
    NasionPerpendicular nv;
};

// The values of the earlier rows a formula names, in the order it names them.
inline constexpr std::size_t kMaxInputs = 2;
using Inputs = std::array<double, kMaxInputs>;

struct Measurement {
    const char* key;      // the measurement's name; its norms are found by it
    const char* caption;  // as the report prints it
    Unit unit;
    Block block;
    int line;      // the row's line in its block (the difference's column for Differences)
    int decimals;  // how the value is written
    // The value from the landmarks (29 and 30 derived) and the rows named by `inputs`.
    double (*formula)(const FormulaPoints& p, const Inputs& inputs);
    std::array<const char*, kMaxInputs> inputs{};  // keys of earlier rows; null past the last
};

namespace standard_rows {

using enum Landmark;
using enum Unit;
using enum Block;
using P = const FormulaPoints&;
using In = const Inputs&;

// A measurement reversed in sign when the side test says so; a side value of exactly
// zero never reverses.
inline double Signed(double value, bool reverse) {
    return reverse ? -value : value;
}

inline double Ratio(double part, double whole) {
    return whole == 0 ? kNoValue : 100 * part / whole;
}

inline double NvOf(P p, Landmark l) {
    return p.nv.Distance(l);
}

// Rows of one shape, over the landmarks they name.
template <Landmark a, Landmark b, Landmark c, Landmark d>
inline double Angle(P p, In) {
    return LineAngle(p, a, b, c, d);
}
template <Landmark a, Landmark b>
inline double Distance(P p, In) {
    return PointDistance(p, a, b);
}
template <Landmark pt, Landmark a, Landmark b>
inline double FromLine(P p, In) {
    return LineDistance(p, pt, a, b);
}
template <Landmark l>
inline double AheadOfNv(P p, In) {
    return NvOf(p, l);
}
template <Landmark a, Landmark b>
inline double NvApart(P p, In) {
    return NvOf(p, a) - NvOf(p, b);
}
// The first input, a distance from the nasion perpendicular, less that of l.
template <Landmark l>
inline double InputAheadOfNv(P p, In in) {
    return in[0] - NvOf(p, l);
}

inline double L1ToMandibularPlane(P p, In in) {
    return Angle<L1Edge, L1Apex, Go, Gn>(p, in);
}

inline double Difference(P, In in) {
    return in[0] - in[1];
}
inline double Percentage(P, In in) {
    return Ratio(in[0], in[1]);
}

inline double Convexity(P p, In) {
    return Signed(LineAngle(p, A, N, Pog, A), SideValue(p, N, Pog, A) < 0);
}

// The upper face height in per cent of N-Me, vertically; single precision, as the
// lower face height is its complement in single precision.
inline double UpperFaceHeight(P p, In) {
    const double faceHeight = double(p.y(Me)) - p.y(N);
    if (faceHeight == 0) return std::numeric_limits<float>::quiet_NaN();
    return static_cast<float>((double(p.y(ANS)) - p.y(N)) * 100 / faceHeight);
}
inline double LowerFaceHeight(P, In upper) {
    return 100.0f - static_cast<float>(upper[0]);
}

inline double PosteriorToAnteriorHeight(P p, In) {
    return Ratio(PointDistance(p, S, Go), PointDistance(p, N, Me));
}

// The interincisal angle closes the angles with SN and the mandibular plane.
inline double Interincisal(P p, In sn) {
    return 360 - sn[0] - sn[1] - L1ToMandibularPlane(p, sn);
}

inline double UpperIncisorToFacialLine(P p, In) {
    return Signed(LineDistance(p, U1Edge, N, Pog), SideValue(p, N, Pog, U1Edge) < 0);
}

// The feet of A and B on the occlusal line, measured from the molar point: positive
// when A's foot lies farther along than B's.
inline double Wits(P p, In) {
    const LineProjection occlusal(p.x(MolarPoint), p.y(MolarPoint),
                                  double(p.x(IncisorPoint)) - p.x(MolarPoint),
                                  double(p.y(IncisorPoint)) - p.y(MolarPoint));
    return occlusal.LineAfterPoint(p.x(A), p.y(A)) - occlusal.PointAfterLine(p.x(B), p.y(B));
}

// The overbite: how far the incisor edges reach past the occlusal line, each on its
// own side.
inline double Overbite(P p, In) {
    const double upper = Signed(LineDistance(p, U1Edge, MolarPoint, IncisorPoint),
                                SideValue(p, MolarPoint, IncisorPoint, U1Edge) > 0);
    const double lower = Signed(LineDistance(p, L1Edge, MolarPoint, IncisorPoint),
                                SideValue(p, MolarPoint, IncisorPoint, L1Edge) < 0);
    return upper + lower;
}

inline double Gonial(P p, In) {
    return double(LineAngle(p, N, Go, Ar, Go)) + LineAngle(p, N, Go, Me, Go);
}

inline constexpr Measurement kTable[] = {
    {"SNA", "SNA:", Degree, Skeletal, 0, 1, Angle<S, N, A, N>},
    {"SNB", "SNB:", Degree, Skeletal, 1, 1, Angle<S, N, B, N>},
    {"ANB", "ANB:", Degree, Skeletal, 2, 1, Difference, {"SNA", "SNB"}},
    {"NAP", "NAP:", Degree, Skeletal, 3, 1, Convexity},
    {"A-Nv", "A-Nv:", Millimetre, Skeletal, 4, 1, AheadOfNv<A>},
    {"Pog-Nv", "Pog-Nv:", Millimetre, Skeletal, 5, 1, AheadOfNv<Pog>},
    {"SN/FH", "SN/FH:", Degree, Skeletal, 6, 1, Angle<N, S, Or, Po>},
    {"SN/MP", "SN/MP:", Degree, Skeletal, 7, 1, Angle<N, S, Gn, Go>},
    {"UFH", "UFH:", Percent, Skeletal, 8, 1, UpperFaceHeight},
    {"LFH", "LFH:", Percent, Skeletal, 9, 1, LowerFaceHeight, {"UFH"}},
    {"PFH/AFH", "PFH/AFH:", Percent, Skeletal, 10, 1, PosteriorToAnteriorHeight},
    {"S-Go", "S-Go:", Millimetre, Skeletal, 11, 1, Distance<S, Go>},
    {"N-ANS", "N-ANS:", Millimetre, Skeletal, 12, 1, Distance<N, ANS>},
    {"ANS-Me", "ANS-Me:", Millimetre, Skeletal, 13, 1, Distance<ANS, Me>},
    {"SN/U1", "SN/U1:", Degree, Dental, 0, 1, Angle<S, N, U1Edge, U1Apex>},
    {"U1/L1", "U1/L1:", Degree, Dental, 1, 1, Interincisal, {"SN/MP", "SN/U1"}},
    {"U1-NP", "U1-NP:", Millimetre, Dental, 2, 1, UpperIncisorToFacialLine},
    {"LI/OP", "LI/OP:", Degree, Dental, 3, 1, Angle<L1Apex, L1Edge, MolarPoint, IncisorPoint>},
    {"L1/MP", "L1/MP:", Degree, Dental, 4, 1, L1ToMandibularPlane},
    {"WITS", "WITS:", Millimetre, Dental, 5, 1, Wits},
    {"UI-PP", "UI-PP:", Millimetre, Dental, 6, 1, FromLine<U1Edge, PNS, ANS>},
    {"UM-PP", "UM-PP:", Millimetre, Dental, 7, 1, FromLine<UpperMolar, ANS, PNS>},
    {"LI-MP", "LI-MP:", Millimetre, Dental, 8, 1, FromLine<L1Edge, Go, Gn>},
    {"LM-MP", "LM-MP:", Millimetre, Dental, 9, 1, FromLine<LowerMolar, Go, Gn>},
    // One line left empty above overbite.
    {"OB", "OB:", Millimetre, Dental, 11, 1, Overbite},
    {"GONIAL", "GONIAL:", Degree, Dental, 12, 1, Gonial},
    // The horizontal differences, from the nasion perpendicular.
    {"AB", "AB", None, Differences, 0, 1, InputAheadOfNv<B>, {"A-Nv"}},
    {"UL", "UL", None, Differences, 1, 1, NvApart<U1Edge, L1Edge>},
    {"AU", "AU", None, Differences, 2, 1, InputAheadOfNv<U1Edge>, {"A-Nv"}},
    {"BL", "BL", None, Differences, 3, 1, NvApart<B, L1Edge>},
    // The maxilla and the mandible from articulare; below the differences' values.
    {"Ar-A", "Ar-A:", Millimetre, Maxillomandibular, 2, 1, Distance<Ar, A>},
    {"Ar-Gn", "Ar-Gn: ", Millimetre, Maxillomandibular, 3, 1, Distance<Ar, Gn>},
    {"A-Gn", "A-Gn:", Millimetre, Maxillomandibular, 4, 1, Distance<Gn, A>},
    {"A/Ar/Gn", "A/Ar/Gn:", Degree, Maxillomandibular, 5, 1, Angle<A, Ar, Gn, Ar>},
    {"Ar/A/Gn", "Ar/A/Gn:", Degree, Maxillomandibular, 6, 1, Angle<Gn, A, Ar, A>},
    {"A/Gn/Ar", "A/Gn/Ar:", Degree, Maxillomandibular, 7, 1, Angle<A, Gn, Ar, Gn>},
    {"Max./Mand.", "Max./Mand.", Percent, Maxillomandibular, 8, 1, Percentage, {"Ar-A", "Ar-Gn"}},
};

}  // namespace standard_rows

inline constexpr const auto& kStandardRows = standard_rows::kTable;

// How many rows the program's analysis has; results are kept in arrays of this size.
inline constexpr int kRows = static_cast<int>(std::size(kStandardRows));

// The place of the row with that key; -1 when no row has it.
constexpr int RowIndex(std::string_view key) {
    for (std::size_t i = 0; i < std::size(kStandardRows); ++i)
        if (key == kStandardRows[i].key) return static_cast<int>(i);
    return -1;
}

// The places of the rows a row's formula reads, in its order; -1 past the last.
constexpr std::array<int, kMaxInputs> InputRows(std::size_t row) {
    std::array<int, kMaxInputs> places{};
    for (std::size_t k = 0; k < kMaxInputs; ++k) {
        const char* key = kStandardRows[row].inputs[k];
        places[k] = key ? RowIndex(key) : -1;
    }
    return places;
}

// How many rows show a value in that unit: the window has a unit label for each.
constexpr int RowsOfUnit(Unit unit) {
    int count = 0;
    for (const Measurement& m : kStandardRows)
        if (m.unit == unit) ++count;
    return count;
}

namespace standard_rows {

// Each key names one row, and each input an earlier row: a formula never reads a row
// that is not yet computed.
constexpr bool KeysHold() {
    for (std::size_t row = 0; row < std::size(kTable); ++row) {
        if (RowIndex(kTable[row].key) != static_cast<int>(row)) return false;
        for (std::size_t k = 0; k < kMaxInputs; ++k) {
            const int at = InputRows(row)[k];
            if (kTable[row].inputs[k] && (at < 0 || at >= static_cast<int>(row))) return false;
        }
    }
    return true;
}
static_assert(KeysHold(), "a row's key is taken twice, or an input names no earlier row");

}  // namespace standard_rows

}  // namespace ceph::model
