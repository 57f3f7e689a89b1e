#include "platform/qt_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <utility>

namespace ceph::platform {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The form a control lies on: the outermost of its containers.
const ui::Control& FormOf(const ui::Control& control) {
    const ui::Control* c = &control;
    while (c->container)
        c = c->container;
    return *c;
}

}  // namespace

QtMainWindow::QtMainWindow(ui::App& app, const PictureStore* pictures, QWidget* parent)
    : QMainWindow(parent), app_(app), pictures_(pictures), twips_(ScreenTwips()) {
    setObjectName(Q(app_.win.readceph.name));
    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("readceph.client"));
    setCentralWidget(central_);
    central_->installEventFilter(this);
    menuBar()->installEventFilter(this);
    // The window takes exactly the size the behaviour gives it, even when the menu bar
    // would like more room.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    BuildControls();
    BuildMenus();
    Refresh();
}

QtMainWindow::~QtMainWindow() = default;

void QtMainWindow::BuildControls() {
    for (const std::vector<ui::ControlRef>* controls :
         {&app_.win.Controls(), &app_.picker.Controls(), &app_.analysis.Controls(),
          &app_.followUp.Controls()})
        for (const ui::ControlRef& ref : *controls)
            refs_[ref.control] = ref;
    const ui::Timer& tick = app_.win.Timer1;
    timer_ = new QTimer(this);
    timer_->setObjectName(Q(tick.QualifiedName()));
    connect(timer_, &QTimer::timeout, this, [this, &tick] {
        Handle({wiring::EventType::Timer, tick.name});
    });
}

bool QtMainWindow::IsShown(const ui::Control& control) const {
    // Shown: visible, inside a shown container, and within its area; the result grid
    // kept below the screen never is.
    for (const ui::Control* c = &control; c && c->kind != ui::Kind::Form; c = c->container) {
        if (!c->visible) return false;
        const ui::Control* box = c->container;
        if (!box) break;
        if (!Extent(*c).intersects(QRectF(0, 0, box->width, box->height))) return false;
    }
    return true;
}

QWidget* QtMainWindow::EnsureWidget(const ui::ControlRef& ref) {
    if (auto it = bound_.find(ref.control); it != bound_.end()) return it->second->Widget();
    if (!ref.container) return nullptr;  // a form is a window, no control in one
    QWidget* parent = ref.container->kind == ui::Kind::Form ? SurfaceOf(*ref.container)
                                                            : EnsureWidget(refs_.at(ref.container));
    // The picker's controls carry its name before their own, in their widgets' names
    // and in their events.
    const ui::Control& form = FormOf(*ref.control);
    const std::string prefix = &form == &app_.win.readceph ? std::string() : form.name + ".";
    std::unique_ptr<BoundControl> made =
        Bind(*ref.control, {*this, twips_, pictures_, prefix}, parent);
    if (!made) return nullptr;
    BoundControl& bound = *made;
    controlOf_[bound.Widget()] = ref.control;
    bound_[ref.control] = std::move(made);
    bound.Refresh();
    return bound.Widget();
}

QWidget* QtMainWindow::SurfaceOf(const ui::Control& form) {
    if (&form == &app_.picker.gotalk) return PickerDialog();
    if (&form == &app_.analysis.anawin) return AnalysisDialog();
    if (&form == &app_.followUp.followwin) return FollowUpDialog();
    return central_;
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == central_ && event->type() == QEvent::Resize) ClientResized();
    // A menu closed with Esc leaves the menu bar holding the keys (the keyboard's menu
    // navigation), so the next Esc only let go of them. With no menu open it also does
    // what Esc does in the window: the clinician sees no menu and expects that.
    if (watched == menuBar() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        !QApplication::activePopupWidget())
        QTimer::singleShot(0, this, [this] { TriggerShortcut(QKeySequence(Qt::Key_Escape)); });
    if (auto it = controlOf_.find(watched); it != controlOf_.end()) {
        const ui::Control& c = *it->second;
        // A plain key typed into a text box is the box's, never a menu's shortcut: the
        // digits, "+", "-", letters, Backspace, the arrows and Esc stay with the S-N
        // length or the age. Keys with Ctrl or Alt still reach the menus.
        if (c.kind == ui::Kind::TextBox && event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
                event->accept();
                return true;
            }
        }
        if (c.kind == ui::Kind::TextBox) FilterTextBox(c, event);
        if (c.kind == ui::Kind::Label) FilterLabel(c, event);
    }
    return QMainWindow::eventFilter(watched, event);
}

