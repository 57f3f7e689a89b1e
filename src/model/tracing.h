#pragma once
// A stored tracing and the patient it belongs to, as the program works with them.

#include <array>
#include <optional>
#include <span>
#include <string>

#include "model/figure_alignment.h"
#include "model/geometry.h"
#include "model/measurement.h"

namespace ceph::model {

// The patient as the practice suite hands it over.
struct Patient {
    std::string name;
    std::string code;
    std::string birthDate;
    std::string sex;
};

// One tracing: the landmarks in millimetres with S at the origin (x towards the face,
// y downwards), by landmark number; 29 and 30 are derived by the analysis. The age
// text is the patient's age when it was traced; the figure fields are the alignment of
// its radiograph under the figure as its record line holds them, none for a tracing
// whose figure was never aligned.
struct Tracing {
    PointTable X{}, Y{};
    std::string age;
    std::optional<FigureAlignment> figure;
};

// A tracing as its report shows it, as it was when it was shown or compared: the
// landmarks (29 and 30 derived), the result texts and norms, the age text and the
// tracing's caption ("P.1"). Printing draws from it, so the page shows what the screen
// showed.
struct ReportedTracing {
    const Analysis* analysis = &StandardAnalysis();
    PointTable X{}, Y{};
    std::array<std::string, kRows> values{};
    std::array<std::string, kNormRows> norms{};
    std::string age;
    std::string caption;
};

// What the report of a stored tracing shows: its analysis, with the norms of the
// patient's group, under the caption "P.n" of its number.
ReportedTracing ReportOf(const Tracing& tracing, const Patient& patient, int number,
                         const Analysis& analysis = StandardAnalysis());

// How far from S a landmark of a tracing can lie. A radiograph shows a head: a tracing
// with a landmark farther away was never traced on one, and drawing it would take the
// figure beyond any panel.
inline constexpr double kMaxMillimetresFromS = 1000;

// Whether every landmark 1..19 (x[i], y[i]) lies within kMaxMillimetresFromS of S;
// false for a coordinate that is not finite.
bool WithinReachOfS(std::span<const float> x, std::span<const float> y);

// Moves landmarks 1..19 so that S lies at the origin.
void MoveSToOrigin(std::span<float> x, std::span<float> y);

// A compared tracing laid over the shown one on their S-N lines: its landmarks (slots
// 1..30) turned about its S and moved with it onto the shown S, so that its S-N runs
// along the shown S-N. Only the direction is taken: lengths and angles stay as traced,
// so whatever is measured on it is unchanged. Left as it is when either S-N has no
// direction (N on S, or a coordinate not finite).
// The same on any line of two landmarks: `at` onto the other tracing's `at`, the line
// from `at` towards `toward` along the other's.
void SuperimposeOnLine(PointTable& X, PointTable& Y, const PointTable& shownX,
                       const PointTable& shownY, Landmark at, Landmark toward);
void SuperimposeOnSN(PointTable& X, PointTable& Y, const PointTable& shownX,
                     const PointTable& shownY);

}  // namespace ceph::model
