#pragma once
// `cephtool figure`: the schematic figure of a stored tracing, after movements, as an
// SVG drawing in twips or as a picture. What a clinician pastes into a case
// presentation, and a way to check the figure without a window.

#include <string>
#include <vector>

#include "base/result.h"
#include "model/figure.h"
#include "tools/options.h"
#include "tools/stored_tracing.h"

namespace ceph::tools {

// One step on the figure: choosing a structure (as in the structure list) or one
// click's movement of the chosen structure.
struct FigureStep {
    enum Kind { Select, Turn, ShiftX, ShiftY } kind;
    int amount;
};

// The figure of a tracing as showing it builds it (the painted pair figure, the
// profile, the lines and the panel layout), after the steps in order.
model::Figure BuildFigure(const model::Tracing& tracing, const std::vector<FigureStep>& steps);

// What the window's header shows over the figure: the patient's code and name, the
// tracing's caption "P.n" and its age text.
std::string FigureTitle(const StoredTracing& stored);

// The figure panel as SVG: its coordinates are twips inside the panel; one <line> per
// visible line (id "Line1-k" for the bones, "Line2-i" for the profile, as the window
// names its line controls; ends exactly as the figure holds them) over the painted
// pair figure.
std::string FigureSvg(const model::Figure& figure, const std::string& title);

// Writes the figure panel as a PNG file, or says why it could not.
using PngWriter = base::Result<void> (*)(const model::Figure& figure,
                                         const model::FigureRadiograph* under,
                                         const std::string& path);

extern const CommandRules kFigureRules;

// `pngWriter` is null in builds without pictures.
int RunFigure(int argc, char** argv, PngWriter pngWriter);

}  // namespace ceph::tools
