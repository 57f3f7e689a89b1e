#pragma once
// The flat list through which the platform walks a window's controls, and the one call
// that declares a control: it names the control, places it in its container and
// appends it to the list, taking the kind from the control's type. A window builds its
// list by declaring containers before their children, in the order the widgets are
// to be created (overlapping widgets stack in that order).

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/controls.h"

namespace ceph::ui {

constexpr Kind KindOf(const Form&) {
    return Kind::Form;
}
constexpr Kind KindOf(const Label&) {
    return Kind::Label;
}
constexpr Kind KindOf(const TextBox&) {
    return Kind::TextBox;
}
constexpr Kind KindOf(const CommandButton&) {
    return Kind::CommandButton;
}
constexpr Kind KindOf(const CheckBox&) {
    return Kind::CheckBox;
}
constexpr Kind KindOf(const Frame&) {
    return Kind::Frame;
}
constexpr Kind KindOf(const ListBox&) {
    return Kind::ListBox;
}
constexpr Kind KindOf(const PictureBox&) {
    return Kind::PictureBox;
}
constexpr Kind KindOf(const Image&) {
    return Kind::Image;
}
constexpr Kind KindOf(const Line&) {
    return Kind::Line;
}
constexpr Kind KindOf(const HScrollBar&) {
    return Kind::HScrollBar;
}
constexpr Kind KindOf(const VScrollBar&) {
    return Kind::VScrollBar;
}
constexpr Kind KindOf(const Timer&) {
    return Kind::Timer;
}
constexpr Kind KindOf(const FileListBox&) {
    return Kind::FileListBox;
}
constexpr Kind KindOf(const DirListBox&) {
    return Kind::DirListBox;
}
constexpr Kind KindOf(const DriveListBox&) {
    return Kind::DriveListBox;
}
constexpr Kind KindOf(const Table&) {
    return Kind::Table;
}

// One entry of the flat list through which the platform walks every control.
struct ControlRef {
    Control* control;
    Kind kind;
    Control* container;
};

// A control's window name: "Label1", or {"Text1", 2} for an element of an array.
struct ControlName {
    ControlName(const char* n, int i = -1) : name(n), index(i) {}
    const char* name;
    int index;
};

// A control's place in its container, in twips.
struct Box {
    float left = 0, top = 0, width = 0, height = 0;
};

class ControlList {
  public:
    // Declares `c` inside `container` (nullptr: the window itself) at `box`.
    template <class T>
    T& Add(T& c, ControlName name, Control* container, Box box = {}) {
        c.name = name.name;
        c.index = name.index;
        c.kind = KindOf(c);
        c.container = container;
        c.Move(box.left, box.top, box.width, box.height);
        refs_.push_back({&c, c.kind, container});
        return c;
    }

    // The same, with the control's design-time caption, or text for a text box.
    template <class T>
    T& Add(T& c, ControlName name, Control* container, Box box, std::string text) {
        Add(c, name, container, box);
        if constexpr (requires { c.caption; })
            c.caption = std::move(text);
        else
            c.text = std::move(text);
        return c;
    }

    // Every element of a control array, indices from 0, all at the container's origin
    // until the behaviour lays them out.
    template <class T, std::size_t N>
    std::array<T, N>& AddArray(std::array<T, N>& array, const char* name, Control* container) {
        for (std::size_t i = 0; i < N; ++i)
            Add(array[i], {name, static_cast<int>(i)}, container);
        return array;
    }

    const std::vector<ControlRef>& refs() const { return refs_; }
    Control* Find(std::string_view name, int index) const {
        for (const ControlRef& ref : refs_)
            if (ref.control->name == name && ref.control->index == index) return ref.control;
        return nullptr;
    }

  private:
    std::vector<ControlRef> refs_;
};

}  // namespace ceph::ui