void QtMainWindow::FilterTextBox(const ui::Control& c, QEvent* event) {
    wiring::Event e{wiring::EventType::GotFocus, c.name, c.index};
    switch (event->type()) {
        case QEvent::FocusIn: {
            // The user moving the focus into the box, not the focus coming back to it
            // when the window is activated again or a menu closes.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::MouseFocusReason && reason != Qt::TabFocusReason &&
                reason != Qt::BacktabFocusReason)
                return;
            break;
        }
        case QEvent::FocusOut:
            e.type = wiring::EventType::LostFocus;
            break;
        case QEvent::KeyPress: {
            // Only a key that types a character: not Shift, Ctrl, the arrows, Tab or the
            // function keys, which produce no text.
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->text().isEmpty() || key->key() == Qt::Key_Tab ||
                key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Delete)
                return;
            e.type = wiring::EventType::KeyPress;
            // The character typed, as the handlers know it: Enter is 13 on either key.
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            e.key = enter ? 13 : static_cast<int>(key->text().at(0).unicode());
            break;
        }
        default:
            return;
    }
    Handle(e);
}

void QtMainWindow::FilterLabel(const ui::Control& c, QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease) return;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    wiring::Event e{wiring::EventType::MouseUp, c.name, c.index};
    e.x = twips_.FromX(mouse->position().x());
    e.y = twips_.FromY(mouse->position().y());
    e.button = static_cast<int>(mouse->button());
    Handle(e);
}

void QtMainWindow::Handle(const wiring::Event& event) {
    ++handling_;
    wiring::Dispatch(app_, event);
    --handling_;
    if (app_.quitRequested) {
        if (picker_) picker_->hide();
        if (analysis_) analysis_->hide();
        if (followUp_) followUp_->hide();
        hide();
        QCoreApplication::exit(0);
        return;
    }
    // Pictures the model let go of are released only once no handler is under way: one
    // waiting in a modal loop (the picker, a message box) may still hold a picture it
    // has not yet put into the model.
    if (releasing_ && handling_ == 0)
        releasing_->KeepOnly(ui::HeldPictures(app_.win, app_.picker, app_.printer));
    Refresh();
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    // The unload handler asks to quit like every other way out, and Handle ends the
    // program; a handler that keeps it (moves not yet stored) keeps the window open.
    Handle({wiring::EventType::Unload, app_.win.readceph.name});
    if (app_.quitRequested)
        event->accept();
    else
        event->ignore();
}

void QtMainWindow::ApplyFormGeometry(QWidget* window, const ui::Form& form, bool outer) {
    window->setWindowTitle(Q(form.caption));
    // Only a change in the model moves the window, so a window the user has dragged
    // stays where it was put until the behaviour lays it out again.
    QRectF wanted(form.left, form.top, form.width, form.height);
    QRectF& applied = appliedGeometry_[window];
    const bool resizable = outer && form.resizable;
    const bool maximised = resizable && form.maximised;
    if (applied == wanted && window->isVisible() == form.visible &&
        (!outer || (appliedResizable_ == resizable && appliedMaximised_ == maximised)))
        return;
    applied = wanted;
    // A window the behaviour sizes again is no longer maximised by the user.
    if (outer && !resizable && window->isMaximized()) window->showNormal();
    // The model's size is the whole window, frame and title bar included. The frame is
    // known only once the window manager has framed the window; until then it counts as
    // none, and the geometry is applied again when it becomes known (see event()).
    const QMargins frame = outer ? FrameMargins(window) : QMargins();
    if (outer) appliedFrame_ = frame;
    const QSize size(std::max(1, twips_.X(form.width) - frame.left() - frame.right()),
                     std::max(1, twips_.Y(form.height) - frame.top() - frame.bottom()));
    if (outer) {
        appliedResizable_ = resizable;
        // The window manager offers resizing and maximising only where the user may.
        window->setMinimumSize(resizable ? QSize(1, 1) : size);
        window->setMaximumSize(resizable ? QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX) : size);
    }
    if (outer && maximised != appliedMaximised_) {
        appliedMaximised_ = maximised;
        if (maximised) {
            window->showMaximized();
            return;
        }
        if (window->isMaximized()) window->showNormal();
    }
    if (resizable && window->isMaximized()) return;
    window->move(twips_.X(form.left), twips_.Y(form.top));
    window->resize(size);
    if (outer) appliedClient_ = QRect(window->pos(), size);
}

QMargins QtMainWindow::FrameMargins(const QWidget* window) {
    return window->isVisible() && window->windowHandle() ? window->windowHandle()->frameMargins()
                                                         : QMargins();
}

bool QtMainWindow::event(QEvent* e) {
    const bool done = QMainWindow::event(e);
    const bool moved =
        e->type() == QEvent::Move || e->type() == QEvent::Resize || e->type() == QEvent::Show;
    if (moved && app_.win.readceph.resizable) {
        KeepUserGeometry();
        return done;
    }
    // Framing by the window manager shows as a move or a resize of the window: the bar
    // must then be its model size again, frame included, as it is after cancel.
    if (moved && FrameMargins(this) != appliedFrame_) {
        appliedGeometry_.erase(this);
        ApplyFormGeometry(this, app_.win.readceph, true);
    }
    return done;
}

