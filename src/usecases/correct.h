#pragma once
// Correcting a stored tracing on its radiograph: the clinician places S and N on the
// film, which finds the tracing there (shift, scale and turn); every landmark is then a
// mark on the film that can be dragged, and each release shows the new values at once.
// "存檔" rewrites the patient's line through the record writer; "取消" leaves the file
// as it was. Nothing is written before "存檔".

#include <string>

#include "ui/app.h"

namespace ceph::usecases {

// How near a press must come to a mark, in screen pixels, to pick it up.
inline constexpr double kPickPixels = 8;

// "修正描點": the film of the shown tracing in the work area, S asked first. A film
// that is missing or cannot be read is named in a message and nothing changes.
void correctmn_Click(ui::App& app);

bool Correcting(const ui::MainWindow& win);
// The window took a new size while correcting: the report stays beside the film, and
// the film is fitted to the viewport again unless the clinician has chosen a zoom.
void CorrectionResized(ui::App& app);
// While correcting, the report panel stands right of the film's work area, wherever a
// resize of the window put its edge.
void PlaceReportBesideFilm(ui::MainWindow& win);

// The film's mouse events while correcting, in twips of the film as shown.
void Image1_CorrectClick(ui::App& app, float x, float y);  // places S, then N
void Image1_MouseDown(ui::App& app, float x, float y);     // picks up the nearest mark
void Image1_CorrectMove(ui::App& app, float x, float y);   // the held mark follows
void Image1_MouseUp(ui::App& app, float x, float y);       // the landmark lies there now

// "存檔": stores the corrected tracing and shows it as stored; true when stored. A file
// that cannot be written is named and the correction stays open.
bool StoreCorrection(ui::App& app);
// "取消": the tracing shown as it is stored.
void LeaveCorrection(ui::App& app);

// Leaving the program while correcting: true when it may end (nothing moved, or the
// clinician gives the moves up).
bool MayLeaveCorrection(ui::App& app);

// The text of the question asked before moves are given up.
inline constexpr const char* kGiveUpMoves = "修正的描點尚未存檔，要放棄這些修正嗎？";

}  // namespace ceph::usecases
