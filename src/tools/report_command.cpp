#include "tools/report_command.h"

#include <QGuiApplication>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "platform/headless_services.h"
#include "platform/run.h"
#include "report/report.h"
#include "tools/stored_tracing.h"

namespace ceph::tools {

namespace {

struct Options {
    std::string data, handoff, out;
    int tracing = 0, line = 0;
};

int Usage() {
    std::cerr << "usage: cephtool report --data DIR --handoff FILE --tracing N [--line K] --out "
                 "FILE.pdf|FILE.png\n"
                 "  N is the tracing number 1..9, K the print height 0 (top) to 5\n";
    return 2;
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 0; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        if (key == "--data")
            o.data = value;
        else if (key == "--handoff")
            o.handoff = value;
        else if (key == "--out")
            o.out = value;
        else if (key == "--tracing")
            o.tracing = std::atoi(value.c_str());
        else if (key == "--line")
            o.line = std::atoi(value.c_str());
        else
            return false;
    }
    return argc % 2 == 0 && !o.data.empty() && !o.handoff.empty() && !o.out.empty() &&
           o.tracing >= 1 && o.tracing <= 9 && o.line >= 0 && o.line <= 5;
}

}  // namespace

int RunReport(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) return Usage();
    const bool pdf = EndsWithNoCase(o.out, ".pdf");
    if (!pdf && !EndsWithNoCase(o.out, ".png")) return Usage();

    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char name[] = "cephtool";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication qt(qtArgc, qtArgv);
    platform::InstallChineseFont();

    platform::HeadlessServices services;
    base::App program(services);
    ui::MainWindow& w = program.win;
    if (!LoadStoredTracing(w, {o.data, o.handoff, o.tracing}, std::cerr)) return 1;

    // What the print command does for a tracing shown on its own.
    w.state.ToScreen = false;
    report::DrawReport(program, false, o.line * 2100);
    const bool written = pdf ? services.WritePdf(program.printer.pages, o.out)
                             : services.WritePng(program.printer.pages, o.out, 150);
    if (!written) {
        std::cerr << "cephtool: cannot write " << o.out << "\n";
        return 1;
    }
    return 0;
}

}  // namespace ceph::tools
