#include "usecases/follow_up.h"

#include "model/analyses.h"
#include "model/norms.h"
#include "page/full_report.h"
#include "page/series_page.h"
#include "presenter/follow_up_view.h"
#include "report/report.h"
#include "store/record_line.h"

namespace ceph::usecases {

namespace {

void Show(ui::App& app) {
    presenter::ShowFollowUp(app.followUp);
}

}  // namespace

void OfferFollowUp(ui::MainWindow& win) {
    int stored = 0;
    for (const ui::MenuItem& item : win.readn)
        stored += item.enabled ? 1 : 0;
    win.followmn.enabled = win.printfollowmn.enabled = stored >= 2;
}

namespace {

// The analysis of that name (the standard 37 alone when none is) and its norm set.
void ChooseAnalysis(ui::FollowUpState& f, const std::string& name, const std::string& normSet) {
    const model::NamedAnalysis* a = model::FindAnalysis(f.analyses, name);
    if (!a) a = model::FindAnalysis(f.analyses, "standard");
    f.analysis = a ? static_cast<int>(a - f.analyses.data()) : -1;
    f.normSet = a ? model::NormSetOf(*a, normSet) : std::string();
}

// Every tracing the patient has stored, all chosen; the ones that cannot be read are told.
void ReadSeries(ui::App& app) {
    const ui::State& s = app.win.state;
    ui::FollowUpState& f = app.followUp.state;
    // The window keeps the curve and the analysis the clinician last chose in it; the
    // analysis is at first the one the analysis window reads the case by.
    const int curveRow = f.curveRow;
    const bool chosenHere = f.analysis >= 0;
    const std::string analysis =
        chosenHere ? f.analyses[static_cast<std::size_t>(f.analysis)].name : s.ChosenAnalysis;
    const std::string normSet = chosenHere ? f.normSet : s.ChosenNormSet;
    f = {};
    f.curveRow = curveRow;
    f.sex = s.Patient.sex;
    f.analyses = app.analysis.analyses;
    if (f.analyses.empty()) f.analyses = model::BuiltInAnalyses();
    ChooseAnalysis(f, analysis, normSet);
    std::string problems;
    for (int i = 0; i < ui::kSeriesSlots; ++i) {
        const store::TracingLookup found = store::FindTracing(s.DataDir, s.Patient.code, i);
        if (!found) {
            problems += (problems.empty() ? "" : "\n") + found.why().message;
            continue;
        }
        if (!*found) continue;
        f.tracings[static_cast<std::size_t>(i)] = (**found).tracing;
        f.chosen[static_cast<std::size_t>(i)] = true;
    }
    if (!problems.empty()) app.services.ShowMessage(problems, ui::kExclamationOk);
}

}  // namespace

void followmn_Click(ui::App& app) {
    ReadSeries(app);
    ui::Form& window = app.followUp.followwin;
    // Beside the main window, where the analysis window is not.
    window.Move(app.win.readceph.left + 600, app.win.readceph.top + 900, window.width,
                window.height);
    window.visible = true;
    Show(app);
}

void CheckTrace_Click(ui::App& app, int index) {
    if (index < 0 || index >= ui::kSeriesSlots) return;
    ui::FollowUpWindow& f = app.followUp;
    const auto i = static_cast<std::size_t>(index);
    f.state.chosen[i] = f.state.tracings[i].has_value() && f.CheckTrace[i].value == 1;
    Show(app);
}

void RegList_Click(ui::App& app) {
    const int k = app.followUp.RegList.listIndex;
    if (k < 0 || k >= static_cast<int>(std::size(model::kRegistrations))) return;
    app.followUp.state.registration = model::kRegistrations[static_cast<std::size_t>(k)];
    Show(app);
}

void RefList_Click(ui::App& app) {
    ui::FollowUpWindow& f = app.followUp;
    // The list holds the chosen tracings in their order.
    int k = f.RefList.listIndex;
    for (int i = 0; i < ui::kSeriesSlots; ++i) {
        if (!f.state.chosen[static_cast<std::size_t>(i)]) continue;
        if (k-- == 0) {
            f.state.reference = i;
            break;
        }
    }
    Show(app);
}

void CurveList_Click(ui::App& app) {
    const int row = app.followUp.CurveList.listIndex;
    if (row < 0 || row >= static_cast<int>(app.followUp.CurveList.items.size())) return;
    app.followUp.state.curveRow = row;
    Show(app);
}

void FollowAnaList_Click(ui::App& app) {
    ui::FollowUpWindow& f = app.followUp;
    const int k = f.AnaList.listIndex;
    if (k < 0 || k >= static_cast<int>(f.state.analyses.size())) return;
    ChooseAnalysis(f.state, f.state.analyses[static_cast<std::size_t>(k)].name, f.state.normSet);
    // A curve of the analysis left goes back to ANB.
    if (f.state.curveRow >= model::kRows) f.state.curveRow = 2;
    Show(app);
}

void followwin_Unload(ui::App& app) {
    app.followUp.followwin.visible = false;
}

void PrintFollowUp(ui::App& app) {
    if (!app.followUp.followwin.visible) ReadSeries(app);
    std::size_t reference = 0;
    const std::vector<page::SeriesEntry> series =
        presenter::ChosenSeries(app.followUp.state, reference);
    if (series.empty()) {
        app.services.ShowMessage("沒有勾選的描圖可以列印。", ui::kExclamationOk);
        return;
    }
    const ui::YearMonth today = app.services.Today();
    ui::State& s = app.win.state;
    const bool toScreen = s.ToScreen;
    s.ToScreen = false;
    app.printer.pages.clear();
    page::DrawFollowUpPage(app.printer.CurrentPage(), s.Patient, series, reference,
                           page::DateText(today.year, today.month, today.day));
    // Its own name, so that keeping it never offers to replace a tracing's report.
    report::PrintPages(app, "followup");
    s.ToScreen = toScreen;
}

}  // namespace ceph::usecases
