#include "tools/figure_png.h"

#include <QGuiApplication>
#include <cstdlib>

#include "platform/file_output.h"
#include "platform/painting.h"

namespace ceph::tools {

bool WriteFigurePng(const ui::MainWindow& win, const std::string& path, std::string& error) {
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "cephtool";
    char* argv[] = {name, nullptr};
    QGuiApplication qt(argc, argv);

    std::vector<const ui::Line*> lines;
    for (const ui::ControlRef& ref : win.Controls())
        if (ref.kind == ui::Kind::Line) lines.push_back(static_cast<const ui::Line*>(ref.control));
    const QImage image = platform::RenderFigure(win.Picture8, lines, nullptr, 150);
    if (std::error_code ec = platform::SaveImage(image, path, "PNG")) {
        error = ec.message();
        return false;
    }
    return true;
}

}  // namespace ceph::tools
