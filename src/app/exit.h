#pragma once
// Leaving the program, abandoning an input, the blinking guide arrow and the guards of
// the three figure-adjustment boxes.

#include "base/app.h"

namespace ceph::app {

void quitmn_Click(base::App& app);
void Command3_Click(base::App& app);
void Form_Unload(base::App& app);
void Timer1_Timer(base::App& app);

void Text1_Change(base::App& app, int index);
void Text1_GotFocus(base::App& app, int index);
void Text1_KeyPress(base::App& app, int index);

// Puts the main window back to the start-up bar.
void MoveToStartupBar(ui::MainWindow& w);

}  // namespace ceph::app
