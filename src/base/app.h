#pragma once
// The running program for one patient: the window model, the platform services and
// whether the behaviour has asked for the program to end.

#include <string>
#include <vector>

#include "base/services.h"
#include "ui/main_window.h"

namespace ceph::base {

struct App {
    explicit App(Services& s) : services(s) {}
    ui::MainWindow win;
    ui::PickerWindow picker;
    ui::Printer printer;
    Services& services;
    bool quitRequested = false;
    // Messages found while starting (a record file that cannot be read …), told once
    // the window is on screen so that nothing stands between the user and the window.
    std::vector<std::string> notices;
};

}  // namespace ceph::base
