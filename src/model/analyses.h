#pragma once
// The named analyses orthodontists read a case by (Steiner, Downs, Tweed, Björk-Jarabak,
// McNamara, and a practice's own), all from the 19 landmarks. Each is a table: one line
// per measurement with its kind, its landmarks by name, unit, decimals, and its norms
// (mean and SD by norm set, sex and age band, with their source). The built-in table
// and a practice's `analyses.tsv` share one format and one reader. The program's own 37
// rows are offered as the first analysis, with the norms they have always had.

#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "model/geometry.h"
#include "model/measurement.h"

namespace ceph::model {

// How a measurement is taken. Landmark directions run from the first named to the
// second; the film is seen with the face looking right and y pointing down.
enum class MeasureKind {
    Angle,      // a,b,c,d[,k]: angle between directions a->b and c->d, 0..180 degrees, plus k
    Vertex,     // a,b,c[,k]: angle a-b-c at b, 0..180 degrees, plus k
    Turn,       // a,b,c,d[,k]: signed angle from a->b to c->d, positive clockwise on the film
    Distance,   // a,b: distance in mm
    Signed,     // p,a,b: distance of p from the line a-b, positive in front of a line
                // running downwards (to the right of it as the film is seen)
    Projected,  // a,b,c,d: how far b lies beyond a along the direction c->d, in mm
    Ratio,      // m1,m2: 100 x m1 / m2 of two earlier measurements, in %
    Sum,        // terms: numbers and earlier measurements, each with an optional minus
    Own,        // one of the program's own 37 rows, by its key
};

// One norm of a measurement: for a norm set, a sex ('M', 'F' or 0 for both) and an age
// band in whole years (inclusive; open ends are the limits of int).
struct NormEntry {
    std::string set;
    char sex = 0;
    int ageFrom = std::numeric_limits<int>::min();
    int ageTo = std::numeric_limits<int>::max();
    double mean = 0, sd = 0;
    std::string source;
    int line = 0;  // where the table gives it
};

// Whether a norm holds for some ages only: one without a band is the fallback for any age.
inline bool HasAgeBand(const NormEntry& n) {
    return n.ageFrom != std::numeric_limits<int>::min() ||
           n.ageTo != std::numeric_limits<int>::max();
}

struct Term {
    int measurement = -1;  // an earlier row of the same analysis, or -1 for a number
    double factor = 1;     // +1 or -1; the number itself when measurement is -1
};

struct ClassicMeasurement {
    std::string name;  // as orthodontists write it: "SNA", "FMA", "S-Go/N-Me"
    MeasureKind kind = MeasureKind::Angle;
    std::vector<Landmark> landmarks;
    std::vector<Term> terms;  // Ratio and Sum
    double constant = 0;      // k of the angle kinds
    std::string key;          // Own: the row's key in the program's table ("ANB")
    Unit unit = Unit::Degree;
    int decimals = 1;
    std::vector<NormEntry> norms;
    int line = 0;  // where the table defines it
};

struct NamedAnalysis {
    std::string name;  // as shown: "Steiner", "Björk–Jarabak"
    std::vector<ClassicMeasurement> rows;
    // What the analysis would hold but cannot from these landmarks, and why.
    std::vector<std::string> notes;
    // The norm sets its rows name, in the order the table first names them.
    std::vector<std::string> normSets;
    bool standard = false;  // the program's own 37 rows
    bool practice = false;  // from the practice's file
    int line = 0;           // where the table first names it
};

// A line of a table that cannot be read, and why (Traditional Chinese).
struct TableFault {
    int line = 0;
    std::string reason;
};

// Reads an analysis table: tab-separated columns
//   analysis, measurement, kind, landmarks, unit, decimals, norm set, sex, age, mean, SD,
//   source
// with '#' comment lines and blank lines skipped. The landmarks (or the measurements and
// numbers of Ratio and Sum) are separated by commas; landmark names are matched without
// regard to case or blanks. A measurement named again in the same analysis adds a norm
// (its kind, landmarks, unit and decimals empty or the same). Kind "note" puts the
// measurement column's text under the analysis. Kind "standard" takes the number of one
// of the program's own rows (0 for SNA), kept as that row's key.
// Lines naming one of `extendable` (the built-in analyses, for a practice's table) only
// add norms in sets of the practice's own; the result then holds that analysis, extended.
// Refused, as they would make the choice of a name or a norm depend on the order of the
// lines: two analyses, or two norm sets of one, whose names are one by SameName; two
// norms of a measurement for the same set and sex whose age bands share a year.
base::Result<std::vector<NamedAnalysis>, TableFault> ReadAnalysisTable(
    std::string_view text, bool practice, const std::vector<NamedAnalysis>& extendable = {});

// The built-in analyses: the standard 37 rows first, then the classic ones.
const std::vector<NamedAnalysis>& BuiltInAnalyses();

// Whether two names are one as a name is typed: the same text, or the same letters and
// digits of any script without regard to case, accents, blanks or punctuation
// ("bjork-jarabak" is "Björk–Jarabak", "台灣 成人" is "台灣成人"). A name with no letter
// or digit is only itself.
bool SameName(std::string_view a, std::string_view b);

// The analysis shown, printed and offered first when none is chosen.
inline constexpr const char* kDefaultAnalysis = "Steiner";

// The analysis of that name: exactly, else by SameName ("standard" for the 37 rows); null
// when none.
const NamedAnalysis* FindAnalysis(const std::vector<NamedAnalysis>& analyses,
                                  std::string_view name);

// The norm sets of `analysis` that `name` names: the one of exactly that name, else every
// one SameName matches. More than one means the name chooses none of them.
std::vector<std::string> NormSetsNamed(const NamedAnalysis& analysis, std::string_view name);

// The set a patient's norms come from: the one `name` names, else (none or several named)
// the analysis's first; empty when it has none.
std::string NormSetOf(const NamedAnalysis& analysis, std::string_view name);

// How far a value lies from its norm, as shown: beyond one SD, beyond two.
enum class Flag { None, High, Low, VeryHigh, VeryLow };

// The flag of a value shown at `decimals` against mean and SD: the shown value is
// compared, so a value shown exactly one SD away is not flagged.
Flag FlagOf(double value, int decimals, double mean, double sd);
// "↑", "↓", "↑↑", "↓↓" or "".
std::string_view FlagText(Flag flag);

struct Norm {
    double mean = 0, sd = 0;
    std::string source;
};

struct ResultRow {
    std::string name;
    Unit unit = Unit::Degree;
    int decimals = 1;
    double value = kNoValue;   // NaN when the landmarks give none
    std::optional<Norm> norm;  // for the patient's sex and age in the chosen set
    Flag flag = Flag::None;
};

struct AnalysisResult {
    std::vector<ResultRow> rows;
};

// What a patient's norms are chosen by.
struct NormChoice {
    std::string set;  // as NormSetOf takes it; empty: the analysis's first set
    std::string sex;  // the hand-off's sex text
    std::string age;  // the tracing's age text ("12Y 3M")
};

// The analysis of one tracing: X and Y hold landmarks 1..19 in millimetres (S at the
// origin, y downwards; 29 and 30 are derived here). For each row the most specific norm
// of the set that fits the sex and age (one for that sex over one for both, one with an
// age band over one without). The standard rows take the norms of their group.
AnalysisResult Evaluate(const NamedAnalysis& analysis, PointTable X, PointTable Y,
                        const NormChoice& choice);

// A measurement's name with its unit, "SNA (°)", unless the name says its unit already
// ("U1-NA mm"), as the window, the page and cephtool's columns caption it.
std::string NameWithUnit(const std::string& name, Unit unit);

// A norm as shown beside a value: "82.0±2.0", at the value's decimals.
std::string ShownNorm(const Norm& norm, int decimals);

// A value as shown, "" for no value.
std::string ShownNumber(double value, int decimals);
// The difference b - a of two values as shown (each rounded to `decimals` first), so a
// difference agrees with the two numbers beside it; NaN when either has none.
double ShownDifference(double a, double b, int decimals);

}  // namespace ceph::model
