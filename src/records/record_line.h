#pragma once
// Reading one record line back into the landmark store, the age label and the figure
// boxes.

#include <array>
#include <optional>
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
    std::string line;                // the whole line, as FindTracing read it
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

// Fills the landmark store, the age label and (unless comparing) the figure boxes from
// the fields, and the result grid from their analysis; gives the report of the tracing
// as the window now shows it, under the caption of tracing `number`.
model::ReportedTracing ApplyRecordFields(ui::MainWindow& win, const RecordFields& fields,
                                         int number = 0);

// Why a patient's stored tracing cannot be shown: its record file cannot be read (the
// system's reason), or the patient's line there holds no tracing (the line's fault).
struct TracingProblem {
    std::string path;       // the record file
    std::error_code error;  // why it could not be read; clear when the line is at fault
    LineFault fault = LineFault::None;
};

// The patient's first line in record file index+1 as it stands (without its line end),
// nothing when the patient has none there, or why the file cannot be read.
base::Result<std::optional<std::string>, TracingProblem> PatientLine(const std::string& dataDir,
                                                                     std::string_view code,
                                                                     int index);

// The patient's line in record file index+1, looked up without changing the window:
// its fields, nothing when the patient has no line there, or why it cannot be shown.
using TracingLookup = base::Result<std::optional<RecordFields>, TracingProblem>;
TracingLookup FindTracing(const ui::MainWindow& win, int index);
// The same for the patient `code` in the data folder `dataDir` (ending with the
// separator).
TracingLookup FindTracing(const std::string& dataDir, std::string_view code, int index);

// Why the tracing cannot be shown, naming the file and the tracing, for a message.
std::string TracingProblemText(const TracingProblem& problem, int index);

// The tracing caption "P.n" and the stored tracing, as ApplyRecordFields.
model::ReportedTracing ApplyTracing(ui::MainWindow& win, int index, const RecordFields& stored);

// FindTracing then ApplyTracing. Without a sound line nothing but the tracing caption
// changes.
TracingLookup LoadTracing(ui::MainWindow& win, int index);

}  // namespace ceph::records