void QtMainWindow::KeepUserGeometry() {
    if (!isVisible() || refreshing_) return;
    // Where the user put the window and how large they made it (frame included) becomes
    // the model's, so that the next refresh leaves it there.
    ui::Form& form = app_.win.readceph;
    form.maximised = appliedMaximised_ = isMaximized();
    // The window manager may frame a resizable window more thickly (a grip along its
    // foot): the window the behaviour placed is still where it was put, and the model's
    // size stays, or every input would open a little larger than the last.
    if (!form.maximised && QRect(pos(), size()) == appliedClient_) {
        appliedFrame_ = FrameMargins(this);
        return;
    }
    const QRect outer = frameGeometry();
    const QRectF now(twips_.FromX(outer.x()), twips_.FromY(outer.y()), twips_.FromX(outer.width()),
                     twips_.FromY(outer.height()));
    const QRectF model(form.left, form.top, form.width, form.height);
    // Within a pixel it is the size the behaviour gave, rounded to the screen.
    const double pixel = twips_.FromX(1.5);
    if (std::abs(now.x() - model.x()) > pixel || std::abs(now.y() - model.y()) > pixel ||
        std::abs(now.width() - model.width()) > pixel ||
        std::abs(now.height() - model.height()) > pixel) {
        form.Move(static_cast<float>(now.x()), static_cast<float>(now.y()),
                  static_cast<float>(now.width()), static_cast<float>(now.height()));
        appliedGeometry_[this] = QRectF(form.left, form.top, form.width, form.height);
        appliedFrame_ = FrameMargins(this);
    }
}

void QtMainWindow::ClientResized() {
    ui::Form& form = app_.win.readceph;
    const float width = twips_.FromX(central_->width()), height = twips_.FromY(central_->height());
    if (!form.resizable || (form.scaleWidth == width && form.scaleHeight == height)) return;
    form.scaleWidth = width;
    form.scaleHeight = height;
    // Laid out once the resize is over: a drag of the border sends many, and a resize
    // may arrive while the window is being brought up to date.
    if (layoutPending_) return;
    layoutPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            layoutPending_ = false;
            if (!app_.quitRequested) Handle({wiring::EventType::Resize, app_.win.readceph.name});
        },
        Qt::QueuedConnection);
}

void QtMainWindow::Refresh() {
    refreshing_ = true;
    ApplyFormGeometry(this, app_.win.readceph, true);
    // A window newly made resizable lays out its work area for the client area it has.
    if (app_.win.readceph.resizable && app_.win.readceph.scaleWidth == 0) ClientResized();
    RefreshTimer();
    TakeFocus();
    RefreshControls(app_.win.Controls());
    FocusNewlyShown();
    RefreshPicker();
    RefreshAnalysis();
    RefreshFollowUp();
    RefreshMenus();
    refreshing_ = false;
}

void QtMainWindow::TakeFocus() {
    // Before the controls change: the focus then never passes through whatever widget
    // Qt would hand it to when the control that had it is hidden.
    for (const ui::ControlRef& ref : app_.win.Controls())
        if (std::exchange(ref.control->takeFocus, false) && IsShown(*ref.control))
            if (QWidget* widget = WidgetOf(ref.control)) widget->setFocus(Qt::OtherFocusReason);
}

void QtMainWindow::FocusNewlyShown() {
    for (const ui::ControlRef& ref : app_.win.Controls()) {
        if (!ref.control->focusWhenShown) continue;
        const bool shown = IsShown(*ref.control);
        bool& before = shownBefore_[ref.control];
        if (shown && !before)
            if (QWidget* widget = WidgetOf(ref.control)) widget->setFocus(Qt::OtherFocusReason);
        before = shown;
    }
}

void QtMainWindow::RefreshTimer() {
    const ui::Timer& t = app_.win.Timer1;
    const bool run = t.enabled && t.interval > 0;
    if (run && (!timer_->isActive() || timer_->interval() != t.interval)) timer_->start(t.interval);
    if (!run && timer_->isActive()) timer_->stop();
}

void QtMainWindow::RefreshControls(const std::vector<ui::ControlRef>& controls) {
    for (const ui::ControlRef& ref : controls) {
        // Widgets are made when their control is first shown: most of the window's
        // controls are hidden at start, and the program should open at once.
        if (auto it = bound_.find(ref.control); it != bound_.end())
            it->second->Refresh();
        else if (ref.kind != ui::Kind::Form && ref.kind != ui::Kind::Timer && IsShown(*ref.control))
            EnsureWidget(ref);
    }
}

QWidget* QtMainWindow::WidgetOf(const ui::Control* control) {
    auto it = refs_.find(control);
    return it == refs_.end() ? nullptr : EnsureWidget(it->second);
}

}  // namespace ceph::platform
