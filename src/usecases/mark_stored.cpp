#include "usecases/mark_stored.h"

#include <string>

#include "store/record_file.h"
#include "usecases/follow_up.h"

namespace ceph::usecases {

std::string OverlongLinesText(std::string_view path, long first, long count) {
    return std::string(path) + " 的第 " + std::to_string(first) + " 行" +
           (count > 1 ? "等 " + std::to_string(count) + " 行" : std::string()) + "長於 " +
           std::to_string(store::kMaxRecordLine >> 20) + " MB，不是描圖資料，已略過。";
}

void MarkStored(ui::MainWindow& win, int index) {
    win.readn[index].enabled = true;
    win.comp[index].enabled = true;
    win.inputn[index].caption = "修改第 " + std::to_string(index + 1) + " 張";
    OfferFollowUp(win);
}

std::vector<std::string> MarkStoredTracings(ui::MainWindow& win, std::string_view code) {
    std::vector<std::string> problems;
    for (int i = 0; i < ui::kTracingSlots; ++i) {
        win.readn[i].enabled = false;
        win.comp[i].enabled = false;
        OfferFollowUp(win);
        const std::string path = store::RecordFilePath(win.state.DataDir, i + 1);
        base::Result<store::RecordReader> file = store::OpenRecordFile(path);
        if (!file) {
            problems.push_back(store::CannotReadText(path, file.why().error));
            continue;
        }
        std::string_view line;
        long number = 0, overlong = 0, firstOverlong = 0;
        while (file->Next(line)) {
            ++number;
            if (file->Overlong() && overlong++ == 0) firstOverlong = number;
            if (!store::LineBelongsTo(line, code)) continue;
            MarkStored(win, i);
            break;
        }
        if (file->Failed()) problems.push_back(store::CannotReadText(path, file->Error()));
        if (overlong > 0) problems.push_back(OverlongLinesText(path, firstOverlong, overlong));
    }
    return problems;
}

}  // namespace ceph::usecases
