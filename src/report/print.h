#pragma once
// The print command: the report of the tracing shown, with a compared tracing first
// when one is superimposed, on one page at one of six heights.

#include "ui/app.h"

namespace ceph::report {

// index 0 prints at the top of the page, 1..5 that many times 2100 twips lower. The page
// shows the tracings as the screen shows them; nothing is read again from the record
// files, which another workstation may have changed (or made unreadable) since.
void PrintTracing(ui::App& app, int index);

// "列印完整報告": the full page of the tracing shown (radiograph, figure, the program's
// own values and the chosen analysis) through the same printer and its failures.
void PrintFullReport(ui::App& app);

}  // namespace ceph::report
