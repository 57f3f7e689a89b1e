#include "records/mark_stored.h"

#include <string>

#include "records/record_file.h"

namespace ceph::records {

std::vector<std::string> MarkStoredTracings(ui::MainWindow& win, std::string_view code) {
    std::vector<std::string> problems;
    for (int i = 0; i < ui::kTracingSlots; ++i) {
        win.readn[i].enabled = false;
        win.comp[i].enabled = false;
        const std::string path = RecordFilePath(win.state.DataDir, i + 1);
        std::error_code error;
        RecordReader file = OpenRecordFile(path, error);
        std::string_view line;
        while (file.Next(line)) {
            if (!LineBelongsTo(line, code)) continue;
            win.readn[i].enabled = true;
            win.comp[i].enabled = true;
            win.inputn[i].caption = "修改第 " + std::to_string(i + 1) + " 張";
            break;
        }
        if (!error) error = file.Error();
        if (error) problems.push_back(CannotReadText(path, error));
    }
    return problems;
}

}  // namespace ceph::records
