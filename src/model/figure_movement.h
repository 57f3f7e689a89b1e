#pragma once
// Simulating treatment on the figure: turning and shifting a structure's hard-tissue
// lines, the profile points that ride on it and, in the figure's simulation, the
// landmarks it carries. Only the figure moves; the tracing's own landmarks, its
// measurements and the stored record stay as they are, and building the figure again
// discards the movement.

#include <string>

#include "model/figure.h"

namespace ceph::model {

// Turns both ends of a line by `angle` degrees about (cx, cy) in twips; a positive
// angle turns counter-clockwise on the screen.
void RotateLine(double angle, FigureLine& line, double cx, double cy);
void ShiftLine(FigureLine& line, double dx, double dy);
// Turns profile point i about (cx, cy) in twips of the figure panel.
void RotateProfilePoint(Profile& profile, double angle, int i, double cx, double cy);

// Turns (angle in whole degrees, not 0) or shifts (dx or dy in twips) the chosen
// structure (none moves when none is chosen), then joins the profile points again. The
// simulation's landmarks of that structure move alike (the turn about the same centre,
// in millimetres), and its turn and shift add to the structure's totals.
void MoveStructure(Figure& figure, int angle, int dx, int dy);

// Structure s's movement so far as its line beside the list and the full report show it:
// "+5°", "→1.0 ↓0.7 mm", both, or nothing for a structure not moved. A total that shows
// as zero is left out, so a movement taken back leaves the line empty.
std::string MovementText(const Simulation& simulation, int s);

}  // namespace ceph::model
