#include "usecases/input.h"

#include <filesystem>

#include "base/filesys.h"
#include "digitising/digitise.h"
#include "imaging/sources.h"
#include "imaging/viewport.h"
#include "store/record_line.h"
#include "usecases/show.h"

namespace ceph::usecases {

namespace {

// The number of a run of ASCII digits, or -1 when any character is not one.
int Digits(std::string_view text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// At most `count` characters of a text (a character being a whole UTF-8 sequence), with
// "…" when some were left off, so a stray long line cannot push the note off the window.
std::string Shortened(std::string_view text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t chars = 0; i < text.size() && chars < count; ++chars) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
    }
    return i < text.size() ? std::string(text.substr(0, i)) + "…" : std::string(text);
}

// The age text of the patient's stored tracing in slot `index`, if it has one, from the
// patient's line there.
std::optional<std::string> StoredAge(const ui::MainWindow& w, int index,
                                     const std::optional<std::string>& line) {
    if (!w.readn[index].enabled || !line) return std::nullopt;
    const store::RecordFields fields = store::ParseRecordFields(*line);
    if (!fields.IsTracing() || TrimBlanks(fields.age).empty()) return std::nullopt;
    return std::string(TrimBlanks(fields.age));
}

}  // namespace

std::string MissingPictureText(std::string_view relative) {
    // Named in full: the picture folder may be given relative to the data folder.
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(base::ToPath(relative), ec);
    const std::string named = relative.empty() || ec ? std::string(relative) : base::FromPath(full);
    const std::string_view picture = named;
    std::string files;
    if (picture.empty()) {
        files = "（病歷號碼無法當作檔名）";
    } else if (picture.size() > 3 && picture.substr(picture.size() - 3) == "jpg") {
        // The picture of a tracing is its .bmp, or the .jpg of the same name.
        files = std::string(picture.substr(0, picture.size() - 3)) + "bmp\n" + std::string(picture);
    } else {
        files = std::string(picture);
    }
    return "找不到這張描圖的影像檔：\n" + files;
}

std::string MissingPictureQuestion(std::string_view picture) {
    return MissingPictureText(picture) + "\n\n要選擇圖檔嗎？";
}

std::optional<ui::YearMonth> BirthMonth(std::string_view birth, ui::YearMonth today) {
    const std::string_view date = TrimBlanks(birth);
    if (date.size() != 5 && date.size() != 7) return std::nullopt;
    const int year = Digits(date.substr(0, 3)), month = Digits(date.substr(3, 2));
    const int day = date.size() == 7 ? Digits(date.substr(5, 2)) : 1;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    const ui::YearMonth born{year + 1911, month};
    // Only the month is known of today, so a birth later this month still counts.
    if (born.year > today.year || (born.year == today.year && born.month > today.month))
        return std::nullopt;
    return born;
}

std::optional<std::string> AgeText(std::string_view birth, ui::YearMonth today) {
    const std::optional<ui::YearMonth> born = BirthMonth(birth, today);
    if (!born) return std::nullopt;
    int years = today.year - born->year;
    int months = today.month - born->month;
    if (months < 0) {
        months += 12;
        years -= 1;
    }
    return Format0(years) + "Y " + Format0(months) + "M";
}

std::string UnreadableBirthNote(std::string_view birth) {
    if (TrimBlanks(birth).empty()) return "沒有出生日期，請自行輸入年齡。";
    return "無法讀取出生日期「" + Shortened(birth, 12) + "」，請自行輸入年齡。";
}

void inputn_Click(ui::App& app, int index) {
    ui::MainWindow& w = app.win;
    ui::State& s = w.state;
    w.Picture3.visible = false;
    imaging::FillPictureMenu(w);
    const std::string picture = TracingPicturePath(w, index + 1);
    w.Text5.text = picture;
    s.InputTracing = static_cast<std::int16_t>(index);
    // What finishing may replace: a line another workstation stores meanwhile is asked
    // about, not overwritten. A file that cannot be read now had no line to keep.
    const auto line = store::PatientLine(s.DataDir, s.Patient.code, index);
    s.InputFoundLine = line ? *line : std::nullopt;
    // A stored tracing is entered again at the age it was taken at; a new one at today's.
    // A date that is not one gives no age at all: the clinician types it, told why.
    std::optional<std::string> age = StoredAge(w, index, s.InputFoundLine);
    if (!age) age = AgeText(w.state.Patient.birthDate, app.services.Today());
    w.Text4.text = age.value_or("");
    w.Text4.visible = true;
    w.LabelAgeNote.caption = age ? std::string() : UnreadableBirthNote(w.state.Patient.birthDate);
    w.LabelAgeNote.visible = !age;
    w.Label13.caption.clear();
    w.Label2.visible = true;
    w.Label2.caption = w.inputn[index].caption;
    w.print00mn.enabled = false;
    w.inputmmnn.enabled = false;
    w.readmn.enabled = false;
    w.compmn.enabled = false;
    w.correctmn.enabled = false;
    w.editmn.enabled = true;
    w.Picture7.visible = false;
    w.Picture2.visible = true;
    // The note beside the age box needs the header's room to the right of the slot.
    const ui::Label& note = w.LabelAgeNote;
    w.readceph.Move(200, 200, note.visible ? note.left + note.width + 150 : 9200, 7140);
    // Where the clinician left the last one, as large, maximised or not.
    if (const ui::State::WindowPlace& last = s.InputWindow; last.width > 0) {
        w.readceph.Move(last.left, last.top, last.width, last.height);
        w.readceph.maximised = last.maximised;
    }
    // The user may enlarge the window for a larger film; its client area is known again
    // once the platform has applied the new size.
    w.readceph.resizable = true;
    w.readceph.scaleWidth = w.readceph.scaleHeight = 0;
    imaging::LayOutWorkArea(w);
    const bool found = base::FileExists(picture);
    if (!found || !imaging::LoadPictureFile(app, picture, 1)) imaging::ShowPicture(app, 0);
    digitising::ShowNextPoint(app, 16);
    for (int i = 1; i <= 19; ++i)
        s.X[i] = s.Y[i] = 0;
    // A black viewport says nothing: the clinician is told which file is missing and may
    // choose the radiograph at once.
    if (!found && app.services.ShowMessage(MissingPictureQuestion(picture), ui::kQuestionYesNo) ==
                      ui::MessageAnswer::Yes)
        imaging::piccas00_Click(app);
}

}  // namespace ceph::usecases
