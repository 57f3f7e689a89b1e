#include "tools/analyse.h"

#include <algorithm>
#include <cstdint>
#include <iostream>

#include "base/safe_file.h"
#include "records/record_file.h"
#include "records/record_line.h"

namespace ceph::tools {

namespace {

std::string Csv(std::string_view line, const records::RecordFields& r, bool male) {
    const analysis::AnalysisTexts texts = AnalyseFields(r, male);
    std::string csv(records::FirstField(line));
    for (const std::string& v : texts.values)
        (csv += ',') += v;
    for (const char* n : texts.norms)
        (csv += ',') += n;
    return csv;
}

constexpr OptionRule kOptions[] = {
    {.name = "--sex", .kind = OptionRule::Choice, .choices = "M|F"},
};

constexpr std::string_view kStandardInput = "standard input";

}  // namespace

std::string AnalyseRecordLine(std::string_view line, bool male) {
    return Csv(line, records::ParseRecordFields(line), male);
}

analysis::AnalysisTexts AnalyseFields(const records::RecordFields& r, bool male) {
    analysis::PointTable X{}, Y{};
    for (int i = 1; i <= 19; ++i)
        X[i] = r.x[i], Y[i] = r.y[i];
    return analysis::ToTexts(analysis::ComputeValues(X, Y),
                             analysis::NormGroup(male ? "M" : "", r.age));
}

int ForEachTracing(records::RecordReader& reader, std::string_view name, std::ostream& err,
                   const TracingSink& tracing) {
    int skipped = 0;
    long number = 0;
    std::string_view line;
    while (reader.Next(line)) {
        ++number;
        if (line.find(',') == std::string::npos) {
            err << name << ':' << number << ": not a record line, skipped\n";
            ++skipped;
            continue;
        }
        const records::RecordFields fields = records::ParseRecordFields(line);
        if (!fields.finite) {
            err << name << ':' << number << ": coordinates that are not finite numbers, skipped\n";
            ++skipped;
            continue;
        }
        tracing(line, fields);
    }
    return skipped;
}

int AnalyseRecords(records::RecordReader& reader, std::string_view name, std::ostream& out,
                   std::ostream& err, bool male) {
    std::string buffer;
    const int skipped = ForEachTracing(
        reader, name, err, [&](std::string_view line, const records::RecordFields& fields) {
            buffer += Csv(line, fields, male);
            buffer += '\n';
            if (buffer.size() > (1 << 16)) {
                out << buffer;
                buffer.clear();
            }
        });
    out << buffer;
    return skipped;
}

int AnalyseStream(std::istream& in, std::string_view name, std::ostream& out, std::ostream& err,
                  bool male) {
    // The same line ends as the program's own reading of record files.
    records::RecordReader reader(in);
    return AnalyseRecords(reader, name, out, err, male);
}

const CommandRules kAnalyseRules{
    .command = "analyse",
    .synopsis = "cephtool analyse [--sex M|F] [FILE|-]...\n",
    .details =
        "  one CSV line per record line of each FILE in turn (standard input for -\n"
        "  or no FILE): the code, the 37 measurements and the 7 norms of the age\n",
    .options = kOptions,
    .maxOperands = SIZE_MAX,
};

int RunAnalyse(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    CommandLine cl;
    if (auto status = ReadCommandLine(kAnalyseRules, argc, argv, cl, std::cout, std::cerr))
        return *status;
    std::vector<std::string>& files = cl.operands;
    if (std::count(files.begin(), files.end(), "-") > 1)
        return UsageFault(kAnalyseRules, "- (standard input) named more than once", std::cerr);
    if (files.empty()) files.push_back("-");
    const bool male = cl.Text("--sex") == "M";

    int status = 0;
    for (const std::string& file : files) {
        const bool standardInput = file == "-";
        base::SourceFile source;
        // Only regular files are opened: a folder, a device or a pipe named by mistake is
        // told at once and never waited on.
        if (std::error_code ec = standardInput ? std::error_code() : source.Open(file)) {
            std::cerr << "cephtool: cannot read " << file << ": " << ec.message() << "\n";
            status = 1;
            continue;
        }
        records::RecordReader reader = standardInput ? records::RecordReader(std::cin)
                                                     : records::RecordReader(std::move(source));
        const std::string_view name = standardInput ? kStandardInput : std::string_view(file);
        if (AnalyseRecords(reader, name, std::cout, std::cerr, male) != 0) status = 1;
        if (reader.Failed()) {
            std::cerr << "cephtool: cannot read " << name << ": " << reader.Error().message()
                      << "\n";
            status = 1;
        }
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "cephtool: cannot write the output\n";
        return 1;
    }
    return status;
}

}  // namespace ceph::tools
