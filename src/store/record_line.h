#pragma once
// One record line: reading it back into a tracing (its landmarks, age text and figure
// fields), finding a patient's line in a record file, and writing a tracing as a line.
// The host suite and other programs read these lines, so their layout never changes:
// code, the 38 coordinates, "0", the age text, then the figure fields when aligned.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

#include "base/result.h"
#include "model/geometry.h"
#include "model/tracing.h"

namespace ceph::store {

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
    // The figure fields: what follows the age text and its comma, none when nothing does.
    std::optional<model::FigureAlignment> figure;
    LineFault fault = LineFault::None;
    bool IsTracing() const { return fault == LineFault::None; }
};

RecordFields ParseRecordFields(std::string_view line);

// The tracing a line holds, with its landmarks 1..19 and its age and figure texts.
model::Tracing TracingOf(const RecordFields& fields);

// A record line read as a tracing, or why it is none.
base::Result<model::Tracing, LineFault> ReadTracingLine(std::string_view line);

// The figure fields of a line, from what follows its age text and comma: scale, left and
// top offsets, the top offset taking the rest of the line (none when nothing follows).
std::optional<model::FigureAlignment> ReadFigureFields(std::string_view rest);
// The same fields as a line holds them, exactly as they were read.
std::string FigureFieldsText(const model::FigureAlignment& figure);

// Why a patient's stored tracing cannot be shown: its record file cannot be read (the
// system's reason), or the patient's line there holds no tracing (the line's fault).
struct TracingProblem {
    std::string path;       // the record file
    std::error_code error;  // why it could not be read; clear when the line is at fault
    LineFault fault = LineFault::None;
    // Why the tracing cannot be shown, naming the file and the tracing, for a message;
    // FindTracing fills it in.
    std::string message = {};
};

// The patient's first line in record file index+1 as it stands (without its line end),
// nothing when the patient has none there, or why the file cannot be read.
base::Result<std::optional<std::string>, TracingProblem> PatientLine(const std::string& dataDir,
                                                                     std::string_view code,
                                                                     int index);

// A patient's tracing as a record file holds it: the tracing its line holds, read once
// here, and the line as it stands (a correction stores over exactly that line).
struct FoundTracing {
    model::Tracing tracing;
    std::string line;
};

// The patient `code`'s tracing in record file index+1 of the data folder `dataDir`
// (ending with the separator), nothing when the patient has no line there, or why it
// cannot be shown.
using TracingLookup = base::Result<std::optional<FoundTracing>, TracingProblem>;
TracingLookup FindTracing(const std::string& dataDir, std::string_view code, int index);

// One coordinate of landmarks 1..19 (the other slots unused), as the store keeps them.
using PointRow = model::PointTable;

// The record line of a finished tracing: code, the 38 coordinates at one decimal, "0"
// and the age text.
std::string FormatRecordLine(std::string_view code, const PointRow& x, const PointRow& y,
                             std::string_view age);
// The record line of a tracing: as above with the tracing's age text, then its figure
// fields when it has any.
std::string FormatRecordLine(std::string_view code, const model::Tracing& tracing);

// The patient's line with the figure fields (scale, left, top) replaced or added after
// the age text; the first 41 fields stay as they are.
std::string WithFigureFields(std::string_view line, const model::FigureAlignment& figure);

}  // namespace ceph::store
