#pragma once
// The schematic figure as a PNG picture, painted as the window paints its figure panel.

#include <string>

#include "base/result.h"
#include "model/figure.h"

namespace ceph::platform {

// Writes the figure at 150 dpi, over the radiograph `under` when given, or says why it
// could not: the system's reason, or why the radiograph cannot be read in the words of
// the problem.
base::Result<void> WriteFigurePng(const model::Figure& figure, const model::FigureRadiograph* under,
                                  const std::string& path);

}  // namespace ceph::platform
