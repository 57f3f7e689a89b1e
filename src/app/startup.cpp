#include "app/startup.h"

#include <filesystem>
#include <system_error>

#include "analysis_window/analysis_panel.h"
#include "app/exit.h"
#include "base/data_folder.h"
#include "base/filesys.h"
#include "base/safe_file.h"
#include "digitising/digitise.h"
#include "digitising/landmarks.h"
#include "imaging/sources.h"
#include "model/measurement.h"
#include "presenter/header.h"
#include "presenter/result_grid.h"
#include "store/handoff.h"
#include "store/record_file.h"
#include "store/settings.h"
#include "usecases/mark_stored.h"

namespace ceph::app {

namespace {

std::string SlotCaption(int n) {
    return "第 " + FormatGeneral(n) + " 張";
}

void CreateRunTimeMenus(ui::MainWindow& w) {
    for (int i = 1; i <= 8; ++i) {
        if (i <= 5) ui::AddMenuItem(w.printmn, i, "Line " + FormatGeneral(i));
        ui::AddMenuItem(w.readn, i, SlotCaption(i + 1));
        ui::AddMenuItem(w.comp, i, SlotCaption(i + 1));
        ui::AddMenuItem(w.inputn, i, SlotCaption(i + 1));
    }
}

void LayOutStartupBar(ui::App& app) {
    ui::MainWindow& w = app.win;
    ui::ScreenInfo screen = app.services.Screen();
    w.Picture3.Move(0, 0, screen.widthTwips, 6000);
    w.Picture8.Move(600, 500, 8000, 5000);
    MoveToStartupBar(w);
    // The result grid only holds the texts the report prints; it stays off screen.
    w.Picture1.top = screen.heightTwips + 500;
}

void ChangeDirectory(const std::string& dir) {
    std::error_code ec;
    std::filesystem::current_path(base::ToPath(base::WithoutTrailingSeparator(dir)), ec);
}

// The calibration file holds one short line.
constexpr std::uint64_t kMaxCalibrationBytes = 64 * 1024;

void ReadCalibration(ui::App& app) {
    ui::MainWindow& w = app.win;
    // Without a scale on file the box is empty: its design-time default belongs to no
    // film, and a length proposed from it would look plausible and be wrong.
    w.Text2.text.clear();
    w.state.SavedRate = 0;
    std::string bytes;
    const std::string path = base::CalibrationFile(w.state.DataDir);
    if (std::error_code ec = base::ReadRegularFile(path, bytes, kMaxCalibrationBytes)) {
        if (ec != std::errc::no_such_file_or_directory)
            app.notices.push_back(store::CannotReadText(path, ec));
        return;
    }
    std::vector<std::string> lines = store::SplitLines(bytes);
    if (lines.empty()) return;
    const std::string rate(TrimBlanks(std::string_view(lines[0]).substr(0, lines[0].find(','))));
    // A scale of 0 or less, or none at all, would propose 0 mm or a mirrored length for
    // every tracing and judge each new scale against it: no proposal, no comparison.
    const double value = TextToNumber(rate);
    const bool usable = IsPositiveNumber(value);
    w.Text2.text = usable ? rate : std::string();
    w.state.SavedRate = usable ? value : 0;
}

}  // namespace

std::string DefaultTestDataDir() {
    return base::HostPath("d:\\backup\\kmr\\");
}

namespace {

// The window as it first appears: the result grid, the run-time menus, empty header
// labels and the menus that need a tracing switched off.
void LayOutEmptyWindow(ui::App& app) {
    ui::MainWindow& w = app.win;
    ui::State& s = w.state;
    presenter::LayOutResultGrid(w);
    CreateRunTimeMenus(w);
    s.ToScreen = true;
    // The sex label is cleared with the others: a hand-off without a sex line must not
    // show the placeholder "F" as if it were the patient's.
    for (ui::Label* l : {&w.Label0, &w.Label1, &w.Label3, &w.Label13, &w.Label15})
        l->caption.clear();
    w.print00mn.enabled = false;
    w.editmn.enabled = false;
    w.compmn.enabled = false;
    w.graph.enabled = false;
    LayOutStartupBar(app);
}

// The picture folder from the host suite's settings file (12 when it names none).
void ReadPictureFolder(ui::App& app) {
    ui::State& s = app.win.state;
    const std::string settings = s.DataDir + "selvsys.ini";
    std::error_code settingsError;
    s.PictureDir = base::WithTrailingSeparator(base::HostPath(store::ReadIniValue(
        settings, "Selvaron", "PersonPicDir", "12", store::kWholeValue, &settingsError)));
    if (settingsError) app.notices.push_back(store::CannotReadText(settings, settingsError));
    app.win.File1.path = s.PictureDir;
    app.win.File1.pattern = "*.*";
}

}  // namespace

void FormLoad(ui::App& app, const StartupEnv& env) {
    ui::MainWindow& w = app.win;
    ui::State& s = w.state;
    LayOutEmptyWindow(app);

    const std::string testDir = base::WithTrailingSeparator(env.testDataDir);
    const bool testMode = base::FileExists(testDir + "lpdat2");
    s.DataDir = env.currentDir;
    if (testMode) {
        s.DataDir = testDir;
        s.Patient.code = "00101";
    }
    s.DataDir = base::WithTrailingSeparator(s.DataDir);
    ChangeDirectory(s.DataDir);  // there are no drives to change to on this host

    // From here on a failing step is passed over and the next one runs.
    std::error_code ignored;
    std::filesystem::create_directory(base::ToPath(base::SaveFolder(s.DataDir)), ignored);
    ChangeDirectory(s.DataDir);

    ReadPictureFolder(app);

    std::string handoff = env.handoffArgument;
    if (handoff.empty() && testMode) handoff = testDir + "OutExe.tmp";
    if (handoff.empty()) {
        app.services.ShowMessage(kNoHandoffMessage, ui::kCriticalOk);
        app.quitRequested = true;
        return;
    }

    if (auto lines = store::ReadHandoff(handoff)) {
        // Name, code, birth date and sex, as far as the file goes.
        store::FillPatient(s.Patient, *lines);
    } else {
        app.notices.push_back(store::CannotReadText(handoff, lines.why().error));
    }

    presenter::ShowPatient(w);
    imaging::FillPictureMenu(w);
    for (std::string& problem : usecases::MarkStoredTracings(w, s.Patient.code))
        app.notices.push_back(std::move(problem));
    w.readceph.caption = s.Patient.name + kCaptionSuffix;
    ReadCalibration(app);
    digitising::InitGuide(app);
    digitising::InitLandmarkTables(s);
    analysis_window::OfferAnalyses(app);
}

}  // namespace ceph::app
