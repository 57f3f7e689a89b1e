#pragma once
// Placing the 19 landmarks: which one is asked for next, the guide drawing that shows
// where it lies, the click that stores the pointer position, stepping back and
// starting over, and the S-N calibration after the last one.

#include <string>

#include "presenter/digitising_view.h"
#include "ui/app.h"

namespace ceph::digitising {

// The arrow positions of the guide and the drawing with its lines and circles.
void InitGuide(ui::App& app);

// Makes landmark n (1..20, 20 = finished) the one asked for.
void ShowNextPoint(ui::App& app, int n);
// The input was cancelled or stored: clicks place nothing until the next input.
void EndInput(ui::App& app);

void Image1_MouseMove(ui::App& app, float x, float y);
void Image1_MouseLeave(ui::App& app);
// Stores the pointer's position, in the image units of the zoom S was placed at, as the
// landmark asked; a picked-up landmark goes back to where the input was.
void Image1_Click(ui::App& app);
// Shift+click at (x, y), twips at the current zoom: the placed landmark whose mark is
// within a few pixels is picked up to be moved (asked, its mark taken away); nothing
// happens elsewhere, so a missed pick-up places nothing.
inline constexpr int kPickUpPixels = 6;
void Image1_ShiftClick(ui::App& app, float x, float y);
void Command5_Click(ui::App& app);  // one landmark back
void Command6_Click(ui::App& app);  // start again at S

// Another radiograph was loaded: landmarks placed on the one before lie at its scale and
// in its place, so once S is placed the tracing starts again at S and the line under
// the guide says why (until the next click). While S is asked nothing changes.
void PictureReplaced(
    ui::App& app, ui::DigitisingState::Restart why = ui::DigitisingState::Restart::PictureReplaced);
inline constexpr const char* kPictureReplaced = presenter::kPictureReplaced;
void Text6_Change(ui::App& app);  // the S-N length in millimetres

// Why an S-N length (millimetres) and the scale it gives (millimetres per image unit)
// look wrong, against the usual adult range and the scale of the last tracing
// (`savedRate`, 0 when unknown); empty when they look right, and a request for the
// length when there is none. Nothing is refused here; finishing refuses what cannot
// scale, and a length outside kLeastSN..kMostSN, which is no S-N length in millimetres
// (0.7 meant as 70 would store every landmark on a tenth of a millimetre).
inline constexpr double kShortestSN = 50, kLongestSN = 95;
inline constexpr double kLeastSN = 20, kMostSN = 200;
// Whether a length can be an S-N length in millimetres at all.
bool PossibleSN(double length);
std::string CalibrationNote(double length, double rate, double savedRate);

// The landmark after n in the order 16, 1..15, 17, 18, 19, and the one before it.
int NextLandmark(int n);
int PreviousLandmark(int n);

}  // namespace ceph::digitising
