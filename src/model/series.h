#pragma once
// A patient's tracings followed over time: laid over a reference tracing the way
// orthodontists read change in three regions, by the landmark forms our 19 landmarks
// allow (the structural method needs traced contours, which a tracing here does not
// have): the cranial base on S-N, registered at S or at N; the maxilla on ANS-PNS at
// ANS; the mandible on Go-Me at Me. And the age a tracing was taken at, from its age
// text.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/landmark.h"
#include "model/tracing.h"

namespace ceph::model {

enum class Registration { CranialAtS, CranialAtN, MaxillaAtAns, MandibleAtMe };
inline constexpr Registration kRegistrations[] = {
    Registration::CranialAtS, Registration::CranialAtN, Registration::MaxillaAtAns,
    Registration::MandibleAtMe};

struct RegistrationInfo {
    const char* caption;  // as the follow-up window offers it
    const char* key;      // as cephtool takes it
    Landmark at, toward;  // the point that coincides, and the line's other end
};
const RegistrationInfo& Info(Registration r);
std::optional<Registration> RegistrationOfKey(std::string_view key);

// A tracing's landmarks (slots 1..30) laid over the reference's by `r`: its registration
// point onto the reference's, its registration line along the reference's; a turn and a
// shift only, so whatever is measured on it is unchanged. The reference itself stays
// where it is; a tracing whose line has no direction stays as traced.
void Register(PointTable& X, PointTable& Y, const PointTable& refX, const PointTable& refY,
              Registration r);

// The age an age text says, in years: "12Y 3M" is 12.25 (as the program writes ages;
// blanks around the parts allowed). Nothing for any other text, which then gives no age
// and no change per year.
std::optional<double> AgeInYears(std::string_view ageText);

// How a value changed between two tracings: in all, and per year when both ages can be
// read and differ. Nothing where either value is missing.
struct Change {
    std::optional<double> total, perYear;
};
Change ChangeBetween(double from, double to, std::optional<double> fromAge,
                     std::optional<double> toAge);

// A change as the tables print it: signed, at `decimals` ("+1.2", "-0.4", "0.0").
std::string ChangeText(double change, int decimals);

// How each of the 37 rows changed from one tracing to another, as the tables print it:
// in all at the row's decimals, per year at one more; empty where it cannot be said.
struct ChangeTexts {
    std::string total, perYear;
};
std::array<ChangeTexts, kRows> RowChanges(const Tracing& from, const Tracing& to);
// The same for one value shown at `decimals`.
ChangeTexts ChangeTextsBetween(double from, double to, int decimals, std::optional<double> fromAge,
                               std::optional<double> toAge);

}  // namespace ceph::model
