#pragma once
// Marks which of the nine tracing slots hold a tracing of the patient, at start-up.

#include <string>
#include <string_view>
#include <vector>

#include "ui/main_window.h"

namespace ceph::usecases {

// For each slot i: `readn`(i) and `comp`(i) are enabled exactly when record file i+1
// has a line of the patient, and `inputn`(i) of a stored slot reads "修改第 n 張".
// Returns a message for each record file that is there but cannot be read (a folder,
// a pipe, no permission): that is not the same as holding no tracing; and for each one
// where lines too long to be record lines were passed over looking for the patient.
std::vector<std::string> MarkStoredTracings(ui::MainWindow& win, std::string_view code);

// Slot `index` (0..8) holds a tracing of the patient: it can be shown and compared, and
// entering it again reads "修改第 n 張". Start-up and finishing a tracing both say so, so
// the menus never lag behind the record files.
void MarkStored(ui::MainWindow& win, int index);

// "PATH 的第 N 行（等 K 行）長於 1 MB，…": lines of a record file that belong to nobody.
std::string OverlongLinesText(std::string_view path, long first, long count);

}  // namespace ceph::usecases
