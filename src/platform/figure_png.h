#pragma once
// The schematic figure as a PNG picture, painted as the window paints its figure panel.

#include <string>

#include "base/result.h"
#include "model/figure.h"

namespace ceph::platform {

// Writes the figure at 150 dpi, or says why it could not (the system's reason).
base::Result<void> WriteFigurePng(const model::Figure& figure, const std::string& path);

}  // namespace ceph::platform
