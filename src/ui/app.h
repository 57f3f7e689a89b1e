#pragma once
// The running program for one patient: the window model, the platform services and
// whether the behaviour has asked for the program to end.

#include <string>
#include <vector>

#include "ui/analysis_window.h"
#include "ui/follow_up_window.h"
#include "ui/main_window.h"
#include "ui/services.h"

namespace ceph::ui {

struct App {
    explicit App(Services& s) : services(s) {}
    MainWindow win;
    PickerWindow picker;
    AnalysisWindow analysis;
    FollowUpWindow followUp;
    Printer printer;
    Services& services;
    bool quitRequested = false;
    // Messages found while starting (a record file that cannot be read …), told once
    // the window is on screen so that nothing stands between the user and the window.
    std::vector<std::string> notices;
};

}  // namespace ceph::ui
