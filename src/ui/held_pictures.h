#pragma once
// Which pictures the model still refers to. The platform keeps the pixels of every
// picture handle; between events it asks this walk which handles are held and lets go
// of the rest, so a radiograph replaced by another one does not stay in memory.

#include <cstdint>
#include <unordered_set>

#include "ui/main_window.h"

namespace ceph::ui {

// The handles of every picture the two windows and the printer's pending pages hold: a
// picture box's background and the pictures in its drawing list, an image control's
// picture, the report panel kept in the state record, and the pictures on the pages.
// Never contains 0 ("no picture").
std::unordered_set<std::uint32_t> HeldPictures(const MainWindow& win, const PickerWindow& picker,
                                               const Printer& printer);

}  // namespace ceph::ui
