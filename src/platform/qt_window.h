#pragma once
// The real main window, built from the window model: one widget per control, nested
// as in the model, and the menu bar from the model's menu tree. User events go to the
// behaviour's handlers; after each one every widget is refreshed from the model.

#include <QKeySequence>
#include <QMainWindow>
#include <QMargins>
#include <QRectF>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/binders.h"
#include "platform/pictures.h"
#include "platform/twips.h"
#include "ui/app.h"
#include "ui/held_pictures.h"
#include "wiring/events.h"

class QAction;
class QMenu;
class QTimer;
class QDialog;
class QEventLoop;

namespace ceph::platform {

// The program's windows on the screen: the main window and the file picker it owns,
// their widgets made from the model's controls as they are first shown, and the menu
// bar. It runs the handler of every user event and then brings everything up to date.
class QtMainWindow : public QMainWindow, private ControlHost {
  public:
    // `pictures` holds the pixels of the model's pictures; without it none are painted.
    explicit QtMainWindow(ui::App& app, const PictureStore* pictures = nullptr,
                          QWidget* parent = nullptr);
    // The same for the program's own store, which the window also keeps small: after
    // every event it releases the pictures the model no longer holds.
    QtMainWindow(ui::App& app, PictureStore* pictures, QWidget* parent = nullptr)
        : QtMainWindow(app, static_cast<const PictureStore*>(pictures), parent) {
        releasing_ = pictures;
    }
    ~QtMainWindow() override;

    // Runs a handler and brings the window up to date with the model.
    void Handle(const wiring::Event& event);
    // Brings every widget, the menu bar and the window itself up to date.
    void Refresh();

    // The widget of a control, made now if its control has not been shown yet; none
    // for a form or a timer, which have no widget of their own.
    QWidget* WidgetOf(const ui::Control* control);
    QAction* ActionOf(const ui::MenuItem* item) const;
    // Shows the file picker and returns when the behaviour or the user has closed it.
    void RunPicker();
    // The picker's window, made now if it has not been shown yet.
    QDialog* PickerDialog();
    // The analysis window, made now if it has not been shown yet.
    QDialog* AnalysisDialog();
    // The follow-up window, made now if it has not been shown yet.
    QDialog* FollowUpDialog();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // ControlHost: what the widgets' binders ask of the window.
    void Raise(const wiring::Event& event) override { Handle(event); }
    bool Refreshing() const override { return refreshing_; }
    bool Ending() const override { return app_.quitRequested; }
    QObject* Watcher() override { return this; }

    // Does what the menu item whose shortcut `keys` is would do, if one is reachable.
    void TriggerShortcut(const QKeySequence& keys);
    void BuildControls();
    bool IsShown(const ui::Control& control) const;
    QWidget* EnsureWidget(const ui::ControlRef& ref);
    // The widget a form's controls lie on.
    QWidget* SurfaceOf(const ui::Control& form);
    void RefreshControls(const std::vector<ui::ControlRef>& controls);
    void RefreshTimer();
    // Gives the keyboard focus to a shown control that asks for it now, and to each control
    // that asks for it as it comes into view.
    void TakeFocus();
    void FocusNewlyShown();
    void RefreshPicker();
    void RefreshAnalysis();
    void RefreshFollowUp();
    // A window beside the main one (the analysis and follow-up windows): made when first
    // shown, sized and filled from its form, its closing told as the form's Unload.
    void RefreshSideWindow(QDialog*& dialog, const ui::Form& form,
                           const std::vector<ui::ControlRef>& controls);
    QDialog* SideWindow(QDialog*& dialog, const ui::Form& form);
    void FilterTextBox(const ui::Control& control, QEvent* event);
    void FilterLabel(const ui::Control& control, QEvent* event);
    void BuildMenus();
    void AddMenuNodes(QMenu* menu, const ui::MenuItem* parent, std::vector<ui::MenuNode>& nodes);
    void ConnectMenuItem(QAction* action, const ui::MenuItem* item);
    void RefreshMenus();
    // Whether the user can reach an item through the menus: it and every menu above it
    // enabled and shown.
    bool Reachable(const ui::MenuItem* item) const;
    std::vector<const ui::MenuItem*> MenuShape() const;
    void ApplyFormGeometry(QWidget* window, const ui::Form& form, bool outer);
    // A resizable window's place and size as the user left them, into the model.
    void KeepUserGeometry();
    // The client area's new size into the model, and the behaviour told of it.
    void ClientResized();
    // The window manager's frame around a shown window; none before it is framed.
    static QMargins FrameMargins(const QWidget* window);

    ui::App& app_;
    const PictureStore* pictures_;
    PictureStore* releasing_ = nullptr;
    int handling_ = 0;  // handlers under way: modal loops nest them
    Twips twips_;
    QWidget* central_ = nullptr;
    QDialog* picker_ = nullptr;
    QEventLoop* pickerLoop_ = nullptr;
    QDialog* analysis_ = nullptr;
    QDialog* followUp_ = nullptr;
    QTimer* timer_ = nullptr;
    std::unordered_map<const ui::Control*, ui::ControlRef> refs_;
    std::unordered_map<const ui::Control*, std::unique_ptr<BoundControl>> bound_;
    std::unordered_map<const QObject*, const ui::Control*> controlOf_;
    std::unordered_map<const ui::MenuItem*, QAction*> actions_;
    std::unordered_map<const ui::MenuItem*, const ui::MenuItem*> menuAbove_;
    std::vector<const ui::MenuItem*> menuShape_;
    std::unordered_map<const QWidget*, QRectF> appliedGeometry_;
    QMargins appliedFrame_;  // the frame the main window's geometry was last applied for
    bool appliedResizable_ = false;
    bool appliedMaximised_ = false;
    QRect appliedClient_;  // where the main window was last put, and its client size
    bool layoutPending_ = false;
    bool refreshing_ = false;
    std::unordered_map<const ui::Control*, bool> shownBefore_;  // of focusWhenShown controls
};

}  // namespace ceph::platform
