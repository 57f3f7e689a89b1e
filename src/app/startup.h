#pragma once
// Start-up for one patient: turns the host's hand-off into the window's working state.

#include <string>

#include "ui/app.h"

namespace ceph::app {

struct StartupEnv {
    std::string handoffArgument;  // the whole argument text after the program name
    std::string currentDir;       // the current directory when the program started
    // The folder whose marker file "lpdat2" switches on test-data mode.
    std::string testDataDir;
};

// The test-data folder of this host: "d:\backup\kmr\" in the host's own spelling.
std::string DefaultTestDataDir();

// Runs the start-up steps in order. When there is no hand-off, the user is told so
// and `app.quitRequested` is set.
void FormLoad(ui::App& app, const StartupEnv& env);

// The texts of the start-up message.
inline constexpr const char* kNoHandoffMessage = "請配合牙醫軟體(selv??.exe)使用";
inline const std::string kCaptionSuffix = std::string(" ") + ui::kProgramTitle;

}  // namespace ceph::app
