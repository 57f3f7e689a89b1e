#pragma once
// Wires the events of the windows' controls and menu items to their handlers. The
// platform layer reports every user event here; after it returns, the window is
// refreshed from the model.

#include <string_view>

#include "ui/app.h"

namespace ceph::wiring {

enum class EventType {
    Click,
    Change,
    GotFocus,
    LostFocus,
    KeyPress,
    MouseDown,
    MouseMove,
    MouseLeave,  // the pointer left the control
    MouseUp,
    Wheel,  // key: notches away from the user; shift: 1 Shift, 2 Ctrl
    Timer,
    Unload,
    Resize  // the user resized or maximised the window; its client area is in the model
};

struct Event {
    EventType type = EventType::Click;
    std::string_view name;  // control or menu item name
    int index = -1;
    float x = 0, y = 0;         // twips inside the control, for mouse events
    int button = 0, shift = 0;  // shift: 1 Shift, 2 Ctrl held
    int key = 0;                // KeyPress: the character typed, 13 for Enter (Wheel: see above)
};

// Runs the handler of the event, if it has one. Returns false when nothing handles it.
bool Dispatch(ui::App& app, const Event& event);

}  // namespace ceph::wiring
