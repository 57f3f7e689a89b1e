#include "records/record_line.h"

#include "analysis/compute.h"
#include "records/record_file.h"
#include "ui/convert.h"
#include "ui/figure_boxes.h"

namespace ceph::records {

namespace {

// Text after the first comma; the whole text when there is none.
std::string_view AfterComma(std::string_view s) {
    std::size_t c = s.find(',');
    return c == std::string_view::npos ? s : s.substr(c + 1);
}

}  // namespace

RecordFields ParseRecordFields(std::string_view line) {
    RecordFields r;
    std::string_view rest = AfterComma(line);
    std::string_view field;
    for (int i = 1; i <= 19; ++i) {
        for (float* target : {&r.x[i], &r.y[i]}) {
            std::size_t c = rest.find(',');
            if (c != std::string_view::npos) field = rest.substr(0, c);
            rest = AfterComma(rest);
            *target = static_cast<float>(TextToNumber(field));
        }
    }
    // Only the x of S is tested: lines written by this program have S at the origin.
    if (r.x[16] != 0) {
        const float sx = r.x[16], sy = r.y[16];
        for (int i = 1; i <= 19; ++i)
            r.x[i] -= sx, r.y[i] -= sy;
    }
    rest = AfterComma(rest);
    r.age = std::string(rest.substr(0, rest.find(',')));
    rest = r.age.size() + 1 <= rest.size() ? rest.substr(r.age.size() + 1) : std::string_view();
    r.rest = std::string(rest);
    return r;
}

std::array<std::string, 3> FigureBoxTexts(std::string_view rest) {
    std::array<std::string, 3> boxes{"1", "0", "0"};
    std::size_t c = rest.find(',');
    if (c != std::string_view::npos) boxes[0] = std::string(rest.substr(0, c));
    rest = AfterComma(rest);
    if (TextToNumber(boxes[0]) == 0) boxes[0] = "1";
    c = rest.find(',');
    if (c != std::string_view::npos) boxes[1] = std::string(rest.substr(0, c));
    boxes[2] = FormatGeneral(TextToNumber(AfterComma(rest)));
    return boxes;
}

void ParseRecordLine(ui::MainWindow& win, std::string_view line) {
    win.Text1[0].tag.clear();
    win.Text1[1].tag.clear();
    RecordFields r = ParseRecordFields(line);
    for (int i = 1; i <= 19; ++i)
        win.state.X[i] = r.x[i], win.state.Y[i] = r.y[i];
    win.Label13.caption = r.age;
    if (!win.state.Comparing) {
        // The scale box can never receive 0 here, so its change guard has nothing to do.
        std::array<std::string, 3> boxes = FigureBoxTexts(r.rest);
        for (int i = 0; i < 3; ++i)
            ui::WriteFigureBox(win, i, std::move(boxes[i]));
    }
    analysis::ComputeAnalysis(win);
}

bool LoadTracing(ui::MainWindow& win, int index) {
    const int n = index + 1;
    win.Label2.caption = "P." + std::to_string(n);
    RecordReader file = OpenRecordFile(RecordFilePath(win.state.DataDir, n));
    std::string_view line;
    while (file.Next(line)) {
        if (!LineBelongsTo(line, win.Label0.caption)) continue;
        ParseRecordLine(win, line);
        return true;
    }
    return false;
}

}  // namespace ceph::records
