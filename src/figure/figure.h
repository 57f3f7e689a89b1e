#pragma once
// The schematic figure of a shown tracing on the figure panel `Picture8`: hard-tissue
// structures as line controls on the landmarks, the soft-tissue profile as a chain of
// line controls through the profile points, the structure list that highlights one
// structure, and the dotted/solid switch. Millimetres map to twips as 30 per mm with S
// at (800, 600), the same mapping as the pair figure the report paints under it.

#include "ui/main_window.h"

namespace ceph::figure {

inline constexpr float kTwipsPerMm = 30;
inline constexpr float kOriginX = 800, kOriginY = 600;

// Ends of a line control from two points in millimetres.
void SetLineEnds(ui::Line& line, float x1, float y1, float x2, float y2);
// Places the 15 profile line controls on the profile points.
void DrawProfile(ui::MainWindow& win);
// Shows a hard-tissue line in green.
void HighlightLine(ui::Line& line);

// Builds the figure of the tracing in the landmark store. The profile points must
// already be built from the same landmarks.
void SetUpFigure(ui::MainWindow& win);

// Structure list selection changed: that structure's lines are shown and thickened.
void List1_Click(ui::MainWindow& win);
// Dotted (thin) or solid (thick) hard-tissue lines.
void Check1_Click(ui::MainWindow& win);

}  // namespace ceph::figure
