#pragma once
// The platform services of the behaviour, done with Qt: screen size, message boxes
// and the pointer shape.

#include "app/services.h"

class QWidget;

namespace ceph::platform {

class QtServices : public app::Services {
  public:
    app::ScreenInfo Screen() const override;
    app::MessageAnswer ShowMessage(const std::string& text, app::MessageStyle style) override;
    void SetPointer(app::Pointer pointer) override;
    // The window that message boxes belong to; none before the main window exists.
    void SetParentWindow(QWidget* parent) { parent_ = parent; }

  private:
    QWidget* parent_ = nullptr;
    bool hourglass_ = false;
};

}  // namespace ceph::platform
