#pragma once
// The program started from a patient's folder as the practice suite starts it, with its
// real window shown: what the widget tests click in.

#include <memory>

#include "app/startup.h"
#include "platform/qt_services.h"
#include "platform/qt_window.h"
#include "support/temp_dir.h"

namespace ceph::testing {

struct ShownWindow {
    explicit ShownWindow(const TempDir& dir) {
        app::FormLoad(program, dir.StartupFromHere());
        window = std::make_unique<platform::QtMainWindow>(program, &services.Pictures());
        window->show();
    }

    platform::QtServices services;
    ui::App program{services};
    std::unique_ptr<platform::QtMainWindow> window;
};

}  // namespace ceph::testing
