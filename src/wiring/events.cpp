#include "wiring/events.h"

#include "app/exit.h"
#include "digitising/digitise.h"
#include "figure/display.h"
#include "figure/figure.h"
#include "figure/movement.h"
#include "imaging/sources.h"
#include "imaging/viewport.h"
#include "records/input.h"
#include "records/record_line.h"
#include "records/save.h"
#include "records/show.h"
#include "report/print.h"

namespace ceph::wiring {

namespace {

report::TracingLoader LoaderOf(base::App& app) {
    return [&app](int index) { records::LoadTracing(app.win, index); };
}

// A stored tracing ends the input: back to the bar, then the tracing is shown.
void Finish(base::App& app) {
    if (!records::Command4_Click(app)) return;
    app::Command3_Click(app);
    records::readn_Click(app, app.win.state.InputTracing);
}

}  // namespace

bool Dispatch(base::App& app, const Event& e) {
    const std::string_view n = e.name;
    switch (e.type) {
        case EventType::Click:
            if (n == "quitmn") return app::quitmn_Click(app), true;
            if (n == "Command3") return app::Command3_Click(app), true;
            if (n == "readn") return records::readn_Click(app, e.index), true;
            if (n == "comp") return records::comp_Click(app, e.index), true;
            if (n == "printmn") return report::printmn_Click(app, e.index, LoaderOf(app)), true;
            if (n == "inputn") return records::inputn_Click(app, e.index), true;
            if (n == "Image1") return digitising::Image1_Click(app), true;
            if (n == "Command5") return digitising::Command5_Click(app), true;
            if (n == "Command6") return digitising::Command6_Click(app), true;
            if (n == "Command1") return imaging::Command1_Click(app), true;
            if (n == "piccas") return imaging::piccas_Click(app, e.index), true;
            if (n == "piccas00") return imaging::piccas00_Click(app), true;
            if (n == "pastemn") return imaging::pastemn_Click(app), true;
            if (n == "bmpsave") return imaging::bmpsave_Click(app), true;
            if (n == "gotalk.Dir1") return imaging::Dir1_Click(app, e.index), true;
            if (n == "gotalk.File1") return imaging::File1_Click(app, e.index), true;
            if (n == "Command4") return Finish(app), true;
            if (n == "Command2") return records::Command2_Click(app), true;
            if (n == "Check2") return records::Check2_Click(app), true;
            if (n == "Check1") return figure::Check1_Click(app.win), true;
            if (n == "List1") return figure::List1_Click(app.win), true;
            if (n == "graph") return figure::graph_Click(app.win), true;
            if (n == "Picture3") return figure::Picture3_Click(app.win), true;
            return false;
        case EventType::Change:
            if (n == "Text1") return app::Text1_Change(app, e.index), true;
            if (n == "Text6") return digitising::Text6_Change(app), true;
            if (n == "VScroll2") return imaging::VScroll2_Change(app), true;
            if (n == "HScroll1" || n == "VScroll1") return imaging::Pan_Change(app), true;
            if (n == "gotalk.Drive1") return imaging::Drive1_Change(app, e.index), true;
            return false;
        case EventType::GotFocus:
            if (n == "Text1") return app::Text1_GotFocus(app, e.index), true;
            return false;
        case EventType::KeyPress:
            if (n == "Text1") return app::Text1_KeyPress(app, e.index), true;
            return false;
        case EventType::Timer:
            if (n == "Timer1") return app::Timer1_Timer(app), true;
            return false;
        case EventType::MouseMove:
            if (n == "Image1") return digitising::Image1_MouseMove(app, e.x, e.y), true;
            return false;
        case EventType::MouseUp:
            if (n == "Label16") return figure::Label16_MouseUp(app.win, e.x, e.y), true;
            if (n == "Label17") return figure::Label17_MouseUp(app.win, e.x, e.y), true;
            if (n == "Label18") return figure::Label18_MouseUp(app.win, e.x, e.y), true;
            if (n == "Picture8") return records::Picture8_MouseUp(app, e.x, e.y), true;
            return false;
        case EventType::Unload:
            if (n == "readceph") return app::Form_Unload(app), true;
            return false;
        case EventType::LostFocus:
            return false;
    }
    return false;
}

}  // namespace ceph::wiring
