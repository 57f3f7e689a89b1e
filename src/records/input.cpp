#include "records/input.h"

#include "base/filesys.h"
#include "digitising/digitise.h"
#include "imaging/sources.h"
#include "imaging/viewport.h"
#include "records/show.h"

namespace ceph::records {

namespace {
// The first `count` characters of a text, a character being a whole UTF-8 sequence.
std::string Characters(const std::string& text, std::size_t first, std::size_t count) {
    std::size_t i = 0, chars = 0, start = std::string::npos;
    while (i < text.size() && chars < first + count) {
        if (chars == first) start = i;
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
        ++chars;
    }
    return start == std::string::npos ? std::string() : text.substr(start, i - start);
}
}  // namespace

std::string AgeText(const std::string& birth, base::YearMonth today) {
    int years = RoundToInt16((today.year - 1911) - TextToNumber(Characters(birth, 0, 3)));
    int months = RoundToInt16(today.month - TextToNumber(Characters(birth, 3, 2)));
    if (months < 0) {
        months += 12;
        years -= 1;
    }
    return Format0(years) + "Y " + Format0(months) + "M";
}

void inputn_Click(base::App& app, int index) {
    ui::MainWindow& w = app.win;
    ui::State& s = w.state;
    w.Picture3.visible = false;
    const std::string picture = TracingPicturePath(w, index + 1);
    w.Text5.text = picture;
    s.InputTracing = static_cast<std::int16_t>(index);
    w.Text4.text = AgeText(w.Label3.caption, app.services.Today());
    w.Text4.visible = true;
    w.Label13.caption.clear();
    w.Label2.visible = true;
    w.Label2.caption = w.inputn[index].caption;
    w.print00mn.enabled = false;
    w.inputmmnn.enabled = false;
    w.readmn.enabled = false;
    w.compmn.enabled = false;
    w.editmn.enabled = true;
    w.Picture7.visible = false;
    w.Picture2.visible = true;
    w.readceph.Move(200, 200, 9200, 6900);
    if (!base::FileExists(picture) || !imaging::LoadPictureFile(app, picture, 1))
        imaging::ShowPicture(app, 0);
    digitising::ShowNextPoint(app, 16);
    for (int i = 1; i <= 19; ++i)
        s.X[i] = s.Y[i] = 0;
}

}  // namespace ceph::records
