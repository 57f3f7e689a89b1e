#include "tools/import_command.h"

#include <iostream>
#include <sstream>
#include <unordered_map>

#include "base/filesys.h"
#include "base/safe_file.h"
#include "model/numbers.h"
#include "store/record_file.h"
#include "store/record_line.h"
#include "store/record_store.h"
#include "tools/stored_tracing.h"

namespace ceph::tools {

namespace {

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    while (true) {
        const std::size_t comma = line.find(',');
        fields.push_back(line.substr(0, comma));
        if (comma == std::string_view::npos) return fields;
        line.remove_prefix(comma + 1);
    }
}

// The line as it is written, or the reason it cannot be stored.
base::Result<std::string, std::string> CheckLine(std::string_view line) {
    const std::vector<std::string_view> f = Fields(line);
    if (f.size() != 41 && f.size() != 44)
        return base::Fail(std::to_string(f.size()) + " fields, a record line has 41 or 44");
    if (f[0].empty()) return base::Fail("no patient code");
    if (TrimBlanks(f[0]) != f[0]) return base::Fail("blanks around the patient code");
    // Numbers as every reader of record lines takes them.
    model::Tracing tracing;
    store::PointRow &x = tracing.X, &y = tracing.Y;
    for (int i = 1; i <= 19; ++i) {
        for (int axis = 0; axis < 2; ++axis) {
            const std::size_t k = static_cast<std::size_t>(2 * i - 1 + axis);
            if (!store::ReadNumberField(f[k], (axis == 0 ? x : y)[i]))
                return base::Fail("field " + std::to_string(k + 1) + " \"" + std::string(f[k]) +
                                  "\" is not a number");
        }
    }
    float number;
    if (!store::ReadNumberField(f[39], number) || number != 0)
        return base::Fail("field 40 must be 0");
    for (std::size_t k = 41; k < f.size(); ++k) {
        if (!store::ReadNumberField(f[k], number))
            return base::Fail("figure field " + std::to_string(k + 1) + " \"" + std::string(f[k]) +
                              "\" is not a number");
    }
    if (!model::WithinReachOfS(x, y))
        return base::Fail("landmarks more than " +
                          std::to_string(static_cast<int>(model::kMaxMillimetresFromS)) +
                          " mm from S");
    // Stored tracings have S at the origin.
    if (x[16] != 0 || y[16] != 0) model::MoveSToOrigin(x, y);
    tracing.age = f[40];
    if (f.size() == 44) {
        auto field = [&](std::size_t k) {
            return model::TypedNumber(std::string(TrimBlanks(f[k])));
        };
        tracing.figure = model::FigureAlignment{field(41), field(42), field(43)};
    }
    return store::FormatRecordLine(f[0], tracing);
}

constexpr OptionRule kOptions[] = {
    {.name = "--data", .required = true},
    {.name = "--tracing", .kind = OptionRule::Number, .min = 1, .max = 9, .required = true},
};

}  // namespace

PreparedImport PrepareImport(std::string_view text) {
    std::istringstream in{std::string(text)};
    store::RecordReader reader(in);
    return PrepareImport(reader);
}

PreparedImport PrepareImport(store::RecordReader& reader) {
    std::vector<std::string> lines;
    std::vector<ImportProblem> problems;
    std::unordered_map<std::string, long> firstLineOf;
    long number = 0;
    std::string_view line;
    while (reader.Next(line)) {
        ++number;
        if (reader.Overlong()) {
            problems.push_back({number, "longer than " +
                                            std::to_string(store::kMaxRecordLine >> 20) +
                                            " MB, not a record line"});
            continue;
        }
        if (TrimBlanks(line).empty()) continue;
        base::Result<std::string, std::string> stored = CheckLine(line);
        if (!stored) {
            problems.push_back({number, stored.why()});
            continue;
        }
        const std::string code(store::FirstField(line));
        if (auto [it, fresh] = firstLineOf.emplace(code, number); !fresh) {
            problems.push_back({number, "patient \"" + code + "\" is already on line " +
                                            std::to_string(it->second)});
            continue;
        }
        lines.push_back(std::move(stored).value());
    }
    if (!problems.empty()) return base::Fail(std::move(problems));
    return lines;
}

const CommandRules kImportRules{
    .command = "import",
    .synopsis = "cephtool import --data DIR --tracing N [FILE|-]\n",
    .details =
        "  stores each record line of FILE (or standard input) as its patient's\n"
        "  tracing N (1..9) in the data folder; nothing is stored if any line is bad\n",
    .options = kOptions,
    .maxOperands = 1,
};

int RunImport(int argc, char** argv) {
    CommandLine line;
    if (auto status = ReadCommandLine(kImportRules, argc, argv, line, std::cout, std::cerr))
        return *status;
    const std::string data = line.Text("--data");
    const int tracing = line.Number("--tracing");
    const std::string file = line.operands.empty() ? "-" : line.operands[0];

    // Read line by line: a huge input is never held whole.
    base::SourceFile input;
    if (std::error_code ec = file == "-" ? std::error_code() : input.Open(file)) {
        std::cerr << "cephtool: cannot read " << file << ": " << ec.message() << "\n";
        return 1;
    }
    store::RecordReader reader =
        file == "-" ? store::RecordReader(std::cin) : store::RecordReader(std::move(input));
    const PreparedImport prepared = PrepareImport(reader);
    const std::string source = file == "-" ? "standard input" : file;
    if (reader.Failed()) {
        std::cerr << "cephtool: cannot read " << source << ": " << reader.Error().message()
                  << "; nothing stored\n";
        return 1;
    }
    if (!prepared) {
        for (const ImportProblem& p : prepared.why())
            std::cerr << "cephtool: " << source << ":" << p.line << ": " << p.reason << "\n";
        std::cerr << "cephtool: nothing stored\n";
        return 1;
    }
    const std::vector<std::string>& lines = *prepared;
    if (lines.empty()) {
        std::cerr << "cephtool: no record lines in " << source << ", nothing stored\n";
        return 1;
    }
    const std::string dir = base::WithTrailingSeparator(data);
    const store::StoreResult stored = store::StorePatientLines(dir, tracing, lines);
    if (!stored.ok()) {
        const std::string why = stored.why().error == std::errc::timed_out
                                    ? "another program kept it locked"
                                    : stored.why().error.message();
        std::cerr << "cephtool: cannot store into " << stored.why().file << ": " << why
                  << "; nothing stored\n";
        return 1;
    }
    std::cout << lines.size() << (lines.size() == 1 ? " tracing" : " tracings") << " stored in "
              << store::RecordFilePath(dir, tracing) << "\n";
    return 0;
}

}  // namespace ceph::tools
