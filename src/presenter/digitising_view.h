#pragma once
// Shows where the placing of the landmarks stands: the guide's prompt, pointer and
// definition line, the marks of the placed landmarks, the pointer's read-out and the S-N
// distance of the calibration panel, all from the typed state.
// Each is written when what it shows changes, as the window has always written it.

#include "ui/main_window.h"

namespace ceph::presenter {

// Under the guide once a new radiograph sent the clinician back to S.
inline constexpr const char* kPictureReplaced = "圖案已更換，請從 S 重新點起";

// The landmark asked (or the end of the clicks): its number and name under the guide,
// the guide's pointer at its place, the line on what it is (or why the input started
// again at S) and the marks of the landmarks placed.
void ShowAsked(ui::MainWindow& win);

// The zoom in force, in percent.
int ZoomPercent(const ui::MainWindow& win);
// The marks of the placed landmarks on the radiograph at the current zoom.
void ShowMarks(ui::MainWindow& win);

// A length over the radiograph in twips at the current zoom, in the image units the
// landmarks are kept in (those of the zoom S was placed at).
float PointerInScale(const ui::MainWindow& win, float twips);
// The pointer's position over the radiograph in those units, in seven significant digits.
void ShowPointer(ui::MainWindow& win);

// The measured S-N distance in the calibration panel, in whole image units.
void ShowSNDistance(ui::MainWindow& win);

}  // namespace ceph::presenter
