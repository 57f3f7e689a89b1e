#pragma once
// The norms (mean and standard deviation) of the program's own rows that have them, the
// A-Ar-Gn block, by norm group: sex and age band. The report prints them beside their
// rows; the analysis window and the full report compare the values with them.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/standard_rows.h"

namespace ceph::model {

// Whether a sex text (the hand-off's fourth line) means male: its first character after
// any blanks is "M" or "m", so "M", "m", " M" and "M " are male and "F", "" are not.
// Every reader of the sex goes through this one rule.
bool IsMale(std::string_view sex);

// 10/11 up to 8 years, 20/21 9-11, 30/31 12-14, 40/41 15 and over (units digit 1 for
// male, as IsMale reads the sex), 0 when the age text does not start with a number other than 0.
int NormGroup(std::string_view sexCaption, std::string_view ageCaption);

// The oldest age of each band as NormGroup reads an age's leading number: band 1 up to
// 8, band 2 above 8 up to 11, band 3 up to 14, band 4 above that.
inline constexpr double kBandOldest[4] = {8, 11, 14, 1e9};

struct MeanSd {
    double mean = 0, sd = 0;
};

// The age bands of the norm groups, as the tens of a group count them: up to 8 years,
// 9-11, 12-14, 15 and over.
inline constexpr int kAgeBands = 4;

struct NormRow {
    const char* key;  // the row's key in the table of the rows
    char sex;         // 'F' or 'M': the groups of units digit 0 or 1
    MeanSd byBand[kAgeBands];
};

namespace standard_rows {

inline constexpr NormRow kNormTable[] = {
    // Mean and SD for the bands up to 8 years, 9-11, 12-14, 15 and over.
    {"Ar-A", 'F', {{77.3, 3.2}, {81.1, 3.6}, {85.4, 4.2}, {87.0, 4.4}}},
    {"Ar-A", 'M', {{79.2, 3.1}, {82.6, 3.4}, {88.0, 4.6}, {93.1, 4.5}}},
    {"Ar-Gn", 'F', {{93.9, 3.8}, {100.4, 4.6}, {108.2, 5.5}, {111.9, 5.3}}},
    {"Ar-Gn", 'M', {{95.7, 4.4}, {101.6, 3.9}, {109.9, 6.3}, {119.0, 5.8}}},
    {"A-Gn", 'F', {{52.8, 3.3}, {55.1, 3.5}, {58.3, 4.0}, {58.7, 4.0}}},
    {"A-Gn", 'M', {{53.2, 3.2}, {55.6, 3.7}, {60.2, 4.0}, {63.9, 5.1}}},
    {"A/Ar/Gn", 'F', {{34.1, 2.0}, {33.2, 2.1}, {32.4, 2.3}, {31.2, 2.0}}},
    {"A/Ar/Gn", 'M', {{33.8, 2.3}, {33.1, 2.3}, {33.1, 2.4}, {32.2, 2.6}}},
    {"Ar/A/Gn", 'F', {{90.5, 3.2}, {93.0, 3.8}, {95.9, 4.1}, {98.5, 4.6}}},
    {"Ar/A/Gn", 'M', {{90.4, 3.6}, {92.6, 3.8}, {93.8, 4.3}, {96.9, 4.1}}},
    {"A/Gn/Ar", 'F', {{55.3, 2.9}, {53.8, 3.1}, {51.7, 3.3}, {50.3, 4.2}}},
    {"A/Gn/Ar", 'M', {{55.9, 2.6}, {54.2, 3.0}, {53.1, 3.3}, {51.0, 3.3}}},
    {"Max./Mand.", 'F', {{82.3, 2.9}, {80.9, 2.9}, {79.0, 3.1}, {77.8, 3.9}}},
    {"Max./Mand.", 'M', {{82.8, 2.4}, {81.3, 2.9}, {80.2, 3.2}, {78.3, 3.0}}},
};

}  // namespace standard_rows

// Where the norms of the row with that key for a sex stand in the norm table; -1 when it
// has none. An index, not a pointer: under the undefined-behaviour sanitizer a pointer
// compared with null is no longer a constant expression, and the checks below run at
// compile time.
constexpr int NormIndex(std::string_view key, char sex) {
    int index = 0;
    for (const NormRow& row : standard_rows::kNormTable) {
        if (key == row.key && sex == row.sex) return index;
        ++index;
    }
    return -1;
}

// The norms of the row with that key for a sex; null when it has none.
inline const NormRow* NormsOf(std::string_view key, char sex) {
    const int index = NormIndex(key, sex);
    return index < 0 ? nullptr : &standard_rows::kNormTable[index];
}

// Whether the row with that key has norms, for both sexes as the groups need them.
constexpr bool HasNorms(std::string_view key) {
    return NormIndex(key, 'F') >= 0 && NormIndex(key, 'M') >= 0;
}

// How many rows of the program's analysis have norms: the report prints one beside each.
inline constexpr int kNormRows = [] {
    int count = 0;
    for (const Measurement& m : kStandardRows)
        if (HasNorms(m.key)) ++count;
    return count;
}();
static_assert(2 * kNormRows == static_cast<int>(std::size(standard_rows::kNormTable)),
              "a norm row names no row of the table, or a row and sex twice");

// A row's norm for a group; none for group 0, an unknown group or a row without norms.
std::optional<MeanSd> GroupNorm(std::string_view key, int group);

// A norm as the report prints it: "(79.2±3.1)", mean and SD at `decimals`, with blanks in
// front up to `width` bytes (" (93.9±3.8)" in the row that also has "(100.4±4.6)").
std::string NormText(const MeanSd& norm, int decimals, std::size_t width);

// The norm texts of the rows that have norms, in row order, for a group, each as wide as
// the widest of its row's; empty for group 0 or an unknown group.
std::array<const char*, kNormRows> NormTexts(int group);

}  // namespace ceph::model
