#pragma once
// Shows where the correction of a stored tracing stands: the guide asks for S, then N,
// on the film; then every landmark is a mark with its name, where the tracing puts it
// on the film at the zoom in force.

#include "ui/main_window.h"

namespace ceph::presenter {

// Under the guide while the marks can be dragged.
inline constexpr const char* kDragMarks = "拖曳標記到正確位置，再按「存檔」";

// The prompt for S or N (name, arrow, definition line) or, once the tracing lies on
// the film, the line on dragging; and the marks.
void ShowCorrection(ui::MainWindow& win);

// The 19 marks where the transform puts the landmarks, in twips of the film as shown;
// none until S and N are placed.
void ShowCorrectionMarks(ui::MainWindow& win);

// Twips of the film as shown per pixel of the film, across and down; 0 with no film.
double FilmTwipsPerPixelX(const ui::MainWindow& win);
double FilmTwipsPerPixelY(const ui::MainWindow& win);

}  // namespace ceph::presenter
