#include "digitising/ruler.h"

#include <cmath>

#include "digitising/digitise.h"
#include "digitising/steps.h"
#include "model/numbers.h"
#include "presenter/digitising_view.h"

namespace ceph::digitising {

namespace {

using Step = ui::RulerState::Step;

constexpr int kEscKey = 27;
constexpr int kEnterKey = 13;

ui::RulerState& Ruler(ui::App& app) {
    return app.win.state.Digitising.ruler;
}

// The guide's prompt, the panel and the marks as the ruler's step has them.
void Show(ui::App& app) {
    presenter::ShowAsked(app.win);
}

void Refuse(ui::App& app, const std::string& why) {
    app.services.ShowMessage(why, ui::kExclamationOk);
}

// Back to the panel as it was before the ruler, the next measuring starting afresh.
void End(ui::App& app) {
    Ruler(app) = {};
    app.win.Picture4.takeFocus = true;
    Show(app);
}

// The S-N length in millimetres, as the length box writes it, for S-N and the ruler's
// two points `rulerUnits` apart, both in image units, and the ruler's distance typed;
// empty, with `why` set, when the typed text is no distance.
std::string RulerLength(double snUnits, double rulerUnits, const std::string& typed,
                        std::string& why) {
    // A distance is read whole, as the S-N length is: "10mm" or "1,5" is no distance.
    const double mm = TextToNumber(typed);
    if (TrimBlanks(typed).empty()) {
        why = "請輸入尺規上兩點間的距離（mm）。";
    } else if (!IsDecimalNumber(typed)) {
        why = "距離「" + typed + "」無法讀成數字，請輸入 mm 數，例如 50。";
    } else if (!IsPositiveNumber(mm)) {
        why = "距離「" + typed + "」不是正數，請輸入兩點間的 mm 數。";
    } else if (!(rulerUnits > 0)) {
        why = "尺規上的兩點是同一點，請重新點選。";
    } else {
        const double length = snUnits * mm / rulerUnits;
        if (IsPositiveNumber(length)) return Format1(length);
        why = "距離「" + typed + "」太大，請輸入兩點間的 mm 數。";
    }
    return {};
}

}  // namespace

bool RulerUnderWay(const ui::App& app) {
    return app.win.state.Digitising.ruler.On();
}

void CommandRuler_Click(ui::App& app) {
    const ui::DigitisingState& flow = app.win.state.Digitising;
    if (flow.step != ui::DigitisingState::Step::Finished || flow.ruler.On()) return;
    Ruler(app).step = Step::First;
    app.win.TextRuler.text.clear();
    // The film takes the keys, as it has them while landmarks are placed: zoom, pan and
    // Esc act at once, and nothing is typed into a box by mistake.
    app.win.Picture4.takeFocus = true;
    Show(app);
}

bool RulerClick(ui::App& app) {
    ui::MainWindow& w = app.win;
    ui::RulerState& r = Ruler(app);
    if (!r.Clicking()) return false;
    const ui::DigitisingState& flow = w.state.Digitising;
    // Kept as a landmark is, in the units of the scale whatever the zoom now.
    const float x = AsReadOut(presenter::PointerInScale(w, flow.pointerX));
    const float y = AsReadOut(presenter::PointerInScale(w, flow.pointerY));
    if (r.step == Step::First) {
        r.x1 = x, r.y1 = y;
        r.step = Step::Second;
    } else if (x == r.x1 && y == r.y1) {
        Refuse(app, "第二點與第一點是同一點，請在尺規上點另一點。");
        return true;
    } else {
        r.x2 = x, r.y2 = y;
        r.step = Step::Distance;
    }
    Show(app);
    return true;
}

void CommandRulerOK_Click(ui::App& app) {
    ui::MainWindow& w = app.win;
    const ui::RulerState& r = Ruler(app);
    if (r.step != Step::Distance) return;
    // S-N as placed, not as the panel rounds it: the length scales the points themselves.
    const ui::State& s = w.state;
    const double sn = std::hypot(double(s.X[1]) - s.X[16], double(s.Y[1]) - s.Y[16]);
    const double ruler = std::hypot(double(r.x2) - r.x1, double(r.y2) - r.y1);
    std::string why;
    const std::string length = RulerLength(sn, ruler, w.TextRuler.text, why);
    if (length.empty()) return Refuse(app, why);
    End(app);
    w.Text6.text = length;
    Text6_Change(app);
}

void CommandRulerCancel_Click(ui::App& app) {
    if (RulerUnderWay(app)) End(app);
}

void TextRuler_KeyPress(ui::App& app, int key) {
    if (key == kEnterKey) CommandRulerOK_Click(app);
    if (key == kEscKey) CommandRulerCancel_Click(app);
}

}  // namespace ceph::digitising
