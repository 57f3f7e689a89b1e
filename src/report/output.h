#pragma once
// Where report drawing goes: the screen panels while `ToScreen` is set, the printer
// page otherwise. Every report step goes through these few operations, so the screen
// and the paper always show the same thing.

#include <string_view>

#include "ui/app.h"

namespace ceph::report {

// A text with its top-left at (x, y) twips in the given point size.
void PrintTextAt(ui::App& app, int size, int x, int y, std::string_view text);

// The landmark-pair figure (pairs 0..11) at `scale` twips per millimetre with S at
// (left, top): mode 0 on the figure panel `Picture8` (cleared first unless a second
// tracing is being superimposed), mode 1 on the report itself.
void DrawPairLines(ui::App& app, int scale, int left, int top, int mode);
void DrawPairLine(ui::App& app, int i, int j, int scale, int left, int top, int mode);
// The mode-0 figure alone: it needs nothing but the window (cephtool draws it too).
void DrawFigurePairLines(ui::MainWindow& win, int scale, int left, int top);

// Ends a report: on screen shows the report panel and widens the window to the report
// view; on paper sends the page to the printer, and tells the user when that fails.
void FinishReport(ui::App& app);

}  // namespace ceph::report
