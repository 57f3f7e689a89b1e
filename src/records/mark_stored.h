#pragma once
// Marks which of the nine tracing slots hold a tracing of the patient, at start-up.

#include <string_view>

#include "ui/main_window.h"

namespace ceph::records {

// For each slot i: `readn`(i) and `comp`(i) are enabled exactly when record file i+1
// has a line of the patient, and `inputn`(i) of a stored slot reads "修改第 n 張".
void MarkStoredTracings(ui::MainWindow& win, std::string_view code);

}  // namespace ceph::records
