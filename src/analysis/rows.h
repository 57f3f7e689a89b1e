#pragma once
// The 37 result rows as one table: each row's caption, unit, block and place in it, and
// how its value is written. The off-screen result grid is laid out from it, and the
// report draws every row from it.

#include <array>
#include <string>
#include <string_view>

#include "analysis/catalogue.h"
#include "ui/main_window.h"

namespace ceph::analysis {

enum class Unit { Degree, Millimetre, Percent, None };

// The blocks of the result: skeletal and facial rows, dental rows, the four horizontal
// differences (a header row of their own), and the A-Ar-Gn rows with their norms.
enum class Block { Skeletal, Dental, Differences, Maxillomandibular };

struct RowSpec {
    const char* caption;
    Unit unit;
    Block block;
    int line;      // the row's line in its block (the difference's column for Differences)
    int decimals;  // how the value is written
};

const RowSpec& Row(int row);

// The unit as printed after a value: "°", "mm", "%" or nothing.
std::string_view UnitText(Unit unit);

// A value text as the report shows it: the text, or "*****" when it is longer than
// the five characters printed.
std::string ShownValue(std::string_view text);

// A value as printed: ShownValue right-aligned in five characters.
std::string ValueField(std::string_view text);

// Captions, value boxes, unit labels and norm labels of the result grid in their
// places, from the table.
void LayOutResultGrid(ui::MainWindow& win);

}  // namespace ceph::analysis
