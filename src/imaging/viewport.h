#pragma once
// The zoomable, scrollable view of the radiograph on which landmarks are clicked. The
// picture sits in the hidden holder `Picture6` at its own size; `Image1` shows it
// stretched by the zoom inside the viewport `Picture4`, panned by two scroll bars.

#include "ui/app.h"

namespace ceph::imaging {

// Puts a loaded picture into the holder, sized to the picture.
void SetHolderPicture(ui::App& app, const ui::PictureRef& picture);

// Shows the holder's picture at zoom z (0 clears the view).
void ShowPicture(ui::App& app, float z);
// Derives both pan bars from the sizes and puts the picture back at the top-left.
void FitScrollBars(ui::MainWindow& win);

// Fits the work area to the window's client area: the left column keeps its place, the
// viewport takes the rest (less the state's reserved right margin, and a line under it
// when the film is damaged) with its pan bars at its right and bottom edges, and the
// film stays panned where it was as far as the new bars reach. Only a window the user
// may resize is laid out; an unknown client area gives the viewport its design size.
void LayOutWorkArea(ui::MainWindow& win);

// Zooms the radiograph to `percent`, which the digitising state keeps and the zoom bar
// shows, whether or not it changed.
void SetZoom(ui::App& app, int percent);

void VScroll2_Change(ui::App& app);  // the zoom bar moved by the user
void Command1_Click(ui::App& app);   // zoom back to 100 %
void Pan_Change(ui::App& app);       // either pan bar moved

}  // namespace ceph::imaging
