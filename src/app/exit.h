#pragma once
// Leaving the program, abandoning an input, the blinking guide arrow and the guards of
// the three figure-adjustment boxes.

#include "ui/app.h"

namespace ceph::app {

void quitmn_Click(ui::App& app);
void Command3_Click(ui::App& app);
void Form_Unload(ui::App& app);
void Timer1_Timer(ui::App& app);

void Text1_Change(ui::App& app, int index);
void Text1_GotFocus(ui::App& app, int index);
void Text1_KeyPress(ui::App& app, int index);

// Puts the main window back to the start-up bar.
void MoveToStartupBar(ui::MainWindow& w);

}  // namespace ceph::app
