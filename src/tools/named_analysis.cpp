#include "tools/named_analysis.h"

#include "base/filesys.h"
#include "store/practice_analyses.h"
#include "tools/export_command.h"

namespace ceph::tools {

namespace {

constexpr OptionRule kOptions[] = {{.name = "--data"}};

std::vector<model::NamedAnalysis> Analyses(const CommandLine& cl, int& status) {
    if (!cl.Has("--data")) return model::BuiltInAnalyses();
    store::LoadedAnalyses loaded =
        store::LoadAnalyses(base::WithTrailingSeparator(cl.Text("--data")));
    if (!loaded.problem.empty()) {
        std::cerr << "cephtool: " << loaded.problem << "\n";
        status = 1;
    }
    return std::move(loaded.analyses);
}

std::string Joined(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : ", ") + name;
    return joined;
}

}  // namespace

std::optional<NamedChoice> ReadNamedChoice(const CommandRules& rules, const CommandLine& cl,
                                           int& status) {
    if (!cl.Has("--analysis")) {
        if (cl.Has("--norm-set"))
            status = UsageFault(rules, "--norm-set: only with --analysis", std::cerr);
        return std::nullopt;
    }
    NamedChoice choice;
    choice.all = Analyses(cl, status);
    const std::string name = cl.Text("--analysis");
    choice.analysis = model::FindAnalysis(choice.all, name);
    if (!choice.analysis) {
        status = UsageFault(
            rules, "--analysis " + name + ": no such analysis (cephtool analyses lists them)",
            std::cerr);
        return std::nullopt;
    }
    const std::string set = cl.Text("--norm-set");
    if (set.empty()) return choice;
    const std::optional<std::string> named = ReadNormSet(rules, *choice.analysis, set, status);
    if (!named) return std::nullopt;
    choice.normSet = *named;
    return choice;
}

std::optional<std::string> ReadNormSet(const CommandRules& rules,
                                       const model::NamedAnalysis& analysis, const std::string& set,
                                       int& status) {
    // Matched as --analysis is; a name that fits several sets chooses none of them.
    const std::vector<std::string> named = model::NormSetsNamed(analysis, set);
    if (named.size() == 1) return named.front();
    status = UsageFault(
        rules,
        "--norm-set " + set + ": " +
            (named.empty()
                 ? analysis.name + " has no such norm set (" + Joined(analysis.normSets) + ")"
                 : "names several norm sets of " + analysis.name + " (" + Joined(named) + ")"),
        std::cerr);
    return std::nullopt;
}

std::string NamedHeader(const model::NamedAnalysis& analysis) {
    std::string header;
    for (const model::ClassicMeasurement& m : analysis.rows) {
        AppendCsvField(header += ',', model::NameWithUnit(m.name, m.unit));
        AppendCsvField(header += ',', m.name + " norm");
        AppendCsvField(header += ',', m.name + " flag");
    }
    return header;
}

std::string NamedFields(const NamedChoice& choice, const model::Tracing& tracing, bool male) {
    const model::AnalysisResult result = model::Evaluate(
        *choice.analysis, tracing.X, tracing.Y, {choice.normSet, male ? "M" : "F", tracing.age});
    std::string fields;
    for (const model::ResultRow& row : result.rows) {
        fields += ',';
        fields += model::ShownNumber(row.value, row.decimals);
        fields += ',';
        if (row.norm) fields += model::ShownNorm(*row.norm, row.decimals);
        fields += ',';
        fields += model::FlagText(row.flag);
    }
    return fields;
}

const CommandRules kAnalysesRules{
    .command = "analyses",
    .synopsis = "cephtool analyses [--data DIR]\n",
    .details =
        "  the analyses --analysis can name: the built-in ones and, with --data, those of\n"
        "  the practice's table analyses.tsv in the data folder; for each its\n"
        "  measurements, its norm sets and what it leaves out\n",
    .options = kOptions,
};

int RunAnalyses(int argc, char** argv) {
    CommandLine cl;
    if (auto status = ReadCommandLine(kAnalysesRules, argc, argv, cl, std::cout, std::cerr))
        return *status;
    int status = 0;
    for (const model::NamedAnalysis& a : Analyses(cl, status)) {
        std::cout << a.name << (a.practice ? " (practice)" : "") << ": " << a.rows.size()
                  << " measurements";
        if (!a.normSets.empty()) {
            std::cout << "; norms:";
            for (const std::string& set : a.normSets)
                std::cout << ' ' << set;
        }
        // Names hold blanks ("Facial angle"): a comma tells them apart.
        std::string_view separator = "\n  ";
        for (const model::ClassicMeasurement& m : a.rows) {
            std::cout << separator << m.name;
            separator = ", ";
        }
        std::cout << "\n";
        for (const std::string& note : a.notes)
            std::cout << "  note: " << note << "\n";
    }
    return FlushedStatus(status);
}

}  // namespace ceph::tools
