#include "store/practice_positions.h"

#include <map>

#include "base/filesys.h"
#include "store/film_positions.h"
#include "store/record_file.h"
#include "store/record_line.h"
#include "store/settings.h"

namespace ceph::store {

namespace {

// The tracings of record file n by patient code, as their lines hold them now (a
// patient's first line); why not, naming the file, when it is there but cannot be read.
// No file is no tracing.
std::string ReadRecordTracings(const std::string& dataDir, int n,
                               std::map<std::string, model::Tracing>& out) {
    const std::string path = RecordFilePath(dataDir, n);
    if (!base::PathExists(path)) return {};
    base::Result<RecordReader> file = OpenRecordFile(path);
    if (!file) return CannotReadText(path, file.why().error);
    std::string_view line;
    while (file->Next(line)) {
        const std::string code(FirstField(line));
        if (code.empty() || out.count(code) != 0) continue;
        if (auto t = ReadTracingLine(line)) out.emplace(code, std::move(*t));
    }
    return file->Failed() ? CannotReadText(path, file->Error()) : std::string();
}

}  // namespace

std::string PictureFolder(const std::string& dataDir) {
    std::string folder = base::HostPath(
        ReadIniValue(dataDir + "selvsys.ini", "Selvaron", "PersonPicDir", "12", kWholeValue));
    if (!base::ToPath(folder).is_absolute()) folder = dataDir + folder;
    return base::WithTrailingSeparator(folder);
}

std::string PositionsThatCount(const std::string& dataDir, int n,
                               std::vector<CountingPositions>& out) {
    std::map<std::string, model::Tracing> tracings;
    std::string problem = ReadRecordTracings(dataDir, n, tracings);
    for (PositionsLine& line : ReadFilmPositionsFile(dataDir, n)) {
        const auto found = tracings.find(line.code);
        if (found != tracings.end() &&
            line.film.digest == CoordinatesDigest(found->second.X, found->second.Y))
            out.push_back({std::move(line.code), found->second, std::move(line.film)});
    }
    return problem;
}

}  // namespace ceph::store
