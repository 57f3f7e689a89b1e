#include "tools/report_command.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <cstdlib>
#include <iostream>
#include <string>

#include "platform/headless_services.h"
#include "platform/run.h"
#include "report/report.h"
#include "tools/options.h"
#include "tools/stored_tracing.h"

namespace ceph::tools {

namespace {

constexpr OptionRule kOptions[] = {
    {.name = "--data", .required = true},
    {.name = "--handoff", .required = true},
    {.name = "--tracing", .kind = OptionRule::Number, .min = 1, .max = 9, .required = true},
    {.name = "--line", .kind = OptionRule::Number, .min = 0, .max = 5},
    {.name = "--out", .required = true},
};

}  // namespace

const CommandRules kReportRules{
    .command = "report",
    .synopsis =
        "cephtool report --data DIR --handoff FILE --tracing N [--line K]\n"
        "                --out FILE.pdf|FILE.png\n",
    .details =
        "  writes the page the print command prints for stored tracing N (1..9) of\n"
        "  the hand-off's patient; K is the print height, 0 (top) to 5\n",
    .options = kOptions,
};

int RunReport(int argc, char** argv) {
    CommandLine o;
    if (auto status = ReadCommandLine(kReportRules, argc, argv, o, std::cout, std::cerr))
        return *status;
    const std::string out = o.Text("--out");
    const bool pdf = EndsWithNoCase(out, ".pdf");
    if (!pdf && !EndsWithNoCase(out, ".png"))
        return UsageFault(kReportRules, "--out " + out + ": not a .pdf or .png file", std::cerr);

    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char name[] = "cephtool";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication qt(qtArgc, qtArgv);
    platform::InstallChineseFont();
    // Without a single font (an installation whose fonts folder is gone) Qt cannot lay
    // out a line: say so instead of failing inside it.
    if (QFontDatabase::families().isEmpty()) {
        std::cerr << "cephtool: no font to draw the page with: the fonts folder beside "
                     "cephtool is missing or unreadable\n";
        return 1;
    }

    const base::Result<StoredTracing> stored =
        ReadStoredTracing({o.Text("--data"), o.Text("--handoff"), o.Number("--tracing")});
    if (!stored) {
        std::cerr << "cephtool: " << stored.why().detail << "\n";
        return 1;
    }

    // What the print command prints for a tracing shown on its own, with its figure.
    ui::Printer printer;
    report::PrinterTarget page(printer);
    report::ReportLayout layout;
    layout.top = o.Number("--line") * 2100;
    layout.singleOnPaper = true;
    layout.withFigure = true;
    report::DrawReportPage(page, stored->patient,
                           model::ReportOf(stored->tracing, stored->patient, stored->number),
                           layout);
    platform::HeadlessServices services;
    const std::error_code ec =
        pdf ? services.WritePdf(printer.pages, out) : services.WritePng(printer.pages, out, 150);
    if (ec) {
        std::cerr << "cephtool: cannot write " << out << ": " << ec.message() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace ceph::tools
