#pragma once
// The fields of an analysis table's lines, for its reader: numbers and names as a
// practice writes them, and the norm columns. What cannot be used is refused with the
// reason, in words a practice's staff can act on (Traditional Chinese).

#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"
#include "model/analyses.h"

namespace ceph::model::table {

// A name as the table may write a landmark or a word: without blanks, any case.
std::string Folded(std::string_view name);

// A number written in full ("-4.6", "+2"), finite; none otherwise.
std::optional<double> Number(std::string_view text);
std::optional<int> WholeNumber(std::string_view text);

// "第 3 行".
std::string LineText(int number);

// The norm columns of one line, its mean and SD written.
struct NormFields {
    int line = 0;
    std::string_view set, sex, age, mean, sd, source;
};

// The norm they give (an empty set is "常模"), or why none.
base::Result<NormEntry, std::string> ReadNorm(const NormFields& fields);

// Why `norm` cannot stand beside `other`, an earlier norm of the measurement: both would
// be the most specific for some patient, so the line read first would decide. Nothing
// when they can.
std::optional<std::string> Clash(std::string_view measurement, const NormEntry& norm,
                                 const NormEntry& other);

}  // namespace ceph::model::table
