#pragma once
// Leaving the program, abandoning an input, the blinking guide arrow and the guards of
// the three figure-adjustment boxes.

#include "ui/app.h"

namespace ceph::app {

void quitmn_Click(ui::App& app);
void Command3_Click(ui::App& app);
// Esc: cancels as the button does, but a key is soon hit by mistake, so landmarks
// already placed are given up only when the clinician says so.
void CancelByKey(ui::App& app);
void Form_Unload(ui::App& app);
void Timer1_Timer(ui::App& app);

// The character code of Enter in a key-press event.
inline constexpr int kEnterKey = 13;

// The boxes are checked when a value is committed (Enter, leaving a box), not while it
// is typed.
void Text1_GotFocus(ui::App& app, int index);
void Text1_LostFocus(ui::App& app, int index);
void Text1_KeyPress(ui::App& app, int index, int key);

// Puts the main window back to the start-up bar.
void MoveToStartupBar(ui::MainWindow& w);

}  // namespace ceph::app
