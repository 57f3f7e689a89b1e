#pragma once
// How far a clinician's click lands from the true landmark: for each of the 19
// landmarks a two-dimensional normal error with standard deviations sx, sy in
// millimetres and correlation r, on the axes of a stored tracing (x towards the face,
// y downwards). The table built into the program comes from data/landmark-error.tsv;
// a practice may load its own in the same format.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "base/result.h"

namespace ceph::uncertainty {

struct LandmarkError {
    double sx = 0, sy = 0, r = 0;
};

struct ErrorModel {
    std::array<LandmarkError, 20> landmark{};  // 1..19 used, as in the point store
};

// The table as built into the program, and the model it gives.
std::string_view DefaultErrorModelText();
const ErrorModel& DefaultErrorModel();

// Reads a table: lines of number, name, sx, sy, r, basis separated by tabs or blanks
// (the name may hold blanks), text after '#' ignored, every landmark 1..19 exactly
// once, 0 <= sx, sy <= 20 and -1 < r < 1. A faulty table gives its first fault in the
// problem's words, "line N: ...".
base::Result<ErrorModel> ParseErrorModel(std::string_view text);

// Reads a replacement table from a regular file of at most 64 KiB. A file that cannot
// be read fails with the system's error (and its words); a faulty table with no system
// error and "line N: ..." in words.
base::Result<ErrorModel> LoadErrorModel(const std::string& path);

// The practice's own error table when the data folder has one, else the one built in;
// why the practice's could not be used, when it is there but faulty.
ErrorModel PracticeErrorModel(const std::string& dataDir, std::string* problem);

}  // namespace ceph::uncertainty
