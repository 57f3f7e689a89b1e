#include "analysis_window/analysis_panel.h"

#include <algorithm>
#include <string>
#include <vector>

#include "model/analyses.h"
#include "presenter/analysis_view.h"
#include "store/practice_analyses.h"

namespace ceph::analysis_window {

namespace {

// The analysis the clinician chose; Steiner when that one is gone (a practice's analysis
// whose table no longer reads), else the first offered.
const model::NamedAnalysis* Chosen(const ui::App& app) {
    const std::vector<model::NamedAnalysis>& offered = app.analysis.analyses;
    if (offered.empty()) return nullptr;
    if (const auto* a = model::FindAnalysis(offered, app.win.state.ChosenAnalysis)) return a;
    if (const auto* a = model::FindAnalysis(offered, model::kDefaultAnalysis)) return a;
    return &offered.front();
}

// The chosen norm set when the analysis has it, matched as cephtool's --norm-set is (a
// practice may have changed how its table writes the name), else its first.
std::string ChosenSet(const ui::State& s, const model::NamedAnalysis& analysis) {
    return model::NormSetOf(analysis, s.ChosenNormSet);
}

// The run-time items of a menu array made to show `captions`: items already there are
// changed in place and only the surplus is removed, so the platform's hold on them
// stays good while the count is the same.
void FillItems(ui::MenuArray& items, const char* name, const std::vector<std::string>& captions) {
    while (items.size() > captions.size())
        items.pop_back();
    for (std::size_t i = 0; i < captions.size(); ++i) {
        if (i == items.size()) {
            ui::MenuItem item;
            item.name = name;
            item.index = static_cast<int>(i);
            items.push_back(std::move(item));
        }
        items[i].caption = captions[i];
    }
}

void ShowMenus(ui::App& app) {
    ui::MainWindow& w = app.win;
    const model::NamedAnalysis* chosen = Chosen(app);
    std::vector<std::string> names;
    for (const model::NamedAnalysis& a : app.analysis.analyses)
        names.push_back(a.name);
    FillItems(w.analysisn, "analysisn", names);
    for (std::size_t i = 0; i < names.size(); ++i)
        w.analysisn[i].checked = &app.analysis.analyses[i] == chosen;
    const std::vector<std::string> sets = chosen ? chosen->normSets : std::vector<std::string>();
    FillItems(w.normsetn, "normsetn", sets);
    const std::string set = chosen ? ChosenSet(w.state, *chosen) : std::string();
    for (ui::MenuItem& item : w.normsetn) {
        item.checkable = true;
        item.checked = item.caption == set;
    }
    w.line631.visible = !sets.empty();
}

// Reads the analyses again. A fault of the practice's table is told once, in a message
// now or, at start-up, once the window is there; a mended table is then quiet.
void ReadAnalyses(ui::App& app, bool starting) {
    ui::AnalysisWindow& panel = app.analysis;
    store::LoadedAnalyses loaded = store::LoadAnalyses(app.win.state.DataDir);
    // Told before the menus change: the message box's own loop must find them as they
    // were.
    if (loaded.problem.empty()) {
        panel.toldProblem.clear();
    } else if (loaded.problem != panel.toldProblem) {
        panel.toldProblem = loaded.problem;
        // The text says what is offered instead.
        if (starting)
            app.notices.push_back(loaded.problem);
        else
            app.services.ShowMessage(loaded.problem, ui::kExclamationOk);
    }
    panel.analyses = std::move(loaded.analyses);
    ShowMenus(app);
}

// The window below the main window when the screen has room there, else beside it, else
// at the screen's right edge over it; never beyond the screen.
void Place(ui::App& app) {
    const ui::ScreenInfo screen = app.services.Screen();
    const ui::Form& main = app.win.readceph;
    constexpr float kWidth = 8700, kHeight = 9600, kGap = 90;
    // What the window manager and a task bar take beside the client area.
    constexpr float kFrame = 600, kLeast = 5400;
    const float width = std::min(kWidth, screen.widthTwips);
    const float right = std::min(main.left + main.width, screen.widthTwips);
    const float below = main.top + main.height + kGap;
    float left = std::max(0.0f, right - width), top = below;
    if (screen.heightTwips - below - kFrame < kLeast) {
        top = main.top;
        left = screen.widthTwips - right - kGap >= width
                   ? right + kGap
                   : std::max(0.0f, screen.widthTwips - width);
    }
    const float height = std::clamp(screen.heightTwips - top - kFrame, 3000.0f, kHeight);
    app.analysis.LayOut(left, top, width, height);
}

void ShowReading(ui::App& app) {
    const model::NamedAnalysis* analysis = Chosen(app);
    if (!analysis) return;
    const ui::State& s = app.win.state;
    presenter::AnalysisReading r;
    r.analysis = analysis;
    r.normSet = ChosenSet(s, *analysis);
    model::NormChoice choice{r.normSet, s.Patient.sex, s.ShownReport.age};
    r.shown = {model::Evaluate(*analysis, s.ShownReport.X, s.ShownReport.Y, choice),
               s.ShownReport.caption, s.ShownReport.age};
    if (s.Comparing) {
        const ui::ReportInputs& second = s.ComparedReport;
        model::NormChoice secondChoice = choice;
        secondChoice.age = second.age;
        r.compared =
            presenter::ReadTracing{model::Evaluate(*analysis, second.X, second.Y, secondChoice),
                                   second.caption, second.age};
    }
    const model::Simulation& moved = s.ShownFigure.simulation;
    if (moved.moved) r.simulated = model::Evaluate(*analysis, moved.X, moved.Y, choice);
    presenter::ShowAnalysis(app.analysis, r);
}

// Opens the window if it is closed, reading the analyses again.
void Open(ui::App& app) {
    ui::Form& form = app.analysis.anawin;
    if (form.visible) return;
    ReadAnalyses(app, false);
    Place(app);
    form.visible = true;
}

void Show(ui::App& app) {
    ShowMenus(app);
    ShowReading(app);
}

void ChooseAnalysis(ui::App& app, const std::string& name) {
    ui::State& s = app.win.state;
    s.ChosenAnalysis = name;
    // A set of the analysis chosen before means nothing to this one.
    if (const model::NamedAnalysis* a = Chosen(app)) s.ChosenNormSet = ChosenSet(s, *a);
}

}  // namespace

void OfferAnalyses(ui::App& app) {
    ReadAnalyses(app, true);
}

void analysisn_Click(ui::App& app, int index) {
    const ui::MenuArray& items = app.win.analysisn;
    if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return;
    // By name: opening the window may read the list again.
    const std::string name = items[static_cast<std::size_t>(index)].caption;
    Open(app);
    ChooseAnalysis(app, name);
    Show(app);
}

void normsetn_Click(ui::App& app, int index) {
    const ui::MenuArray& items = app.win.normsetn;
    if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return;
    app.win.state.ChosenNormSet = items[static_cast<std::size_t>(index)].caption;
    Open(app);
    Show(app);
}

void AnaList_Click(ui::App& app) {
    const ui::ListBox& list = app.analysis.AnaList;
    if (list.listIndex < 0 || static_cast<std::size_t>(list.listIndex) >= list.items.size()) return;
    ChooseAnalysis(app, list.items[static_cast<std::size_t>(list.listIndex)]);
    Show(app);
}

void NormList_Click(ui::App& app) {
    const ui::ListBox& list = app.analysis.NormList;
    if (list.listIndex < 0 || static_cast<std::size_t>(list.listIndex) >= list.items.size()) return;
    app.win.state.ChosenNormSet = list.items[static_cast<std::size_t>(list.listIndex)];
    Show(app);
}

void anawin_Unload(ui::App& app) {
    app.analysis.anawin.visible = false;
}

void FollowMainWindow(ui::App& app) {
    ui::MainWindow& w = app.win;
    // Offered as printing is: while a tracing is shown, not while one is input.
    w.analysismn.enabled = w.print00mn.enabled;
    ui::Form& form = app.analysis.anawin;
    if (!form.visible) return;
    if (!w.Picture3.visible) {
        form.visible = false;
        return;
    }
    ShowReading(app);
}

}  // namespace ceph::analysis_window
