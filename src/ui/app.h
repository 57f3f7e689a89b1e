#pragma once
// The running program for one patient: the window model, the platform services and
// whether the behaviour has asked for the program to end.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/landmark.h"

#include "ui/analysis_window.h"
#include "ui/follow_up_window.h"
#include "ui/main_window.h"
#include "ui/services.h"

namespace ceph::learning {
class Suggester;
class BackgroundLearning;
}  // namespace ceph::learning

namespace ceph::ui {

// The landmark model the input suggests with: the file found, as it was when read (its
// stamp: size, time and checksum, so that a model learnt anew is read again), made ready
// to suggest; none when no file is found or the one found cannot be used.
struct LandmarkHelp {
    std::string path, stamp;
    std::shared_ptr<const learning::Suggester> suggester;
    std::array<float, model::kLandmarkCount + 1> expectedError{};
    float filmWidth = 0;
};

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
    LandmarkHelp landmarkHelp;
    // The practice's films being learnt from in the background, if they are.
    std::shared_ptr<learning::BackgroundLearning> learning;
};

}  // namespace ceph::ui
