#include "page/target.h"

namespace ceph::page {

void PrinterTarget::Text(int size, int x, int y, std::string_view text) {
    AddSurfaceText(printer_, printer_.CurrentPage(), size, x, y, text);
}

void PrinterTarget::Line(float x1, float y1, float x2, float y2) {
    printer_.CurrentPage().Add<DrawLine>(x1, y1, x2, y2, printer_.foreColor, 1);
}

}  // namespace ceph::page
