#pragma once
// The model of the analysis window `anawin`: a window of its own beside the main window
// in which the clinician reads the shown tracing by a named analysis. The analyses it
// offers (built-in and the practice's own) are kept here too, as the menu and the list
// show them.

#include <string>
#include <vector>

#include "model/analyses.h"
#include "ui/control_list.h"
#include "ui/controls.h"

namespace ceph::ui {

struct AnalysisWindow {
    AnalysisWindow();
    AnalysisWindow(const AnalysisWindow&) = delete;
    AnalysisWindow& operator=(const AnalysisWindow&) = delete;

    Form anawin;
    // AnaList picks the analysis and NormList its norm set, each under its caption;
    // LabelCase says which tracing (and which compared one) the table reads.
    Label LabelAna, LabelNorm;
    ListBox AnaList, NormList;
    Label LabelCase;
    // One row per measurement: name, value, norm, deviation and flag, and the compared
    // tracing's and the simulation's columns when there are any.
    Table AnaTable;
    // What the analysis leaves out and why.
    Label LabelNotes;

    // The analyses offered, built-in first, as last read.
    std::vector<model::NamedAnalysis> analyses;
    // The fault of the practice's table the clinician was last told of, so the same
    // fault is told once; empty once the table reads again.
    std::string toldProblem;

    const std::vector<ControlRef>& Controls() const { return controls_.refs(); }

    // The window at (left, top), `width` by `height` twips of client area: the lists
    // along the top, the notes at the foot and the table taking the rest.
    void LayOut(float left, float top, float width, float height);

  private:
    ControlList controls_;
};

}  // namespace ceph::ui
