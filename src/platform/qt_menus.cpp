// The main window's menu bar, built from the model's menu tree and rebuilt whenever the
// run-time menu arrays change their length.

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "platform/qt_window.h"

namespace ceph::platform {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Menu captions are plain text: an "&" in a file name must not become a mnemonic.
QString MenuText(const std::string& caption) {
    return Q(caption).replace(u'&', QStringLiteral("&&"));
}

QString SubmenuName(const ui::MenuItem& item) {
    return Q(item.QualifiedName()) + QStringLiteral(".menu");
}

}  // namespace

std::vector<const ui::MenuItem*> QtMainWindow::MenuShape() const {
    const ui::MainWindow& w = app_.win;
    // The items of the run-time arrays where they lie: the actions hold them by address,
    // and an array read again may come back as long as it was with items made anew.
    std::vector<const ui::MenuItem*> shape;
    for (const ui::MenuArray* array :
         {&w.printmn, &w.readn, &w.comp, &w.inputn, &w.piccas, &w.analysisn, &w.normsetn}) {
        for (const ui::MenuItem& item : *array)
            shape.push_back(&item);
        shape.push_back(nullptr);
    }
    return shape;
}

void QtMainWindow::ConnectMenuItem(QAction* action, const ui::MenuItem* item) {
    connect(action, &QAction::triggered, this, [this, item] {
        Handle({wiring::EventType::Click, item->name, item->index});
    });
}

void QtMainWindow::BuildMenus() {
    menuBar()->clear();
    actions_.clear();
    menuAbove_.clear();
    std::vector<ui::MenuNode> tree = app_.win.MenuTree();
    for (ui::MenuNode& node : tree) {
        QAction* action;
        if (node.children.empty()) {
            action = menuBar()->addAction(MenuText(node.item->caption));
        } else {
            QMenu* menu = menuBar()->addMenu(MenuText(node.item->caption));
            menu->setObjectName(SubmenuName(*node.item));
            action = menu->menuAction();
            AddMenuNodes(menu, node.item, node.children);
        }
        action->setObjectName(Q(node.item->QualifiedName()));
        ConnectMenuItem(action, node.item);
        actions_[node.item] = action;
    }
    menuShape_ = MenuShape();
}

void QtMainWindow::AddMenuNodes(QMenu* menu, const ui::MenuItem* parent,
                                std::vector<ui::MenuNode>& nodes) {
    for (ui::MenuNode& node : nodes) {
        menuAbove_[node.item] = parent;
        QAction* action;
        if (node.item->IsSeparator()) {
            action = menu->addSeparator();
        } else if (!node.children.empty()) {
            QMenu* sub = menu->addMenu(MenuText(node.item->caption));
            sub->setObjectName(SubmenuName(*node.item));
            action = sub->menuAction();
            AddMenuNodes(sub, node.item, node.children);
        } else {
            action = menu->addAction(MenuText(node.item->caption));
            ConnectMenuItem(action, node.item);
        }
        action->setObjectName(Q(node.item->QualifiedName()));
        actions_[node.item] = action;
    }
}

void QtMainWindow::RefreshMenus() {
    if (MenuShape() != menuShape_) BuildMenus();
    for (auto& [item, action] : actions_) {
        if (!item->IsSeparator()) action->setText(MenuText(item->caption));
        action->setEnabled(item->enabled);
        action->setVisible(item->visible);
        action->setCheckable(item->checkable || item->checked);
        action->setChecked(item->checked);
        // A shortcut acts only where the menus would let the user choose its item: Qt
        // fires an item's shortcut even when the menu holding it is disabled.
        const QKeySequence keys = item->shortcut.empty() || !Reachable(item)
                                      ? QKeySequence()
                                      : QKeySequence(Q(item->shortcut));
        if (action->shortcut() != keys) action->setShortcut(keys);
    }
}

bool QtMainWindow::Reachable(const ui::MenuItem* item) const {
    while (item) {
        if (!item->enabled || !item->visible) return false;
        const auto above = menuAbove_.find(item);
        item = above == menuAbove_.end() ? nullptr : above->second;
    }
    return true;
}

void QtMainWindow::TriggerShortcut(const QKeySequence& keys) {
    for (auto& [item, action] : actions_) {
        // Only reachable items carry their shortcut (RefreshMenus).
        if (action->isEnabled() && action->shortcut() == keys) {
            action->trigger();
            return;
        }
    }
}

QAction* QtMainWindow::ActionOf(const ui::MenuItem* item) const {
    auto it = actions_.find(item);
    return it == actions_.end() ? nullptr : it->second;
}

}  // namespace ceph::platform
