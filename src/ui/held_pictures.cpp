#include "ui/held_pictures.h"

#include <variant>

namespace ceph::ui {

namespace {

void Hold(std::unordered_set<std::uint32_t>& held, const PictureRef& picture) {
    if (!picture.empty()) held.insert(picture.handle);
}

void HoldDrawn(std::unordered_set<std::uint32_t>& held, const DrawingList& list) {
    for (const DrawOp& op : list.ops)
        if (const auto* p = std::get_if<DrawPicture>(&op)) Hold(held, p->picture);
}

void HoldControls(std::unordered_set<std::uint32_t>& held,
                  const std::vector<ControlRef>& controls) {
    for (const ControlRef& ref : controls) {
        if (ref.kind == Kind::PictureBox) {
            const auto& box = static_cast<const PictureBox&>(*ref.control);
            Hold(held, box.picture);
            HoldDrawn(held, box.drawing);
        } else if (ref.kind == Kind::Image) {
            Hold(held, static_cast<const Image&>(*ref.control).picture);
        }
    }
}

}  // namespace

std::unordered_set<std::uint32_t> HeldPictures(const MainWindow& win, const PickerWindow& picker,
                                               const Printer& printer) {
    std::unordered_set<std::uint32_t> held;
    HoldControls(held, win.Controls());
    HoldControls(held, picker.Controls());
    // The report panel kept for the next comparison.
    Hold(held, win.state.ShownPanel.picture);
    HoldDrawn(held, win.state.ShownPanel.drawing);
    for (const DrawingList& page : printer.pages)
        HoldDrawn(held, page);
    return held;
}

}  // namespace ceph::ui
