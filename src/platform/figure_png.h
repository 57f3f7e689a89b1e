#pragma once
// The figure panel as a PNG picture, painted as the window paints it.

#include <string>

#include "ui/main_window.h"

namespace ceph::tools {

bool WriteFigurePng(const ui::MainWindow& win, const std::string& path, std::string& error);

}  // namespace ceph::tools
