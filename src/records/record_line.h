#pragma once
// Reading one record line back into the landmark store, the age label and the figure
// boxes.

#include <array>
#include <string>
#include <string_view>

#include "ui/main_window.h"

namespace ceph::records {

// What a record line holds, read the forgiving way lines have always been read: a
// short line repeats its last coordinate field, a field that is not a number reads as
// its leading number (or 0), and a tracing not stored with S at the origin is moved
// there.
struct RecordFields {
    std::array<float, 20> x{}, y{};  // landmarks 1..19
    std::string age;                 // the age text
    std::string rest;                // what follows the age text and its comma
};

RecordFields ParseRecordFields(std::string_view line);

// The figure boxes as a line gives them: scale (never 0), left and top offsets.
std::array<std::string, 3> FigureBoxTexts(std::string_view rest);

// Fills the landmark store, the age label and (unless comparing) the figure boxes
// from the line, then runs the analysis.
void ParseRecordLine(ui::MainWindow& win, std::string_view line);

// Reads tracing index+1 of the patient into the store. Returns whether the patient
// has a line in that record file; without one nothing but the tracing caption changes.
bool LoadTracing(ui::MainWindow& win, int index);

}  // namespace ceph::records
