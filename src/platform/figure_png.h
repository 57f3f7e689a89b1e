#pragma once
// The schematic figure as a PNG picture, painted as the window paints its figure panel.

#include <string>

#include "model/figure.h"

namespace ceph::platform {

// Writes the figure at 150 dpi; false with the reason in `error`.
bool WriteFigurePng(const model::Figure& figure, const std::string& path, std::string& error);

}  // namespace ceph::platform
