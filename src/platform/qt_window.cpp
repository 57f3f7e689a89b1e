#include "platform/qt_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>

#include "app/exit.h"
#include "platform/widgets.h"

namespace ceph::platform {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Menu captions are plain text: an "&" in a file name must not become a mnemonic.
QString MenuText(const std::string& caption) {
    return Q(caption).replace(u'&', QStringLiteral("&&"));
}

QStringList ToStringList(const std::vector<std::string>& items) {
    QStringList list;
    for (const std::string& s : items)
        list << Q(s);
    return list;
}

template <class ListWidget>
QStringList CurrentItems(ListWidget* w) {
    QStringList list;
    for (int i = 0; i < w->count(); ++i) {
        if constexpr (std::is_same_v<ListWidget, QComboBox>)
            list << w->itemText(i);
        else
            list << w->item(i)->text();
    }
    return list;
}

bool ShowsNoText(ui::Kind kind) {
    switch (kind) {
        case ui::Kind::PictureBox:
        case ui::Kind::Image:
        case ui::Kind::Line:
        case ui::Kind::HScrollBar:
        case ui::Kind::VScrollBar:
        case ui::Kind::ListBox:
        case ui::Kind::FileListBox:
        case ui::Kind::DirListBox:
        case ui::Kind::DriveListBox:
            return true;
        default:
            return false;
    }
}

}  // namespace

QtMainWindow::QtMainWindow(base::App& app, const PictureStore* pictures, QWidget* parent)
    : QMainWindow(parent), app_(app), pictures_(pictures), twips_(ScreenTwips()) {
    setObjectName(QStringLiteral("readceph"));
    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("readceph.client"));
    setCentralWidget(central_);
    // The window takes exactly the size the behaviour gives it, even when the menu bar
    // would like more room.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    BuildControls();
    BuildMenus();
    Refresh();
}

QtMainWindow::~QtMainWindow() = default;

void QtMainWindow::BuildControls() {
    for (const ui::ControlRef& ref : app_.win.Controls()) {
        refs_[ref.control] = ref;
        if (ref.kind != ui::Kind::Timer) continue;
        timer_ = new QTimer(this);
        timer_->setObjectName(Q(ref.control->QualifiedName()));
        connect(timer_, &QTimer::timeout, this, [this, ref] {
            Handle({wiring::EventType::Timer, ref.control->name});
        });
    }
}

namespace {

// The part of a control's container it covers, in twips; lines by their end points.
QRectF Extent(const ui::Control& c) {
    if (c.kind == ui::Kind::Line) {
        const auto& l = static_cast<const ui::Line&>(c);
        return QRectF(QPointF(l.x1, l.y1), QPointF(l.x2, l.y2)).normalized().adjusted(-1, -1, 1, 1);
    }
    return QRectF(c.left, c.top, c.width, c.height);
}

}  // namespace

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
    if (auto it = widgets_.find(ref.control); it != widgets_.end()) return it->second;
    QWidget* parent = central_;
    if (ref.container && ref.container->kind != ui::Kind::Form)
        parent = EnsureWidget(refs_.at(ref.container));
    QWidget* w = CreateWidget(ref, parent);
    const QString name = Q(ref.control->QualifiedName());
    w->setObjectName(name);
    w->setAccessibleDescription(name);
    if (ShowsNoText(ref.kind)) w->setAccessibleName(name);
    widgets_[ref.control] = w;
    controlOf_[w] = ref.control;
    ConnectEvents(ref, w);
    // Labels, images and lines have no window of their own: they lie on their
    // container's surface, beneath every picture box, frame or button in it.
    if (ref.kind == ui::Kind::Label || ref.kind == ui::Kind::Image || ref.kind == ui::Kind::Line)
        w->lower();
    RefreshControl(ref, w);
    return w;
}

