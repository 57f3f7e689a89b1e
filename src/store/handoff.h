#pragma once
// The hand-off file with which the host suite names the patient: up to four lines,
// name, code, birth date and sex.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "model/tracing.h"

namespace ceph::store {

// Splits text into lines ended by CR LF, a lone CR or a lone LF; no trimming. A final
// line without an end still counts; an empty file has no lines.
std::vector<std::string> SplitLines(std::string_view text);

// The first four lines of the hand-off file, decoded to UTF-8, or why the file cannot
// be read (the system's reason, naming the file).
base::Result<std::vector<std::string>> ReadHandoff(std::string_view path);

// The patient the lines name, as far as they go: name, code, birth date, sex. Fields
// the lines do not reach keep what `patient` held.
void FillPatient(model::Patient& patient, const std::vector<std::string>& lines);

// A hand-off is four short lines; anything this large is not one.
inline constexpr std::uint64_t kMaxHandoffBytes = 64 * 1024;

// The hand-off path from the program's arguments: the whole argument text. Where the
// operating system has split an unquoted path at its blanks, the pieces are joined
// again with single blanks.
std::string HandoffPathFromArguments(const std::vector<std::string>& arguments);

}  // namespace ceph::store
