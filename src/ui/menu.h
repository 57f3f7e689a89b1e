#pragma once
// Menu items of the main window. A menu array is a deque so that items created at run
// time never move the ones already there.

#include <deque>
#include <string>
#include <vector>

namespace ceph::ui {

struct MenuItem {
    std::string name;
    int index = -1;  // position in a menu array, -1 for a single item
    std::string caption;
    bool enabled = true;
    bool checked = false;
    bool checkable = false;  // shows its check box even while unchecked
    bool visible = true;
    std::string shortcut;  // e.g. "Ctrl+I", shown beside the caption
    bool IsSeparator() const { return caption == "-"; }
    std::string QualifiedName() const;
};

using MenuArray = std::deque<MenuItem>;

// A node of the menu tree as the window shows it: an item and its children in order.
struct MenuNode {
    MenuItem* item;
    std::vector<MenuNode> children;
};

}  // namespace ceph::ui