QWidget* QtMainWindow::CreateWidget(const ui::ControlRef& ref, QWidget* parent) {
    switch (ref.kind) {
        case ui::Kind::Label:
            return new QLabel(parent);
        case ui::Kind::TextBox:
            return new QLineEdit(parent);
        case ui::Kind::CommandButton:
            return new QPushButton(parent);
        case ui::Kind::CheckBox:
            return new QCheckBox(parent);
        case ui::Kind::Frame: {
            // A frame is a panel of its own: what is painted beneath it (the radiograph
            // under the figure) must not show through its caption and controls.
            auto* frame = new QGroupBox(parent);
            frame->setAutoFillBackground(true);
            return frame;
        }
        case ui::Kind::ListBox:
        case ui::Kind::FileListBox:
        case ui::Kind::DirListBox:
            return new QListWidget(parent);
        case ui::Kind::DriveListBox:
            return new QComboBox(parent);
        case ui::Kind::PictureBox:
            return new PictureBoxWidget(static_cast<const ui::PictureBox&>(*ref.control), twips_,
                                        pictures_, parent);
        case ui::Kind::Image:
            return new ImageWidget(static_cast<const ui::Image&>(*ref.control), twips_, pictures_,
                                   parent);
        case ui::Kind::Line:
            return new LineWidget(static_cast<const ui::Line&>(*ref.control), twips_, parent);
        case ui::Kind::HScrollBar:
            return new QScrollBar(Qt::Horizontal, parent);
        case ui::Kind::VScrollBar:
            return new QScrollBar(Qt::Vertical, parent);
        case ui::Kind::Form:
        case ui::Kind::Timer:
            break;
    }
    return new QWidget(parent);
}

