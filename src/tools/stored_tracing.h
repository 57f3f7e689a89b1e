#pragma once
// The window state of one stored tracing, as the program has it after showing it: the
// patient header from a hand-off file and the tracing read from its record file.
// Shared by the commands that draw what the program draws.

#include <string>
#include <vector>

#include "base/result.h"
#include "model/film_positions.h"
#include "model/tracing.h"
#include "store/practice_positions.h"

namespace ceph::tools {

struct TracingSource {
    std::string data;     // the data folder
    std::string handoff;  // the hand-off file naming the patient
    int tracing = 0;      // 1..9
};

// A stored tracing as the model has it: the patient from the hand-off file and the
// tracing read from its record file, with its number (1..9).
struct StoredTracing {
    model::Patient patient;
    model::Tracing tracing;
    int number = 0;
};

// Reads the hand-off file and the tracing. Record files are only read, never created.
// When the hand-off cannot be read or the patient has no such tracing, the problem
// names the file (with the system's reason when there is one), and its words say it as
// cephtool tells it, after "cephtool: ".
base::Result<StoredTracing> ReadStoredTracing(const TracingSource& source);

// The picture folder and the film positions that still count, as the store finds them;
// a record file that cannot be read is told on standard error (false).
using store::CountingPositions;
using store::PictureFolder;
bool CountingPositionsOf(const std::string& dataDir, int n, std::vector<CountingPositions>& out);

// Whether a file name ends with `suffix` (lower case, e.g. ".pdf"), in any case.
bool EndsWithNoCase(const std::string& name, const std::string& suffix);

}  // namespace ceph::tools
