#pragma once
// The running program for one patient: the window model, the platform services and
// whether the behaviour has asked for the program to end.

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
};

}  // namespace ceph::base
