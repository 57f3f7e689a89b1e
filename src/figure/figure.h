#pragma once
// The schematic figure of a shown tracing on the figure panel `Picture8`. Showing a
// tracing builds the figure model from the landmark store and keeps it in the state
// record; the structure list and the dotted/solid switch act on that model, and the
// presenter writes it into the panel's controls.

#include "model/figure.h"
#include "ui/main_window.h"

namespace ceph::figure {

// The figure's mapping, which the alignment of the radiograph under it shares: 30
// twips per mm with S at (800, 600).
inline constexpr float kTwipsPerMm = model::kFigureTwipsPerMm;
inline constexpr float kOriginX = model::kFigureOriginX, kOriginY = model::kFigureOriginY;

// Builds the figure of the tracing in the landmark store. The profile points must
// already be built from the same landmarks.
void SetUpFigure(ui::MainWindow& win);

// The figure of a tracing just shown: its soft-tissue profile estimated afresh from the
// landmarks (which discards earlier movements of the figure), then the figure built.
void BuildFigure(ui::MainWindow& win);

// Structure list selection changed: that structure's lines are shown and thickened.
void List1_Click(ui::MainWindow& win);
// A line of the movements beside the list chooses its structure alike.
void List2_Click(ui::MainWindow& win);
// Dotted (thin) or solid (thick) hard-tissue lines.
void Check1_Click(ui::MainWindow& win);

}  // namespace ceph::figure
