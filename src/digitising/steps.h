#pragma once
// The steps of placing the landmarks, on the typed state alone: asking a landmark,
// moving on after a click in the click order, one step back, the end of the input, and
// the numbers a click and the calibration keep. The handlers apply them and have the
// presenter show the result.

#include "ui/digitising_state.h"

namespace ceph::digitising {

using ui::DigitisingState;
using ui::kFinishedNumber;

// Number n (1..19) asks for landmark n, kFinishedNumber ends the clicks; anything else
// leaves the state as it is. Asking again clears the note of a replaced picture and
// ends a ruler calibration under way.
void Ask(DigitisingState& s, int n);

// A click placed the landmark asked: the next in the click order, or the end after the
// last; after a picked-up landmark, back where the input was. False (nothing changes)
// when no landmark is asked.
bool Advance(DigitisingState& s);

// One landmark back in the click order, from the end to the last one; a picked-up
// landmark is put back unmoved instead. False when there is nothing before (S asked,
// or no input).
bool StepBack(DigitisingState& s);

// Picks placed landmark n up to be moved: it is asked, and once it is placed again the
// input goes on where it was. False (nothing changes) when n is not placed.
bool PickUp(DigitisingState& s, int n);

// The input was cancelled or stored: clicks have nothing to place until the next one.
void EndInput(DigitisingState& s);

// A pointer position as the read-out writes it: seven significant digits. A click
// stores this, not the position itself, so a stored point is the one the clinician saw.
float AsReadOut(float position);

// A distance as the calibration panel writes it: whole units. The proposed length and
// the scale are derived from this number, as the clinician sees it.
double AsWholeUnits(double distance);

}  // namespace ceph::digitising
