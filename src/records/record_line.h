#pragma once
// Reading one record line back into the landmark store, the age label and the figure
// boxes.

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

#include "base/result.h"
#include "model/tracing.h"
#include "ui/main_window.h"

namespace ceph::records {

// A number field of a record line: a decimal number within single precision. False
// (and 0) for anything else, "1e39" and "1e400" included.
bool ReadNumberField(std::string_view field, float& value);

// Why a line is no tracing. Reading it as one would show plausible but wrong
// measurements, or draw lines to nowhere.
enum class LineFault {
    None,
    NotANumber,  // a coordinate field that is not a number (ReadNumberField)
    TooFar,      // a landmark more than model::kMaxMillimetresFromS from S
};

// What a record line holds: a short line repeats its last coordinate field, as lines
// have always been read, and a tracing not stored with S at the origin is moved there.
struct RecordFields {
    std::array<float, 20> x{}, y{};  // landmarks 1..19
    std::string age;                 // the age text
    std::string rest;                // what follows the age text and its comma
    LineFault fault = LineFault::None;
    bool IsTracing() const { return fault == LineFault::None; }
};

RecordFields ParseRecordFields(std::string_view line);

// The tracing a line holds, with its landmarks 1..19 and its age and figure texts.
model::Tracing TracingOf(const RecordFields& fields);

// A record line read as a tracing, or why it is none.
base::Result<model::Tracing, LineFault> ReadTracingLine(std::string_view line);

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
// The same for the patient `code` in the data folder `dataDir` (ending with the
// separator).
TracingLookup FindTracing(const std::string& dataDir, std::string_view code, int index);

// Why the tracing cannot be shown, naming the file and the tracing, for a message;
// empty when it is stored or simply not there.
std::string TracingProblemText(const TracingLookup& found, int index);

// The tracing caption "P.n", and the tracing itself when it is stored and sound.
void ApplyTracing(ui::MainWindow& win, int index, const TracingLookup& found);

// FindTracing then ApplyTracing. Without a sound line nothing but the tracing caption
// changes.
TracingLookup LoadTracing(ui::MainWindow& win, int index);

}  // namespace ceph::records
