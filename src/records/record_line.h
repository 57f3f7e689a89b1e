#pragma once
// Reading one record line back into the landmark store, the age label and the figure
// boxes.

#include <array>
#include <string>
#include <string_view>
#include <system_error>

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
    // False when a coordinate is no finite single-precision number ("1e39", "1e400"):
    // such a line is no tracing, and reading it as one would show plausible but wrong
    // measurements.
    bool finite = true;
};

RecordFields ParseRecordFields(std::string_view line);

// The figure boxes as a line gives them: scale (never 0), left and top offsets.
std::array<std::string, 3> FigureBoxTexts(std::string_view rest);

// Fills the landmark store, the age label and (unless comparing) the figure boxes
// from the fields, then runs the analysis.
void ApplyRecordFields(ui::MainWindow& win, const RecordFields& fields);

// The patient's line in record file index+1, looked up without changing the window.
struct TracingLookup {
    enum Status { kNotStored, kStored, kUnreadable, kNotATracing } status = kNotStored;
    std::string path;       // the record file
    std::error_code error;  // why it could not be read (kUnreadable)
    RecordFields fields;    // the line read (kStored, kNotATracing)
};
TracingLookup FindTracing(const ui::MainWindow& win, int index);

// Why the tracing cannot be shown, naming the file and the tracing, for a message;
// empty when it is stored or simply not there.
std::string TracingProblemText(const TracingLookup& found, int index);

// The tracing caption "P.n", and the tracing itself when it is stored and sound.
void ApplyTracing(ui::MainWindow& win, int index, const TracingLookup& found);

// FindTracing then ApplyTracing. Without a sound line nothing but the tracing caption
// changes.
TracingLookup LoadTracing(ui::MainWindow& win, int index);

}  // namespace ceph::records
