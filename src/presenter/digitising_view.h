#pragma once
// Shows where the placing of the landmarks stands: the guide's prompt, pointer and
// definition line, the marks of the placed landmarks, the zoom controls, the pointer's
// read-out and the S-N distance of the calibration panel, all from the typed state.
// Each is written when what it shows changes, as the window has always written it.

#include "ui/main_window.h"

namespace ceph::presenter {

// Under the guide once a new radiograph sent the clinician back to S.
inline constexpr const char* kPictureReplaced = "圖案已更換，請從 S 重新點起";

// The landmark asked (or the end of the clicks): its number and name under the guide,
// the guide's pointer at its place, the line on what it is (or why the input started
// again at S), the marks of the landmarks placed before it, and whether the zoom may
// still change.
void ShowAsked(ui::MainWindow& win);

// The pointer's position over the radiograph, in seven significant digits.
void ShowPointer(ui::MainWindow& win);

// The measured S-N distance in the calibration panel, in whole image units.
void ShowSNDistance(ui::MainWindow& win);

}  // namespace ceph::presenter
