// The program's memory over a long session: rounds of "input tracing 3, then cancel"
// and "show tracing 1, then compare it with tracing 2", through the real window on the
// offscreen platform, each step triggered as the user would (menu action or button)
// and followed by the repaint it causes. Prints the resident memory after the first
// round and after the last; bench/memory.sh runs it and judges the growth.
//
//   memory_rounds DATA_DIR [ROUNDS]     (DATA_DIR: a scratch copy of data/demo; 100 rounds)

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/startup.h"
#include "platform/chinese_font.h"
#include "platform/qt_services.h"
#include "platform/qt_window.h"

namespace {

// Resident memory of this process in kB, from /proc (Linux only, as is the script).
long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// One step as the user takes it: the window handles it, then repaints what it changed.
void Step(QAction* action) {
    if (!action || !action->isEnabled()) {
        std::fprintf(stderr, "menu item %s is not available\n",
                     action ? action->objectName().toUtf8().constData() : "?");
        std::exit(2);
    }
    action->trigger();
    QApplication::processEvents();
}

void Step(QWidget* button) {
    auto* push = qobject_cast<QPushButton*>(button);
    if (!push || !push->isVisible()) {
        std::fprintf(stderr, "button %s is not shown\n",
                     button ? button->objectName().toUtf8().constData() : "?");
        std::exit(2);
    }
    push->click();
    QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: memory_rounds DATA_DIR [ROUNDS]\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string dir = argv[1];
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 100;
    int qtArgc = 1;
    QApplication qapp(qtArgc, argv);
    ceph::platform::InstallChineseFont();

    ceph::platform::QtServices services;
    ceph::ui::App program(services);
    ceph::app::FormLoad(program, {dir + "/OutExe.tmp", dir, dir + "/none"});
    if (program.quitRequested) {
        std::fprintf(stderr, "no patient in %s\n", dir.c_str());
        return 2;
    }
    ceph::platform::QtMainWindow window(program, &services.Pictures());
    services.SetParentWindow(&window);
    services.SetPickerRunner([&window] { window.RunPicker(); });
    window.show();
    QApplication::processEvents();

    ceph::ui::MainWindow& w = program.win;
    long first = 0;
    for (int round = 1; round <= rounds; ++round) {
        Step(window.ActionOf(&w.inputn[2]));
        if (w.Image1.picture.empty()) {
            std::fprintf(stderr, "tracing 3's radiograph did not load\n");
            return 2;
        }
        Step(window.WidgetOf(&w.Command3));
        Step(window.ActionOf(&w.readn[0]));
        Step(window.ActionOf(&w.comp[1]));
        if (round == 1) first = ResidentKb();
    }
    const long last = ResidentKb();
    std::printf("resident after round 1: %ld kB\n", first);
    std::printf("resident after round %d: %ld kB\n", rounds, last);
    return 0;
}
