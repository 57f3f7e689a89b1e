#pragma once
// Measuring the S-N length against the ruler on the radiograph, once all landmarks are
// placed: the clinician clicks two points of the ruler's scale (at any zoom, kept in the
// units of the scale like the landmarks) and types their distance in millimetres; the
// S-N length box then holds S-N in those millimetres, and stays hers to change. Given up,
// the length is as it was.

#include "ui/app.h"

namespace ceph::digitising {

void CommandRuler_Click(ui::App& app);  // start: the first point is asked
// A click on the film while a ruler point is asked places it; false when none is asked.
bool RulerClick(ui::App& app);
void CommandRulerOK_Click(ui::App& app);      // the distance typed sets the S-N length
void CommandRulerCancel_Click(ui::App& app);  // given up: the length as it was
// A key in the distance box: Enter takes the distance, Esc gives the measuring up.
void TextRuler_KeyPress(ui::App& app, int key);
// Whether a ruler calibration is under way (Esc then gives it up, not the input).
bool RulerUnderWay(const ui::App& app);

}  // namespace ceph::digitising
