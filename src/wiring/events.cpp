#include "wiring/events.h"

#include "analysis_window/analysis_panel.h"
#include "app/exit.h"
#include "digitising/digitise.h"
#include "digitising/ruler.h"
#include "digitising/suggestions.h"
#include "figure/display.h"
#include "figure/figure.h"
#include "figure/movement.h"
#include "imaging/sources.h"
#include "imaging/view.h"
#include "imaging/viewport.h"
#include "report/print.h"
#include "report/report.h"
#include "usecases/correct.h"
#include "usecases/follow_up.h"
#include "usecases/input.h"
#include "usecases/practice_learning.h"
#include "usecases/save.h"
#include "usecases/show.h"

namespace ceph::wiring {

namespace {

// A stored tracing ends the input: back to the bar, then the tracing is shown.
void Finish(ui::App& app) {
    if (!usecases::StoreInput(app)) return;
    app::Command3_Click(app);
    usecases::ShowTracing(app, app.win.state.InputTracing);
}

void View(ui::App& app, imaging::ViewStep step) {
    imaging::ChangeView(app, step);
}

// A key that stands for a button does exactly what the button's click does.
void AsClick(ui::App& app, std::string_view button) {
    Dispatch(app, {EventType::Click, button});
}

// While a tracing is corrected, leaving gives up its moves only when the clinician says
// so; the record file is never touched before its "存檔".
void Quit(ui::App& app) {
    if (!usecases::Correcting(app.win)) return app::quitmn_Click(app);
    if (usecases::MayLeaveCorrection(app)) app.quitRequested = true;
}

void Close(ui::App& app) {
    if (usecases::MayLeaveCorrection(app)) app::Form_Unload(app);
}

// Esc gives up the ruler's measuring, or leaves the correction or the input, asking
// first when work would be lost.
void CancelByKey(ui::App& app) {
    if (digitising::RulerUnderWay(app)) return digitising::CommandRulerCancel_Click(app);
    if (!usecases::Correcting(app.win)) {
        if (app.win.Picture2.visible) app::CancelByKey(app);
        return;
    }
    if (usecases::MayLeaveCorrection(app)) usecases::LeaveCorrection(app);
}

// Which handler an event goes to: the event, the control or menu item, the handler.
struct Route {
    EventType type;
    std::string_view name;
    void (*run)(ui::App& app, const Event& e);
};

using enum EventType;
using ui::App;

const Route kRoutes[] = {
    {Click, "quitmn", [](App& a, const Event&) { Quit(a); }},
    {Click, "Command3", [](App& a, const Event&) { app::Command3_Click(a); }},
    {Click, "readn", [](App& a, const Event& e) { usecases::ShowTracing(a, e.index); }},
    {Click, "comp", [](App& a, const Event& e) { usecases::comp_Click(a, e.index); }},
    {Click, "printmn", [](App& a, const Event& e) { report::PrintTracing(a, e.index); }},
    {Click, "printfullmn", [](App& a, const Event&) { report::PrintFullReport(a); }},
    {Click, "rangemn", [](App& a, const Event&) { report::rangemn_Click(a); }},
    {Click, "snmn", [](App& a, const Event&) { usecases::snmn_Click(a); }},
    {Click, "inputn", [](App& a, const Event& e) { usecases::inputn_Click(a, e.index); }},
    {Click, "analysisn", [](App& a, const Event& e) { analysis_window::analysisn_Click(a, e.index); }},
    {Click, "normsetn", [](App& a, const Event& e) { analysis_window::normsetn_Click(a, e.index); }},
    {Click, "anawin.AnaList", [](App& a, const Event&) { analysis_window::AnaList_Click(a); }},
    {Click, "anawin.NormList", [](App& a, const Event&) { analysis_window::NormList_Click(a); }},
    {Unload, "anawin", [](App& a, const Event&) { analysis_window::anawin_Unload(a); }},
    {Click, "followmn", [](App& a, const Event&) { usecases::followmn_Click(a); }},
    {Click, "followwin.CheckTrace",
     [](App& a, const Event& e) { usecases::CheckTrace_Click(a, e.index); }},
    {Click, "followwin.RegList", [](App& a, const Event&) { usecases::RegList_Click(a); }},
    {Click, "followwin.RefList", [](App& a, const Event&) { usecases::RefList_Click(a); }},
    {Click, "followwin.CurveList", [](App& a, const Event&) { usecases::CurveList_Click(a); }},
    {Click, "followwin.AnaList", [](App& a, const Event&) { usecases::FollowAnaList_Click(a); }},
    {Unload, "followwin", [](App& a, const Event&) { usecases::followwin_Unload(a); }},
    {Click, "followwin.CommandPrint", [](App& a, const Event&) { usecases::PrintFollowUp(a); }},
    {Click, "printfollowmn", [](App& a, const Event&) { usecases::PrintFollowUp(a); }},
    // The click says where it happened: the pointer read-out may be older than the
    // picture under it (a new input laid out under a resting pointer, a pan by keys).
    // With Shift it picks up the placed landmark under it instead.
    {Click, "Image1",
     [](App& a, const Event& e) {
         digitising::Image1_MouseMove(a, e.x, e.y);
         if (usecases::Correcting(a.win))
             usecases::Image1_CorrectClick(a, e.x, e.y);
         else if ((e.shift & 1) != 0)
             digitising::Image1_ShiftClick(a, e.x, e.y);
         else
             digitising::Image1_Click(a);
     }},
    {MouseDown, "Image1", [](App& a, const Event& e) { usecases::Image1_MouseDown(a, e.x, e.y); }},
    {MouseUp, "Image1", [](App& a, const Event& e) { usecases::Image1_MouseUp(a, e.x, e.y); }},
    {Click, "correctmn", [](App& a, const Event&) { usecases::correctmn_Click(a); }},
    {Click, "saveCorrection", [](App& a, const Event&) { usecases::StoreCorrection(a); }},
    {Click, "cancelCorrection", [](App& a, const Event&) { usecases::LeaveCorrection(a); }},
    {Click, "Command5", [](App& a, const Event&) { digitising::Command5_Click(a); }},
    {Click, "Command6", [](App& a, const Event&) { digitising::Command6_Click(a); }},
    {Click, "Command1", [](App& a, const Event&) { imaging::Command1_Click(a); }},
    {Click, "piccas", [](App& a, const Event& e) { imaging::piccas_Click(a, e.index); }},
    {Click, "piccas00", [](App& a, const Event&) { imaging::piccas00_Click(a); }},
    {Click, "pastemn", [](App& a, const Event&) { imaging::pastemn_Click(a); }},
    {Click, "bmpsave", [](App& a, const Event&) { imaging::bmpsave_Click(a); }},
    {Click, "gotalk.Dir1", [](App& a, const Event& e) { imaging::Dir1_Click(a, e.index); }},
    {Click, "gotalk.File1", [](App& a, const Event& e) { imaging::File1_Click(a, e.index); }},
    {Click, "Command4", [](App& a, const Event&) { Finish(a); }},
    {Click, "CommandRuler", [](App& a, const Event&) { digitising::CommandRuler_Click(a); }},
    {Click, "CommandRulerOK", [](App& a, const Event&) { digitising::CommandRulerOK_Click(a); }},
    {Click, "CommandRulerCancel",
     [](App& a, const Event&) { digitising::CommandRulerCancel_Click(a); }},
    {KeyPress, "TextRuler",
     [](App& a, const Event& e) { digitising::TextRuler_KeyPress(a, e.key); }},
    {Click, "Command2", [](App& a, const Event&) { usecases::Command2_Click(a); }},
    {Click, "Check2", [](App& a, const Event&) { usecases::Check2_Click(a); }},
    {Click, "Check1", [](App& a, const Event&) { figure::Check1_Click(a.win); }},
    {Click, "List1", [](App& a, const Event&) { figure::List1_Click(a.win); }},
    {Click, "List2", [](App& a, const Event&) { figure::List2_Click(a.win); }},
    {Click, "graph", [](App& a, const Event&) { figure::graph_Click(a.win); }},
    {Click, "Picture3", [](App& a, const Event&) { figure::Picture3_Click(a.win); }},
    {Change, "Text6", [](App& a, const Event&) { digitising::Text6_Change(a); }},
    {Change, "VScroll2", [](App& a, const Event&) { imaging::VScroll2_Change(a); }},
    {Change, "HScroll1", [](App& a, const Event&) { imaging::Pan_Change(a); }},
    {Change, "VScroll1", [](App& a, const Event&) { imaging::Pan_Change(a); }},
    {Change, "gotalk.Drive1", [](App& a, const Event& e) { imaging::Drive1_Change(a, e.index); }},
    {GotFocus, "Text1", [](App& a, const Event& e) { app::Text1_GotFocus(a, e.index); }},
    {LostFocus, "Text1", [](App& a, const Event& e) { app::Text1_LostFocus(a, e.index); }},
    {KeyPress, "Text1", [](App& a, const Event& e) { app::Text1_KeyPress(a, e.index, e.key); }},
    {Timer, "Timer1",
     [](App& a, const Event&) {
         app::Timer1_Timer(a);
         usecases::LearningTick(a);
     }},
    {Click, "learnmn", [](App& a, const Event&) { usecases::learnmn_Click(a); }},
    {Click, "CommandLearnCancel",
     [](App& a, const Event&) { usecases::CommandLearnCancel_Click(a); }},
    {MouseMove, "Image1",
     [](App& a, const Event& e) {
         digitising::Image1_MouseMove(a, e.x, e.y);
         usecases::Image1_CorrectMove(a, e.x, e.y);
     }},
    {MouseLeave, "Image1", [](App& a, const Event&) { digitising::Image1_MouseLeave(a); }},
    {MouseUp, "Label16", [](App& a, const Event& e) { figure::Label16_MouseUp(a.win, e.x, e.y); }},
    {MouseUp, "Label17", [](App& a, const Event& e) { figure::Label17_MouseUp(a.win, e.x, e.y); }},
    {MouseUp, "Label18", [](App& a, const Event& e) { figure::Label18_MouseUp(a.win, e.x, e.y); }},
    {Click, "CommandMove", [](App& a, const Event&) { figure::CommandMove_Click(a.win); }},
    {MouseUp, "Picture8", [](App& a, const Event& e) { usecases::Picture8_MouseUp(a, e.x, e.y); }},
    {Wheel, "Image1",
     [](App& a, const Event& e) {
         imaging::Image1_Wheel(a, e.key, (e.shift & 1) != 0, (e.shift & 2) != 0, e.x, e.y);
     }},
    {Click, "brightermn", [](App& a, const Event&) { View(a, imaging::ViewStep::Brighter); }},
    {Click, "darkermn", [](App& a, const Event&) { View(a, imaging::ViewStep::Darker); }},
    {Click, "morecontrastmn",
     [](App& a, const Event&) { View(a, imaging::ViewStep::MoreContrast); }},
    {Click, "lesscontrastmn",
     [](App& a, const Event&) { View(a, imaging::ViewStep::LessContrast); }},
    {Click, "invertmn", [](App& a, const Event&) { View(a, imaging::ViewStep::Invert); }},
    {Click, "viewresetmn", [](App& a, const Event&) { View(a, imaging::ViewStep::Reset); }},
    {Click, "automn", [](App& a, const Event&) { View(a, imaging::ViewStep::Auto); }},
    {Click, "loupemn", [](App& a, const Event&) { View(a, imaging::ViewStep::Loupe); }},
    {Click, "turnrightmn",
     [](App& a, const Event&) { imaging::TurnFilm(a, imaging::TurnStep::Right); }},
    {Click, "turnleftmn",
     [](App& a, const Event&) { imaging::TurnFilm(a, imaging::TurnStep::Left); }},
    {Click, "mirrormn", [](App& a, const Event&) { imaging::TurnFilm(a, imaging::TurnStep::Mirror); }},
    {Click, "marksmn", [](App& a, const Event&) { View(a, imaging::ViewStep::Marks); }},
    {Click, "stepbackmn", [](App& a, const Event&) { AsClick(a, "Command5"); }},
    {Click, "acceptmn", [](App& a, const Event&) { digitising::AcceptSuggestion(a); }},
    {Click, "acceptallmn", [](App& a, const Event&) { digitising::AcceptAllSuggestions(a); }},
    {Click, "CommandAcceptAll",
     [](App& a, const Event&) { digitising::AcceptAllSuggestions(a); }},
    {Click, "cancelmn", [](App& a, const Event&) { CancelByKey(a); }},
    {Click, "zoominmn", [](App& a, const Event&) { imaging::ZoomKey(a, imaging::ZoomStep::In); }},
    {Click, "zoomoutmn", [](App& a, const Event&) { imaging::ZoomKey(a, imaging::ZoomStep::Out); }},
    {Click, "fitmn", [](App& a, const Event&) { imaging::ZoomKey(a, imaging::ZoomStep::Fit); }},
    {Click, "actualmn",
     [](App& a, const Event&) { imaging::ZoomKey(a, imaging::ZoomStep::Actual); }},
    {Click, "panleftmn", [](App& a, const Event&) { imaging::PanKey(a, -1, 0); }},
    {Click, "panrightmn", [](App& a, const Event&) { imaging::PanKey(a, 1, 0); }},
    {Click, "panupmn", [](App& a, const Event&) { imaging::PanKey(a, 0, -1); }},
    {Click, "pandownmn", [](App& a, const Event&) { imaging::PanKey(a, 0, 1); }},
    {Unload, "readceph", [](App& a, const Event&) { Close(a); }},
    {Resize, "readceph",
     [](App& a, const Event&) {
         imaging::LayOutWorkArea(a.win);
         usecases::CorrectionResized(a);
     }},
};

}  // namespace

bool Dispatch(ui::App& app, const Event& e) {
    for (const Route& route : kRoutes) {
        if (route.type != e.type || route.name != e.name) continue;
        route.run(app, e);
        // The analysis window reads whatever the event left on the main window: another
        // tracing, a comparison, a moved structure, a corrected landmark.
        analysis_window::FollowMainWindow(app);
        return true;
    }
    return false;
}

}  // namespace ceph::wiring
