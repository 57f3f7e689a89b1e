#include "usecases/save.h"

#include <cmath>

#include "base/data_folder.h"
#include "base/filesys.h"
#include "base/safe_file.h"
#include "digitising/digitise.h"
#include "figure/display.h"
#include "presenter/figure_view.h"
#include "store/film_positions.h"
#include "store/record_file.h"
#include "store/record_line.h"
#include "store/record_store.h"
#include "usecases/mark_stored.h"
#include "usecases/show.h"

namespace ceph::usecases {

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

void Tell(ui::App& app, const std::string& text) {
    app.services.ShowMessage(text, ui::kCriticalOk);
}

bool Refused(ui::App& app, const std::string& text) {
    Tell(app, text);
    return false;
}

// Why the S-N length typed cannot scale the tracing, for the calibration panel's red
// line; empty when the points, converted into x and y, can be stored.
std::string ScaleProblem(PointRow& x, PointRow& y, const std::string& typed) {
    if (model::PointDistance({x, y}, 1, 16) == 0) return "N 與 S 同一點，請按「重新」，未存檔";
    if (TrimBlanks(typed).empty()) return "請輸入 S–N 長度（mm），未存檔";
    // Seventy in words is a length too, but not one the program can read; nor is "7,5",
    // whose leading 7 would scale the tracing to a tenth.
    if (!IsDecimalNumber(typed)) return "S–N「" + typed + "」無法讀成數字，未存檔";
    const double length = TextToNumber(typed);
    if (!IsPositiveNumber(length)) return "S–N「" + typed + "」不是正數，未存檔";
    // 0.7 meant as 70 would put every landmark within a millimetre of S and still give
    // plausible angles.
    if (!digitising::PossibleSN(length))
        return "S–N「" + typed + "」不在 20–200 mm 之間，不是 S–N 長度，未存檔";
    ToMillimetres(x, y, length);
    // No real landmark lies that far from S; a length that puts one there is a slip.
    if (!model::WithinReachOfS(x, y)) return "S–N「" + typed + "」太大，未存檔";
    return {};
}

// Keeps the scale for the next tracing's proposal. The tracing is stored by then, so a
// failure is told but does not undo it; a rate of 0 or less (the box edited by hand)
// would propose 0 mm, or a mirrored length, for every tracing after, so the last good
// one stays.
void KeepCalibration(ui::App& app) {
    ui::MainWindow& w = app.win;
    const double rate = TextToNumber(w.Text2.text);
    if (!IsPositiveNumber(rate)) return;
    const std::string calibration = CalibrationPath(w.state);
    if (std::error_code ec = base::WriteFileAtomically(calibration, w.Text2.text + "\r\n")) {
        Tell(app, "描圖已存檔，但無法寫入比例檔: " + calibration + "\n" + base::ErrorText(ec));
        return;
    }
    w.state.SavedRate = rate;
}

// The positions of the landmarks on the film traced, for the tracing stored as x, y;
// none when no file holds that film or a landmark was placed on another one.
std::optional<model::FilmPositions> FilmOfInput(const ui::State& s, const PointRow& x,
                                                const PointRow& y) {
    const model::FilmPositions& film = s.Digitising.film;
    if (film.picture.empty() || film.width <= 0 || film.height <= 0) return std::nullopt;
    return StoredPositions(s, film, x, y);
}

// The question put when the patient's line changed since the work began.
std::string ChangedQuestion(int index, const std::optional<std::string>& now) {
    std::string what = "已被另一部電腦或程式刪除";
    if (now) {
        const std::string age(TrimBlanks(store::ParseRecordFields(*now).age));
        what = "已被另一部電腦或程式改過（" + (age.empty() ? "沒有年齡" : "年齡 " + age) + "）";
    }
    return "第 " + std::to_string(index + 1) + " 張描圖" + what + "，要以這次的描圖取代它嗎？";
}

}  // namespace

