#pragma once
// Binding model controls to Qt widgets. Each kind of control has one binder that makes
// its widget, connects the widget's user events to the window and brings the widget up
// to date with the control; the binder is chosen from the control's model type once,
// when the widget is made.

#include <QObject>
#include <QRectF>
#include <QString>
#include <memory>

#include "platform/pictures.h"
#include "platform/twips.h"
#include "ui/main_window.h"
#include "wiring/events.h"

class QWidget;

namespace ceph::platform {

// The window a bound widget belongs to, as the widget's binder sees it. It runs the
// handlers of the widget's user events and tells when a signal is no user event: during
// a refresh from the model, or once the program is ending.
class ControlHost {
  public:
    // Runs the event's handler and brings the windows up to date.
    virtual void Raise(const wiring::Event& event) = 0;
    // Whether widgets are being brought up to date: what a refresh changes is no event.
    virtual bool Refreshing() const = 0;
    // Whether the program is ending: mouse events are then no longer passed on.
    virtual bool Ending() const = 0;
    // The object that watches the focus and keys of text boxes and the mouse on labels.
    virtual QObject* Watcher() = 0;

  protected:
    ~ControlHost() = default;
};

// What every binder is given to make a widget.
struct BindContext {
    ControlHost& host;
    Twips twips;
    const PictureStore* pictures;
    // Put before the control's name in its widget's names and its events: empty for
    // the main window's controls, "gotalk." for the picker's.
    std::string prefix;
};

// A control together with its widget. The window keeps one for every widget it has
// made and brings it up to date from the model after every handled event.
class BoundControl {
  public:
    virtual ~BoundControl() = default;
    virtual QWidget* Widget() const = 0;
    // Places, enables, fills and shows the widget as the model says.
    virtual void Refresh() = 0;
};

// Makes the widget of a control inside `parent`, named after the control and with its
// events connected, but not yet brought up to date. Null for controls without a widget
// of their own (forms and timers).
std::unique_ptr<BoundControl> Bind(ui::Control& control, const BindContext& context,
                                   QWidget* parent);

// The part of its container a control covers, in twips; a line by its end points.
QRectF Extent(const ui::Control& control);

}  // namespace ceph::platform
