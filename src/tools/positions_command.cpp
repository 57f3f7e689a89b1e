#include "tools/positions_command.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>

#include "base/filesys.h"
#include "model/landmark.h"
#include "model/numbers.h"
#include "page/film.h"
#include "platform/page_files.h"
#include "store/film_positions.h"
#include "tools/export_command.h"
#include "tools/stored_tracing.h"

namespace ceph::tools {

namespace {

constexpr OptionRule kOptions[] = {
    {.name = "--data", .required = true},
    {.name = "--tracing", .kind = OptionRule::Number, .min = 1, .max = 9},
};

std::string Header() {
    std::string out = "code,tracing,picture,width,height,turn";
    for (const model::LandmarkInfo& info : model::Landmarks()) {
        out += ',';
        AppendCsvField(out, std::string(info.abbreviation) + " x");
        out += ',';
        AppendCsvField(out, std::string(info.abbreviation) + " y");
    }
    return out + "\r\n";
}

// The rows of tracing n whose positions still count.
bool ListTracing(const std::string& dataDir, int n, page::PictureLookup& pictures,
                 std::string& out) {
    std::vector<CountingPositions> counting;
    const bool read = CountingPositionsOf(dataDir, n, counting);
    const std::string pictureDir = PictureFolder(dataDir);
    std::set<std::string> listed;
    for (const CountingPositions& line : counting) {
        const model::FilmPositions& p = line.film;
        if (listed.count(line.code) != 0 || page::FilmOfPositions(pictures, pictureDir, p).empty())
            continue;
        listed.insert(line.code);
        AppendCsvField(out, line.code);
        out += "," + std::to_string(n) + ",";
        AppendCsvField(out, p.picture);
        out += "," + std::to_string(p.width) + "," + std::to_string(p.height) + "," +
               model::TurnText(p.turn);
        for (int i = 1; i <= 19; ++i)
            out += "," + FormatFixed(p.at[i].x, 2) + "," + FormatFixed(p.at[i].y, 2);
        out += "\r\n";
    }
    return read;
}

}  // namespace

const CommandRules kPositionsRules{
    .command = "positions",
    .synopsis = "cephtool positions --data DIR [--tracing N]\n",
    .details =
        "  lists, as CSV, where the landmarks of the stored tracings (all nine, or\n"
        "  tracing N) lie on the films they were traced on, in pixels of the film as\n"
        "  it was shown (x right, y down from its top-left corner): the film's file\n"
        "  (relative to the picture folder when it lies there), its size, how it was\n"
        "  turned, then x and y of each landmark; only positions taken with the\n"
        "  tracing as it is stored now, on a film that is still there at that size\n",
    .options = kOptions,
};

int RunPositions(int argc, char** argv) {
    CommandLine o;
    if (auto status = ReadCommandLine(kPositionsRules, argc, argv, o, std::cout, std::cerr))
        return *status;
    const std::string dataDir = base::WithTrailingSeparator(o.Text("--data"));
    std::error_code ec;
    if (!std::filesystem::is_directory(base::ToPath(dataDir), ec)) {
        std::cerr << "cephtool: " << o.Text("--data") << ": no such folder\n";
        return 1;
    }
    // Pictures are decoded as the window decodes them, which needs Qt's image readers.
    const platform::OffscreenQt qt;
    platform::PageFiles pictures;
    std::string out = Header();
    bool allRead = true;
    const int first = o.Has("--tracing") ? o.Number("--tracing") : 1;
    const int last = o.Has("--tracing") ? first : 9;
    for (int n = first; n <= last; ++n)
        allRead &= ListTracing(dataDir, n, pictures, out);
    std::cout << out;
    return allRead ? 0 : 1;
}

}  // namespace ceph::tools