bool StoreOverFound(ui::App& app, int index, const std::string& line,
                    const std::optional<std::string>& found, std::string_view stillHere,
                    const std::optional<model::FilmPositions>& film) {
    const std::string& dir = app.win.state.DataDir;
    const std::string code(store::FirstField(line));
    store::FollowingFile positions = store::StoreFilmPositions(index + 1, code, film);
    std::optional<std::string> now;
    store::StoreResult stored =
        store::StorePatientLineIf(dir, index + 1, line, found, now, store::kLockWait, &positions);
    if (!stored.ok() && stored.why().error == base::ChangedMeanwhile()) {
        if (app.services.ShowMessage(ChangedQuestion(index, now), ui::kReplaceOrCancel) !=
            ui::MessageAnswer::Yes)
            return false;
        // Knowingly: whatever is there now gives way.
        stored = store::StorePatientLines(dir, index + 1, {line}, store::kLockWait, &positions);
    }
    if (!stored.ok()) {
        Tell(app, store::StoreFailureText(stored.why()) + "\n" + std::string(stillHere));
        return false;
    }
    // The tracing is stored; positions that did not follow only cost their help (and
    // old ones no longer match the line).
    if (positions.outcome && !positions.outcome->ok()) {
        const base::Problem& why = positions.outcome->why();
        Tell(app, "描圖已存檔，但無法寫入描點在 X 光片上的位置: " + why.file + "\n" +
                      base::ErrorText(why.error));
    }
    return true;
}

model::FilmPositions StoredPositions(const ui::State& state, model::FilmPositions film,
                                     const model::PointTable& X, const model::PointTable& Y) {
    film.picture = store::FilmName(state.PictureDir, film.picture);
    film.digest = store::CoordinatesDigest(X, Y);
    return film;
}

void ToMillimetres(PointRow& x, PointRow& y, double snMillimetres) {
    const float d = model::PointDistance({x, y}, 1, 16);
    if (snMillimetres == 0 || d == 0) return;
    const float k = static_cast<float>(snMillimetres / d);
    for (int i = 1; i <= 19; ++i)
        x[i] *= k, y[i] *= k;
    model::MoveSToOrigin(x, y);
}

bool StoreInput(ui::App& app) {
    ui::MainWindow& w = app.win;
    ui::State& s = w.state;
    const int index = s.InputTracing;
    const std::string& code = s.Patient.code;
    if (TrimBlanks(code).empty()) return Refused(app, kNoCode);
    if (BreaksLine(code)) {
        return Refused(app, "病歷號碼「" + code + "」含有逗號或換行，描圖無法存檔。");
    }

    if (BreaksLine(w.Text4.text)) {
        return Refused(app, "年齡「" + w.Text4.text + "」含有逗號或換行，描圖無法存檔。");
    }

    // The store keeps its image units until the line is safely written, so a refused or
    // failed save can simply be tried again.
    PointRow x = s.X, y = s.Y;
    if (std::string why = ScaleProblem(x, y, w.Text6.text); !why.empty()) {
        w.LabelSNCheck.caption = std::move(why);
        return false;
    }

    model::Tracing tracing;
    tracing.X = x, tracing.Y = y, tracing.age = w.Text4.text;
    const std::optional<model::FilmPositions> film = FilmOfInput(s, x, y);
    // Where the film lies under the figure follows from where the landmarks lie on it,
    // as if the clinician had aligned it by hand.
    if (film) tracing.figure = model::AlignmentFromPositions(*film, x, y);
    const std::string line = store::FormatRecordLine(code, tracing);
    if (!StoreOverFound(app, index, line, s.InputFoundLine, kStillHere, film)) return false;
    KeepCalibration(app);
    s.X = x, s.Y = y;
    MarkStored(w, index);
    return true;
}

void Command2_Click(ui::App& app) {
    ui::MainWindow& w = app.win;
    const ui::State& s = w.state;
    // What was typed is committed and stored as it stands.
    presenter::AcceptFigureBoxes(w);
    const model::FigureAlignment& typed = s.FigurePanel.alignment;
    for (const model::TypedNumber* box : {&typed.scale, &typed.left, &typed.top}) {
        // A comma would shift the fields of the line, a line end split it.
        if (BreaksLine(box->text))
            return Tell(app, "圖形調整的欄位「" + box->text + "」不能含有逗號。");
    }
    const std::string code(TrimBlanks(w.state.Patient.code));
    auto adjust = [&](std::string_view line, std::string& replacement) {
        if (!store::LineBelongsTo(line, code)) return false;
        replacement = store::WithFigureFields(line, typed) + "\r\n";
        return true;
    };
    const store::StoreResult stored =
        store::RewriteRecordFile(s.DataDir, s.ShownTracing + 1, adjust, {});
    if (!stored.ok()) {
        // The boxes keep the new values, so ReLoad can store them once the cause is gone.
        return Tell(app, "無法儲存圖形調整: " + stored.why().file + "\n" +
                             base::ErrorText(stored.why().error));
    }
    ShowTracing(app, s.ShownTracing);
}

void Picture8_MouseUp(ui::App& app, float x, float y) {
    if (figure::AlignPicture(app.win, x, y)) Command2_Click(app);
}

void Check2_Click(ui::App& app) {
    ShowTracing(app, app.win.state.ShownTracing);
}

}  // namespace ceph::usecases
