#pragma once
// Reading the shown tracing by a named analysis: the "分析..." menu with one item per
// analysis and one per norm set of the chosen one, and the analysis window beside the
// main window with its table. The window follows whatever the main window shows: another
// tracing, a comparison, a movement of the figure, a correction.

#include "ui/app.h"

namespace ceph::analysis_window {

// Start-up: the analyses offered (built-in and the practice's table) in the menu. What
// is wrong with the practice's table is told once the window is on the screen.
void OfferAnalyses(ui::App& app);

// A menu item: the analysis (or the norm set) chosen, and the window opened with it.
// Opening the window reads the practice's table again, so a file mended since counts.
void analysisn_Click(ui::App& app, int index);
void normsetn_Click(ui::App& app, int index);

// The window's lists: another analysis, another norm set.
void AnaList_Click(ui::App& app);
void NormList_Click(ui::App& app);

// The window closed by the user.
void anawin_Unload(ui::App& app);

// After every event: the menu offered while a tracing is shown, and the open window
// brought up to date with the main window (closed while no tracing is on the screen).
void FollowMainWindow(ui::App& app);

}  // namespace ceph::analysis_window
