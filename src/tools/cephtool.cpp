// cephtool: the program's analysis without a window, for batch work and for checking.
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "base/filesys.h"
#include "tools/analyse.h"
#include "tools/figure_command.h"
#include "tools/import_command.h"
#ifdef CEPHTOOL_WITH_REPORT
#include "tools/figure_png.h"
#include "tools/report_command.h"
#endif

namespace {

int Usage() {
    std::cerr << "usage: cephtool analyse [--sex M|F] [FILE|-]\n"
#ifdef CEPHTOOL_WITH_REPORT
                 "       cephtool report --data DIR --handoff FILE --tracing N [--line K] --out "
                 "FILE.pdf|FILE.png\n"
#endif
                 "       cephtool figure --data DIR --handoff FILE --tracing N [--select S]\n"
                 "                [--turn DEG | --shift-x TWIPS | --shift-y TWIPS]... --out "
                 "FILE.svg|FILE.png\n"
                 "       cephtool import --data DIR --tracing N [FILE|-]\n";
    return 2;
}

int Analyse(int argc, char** argv) {
    bool male = false;
    std::string file = "-";
    for (int i = 0; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--sex" && i + 1 < argc) {
            std::string sex = argv[++i];
            if (sex != "M" && sex != "F") return Usage();
            male = sex == "M";
        } else if (a.rfind("--", 0) == 0) {
            return Usage();
        } else {
            file = a;
        }
    }
    std::ios::sync_with_stdio(false);
    int skipped;
    if (file == "-") {
        skipped = ceph::tools::AnalyseStream(std::cin, std::cout, std::cerr, male);
    } else {
        std::ifstream in(ceph::base::ToPath(file), std::ios::binary);
        if (!in) {
            std::cerr << "cephtool: cannot read " << file << "\n";
            return 1;
        }
        skipped = ceph::tools::AnalyseStream(in, std::cout, std::cerr, male);
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "cephtool: cannot write the output\n";
        return 1;
    }
    return skipped == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    if (std::strcmp(argv[1], "analyse") == 0) return Analyse(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "import") == 0) return ceph::tools::RunImport(argc - 2, argv + 2);
#ifdef CEPHTOOL_WITH_REPORT
    if (std::strcmp(argv[1], "report") == 0) return ceph::tools::RunReport(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "figure") == 0)
        return ceph::tools::RunFigure(argc - 2, argv + 2, ceph::tools::WriteFigurePng);
#else
    if (std::strcmp(argv[1], "figure") == 0)
        return ceph::tools::RunFigure(argc - 2, argv + 2, nullptr);
#endif
    return Usage();
}
