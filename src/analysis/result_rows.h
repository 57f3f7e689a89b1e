#pragma once
// One row of the result grid as the report prints it: caption, value right-aligned in
// five characters, unit and, for the A-Ar-Gn block, the norm.

#include <string_view>

#include "base/app.h"

namespace ceph::analysis {

// The unit printed after the value of a row: "°", "mm", "%" or nothing.
std::string_view PrintedUnit(int row);

// The value text as printed: the last five characters of five blanks and the text.
std::string ValueField(std::string_view text);

// Prints row `row` (0..36) with its caption at (x, y) twips; a non-zero `overlay`
// prints the value and the norm only, as the red pass of a comparison does.
void PrintResultRow(base::App& app, int size, int x, int y, int row, int overlay);

}  // namespace ceph::analysis
