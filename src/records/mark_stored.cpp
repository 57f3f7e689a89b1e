#include "records/mark_stored.h"

#include <string>

#include "records/record_file.h"

namespace ceph::records {

void MarkStoredTracings(ui::MainWindow& win, std::string_view code) {
    for (int i = 0; i < ui::kTracingSlots; ++i) {
        win.readn[i].enabled = false;
        win.comp[i].enabled = false;
        RecordReader file = OpenRecordFile(RecordFilePath(win.state.DataDir, i + 1));
        std::string_view line;
        while (file.Next(line)) {
            if (!LineBelongsTo(line, code)) continue;
            win.readn[i].enabled = true;
            win.comp[i].enabled = true;
            win.inputn[i].caption = "修改第 " + std::to_string(i + 1) + " 張";
            break;
        }
    }
}

}  // namespace ceph::records