void QtMainWindow::ConnectEvents(const ui::ControlRef& ref, QWidget* w) {
    ui::Control* c = ref.control;
    const std::string_view name = c->name;
    const int index = c->index;
    auto event = [name, index](wiring::EventType type) { return wiring::Event{type, name, index}; };
    switch (ref.kind) {
        case ui::Kind::CommandButton:
            connect(static_cast<QPushButton*>(w), &QPushButton::clicked, this,
                    [this, event] { Handle(event(wiring::EventType::Click)); });
            break;
        case ui::Kind::CheckBox:
            connect(static_cast<QCheckBox*>(w), &QCheckBox::clicked, this,
                    [this, c, event](bool on) {
                        static_cast<ui::CheckBox*>(c)->value = on ? 1 : 0;
                        Handle(event(wiring::EventType::Click));
                    });
            break;
        case ui::Kind::ListBox:
            connect(static_cast<QListWidget*>(w), &QListWidget::currentRowChanged, this,
                    [this, c, event](int row) {
                        if (refreshing_) return;
                        static_cast<ui::ListBox*>(c)->listIndex = row;
                        Handle(event(wiring::EventType::Click));
                    });
            break;
        case ui::Kind::TextBox:
            connect(static_cast<QLineEdit*>(w), &QLineEdit::textEdited, this,
                    [this, c, event](const QString& text) {
                        static_cast<ui::TextBox*>(c)->text = text.toStdString();
                        Handle(event(wiring::EventType::Change));
                    });
            w->installEventFilter(this);
            break;
        case ui::Kind::HScrollBar:
        case ui::Kind::VScrollBar:
            connect(static_cast<QScrollBar*>(w), &QScrollBar::valueChanged, this,
                    [this, c, event](int v) {
                        if (refreshing_) return;
                        static_cast<ui::ScrollBar*>(c)->value = v;
                        Handle(event(wiring::EventType::Change));
                    });
            break;
        case ui::Kind::Image:
        case ui::Kind::PictureBox: {
            MouseHooks& mouse = ref.kind == ui::Kind::Image
                                    ? static_cast<ImageWidget*>(w)->mouse
                                    : static_cast<PictureBoxWidget*>(w)->mouse;
            auto forward = [this, event](wiring::EventType type) {
                return [this, event, type](QMouseEvent* e, float x, float y) {
                    if (app_.quitRequested) return;
                    wiring::Event ev = event(type);
                    ev.x = x, ev.y = y;
                    ev.button = static_cast<int>(
                        type == wiring::EventType::MouseMove ? e->buttons() : e->button());
                    Handle(ev);
                };
            };
            // The radiograph reports where the pointer is and takes clicks; picture boxes
            // report releases and clicks.
            if (ref.kind == ui::Kind::Image)
                mouse.onMove = forward(wiring::EventType::MouseMove);
            else
                mouse.onUp = forward(wiring::EventType::MouseUp);
            mouse.onClick = forward(wiring::EventType::Click);
            break;
        }
        case ui::Kind::Label:
            w->installEventFilter(this);
            break;
        default:
            break;
    }
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto it = controlOf_.find(watched);
    if (it == controlOf_.end()) return QMainWindow::eventFilter(watched, event);
    const ui::Control* c = it->second;
    wiring::Event e{wiring::EventType::Click, c->name, c->index};
    switch (event->type()) {
        case QEvent::FocusIn: {
            // The user moving the focus into the box, not the focus coming back to it
            // when the window is activated again or a menu closes.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (c->kind != ui::Kind::TextBox ||
                (reason != Qt::MouseFocusReason && reason != Qt::TabFocusReason &&
                 reason != Qt::BacktabFocusReason))
                break;
            e.type = wiring::EventType::GotFocus;
            Handle(e);
            break;
        }
        case QEvent::FocusOut:
            if (c->kind != ui::Kind::TextBox) break;
            e.type = wiring::EventType::LostFocus;
            Handle(e);
            break;
        case QEvent::KeyPress: {
            // Only a key that types a character: not Shift, Ctrl, the arrows, Tab or the
            // function keys, which produce no text.
            const auto* key = static_cast<QKeyEvent*>(event);
            if (c->kind != ui::Kind::TextBox || key->text().isEmpty() ||
                key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
                key->key() == Qt::Key_Delete)
                break;
            e.type = wiring::EventType::KeyPress;
            e.key = key->key();
            Handle(e);
            break;
        }
        case QEvent::MouseButtonRelease: {
            if (c->kind != ui::Kind::Label) break;
            auto* mouse = static_cast<QMouseEvent*>(event);
            e.type = wiring::EventType::MouseUp;
            e.x = twips_.FromX(mouse->position().x());
            e.y = twips_.FromY(mouse->position().y());
            e.button = static_cast<int>(mouse->button());
            Handle(e);
            break;
        }
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void QtMainWindow::Handle(const wiring::Event& event) {
    ++handling_;
    wiring::Dispatch(app_, event);
    --handling_;
    if (app_.quitRequested) {
        if (picker_) picker_->hide();
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
    // Closing the window ends the program at once, without a question.
    app::Form_Unload(app_);
    event->accept();
    if (picker_) picker_->hide();
    QCoreApplication::exit(0);
}

void QtMainWindow::ApplyFormGeometry(QWidget* window, const ui::Form& form, bool outer) {
    window->setWindowTitle(Q(form.caption));
    // Only a change in the model moves the window, so a window the user has dragged
    // stays where it was put until the behaviour lays it out again.
    QRectF wanted(form.left, form.top, form.width, form.height);
    QRectF& applied = appliedGeometry_[window];
    if (applied == wanted && window->isVisible() == form.visible) return;
    applied = wanted;
    // The model's size is the whole window, frame and title bar included. The frame is
    // known only once the window manager has framed the window; until then it counts as
    // none, and the geometry is applied again when it becomes known (see event()).
    const QMargins frame = outer ? FrameMargins(window) : QMargins();
    if (outer) appliedFrame_ = frame;
    window->move(twips_.X(form.left), twips_.Y(form.top));
    window->resize(std::max(1, twips_.X(form.width) - frame.left() - frame.right()),
                   std::max(1, twips_.Y(form.height) - frame.top() - frame.bottom()));
}

QMargins QtMainWindow::FrameMargins(const QWidget* window) {
    return window->isVisible() && window->windowHandle() ? window->windowHandle()->frameMargins()
                                                         : QMargins();
}

bool QtMainWindow::event(QEvent* e) {
    const bool done = QMainWindow::event(e);
    // Framing by the window manager shows as a move or a resize of the window: the bar
    // must then be its model size again, frame included, as it is after cancel.
    if ((e->type() == QEvent::Move || e->type() == QEvent::Resize || e->type() == QEvent::Show) &&
        FrameMargins(this) != appliedFrame_) {
        appliedGeometry_.erase(this);
        ApplyFormGeometry(this, app_.win.readceph, true);
    }
    return done;
}

void QtMainWindow::Refresh() {
    refreshing_ = true;
    ApplyFormGeometry(this, app_.win.readceph, true);
    for (const ui::ControlRef& ref : app_.win.Controls()) {
        if (ref.kind == ui::Kind::Timer) {
            const auto& t = static_cast<const ui::Timer&>(*ref.control);
            bool run = t.enabled && t.interval > 0;
            if (run && (!timer_->isActive() || timer_->interval() != t.interval))
                timer_->start(t.interval);
            if (!run && timer_->isActive()) timer_->stop();
            continue;
        }
        // Widgets are made when their control is first shown: most of the window's
        // controls are hidden at start, and the program should open at once.
        if (auto it = widgets_.find(ref.control); it != widgets_.end())
            RefreshControl(ref, it->second);
        else if (ref.kind != ui::Kind::Form && IsShown(*ref.control))
            EnsureWidget(ref);
    }
    if (!picker_ && app_.picker.gotalk.visible) BuildPicker();
    if (picker_) {
        ApplyFormGeometry(picker_, app_.picker.gotalk, false);
        if (picker_->isVisible() != app_.picker.gotalk.visible)
            picker_->setVisible(app_.picker.gotalk.visible);
        if (pickerLoop_ && !app_.picker.gotalk.visible) pickerLoop_->quit();
        for (const ui::ControlRef& ref : app_.picker.Controls())
            if (auto it = widgets_.find(ref.control); it != widgets_.end())
                RefreshControl(ref, it->second);
    }
    RefreshMenus();
    refreshing_ = false;
}

void QtMainWindow::RefreshControl(const ui::ControlRef& ref, QWidget* w) {
    const ui::Control& c = *ref.control;
    if (ref.kind == ui::Kind::Line) {
        static_cast<LineWidget*>(w)->UpdateGeometry();
    } else {
        w->setGeometry(twips_.Rect(c.left, c.top, c.width, c.height));
    }
    w->setEnabled(c.enabled);
    QFont font = w->font();
    if (!c.fontName.empty()) font.setFamily(Q(c.fontName));
    font.setPointSizeF(c.fontSize);
    font.setBold(c.fontBold);
    w->setFont(font);
    switch (ref.kind) {
        case ui::Kind::Label: {
            const auto& m = static_cast<const ui::Label&>(c);
            auto* l = static_cast<QLabel*>(w);
            if (l->text() != Q(m.caption)) l->setText(Q(m.caption));
            // An upright bar wraps its text into a column; other labels keep one line.
            l->setWordWrap(m.height > m.width);
            l->setFrameShape(m.border ? QFrame::Box : QFrame::NoFrame);
            l->setAlignment(m.centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
            QPalette p = l->palette();
            p.setColor(QPalette::WindowText, ToQColor(m.foreColor, QPalette()));
            l->setPalette(p);
            break;
        }
        case ui::Kind::TextBox: {
            auto* e = static_cast<QLineEdit*>(w);
            QString text = Q(static_cast<const ui::TextBox&>(c).text);
            if (e->text() != text) e->setText(text);
            break;
        }
        case ui::Kind::CommandButton:
            static_cast<QPushButton*>(w)->setText(
                Q(static_cast<const ui::CommandButton&>(c).caption));
            break;
        case ui::Kind::CheckBox: {
            const auto& m = static_cast<const ui::CheckBox&>(c);
            auto* b = static_cast<QCheckBox*>(w);
            b->setText(Q(m.caption));
            b->setChecked(m.value != 0);
            break;
        }
        case ui::Kind::Frame:
            static_cast<QGroupBox*>(w)->setTitle(Q(static_cast<const ui::Frame&>(c).caption));
            break;
        case ui::Kind::ListBox:
        case ui::Kind::FileListBox:
        case ui::Kind::DirListBox: {
            const std::vector<std::string>* items;
            int index;
            if (ref.kind == ui::Kind::ListBox) {
                items = &static_cast<const ui::ListBox&>(c).items;
                index = static_cast<const ui::ListBox&>(c).listIndex;
            } else if (ref.kind == ui::Kind::FileListBox) {
                items = &static_cast<const ui::FileListBox&>(c).items;
                index = static_cast<const ui::FileListBox&>(c).listIndex;
            } else {
                items = &static_cast<const ui::DirListBox&>(c).items;
                index = static_cast<const ui::DirListBox&>(c).listIndex;
            }
            auto* list = static_cast<QListWidget*>(w);
            QStringList wanted = ToStringList(*items);
            if (CurrentItems(list) != wanted) {
                list->clear();
                list->addItems(wanted);
            }
            if (list->currentRow() != index) list->setCurrentRow(index);
            break;
        }
        case ui::Kind::DriveListBox: {
            const auto& m = static_cast<const ui::DriveListBox&>(c);
            auto* box = static_cast<QComboBox*>(w);
            QStringList wanted = ToStringList(m.items);
            if (CurrentItems(box) != wanted) {
                box->clear();
                box->addItems(wanted);
            }
            box->setCurrentIndex(m.listIndex);
            break;
        }
        case ui::Kind::HScrollBar:
        case ui::Kind::VScrollBar: {
            const auto& m = static_cast<const ui::ScrollBar&>(c);
            auto* bar = static_cast<QScrollBar*>(w);
            bar->setRange(m.min, m.max);
            bar->setSingleStep(std::max(1, m.smallChange));
            bar->setPageStep(std::max(1, m.largeChange));
            bar->setValue(m.value);
            break;
        }
        case ui::Kind::PictureBox:
        case ui::Kind::Image:
        case ui::Kind::Line:
            w->update();
            break;
        case ui::Kind::Form:
        case ui::Kind::Timer:
            break;
    }
    w->setVisible(c.visible);
}

std::size_t QtMainWindow::MenuShape() {
    const ui::MainWindow& w = app_.win;
    return w.printmn.size() +
           16 * (w.readn.size() +
                 16 * (w.comp.size() + 16 * (w.inputn.size() + 16 * w.piccas.size())));
}

void QtMainWindow::BuildMenus() {
    menuBar()->clear();
    actions_.clear();
    std::vector<ui::MenuNode> tree = app_.win.MenuTree();
    for (ui::MenuNode& node : tree) {
        QAction* action;
        if (node.children.empty()) {
            action = menuBar()->addAction(MenuText(node.item->caption));
        } else {
            QMenu* menu = menuBar()->addMenu(MenuText(node.item->caption));
            menu->setObjectName(Q(node.item->QualifiedName()) + QStringLiteral(".menu"));
            action = menu->menuAction();
            AddMenuNodes(menu, node.children);
        }
        action->setObjectName(Q(node.item->QualifiedName()));
        const ui::MenuItem* item = node.item;
        connect(action, &QAction::triggered, this, [this, item] {
            Handle({wiring::EventType::Click, item->name, item->index});
        });
        actions_[node.item] = action;
    }
    menuShape_ = MenuShape();
}

void QtMainWindow::AddMenuNodes(QMenu* menu, std::vector<ui::MenuNode>& nodes) {
    for (ui::MenuNode& node : nodes) {
        QAction* action;
        if (node.item->IsSeparator()) {
            action = menu->addSeparator();
        } else if (!node.children.empty()) {
            QMenu* sub = menu->addMenu(MenuText(node.item->caption));
            sub->setObjectName(Q(node.item->QualifiedName()) + QStringLiteral(".menu"));
            action = sub->menuAction();
            AddMenuNodes(sub, node.children);
        } else {
            action = menu->addAction(MenuText(node.item->caption));
            const ui::MenuItem* item = node.item;
            connect(action, &QAction::triggered, this, [this, item] {
                Handle({wiring::EventType::Click, item->name, item->index});
            });
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
        action->setCheckable(item->checked);
        action->setChecked(item->checked);
    }
}

void QtMainWindow::BuildPicker() {
    picker_ = new QDialog(this);
    picker_->setObjectName(QStringLiteral("gotalk"));
    picker_->setModal(true);
    for (const ui::ControlRef& ref : app_.picker.Controls()) {
        if (ref.kind == ui::Kind::Form) continue;
        QWidget* w = CreateWidget(ref, picker_);
        const QString name = QStringLiteral("gotalk.") + Q(ref.control->QualifiedName());
        w->setObjectName(name);
        w->setAccessibleDescription(name);
        w->setAccessibleName(name);
        widgets_[ref.control] = w;
    }
    auto* drives = static_cast<QComboBox*>(widgets_.at(&app_.picker.Drive1));
    connect(drives, &QComboBox::activated, this, [this](int index) {
        Handle({wiring::EventType::Change, "gotalk.Drive1", index});
    });
    auto* folders = static_cast<QListWidget*>(widgets_.at(&app_.picker.Dir1));
    connect(folders, &QListWidget::itemActivated, this, [this, folders](QListWidgetItem* item) {
        Handle({wiring::EventType::Click, "gotalk.Dir1", folders->row(item)});
    });
    auto* files = static_cast<QListWidget*>(widgets_.at(&app_.picker.File1));
    connect(files, &QListWidget::itemClicked, this, [this, files](QListWidgetItem* item) {
        Handle({wiring::EventType::Click, "gotalk.File1", files->row(item)});
    });
    // Closing the picker without a choice ends its modal display too.
    connect(picker_, &QDialog::finished, this, [this] {
        app_.picker.gotalk.visible = false;
        if (pickerLoop_) pickerLoop_->quit();
    });
    picker_->setVisible(false);
}

void QtMainWindow::RunPicker() {
    if (!picker_) BuildPicker();
    Refresh();
    QEventLoop loop;
    pickerLoop_ = &loop;
    if (app_.picker.gotalk.visible) loop.exec();
    pickerLoop_ = nullptr;
    picker_->hide();
}

QWidget* QtMainWindow::WidgetOf(const ui::Control* control) {
    if (auto it = refs_.find(control); it != refs_.end()) return EnsureWidget(it->second);
    auto it = widgets_.find(control);
    return it == widgets_.end() ? nullptr : it->second;
}

QAction* QtMainWindow::ActionOf(const ui::MenuItem* item) const {
    auto it = actions_.find(item);
    return it == actions_.end() ? nullptr : it->second;
}

}  // namespace ceph::platform
