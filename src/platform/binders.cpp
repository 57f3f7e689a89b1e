#include "platform/binders.h"

#include "platform/kind_binders.h"

namespace ceph::platform {

namespace {

using binding::Bindable;
using binding::Binder;
using binding::EventRoute;
using binding::Q;

// The settings every kind takes the same way.
void ApplyCommon(const ui::Control& c, QWidget& w) {
    w.setEnabled(c.enabled);
    QFont font = w.font();
    if (!c.fontName.empty()) font.setFamily(Q(c.fontName));
    font.setPointSizeF(c.fontSize);
    font.setBold(c.fontBold);
    w.setFont(font);
    if (const QString tip = Q(c.tooltip); w.toolTip() != tip) w.setToolTip(tip);
}

// A control and its widget, each known by its own type. Refreshing goes straight to the
// binder of the control's model type, without looking at the kind again.
template <class Model>
class Bound final : public BoundControl {
  public:
    using View = typename Binder<Model>::Widget;
    Bound(const Model& model, View* view, Twips twips)
        : model_(model), view_(view), twips_(twips) {}
    QWidget* Widget() const override { return view_; }
    void Refresh() override {
        Binder<Model>::Place(model_, *view_, twips_);
        ApplyCommon(model_, *view_);
        Binder<Model>::Refresh(model_, *view_);
        view_->setVisible(model_.visible);
    }

  private:
    const Model& model_;
    View* view_;
    Twips twips_;
};

template <class Model>
std::unique_ptr<BoundControl> BindAs(Model& model, const BindContext& context, QWidget* parent) {
    using B = Binder<Model>;
    auto* view = B::Create(model, context, parent);
    const QString name = Q(context.prefix + model.QualifiedName());
    view->setObjectName(name);
    view->setAccessibleDescription(name);
    // Assistive tools read a widget's own text; the others go by the control's name.
    if (!B::kShowsText) view->setAccessibleName(name);
    B::Connect(model, *view, EventRoute{&context.host, context.prefix + model.name, model.index});
    // Labels, images and lines lie on their container's surface, beneath every picture
    // box, frame or button in it.
    if (B::kBeneath) view->lower();
    return std::make_unique<Bound<Model>>(model, view, context.twips);
}

// A reference to the control as `Model`, const where the control is.
template <class Model, class Control>
using As = std::conditional_t<std::is_const_v<Control>, const Model, Model>&;

// Calls `visit` with the control as its model type: the one place where a control's
// kind is turned into its type.
template <class C, class Visit>
auto WithModel(C& c, Visit&& visit) {
    switch (c.kind) {
        case ui::Kind::Form:
            return visit(static_cast<As<ui::Form, C>>(c));
        case ui::Kind::Label:
            return visit(static_cast<As<ui::Label, C>>(c));
        case ui::Kind::TextBox:
            return visit(static_cast<As<ui::TextBox, C>>(c));
        case ui::Kind::CommandButton:
            return visit(static_cast<As<ui::CommandButton, C>>(c));
        case ui::Kind::CheckBox:
            return visit(static_cast<As<ui::CheckBox, C>>(c));
        case ui::Kind::Frame:
            return visit(static_cast<As<ui::Frame, C>>(c));
        case ui::Kind::ListBox:
            return visit(static_cast<As<ui::ListBox, C>>(c));
        case ui::Kind::PictureBox:
            return visit(static_cast<As<ui::PictureBox, C>>(c));
        case ui::Kind::Image:
            return visit(static_cast<As<ui::Image, C>>(c));
        case ui::Kind::Line:
            return visit(static_cast<As<ui::Line, C>>(c));
        case ui::Kind::HScrollBar:
        case ui::Kind::VScrollBar:
            return visit(static_cast<As<ui::ScrollBar, C>>(c));
        case ui::Kind::Timer:
            return visit(static_cast<As<ui::Timer, C>>(c));
        case ui::Kind::FileListBox:
            return visit(static_cast<As<ui::FileListBox, C>>(c));
        case ui::Kind::DirListBox:
            return visit(static_cast<As<ui::DirListBox, C>>(c));
        case ui::Kind::DriveListBox:
            return visit(static_cast<As<ui::DriveListBox, C>>(c));
        case ui::Kind::Table:
            return visit(static_cast<As<ui::Table, C>>(c));
    }
    return visit(c);
}

QRectF ExtentOf(const ui::Control& c) {
    return QRectF(c.left, c.top, c.width, c.height);
}

QRectF ExtentOf(const ui::Line& l) {
    return QRectF(QPointF(l.x1, l.y1), QPointF(l.x2, l.y2)).normalized().adjusted(-1, -1, 1, 1);
}

}  // namespace

std::unique_ptr<BoundControl> Bind(ui::Control& control, const BindContext& context,
                                   QWidget* parent) {
    return WithModel(control, [&](auto& model) -> std::unique_ptr<BoundControl> {
        using Model = std::remove_reference_t<decltype(model)>;
        if constexpr (Bindable<Model>)
            return BindAs(model, context, parent);
        else
            return nullptr;
    });
}

QRectF Extent(const ui::Control& control) {
    return WithModel(control, [](const auto& model) { return ExtentOf(model); });
}

}  // namespace ceph::platform
