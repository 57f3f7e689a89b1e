// cephtool: the program's analysis without a window, for batch work and for checking.
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "base/program_io.h"
#include "tools/analyse.h"
#include "tools/export_command.h"
#include "tools/figure_command.h"
#include "tools/import_command.h"
#include "tools/learning_commands.h"
#include "tools/named_analysis.h"
#include "tools/receive_command.h"
#include "tools/series_command.h"
#ifdef CEPHTOOL_WITH_REPORT
#include "platform/figure_png.h"
#include "tools/positions_command.h"
#include "tools/report_command.h"
#endif

namespace {

using namespace ceph::tools;

void Usage(std::ostream& out) {
    const CommandRules* commands[] = {
        &kAnalyseRules, &kAnalysesRules,  &kExportRules,
#ifdef CEPHTOOL_WITH_REPORT
        &kReportRules,  &kPositionsRules,
#endif
        &kTrainRules,   &kSuggestRules,   &kFigureRules,
        &kImportRules,  &kSeriesRules,    &kReceiveRules,
    };
    std::string_view lead = "usage: ";
    for (const CommandRules* c : commands) {
        out << lead << c->synopsis;
        lead = "       ";
    }
    out << lead << "cephtool --help | --version\n"
        << "  cephtool COMMAND --help tells what a command's values mean\n";
}

int UsageFault(std::string_view fault) {
    std::cerr << "cephtool: " << fault << "\n";
    Usage(std::cerr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    ceph::base::UseBinaryStandardStreams();
    ceph::base::ProgramArguments arguments(argc, argv);
    argc = arguments.Count();
    argv = arguments.Values();
    if (argc < 2) return UsageFault("no command given");
    const std::string_view command = argv[1];
    const bool help = command == "--help" || command == "-h", version = command == "--version";
    if ((help || version) && argc > 2)
        return UsageFault("unexpected argument " + std::string(argv[2]));
    if (help) {
        Usage(std::cout);
        return 0;
    }
    if (version) {
        std::cout << "cephtool " << CEPHTOOL_VERSION << "\n";
        return 0;
    }
    if (command == "analyse") return RunAnalyse(argc - 2, argv + 2);
    if (command == "analyses") return RunAnalyses(argc - 2, argv + 2);
    if (command == "import") return RunImport(argc - 2, argv + 2);
    if (command == "export") return RunExport(argc - 2, argv + 2);
#ifdef CEPHTOOL_WITH_REPORT
    if (command == "report") return RunReport(argc - 2, argv + 2);
    if (command == "positions") return RunPositions(argc - 2, argv + 2);
    if (command == "figure") return RunFigure(argc - 2, argv + 2, ceph::platform::WriteFigurePng);
    if (command == "series") return RunSeries(argc - 2, argv + 2, WriteSeriesPage);
#else
    if (command == "figure") return RunFigure(argc - 2, argv + 2, nullptr);
    if (command == "series") return RunSeries(argc - 2, argv + 2, nullptr);
    if (command == "report") {
        std::cerr << "cephtool: this build writes no reports\n";
        return 2;
    }
    if (command == "positions") {
        std::cerr << "cephtool: this build reads no pictures\n";
        return 2;
    }
#endif
#ifdef CEPHTOOL_WITH_LEARNING
    if (command == "train") return RunTrain(argc - 2, argv + 2);
    if (command == "suggest") return RunSuggest(argc - 2, argv + 2);
#else
    if (command == "train" || command == "suggest") {
        std::cerr << "cephtool: this build learns no landmarks\n";
        return 2;
    }
#endif
#ifdef CEPHTOOL_WITH_RECEIVING
    if (command == "receive") return RunReceive(argc - 2, argv + 2);
#else
    if (command == "receive") {
        std::cerr << "cephtool: this build receives no films\n";
        return 2;
    }
#endif
    return UsageFault("unknown command " + std::string(command));
}
