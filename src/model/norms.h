#pragma once
// Norms (mean and standard deviation) of the A-Ar-Gn block by sex and age band.

#include <array>
#include <string_view>

namespace ceph::model {

// How many rows of the standard analysis have norms.
inline constexpr int kNormRows = 7;

// Whether a sex text (the hand-off's fourth line) means male: its first character after
// any blanks is "M" or "m", so "M", "m", " M" and "M " are male and "F", "" are not.
// Every reader of the sex goes through this one rule.
bool IsMale(std::string_view sex);

// 10/11 up to 8 years, 20/21 9-11, 30/31 12-14, 40/41 15 and over (units digit 1 for
// male, as IsMale reads the sex), 0 when the age text does not start with a number other than 0.
int NormGroup(std::string_view sexCaption, std::string_view ageCaption);

// The norm of a measurement (by its key) for a group, as printed: "(79.2±3.1)"; null
// when the measurement has no norms, empty for group 0 or an unknown group.
const char* NormText(std::string_view key, int group);

struct Analysis;

// The norm texts of an analysis's rows that have norms, in row order (the standard
// analysis's when none is named).
std::array<const char*, kNormRows> NormTexts(const Analysis& analysis, int group);
std::array<const char*, kNormRows> NormTexts(int group);

}  // namespace ceph::model
