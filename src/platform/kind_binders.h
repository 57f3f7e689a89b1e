#pragma once
// The binder of each kind of control: how its widget is made, which of the widget's
// user events reach the handlers and how the widget shows the control. The binders
// are chosen by model type in binders.cpp; nothing else includes this file.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <algorithm>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/binders.h"
#include "platform/painting.h"
#include "platform/widgets.h"

namespace ceph::platform::binding {

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Where a widget's user events go, under the name and index its handlers know.
struct EventRoute {
    ControlHost* host;
    std::string name;
    int index;

    void Raise(wiring::EventType type) const { host->Raise({type, name, index}); }
    // The file, folder and drive lists report the entry chosen in place of an index.
    void RaiseFor(wiring::EventType type, int entry) const { host->Raise({type, name, entry}); }
};

// What most kinds share: placed by their rectangle, showing text of their own, lying
// in the order they are made, and made as a plain widget of their type.
template <class View>
struct Plain {
    using Widget = View;
    static constexpr bool kBeneath = false;
    static constexpr bool kShowsText = true;
    static View* Create(const ui::Control&, const BindContext&, QWidget* parent) {
        return new View(parent);
    }
    static void Place(const ui::Control& c, View& w, const Twips& twips) {
        w.setGeometry(twips.Rect(c.left, c.top, c.width, c.height));
    }
};

// The binder of a control's model type. Each one names its widget type and has Create
// (the widget in its parent), Connect (the widget's user events to the handlers), Place
// and Refresh (the widget as the model says), and tells whether the widget lies beneath
// its siblings and whether it shows text of its own. Forms and timers have no binder:
// they have no widget of their own.
template <class Model>
struct Binder {};

// Whether controls of a model type get a widget.
template <class Model>
concept Bindable = requires {
    typename Binder<Model>::Widget;
};

template <>
struct Binder<ui::Label> : Plain<QLabel> {
    // Labels have no window of their own: they lie on their container's surface.
    static constexpr bool kBeneath = true;
    // Mouse releases on the figure's movement bars come through the window's watcher.
    static void Connect(ui::Label&, QLabel& w, const EventRoute& route) {
        w.installEventFilter(route.host->Watcher());
    }
    static void Refresh(const ui::Label& m, QLabel& l) {
        if (l.text() != Q(m.caption)) l.setText(Q(m.caption));
        // An upright bar wraps its text into a column; other labels keep one line
        // unless they are made to wrap.
        l.setWordWrap(m.wrap || m.height > m.width);
        l.setFrameShape(m.border ? QFrame::Box : QFrame::NoFrame);
        l.setAlignment(m.centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        QPalette p = l.palette();
        p.setColor(QPalette::WindowText, ToQColor(m.foreColor, QPalette()));
        l.setPalette(p);
    }
};

template <>
struct Binder<ui::TextBox> : Plain<QLineEdit> {
    // Typing changes the text; focus and keys come through the window's watcher.
    static void Connect(ui::TextBox& m, QLineEdit& w, const EventRoute& route) {
        QObject::connect(&w, &QLineEdit::textEdited, &w, [&m, route](const QString& text) {
            m.text = text.toStdString();
            route.Raise(wiring::EventType::Change);
        });
        w.installEventFilter(route.host->Watcher());
    }
    static void Refresh(const ui::TextBox& m, QLineEdit& e) {
        const QString text = Q(m.text);
        if (e.text() != text) e.setText(text);
    }
};

template <>
struct Binder<ui::CommandButton> : Plain<QPushButton> {
    static void Connect(ui::CommandButton&, QPushButton& w, const EventRoute& route) {
        QObject::connect(&w, &QPushButton::clicked, &w,
                         [route] { route.Raise(wiring::EventType::Click); });
    }
    static void Refresh(const ui::CommandButton& m, QPushButton& b) { b.setText(Q(m.caption)); }
};

template <>
struct Binder<ui::CheckBox> : Plain<QCheckBox> {
    static void Connect(ui::CheckBox& m, QCheckBox& w, const EventRoute& route) {
        QObject::connect(&w, &QCheckBox::clicked, &w, [&m, route](bool on) {
            m.value = on ? 1 : 0;
            route.Raise(wiring::EventType::Click);
        });
    }
    static void Refresh(const ui::CheckBox& m, QCheckBox& b) {
        b.setText(Q(m.caption));
        b.setChecked(m.value != 0);
    }
};

template <>
struct Binder<ui::Frame> : Plain<QGroupBox> {
    // A frame is a panel of its own: what is painted beneath it (the radiograph under
    // the figure) must not show through its caption and controls.
    static QGroupBox* Create(const ui::Frame&, const BindContext&, QWidget* parent) {
        auto* frame = new QGroupBox(parent);
        frame->setAutoFillBackground(true);
        return frame;
    }
    static void Connect(ui::Frame&, QGroupBox&, const EventRoute&) {}
    static void Refresh(const ui::Frame& m, QGroupBox& g) { g.setTitle(Q(m.caption)); }
};

template <class View>
QStringList CurrentItems(const View& w) {
    QStringList list;
    for (int i = 0; i < w.count(); ++i) {
        if constexpr (std::is_same_v<View, QComboBox>)
            list << w.itemText(i);
        else
            list << w.item(i)->text();
    }
    return list;
}

// Refills a list only when its entries changed, so that the user's scrolling stays.
template <class View>
void ShowItems(View& w, const std::vector<std::string>& items) {
    QStringList wanted;
    for (const std::string& s : items)
        wanted << Q(s);
    if (CurrentItems(w) == wanted) return;
    w.clear();
    w.addItems(wanted);
}

// The list, file list and folder list: entries and a selected row, shown alike.
template <class Model>
struct ListBinder : Plain<QListWidget> {
    static constexpr bool kShowsText = false;
    static void Refresh(const Model& m, QListWidget& list) {
        ShowItems(list, m.items);
        if (list.currentRow() != m.listIndex) list.setCurrentRow(m.listIndex);
    }
};

template <>
struct Binder<ui::ListBox> : ListBinder<ui::ListBox> {
    static void Connect(ui::ListBox& m, QListWidget& w, const EventRoute& route) {
        QObject::connect(&w, &QListWidget::currentRowChanged, &w, [&m, route](int row) {
            if (route.host->Refreshing()) return;
            m.listIndex = row;
            route.Raise(wiring::EventType::Click);
        });
    }
};

template <>
struct Binder<ui::FileListBox> : ListBinder<ui::FileListBox> {
    static void Connect(ui::FileListBox&, QListWidget& w, const EventRoute& route) {
        QObject::connect(&w, &QListWidget::itemClicked, &w, [&w, route](QListWidgetItem* item) {
            route.RaiseFor(wiring::EventType::Click, w.row(item));
        });
    }
};

template <>
struct Binder<ui::DirListBox> : ListBinder<ui::DirListBox> {
    // A folder is opened by a double click or Enter, as in every file dialog.
    static void Connect(ui::DirListBox&, QListWidget& w, const EventRoute& route) {
        QObject::connect(&w, &QListWidget::itemActivated, &w, [&w, route](QListWidgetItem* item) {
            route.RaiseFor(wiring::EventType::Click, w.row(item));
        });
    }
};

template <>
struct Binder<ui::DriveListBox> : Plain<QComboBox> {
    static constexpr bool kShowsText = false;
    static void Connect(ui::DriveListBox&, QComboBox& w, const EventRoute& route) {
        QObject::connect(&w, &QComboBox::activated, &w,
                         [route](int entry) { route.RaiseFor(wiring::EventType::Change, entry); });
    }
    static void Refresh(const ui::DriveListBox& m, QComboBox& box) {
        ShowItems(box, m.items);
        box.setCurrentIndex(m.listIndex);
        // It names the folder the lists show: a drive alone ("/") says nothing of it.
        if (m.folder.empty()) return;
        if (!box.isEditable()) box.setEditable(true), box.lineEdit()->setReadOnly(true);
        if (box.currentText() != Q(m.folder)) box.setEditText(Q(m.folder));
    }
};

template <>
struct Binder<ui::ScrollBar> : Plain<QScrollBar> {
    static constexpr bool kShowsText = false;
    static QScrollBar* Create(const ui::ScrollBar& m, const BindContext&, QWidget* parent) {
        return new QScrollBar(m.kind == ui::Kind::HScrollBar ? Qt::Horizontal : Qt::Vertical,
                              parent);
    }
    static void Connect(ui::ScrollBar& m, QScrollBar& w, const EventRoute& route) {
        QObject::connect(&w, &QScrollBar::valueChanged, &w, [&m, route](int v) {
            if (route.host->Refreshing()) return;
            m.value = v;
            route.Raise(wiring::EventType::Change);
        });
    }
    static void Refresh(const ui::ScrollBar& m, QScrollBar& bar) {
        bar.setRange(m.min, m.max);
        bar.setSingleStep(std::max(1, m.smallChange));
        bar.setPageStep(std::max(1, m.largeChange));
        bar.setValue(m.value);
    }
};

// A read-only table. Filled again only where a cell changed, so that the user's
// scrolling stays while the window is refreshed after every event; the columns then
// take the width of their texts.
template <>
struct Binder<ui::Table> : Plain<QTableWidget> {
    static constexpr bool kShowsText = false;
    static QTableWidget* Create(const ui::Table&, const BindContext&, QWidget* parent) {
        auto* table = new QTableWidget(parent);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionMode(QAbstractItemView::NoSelection);
        table->setFocusPolicy(Qt::NoFocus);
        table->setWordWrap(false);
        table->setAlternatingRowColors(true);
        table->verticalHeader()->setVisible(false);
        return table;
    }
    static void Connect(ui::Table&, QTableWidget&, const EventRoute&) {}
    static bool SetCell(QTableWidget& t, int row, int column, const ui::TableCell& cell,
                        bool text) {
        QTableWidgetItem* item = t.item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            t.setItem(row, column, item);
        }
        const QString shown = Q(cell.text);
        const QColor colour = ToQColor(cell.colour, t.palette());
        const Qt::Alignment align = Qt::AlignVCenter | (text ? Qt::AlignLeft : Qt::AlignRight);
        if (item->text() == shown && item->foreground().color() == colour &&
            item->font().bold() == cell.bold && item->toolTip() == Q(cell.tooltip) &&
            item->textAlignment() == static_cast<int>(align))
            return false;
        item->setText(shown);
        item->setForeground(colour);
        QFont font = t.font();
        font.setBold(cell.bold);
        item->setFont(font);
        item->setToolTip(Q(cell.tooltip));
        item->setTextAlignment(align);
        return true;
    }
    static void Refresh(const ui::Table& m, QTableWidget& t) {
        // Rows as high as a line of the table's face needs, so that many are in view.
        QHeaderView& rowHeader = *t.verticalHeader();
        const int rowHeight = t.fontMetrics().height() + 6;
        if (rowHeader.defaultSectionSize() != rowHeight) {
            rowHeader.setMinimumSectionSize(std::min(rowHeader.minimumSectionSize(), rowHeight));
            rowHeader.setDefaultSectionSize(rowHeight);
        }
        bool changed = false;
        const int columns = static_cast<int>(m.columns.size());
        const int rows = static_cast<int>(m.rows.size());
        if (t.columnCount() != columns || t.rowCount() != rows) {
            t.setColumnCount(columns);
            t.setRowCount(rows);
            changed = true;
        }
        QStringList headings;
        for (const std::string& c : m.columns)
            headings << Q(c);
        QStringList current;
        for (int c = 0; c < columns; ++c)
            current << (t.horizontalHeaderItem(c) ? t.horizontalHeaderItem(c)->text() : QString());
        if (current != headings) {
            t.setHorizontalHeaderLabels(headings);
            changed = true;
        }
        const ui::TableCell none;
        for (int r = 0; r < rows; ++r) {
            const std::vector<ui::TableCell>& cells = m.rows[static_cast<std::size_t>(r)];
            for (int c = 0; c < columns; ++c) {
                const auto at = static_cast<std::size_t>(c);
                changed |=
                    SetCell(t, r, c, at < cells.size() ? cells[at] : none, c < m.textColumns);
            }
        }
        if (changed) t.resizeColumnsToContents();
    }
};

// Mouse events of the picture boxes and the radiograph, in twips inside the control.
inline MouseHandler Forward(const EventRoute& route, wiring::EventType type) {
    return [route, type](QMouseEvent* e, float x, float y) {
        if (route.host->Ending()) return;
        wiring::Event event{type, route.name, route.index};
        event.x = x, event.y = y;
        event.button =
            static_cast<int>(type == wiring::EventType::MouseMove ? e->buttons() : e->button());
        // The keys held, as the wheel reports them.
        const Qt::KeyboardModifiers keys = e->modifiers();
        event.shift = (keys & Qt::ShiftModifier ? 1 : 0) | (keys & Qt::ControlModifier ? 2 : 0);
        route.host->Raise(event);
    };
}

// The widgets that paint the model themselves: repainted on every refresh.
template <class View>
struct Painted : Plain<View> {
    static constexpr bool kShowsText = false;
    static void Refresh(const ui::Control&, View& w) { w.update(); }
};

template <>
struct Binder<ui::PictureBox> : Painted<PictureBoxWidget> {
    static PictureBoxWidget* Create(const ui::PictureBox& m, const BindContext& c,
                                    QWidget* parent) {
        return new PictureBoxWidget(m, c.twips, c.pictures, parent);
    }
    // Picture boxes report releases and clicks.
    static void Connect(ui::PictureBox&, PictureBoxWidget& w, const EventRoute& route) {
        w.mouse.onUp = Forward(route, wiring::EventType::MouseUp);
        w.mouse.onClick = Forward(route, wiring::EventType::Click);
    }
};

template <>
struct Binder<ui::Image> : Painted<ImageWidget> {
    static constexpr bool kBeneath = true;
    static ImageWidget* Create(const ui::Image& m, const BindContext& c, QWidget* parent) {
        return new ImageWidget(m, c.twips, c.pictures, parent);
    }
    // The radiograph reports where the pointer is, presses and releases (a mark is
    // dragged with them), clicks and the wheel.
    static void Connect(ui::Image&, ImageWidget& w, const EventRoute& route) {
        w.mouse.onDown = Forward(route, wiring::EventType::MouseDown);
        w.mouse.onMove = Forward(route, wiring::EventType::MouseMove);
        w.mouse.onUp = Forward(route, wiring::EventType::MouseUp);
        w.mouse.onClick = Forward(route, wiring::EventType::Click);
        w.mouse.onWheel = [route](int notches, int shift, float x, float y) {
            if (route.host->Ending()) return;
            wiring::Event event{wiring::EventType::Wheel, route.name, route.index};
            event.key = notches, event.shift = shift, event.x = x, event.y = y;
            route.host->Raise(event);
        };
        w.mouse.onLeave = [route] {
            if (!route.host->Ending()) route.Raise(wiring::EventType::MouseLeave);
        };
    }
    // Repainted only when the picture, the view or the marks change, not at every
    // refresh: each mouse move over the picture refreshes the whole window.
    static void Refresh(const ui::Image&, ImageWidget& w) { w.Sync(); }
};

template <>
struct Binder<ui::Line> : Painted<LineWidget> {
    static constexpr bool kBeneath = true;
    static LineWidget* Create(const ui::Line& m, const BindContext& c, QWidget* parent) {
        return new LineWidget(m, c.twips, parent);
    }
    static void Connect(ui::Line&, LineWidget&, const EventRoute&) {}
    // A line is placed by its end points.
    static void Place(const ui::Line&, LineWidget& w, const Twips&) { w.UpdateGeometry(); }
};

}  // namespace ceph::platform::binding
