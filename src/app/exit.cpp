#include "app/exit.h"

#include "digitising/digitise.h"
#include "presenter/figure_view.h"

namespace ceph::app {

void MoveToStartupBar(ui::MainWindow& w) {
    w.readceph.Move(1200, 1500, 7000, 1500);
    w.readceph.resizable = false;
    w.readceph.maximised = false;
}

void quitmn_Click(ui::App& app) {
    // An input under way is abandoned first; the next exit ends the program.
    if (app.win.inputmmnn.enabled) {
        app.quitRequested = true;
        return;
    }
    Command3_Click(app);
}

void Command3_Click(ui::App& app) {
    ui::MainWindow& w = app.win;
    w.inputmmnn.enabled = true;
    w.readmn.enabled = true;
    w.Text4.visible = false;
    w.LabelAgeNote.visible = false;
    w.editmn.enabled = false;
    w.Picture7.visible = false;
    w.Picture2.visible = false;
    w.Label2.caption.clear();
    digitising::EndInput(app);
    if (w.readceph.resizable) {
        const ui::Form& f = w.readceph;
        w.state.InputWindow = {f.left, f.top, f.width, f.height, f.maximised};
    }
    MoveToStartupBar(w);
}

void CancelByKey(ui::App& app) {
    const ui::DigitisingState& d = app.win.state.Digitising;
    int placed = 0;
    for (int n = 1; n <= model::kLandmarkCount; ++n)
        placed += d.Placed(n) ? 1 : 0;
    if (placed > 0 &&
        app.services.ShowMessage("要放棄這張描圖已點的 " + std::to_string(placed) + " 個點嗎？",
                                 ui::kCriticalYesNoDefaultNo) != ui::MessageAnswer::Yes)
        return;
    Command3_Click(app);
}

void Form_Unload(ui::App& app) {
    app.quitRequested = true;
}

void Timer1_Timer(ui::App& app) {
    ui::MainWindow& w = app.win;
    if (!w.Picture5.visible) return;
    w.Label10.foreColor = w.Label10.foreColor == kRed ? kGreen : kRed;
}

void Text1_LostFocus(ui::App& app, int /*index*/) {
    presenter::AcceptFigureBoxes(app.win);
}

void Text1_GotFocus(ui::App& app, int index) {
    ui::FigurePanelState& f = app.win.state.FigurePanel;
    if (index == 0) f.scaleArmed = true;
    if (index == 1) f.offsetArmed = true;
}

void Text1_KeyPress(ui::App& app, int /*index*/, int key) {
    ui::FigurePanelState& f = app.win.state.FigurePanel;
    f.scaleArmed = f.offsetArmed = false;
    if (key == kEnterKey) presenter::AcceptFigureBoxes(app.win);
}

}  // namespace ceph::app
