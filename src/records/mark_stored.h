#pragma once
// Marks which of the nine tracing slots hold a tracing of the patient, at start-up.

#include <string>
#include <string_view>
#include <vector>

#include "ui/main_window.h"

namespace ceph::records {

// For each slot i: `readn`(i) and `comp`(i) are enabled exactly when record file i+1
// has a line of the patient, and `inputn`(i) of a stored slot reads "修改第 n 張".
// Returns a message for each record file that is there but cannot be read (a folder,
// a pipe, no permission): that is not the same as holding no tracing.
std::vector<std::string> MarkStoredTracings(ui::MainWindow& win, std::string_view code);

}  // namespace ceph::records
