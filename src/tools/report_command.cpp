#include "tools/report_command.h"

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "base/filesys.h"
#include "base/patient_files.h"
#include "page/film.h"
#include "page/full_report.h"
#include "page/series_page.h"
#include "page/tracing_page.h"
#include "platform/chinese_font.h"
#include "platform/page_files.h"
#include "store/practice_analyses.h"
#include "store/record_line.h"
#include "store/settings.h"
#include "tools/named_analysis.h"
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
    {.name = "--full", .kind = OptionRule::Switch},
    {.name = "--analysis"},
    {.name = "--norm-set"},
    {.name = "--uncertainty", .kind = OptionRule::Switch},
    {.name = "--picture"},
};

// The analysis --analysis names (Steiner when none) and the norm set --norm-set names
// (the analysis's first when none); false after saying why when either names none.
bool ReadAnalysisChoice(const CommandLine& o, const store::LoadedAnalyses& analyses,
                        page::FullReportRequest& r, int& status) {
    r.chosen = model::FindAnalysis(
        analyses.analyses, o.Has("--analysis") ? o.Text("--analysis") : model::kDefaultAnalysis);
    if (!r.chosen) {
        std::string names;
        for (const model::NamedAnalysis& a : analyses.analyses)
            names += (names.empty() ? "" : ", ") + a.name;
        status = UsageFault(
            kReportRules,
            "--analysis " + o.Text("--analysis") + ": no such analysis (" + names + ")", std::cerr);
        return false;
    }
    if (!o.Has("--norm-set")) return true;
    const auto set = ReadNormSet(kReportRules, *r.chosen, o.Text("--norm-set"), status);
    if (set) r.normSet = *set;
    return set.has_value();
}

// The full page of a stored tracing: its radiograph from the picture folder or
// `--picture`, the figure as built, the program's own values and the named analysis.
// Nothing when it cannot be drawn, after saying why (the exit status in `status`).
std::optional<page::FullReportInputs> FullInputs(const CommandLine& o, const StoredTracing& st,
                                                 const store::LoadedAnalyses& analyses,
                                                 platform::PageFiles& services, int& status) {
    page::FullReportRequest r;
    if (!ReadAnalysisChoice(o, analyses, r, status)) return std::nullopt;
    r.dataDir = base::WithTrailingSeparator(o.Text("--data"));
    if (o.Has("--picture")) {
        r.picture = o.Text("--picture");
    } else {
        const page::TracingFilm film = page::FindTracingFilm(
            services, r.dataDir, PictureFolder(r.dataDir), st.patient.code, st.number, st.tracing);
        r.picture = film.path;
        r.positions = film.positions;
        r.film = film.picture;
    }
    r.patient = st.patient;
    r.tracing = model::ReportOf(st.tracing, st.patient, st.number);
    r.alignment = model::ShownAlignment(st.tracing.figure);
    r.figure = model::FigureOf(st.tracing);
    r.standard = page::StandardAnalysisOf(analyses.analyses);
    r.halfWidths = o.Has("--uncertainty");
    r.today = services.Today();
    page::FullReportInputs in = page::AssembleFullReport(r, services);
    // A picture named on the command line that cannot be had is a mistake to tell.
    if (o.Has("--picture") && in.radiograph.picture.empty() &&
        in.radiograph.problem != page::kNeverAligned) {
        std::cerr << "cephtool: " << in.radiograph.problem << "\n";
        status = 1;
        return std::nullopt;
    }
    return in;
}

}  // namespace

const CommandRules kReportRules{
    .command = "report",
    .synopsis =
        "cephtool report --data DIR --handoff FILE --tracing N [--line K]\n"
        "                --out FILE.pdf|FILE.png\n"
        "       cephtool report --full --data DIR --handoff FILE --tracing N\n"
        "                [--analysis NAME] [--norm-set SET] [--uncertainty]\n"
        "                [--picture FILE]\n"
        "                --out FILE.pdf|FILE.png\n",
    .details =
        "  writes the page the print command prints for stored tracing N (1..9) of\n"
        "  the hand-off's patient; K is the print height, 0 (top) to 5\n"
        "  --full: the full report page instead: the radiograph with the tracing,\n"
        "  the figure, the program's own values and the analysis NAME (Steiner,\n"
        "  Downs, Tweed, Bjork-Jarabak, McNamara or the practice's own; default\n"
        "  Steiner) with the norms of its set SET (default its first); --uncertainty\n"
        "  adds the values' ranges; the radiograph is the tracing's picture in the\n"
        "  patient's picture folder unless --picture names one\n",
    .options = kOptions,
};

