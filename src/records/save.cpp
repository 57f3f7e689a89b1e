#include "records/save.h"

#include <cmath>

#include "base/data_folder.h"
#include "base/filesys.h"
#include "base/safe_file.h"
#include "figure/display.h"
#include "records/record_file.h"
#include "records/record_store.h"
#include "records/show.h"

namespace ceph::records {

namespace {

constexpr const char* kNoCode = "沒有病歷號碼，描圖無法存檔。";
constexpr const char* kStillHere = "描圖仍在畫面上，請排除問題後再按「完成存檔退出」。";

// A text that would split a record line into other fields or other lines.
bool BreaksLine(std::string_view text) {
    return text.find_first_of(",\r\n") != std::string_view::npos;
}

std::string CalibrationPath(const ui::State& s) {
    return base::CalibrationFile(s.DataDir);
}

void Tell(base::App& app, const std::string& text) {
    app.services.ShowMessage(text, base::kCriticalOk);
}

bool Refused(base::App& app, const std::string& text) {
    Tell(app, text);
    return false;
}

}  // namespace

void ToMillimetres(PointRow& x, PointRow& y, double snMillimetres) {
    const float d = analysis::PointDistance({x, y}, 1, 16);
    if (snMillimetres == 0 || d == 0) return;
    const float k = static_cast<float>(snMillimetres / d);
    for (int i = 1; i <= 19; ++i)
        x[i] *= k, y[i] *= k;
    const float sx = x[16], sy = y[16];
    for (int i = 1; i <= 19; ++i)
        x[i] -= sx, y[i] -= sy;
}

std::string FormatRecordLine(std::string_view code, const PointRow& x, const PointRow& y,
                             std::string_view age) {
    std::string line(code);
    line += ',';
    for (int i = 1; i <= 19; ++i) {
        line += Format1(x[i]);
        line += ',';
        line += Format1(y[i]);
        line += ',';
    }
    line += "0,";
    line += age;
    return line;
}

std::string WithFigureFields(std::string_view line, const std::array<std::string, 3>& boxes) {
    // Keep everything up to and including the 41st comma (the one after the age text);
    // a line without one is kept whole and gets its comma.
    std::size_t keep = line.size();
    std::size_t from = 0;
    for (int commas = 1; commas <= 41; ++commas) {
        const std::size_t at = line.find(',', from);
        if (at == std::string_view::npos) {
            keep = line.size();
            break;
        }
        keep = at + 1;
        from = at + 1;
    }
    std::string out(TrimBlanks(line.substr(0, keep)));
    if (out.empty() || out.back() != ',') out += ',';
    out += boxes[0] + "," + boxes[1] + "," + boxes[2];
    return out;
}

bool Command4_Click(base::App& app) {
    ui::MainWindow& w = app.win;
    ui::State& s = w.state;
    const int index = s.InputTracing;
    const std::string& code = w.Label0.caption;
    if (TrimBlanks(code).empty()) return Refused(app, kNoCode);
    if (BreaksLine(code)) {
        return Refused(app, "病歷號碼「" + code + "」含有逗號或換行，描圖無法存檔。");
    }

    // The store keeps its image units until the line is safely written, so a failed
    // save can simply be tried again.
    PointRow x = s.X, y = s.Y;
    ToMillimetres(x, y, TextToNumber(w.Text6.text));
    for (int i = 1; i <= 19; ++i) {
        if (!std::isfinite(x[i]) || !std::isfinite(y[i]))
            return Refused(app, "S-N 長度「" + w.Text6.text + "」不合理，描圖無法存檔。");
    }

    const std::string line = FormatRecordLine(code, x, y, w.Text4.text);
    const StoreResult stored = StorePatientLines(s.DataDir, index + 1, {line});
    if (!stored.Ok()) {
        return Refused(app, "無法存檔: " + stored.file + "\n" + base::ErrorText(stored.error) +
                                "\n" + kStillHere);
    }
    // The tracing is kept; the scale only proposes the next S-N length, so a failure
    // here is told but does not undo the save.
    const std::string calibration = CalibrationPath(s);
    if (std::error_code ec = base::WriteFileAtomically(calibration, w.Text2.text + "\r\n")) {
        Tell(app, "描圖已存檔，但無法寫入比例檔: " + calibration + "\n" + base::ErrorText(ec));
    } else {
        s.SavedRate = TextToNumber(w.Text2.text);
    }

    s.X = x, s.Y = y;
    w.readn[index].enabled = true;
    w.comp[index].enabled = true;
    return true;
}

void Command2_Click(base::App& app) {
    ui::MainWindow& w = app.win;
    const ui::State& s = w.state;
    const std::array<std::string, 3> boxes{w.Text1[0].text, w.Text1[1].text, w.Text1[2].text};
    for (const std::string& box : boxes) {
        // A comma would shift the fields of the line, a line end split it.
        if (BreaksLine(box)) return Tell(app, "圖形調整的欄位「" + box + "」不能含有逗號。");
    }
    const std::string code(TrimBlanks(w.Label0.caption));
    auto adjust = [&](std::string_view line, std::string& replacement) {
        if (!LineBelongsTo(line, code)) return false;
        replacement = WithFigureFields(line, boxes) + "\r\n";
        return true;
    };
    const StoreResult stored = RewriteRecordFile(s.DataDir, s.ShownTracing + 1, adjust, {});
    if (!stored.Ok()) {
        // The boxes keep the new values, so ReLoad can store them once the cause is gone.
        return Tell(app, "無法儲存圖形調整: " + stored.file + "\n" + base::ErrorText(stored.error));
    }
    readn_Click(app, s.ShownTracing);
}

void Picture8_MouseUp(base::App& app, float x, float y) {
    if (figure::AlignPicture(app.win, x, y)) Command2_Click(app);
}

void Check2_Click(base::App& app) {
    readn_Click(app, app.win.state.ShownTracing);
}

}  // namespace ceph::records
