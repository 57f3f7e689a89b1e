#pragma once
// Starting the input of a tracing: the age, the picture, and the first landmark.

#include <string>

#include "base/app.h"

namespace ceph::records {

// The age text ("45Y 3M") of a patient born as the birth-date text says (Minguo year in
// its first three characters, month in the next two) in the given year and month.
std::string AgeText(const std::string& birth, base::YearMonth today);

// Starts entering tracing index+1: the work area with its picture, the age, "S" asked.
void inputn_Click(base::App& app, int index);

}  // namespace ceph::records
