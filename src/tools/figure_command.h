#pragma once
// `cephtool figure`: the schematic figure of a stored tracing, after movements, as an
// SVG drawing in twips or as a picture. What a clinician pastes into a case
// presentation, and a way to check the figure without a window.

#include <iosfwd>
#include <string>
#include <vector>

#include "tools/options.h"
#include "ui/main_window.h"

namespace ceph::tools {

// One step on the figure: choosing a structure (as in the structure list) or one
// click's movement of the chosen structure.
struct FigureStep {
    enum Kind { Select, Turn, ShiftX, ShiftY } kind;
    int amount;
};

// Builds the figure of the tracing now in the store as showing it does (the painted
// pair figure, the profile, the line controls and the panel layout), then applies the
// steps in order.
void BuildFigure(ui::MainWindow& win, const std::vector<FigureStep>& steps);

// The figure panel as SVG: its coordinates are twips inside the panel; one <line> per
// visible line control (id "Line1-k" / "Line2-i", ends exactly as the control holds
// them) over the painted pair figure.
std::string FigureSvg(const ui::MainWindow& win);

// Writes the figure panel as a PNG file; false with the reason in `error`.
using PngWriter = bool (*)(const ui::MainWindow& win, const std::string& path, std::string& error);

extern const CommandRules kFigureRules;

// `pngWriter` is null in builds without pictures.
int RunFigure(int argc, char** argv, PngWriter pngWriter);

}  // namespace ceph::tools
