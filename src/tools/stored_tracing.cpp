#include "tools/stored_tracing.h"

#include <iostream>
#include <map>

#include "base/filesys.h"
#include "base/safe_file.h"
#include "store/film_positions.h"
#include "store/handoff.h"
#include "store/record_file.h"
#include "store/record_line.h"
#include "store/settings.h"
#include "tools/analyse.h"

namespace ceph::tools {

namespace {

// The tracings of record file n by patient code, as their lines hold them now (a
// patient's first line, as the window shows it); false, after saying why on standard
// error, when the file is there but cannot be read. No file is no tracing.
bool ReadRecordTracings(const std::string& dataDir, int n,
                        std::map<std::string, model::Tracing>& out) {
    const std::string path = store::RecordFilePath(dataDir, n);
    if (!base::PathExists(path)) return true;
    base::Result<store::RecordReader> file = store::OpenRecordFile(path);
    if (!file) {
        std::cerr << "cephtool: " << store::CannotReadText(path, file.why().error) << "\n";
        return false;
    }
    std::string_view line;
    while (file->Next(line)) {
        const std::string code(store::FirstField(line));
        // The patient's first line is the one shown.
        if (code.empty() || out.count(code) != 0) continue;
        if (auto t = store::ReadTracingLine(line)) out.emplace(code, std::move(*t));
    }
    return !file->Failed();
}

}  // namespace

base::Result<StoredTracing> ReadStoredTracing(const TracingSource& source) {
    const auto lines = store::ReadHandoff(source.handoff);
    if (!lines) {
        const std::error_code ec = lines.why().error;
        return base::Fail(source.handoff, ec,
                          "cannot read the hand-off file " + source.handoff + ": " + ec.message());
    }
    StoredTracing stored;
    stored.number = source.tracing;
    store::FillPatient(stored.patient, *lines);

    // Only read: a missing record file is not created as the program would.
    const std::string dataDir = base::WithTrailingSeparator(source.data);
    const std::string record = store::RecordFilePath(dataDir, source.tracing);
    base::SourceFile probe;
    const std::error_code missing = probe.Open(record);
    probe.Close();
    const store::TracingLookup found =
        missing == std::errc::no_such_file_or_directory
            ? store::TracingLookup(std::optional<store::FoundTracing>())
            : store::FindTracing(dataDir, stored.patient.code, source.tracing - 1);
    const std::string tracing =
        "tracing " + std::to_string(source.tracing) + " of patient \"" + stored.patient.code + "\"";
    if (!found) {
        const store::TracingProblem& why = found.why();
        if (why.error)
            return base::Fail(record, why.error,
                              "cannot read " + record + ": " + why.error.message());
        return base::Fail(record, {},
                          tracing + " in " + record + " has " + NotATracingText(why.fault));
    }
    if (!*found) return base::Fail(record, {}, tracing + " is not stored in " + record);
    stored.tracing = (**found).tracing;
    return stored;
}

bool EndsWithNoCase(const std::string& name, const std::string& suffix) {
    if (name.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const char c = name[name.size() - suffix.size() + i];
        if ((c >= 'A' && c <= 'Z' ? c | 0x20 : c) != suffix[i]) return false;
    }
    return true;
}

std::string PictureFolder(const std::string& dataDir) {
    std::string folder = base::HostPath(store::ReadIniValue(
        dataDir + "selvsys.ini", "Selvaron", "PersonPicDir", "12", store::kWholeValue));
    if (!base::ToPath(folder).is_absolute()) folder = dataDir + folder;
    return base::WithTrailingSeparator(folder);
}

bool PositionsThatCount(const std::string& dataDir, int n, std::vector<CountingPositions>& out) {
    std::map<std::string, model::Tracing> tracings;
    const bool read = ReadRecordTracings(dataDir, n, tracings);
    for (store::PositionsLine& line : store::ReadFilmPositionsFile(dataDir, n)) {
        const auto found = tracings.find(line.code);
        if (found != tracings.end() &&
            line.film.digest == store::CoordinatesDigest(found->second.X, found->second.Y))
            out.push_back({std::move(line.code), found->second, std::move(line.film)});
    }
    return read;
}

}  // namespace ceph::tools