// The options a report needs beyond the rules: a .pdf or .png file, and the full
// report's options only with --full. The status to end with when they are wrong.
std::optional<int> ReportOptionsFault(const CommandLine& o) {
    const std::string out = o.Text("--out");
    if (!EndsWithNoCase(out, ".pdf") && !EndsWithNoCase(out, ".png"))
        return UsageFault(kReportRules, "--out " + out + ": not a .pdf or .png file", std::cerr);
    for (const char* fullOnly : {"--analysis", "--norm-set", "--uncertainty", "--picture"})
        if (!o.Has("--full") && o.Has(fullOnly))
            return UsageFault(kReportRules, std::string(fullOnly) + ": only with --full",
                              std::cerr);
    return std::nullopt;
}

// Draws the page asked for onto the printer's page; the status to end with when it
// cannot be drawn.
std::optional<int> DrawRequestedPage(const CommandLine& o, const StoredTracing& stored,
                                     platform::PageFiles& services, page::Printer& printer) {
    if (o.Has("--full")) {
        if (o.Has("--line"))
            return UsageFault(kReportRules, "--line: the full report has one place", std::cerr);
        const store::LoadedAnalyses analyses =
            store::LoadAnalyses(base::WithTrailingSeparator(o.Text("--data")));
        if (!analyses.problem.empty()) std::cerr << "cephtool: " << analyses.problem << "\n";
        int status = 0;
        const auto in = FullInputs(o, stored, analyses, services, status);
        if (!in) return status;
        page::DrawFullReport(printer.CurrentPage(), *in);
        return std::nullopt;
    }
    // What the print command prints for a tracing shown on its own, with its figure.
    page::PrinterTarget target(printer);
    page::ReportLayout layout;
    layout.top = o.Number("--line") * 2100;
    layout.singleOnPaper = true;
    layout.withFigure = true;
    page::DrawReportPage(target, stored.patient,
                         model::ReportOf(stored.tracing, stored.patient, stored.number), layout);
    return std::nullopt;
}

bool PageFontsReady() {
    platform::InstallChineseFont();
    // Without a single font (an installation whose fonts folder is gone) Qt cannot lay
    // out a line: say so instead of failing inside it.
    if (platform::HasAnyFont()) return true;
    std::cerr << "cephtool: no font to draw the page with: the fonts folder beside "
                 "cephtool is missing or unreadable\n";
    return false;
}

int WritePageFile(platform::PageFiles& services, const std::vector<page::DrawingList>& pages,
                  const std::string& out) {
    const std::error_code ec = EndsWithNoCase(out, ".pdf") ? services.WritePdf(pages, out)
                                                           : services.WritePng(pages, out, 150);
    if (ec) {
        std::cerr << "cephtool: cannot write " << out << ": " << ec.message() << "\n";
        return 1;
    }
    return 0;
}

int RunReport(int argc, char** argv) {
    CommandLine o;
    if (auto status = ReadCommandLine(kReportRules, argc, argv, o, std::cout, std::cerr))
        return *status;
    if (auto status = ReportOptionsFault(o)) return *status;

    const platform::OffscreenQt qt;
    if (!PageFontsReady()) return 1;

    const base::Result<StoredTracing> stored =
        ReadStoredTracing({o.Text("--data"), o.Text("--handoff"), o.Number("--tracing")});
    if (!stored) {
        std::cerr << "cephtool: " << stored.why().detail << "\n";
        return 1;
    }
    platform::PageFiles services;
    page::Printer printer;
    if (auto status = DrawRequestedPage(o, *stored, services, printer)) return *status;
    return WritePageFile(services, printer.pages, o.Text("--out"));
}

int WriteSeriesPage(const std::vector<StoredTracing>& stored, const std::string& out) {
    const platform::OffscreenQt qt;
    if (!PageFontsReady()) return 1;
    std::vector<page::SeriesEntry> series;
    for (const StoredTracing& t : stored)
        series.push_back({t.number, t.tracing});
    platform::PageFiles services;
    page::Printer printer;
    const page::YearMonth today = services.Today();
    page::DrawFollowUpPage(printer.CurrentPage(), stored.front().patient, series, 0,
                           page::DateText(today.year, today.month, today.day));
    return WritePageFile(services, printer.pages, out);
}

}  // namespace ceph::tools
