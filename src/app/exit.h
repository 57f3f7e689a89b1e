#pragma once
// Leaving the program, abandoning an input, the blinking guide arrow and the guards of
// the three figure-adjustment boxes.

#include "app/app.h"

namespace ceph::app {

void quitmn_Click(App& app);
void Command3_Click(App& app);
void Form_Unload(App& app);
void Timer1_Timer(App& app);

void Text1_Change(App& app, int index);
void Text1_GotFocus(App& app, int index);
void Text1_KeyPress(App& app, int index);

// Puts the main window back to the start-up bar.
void MoveToStartupBar(ui::MainWindow& w);

}  // namespace ceph::app
