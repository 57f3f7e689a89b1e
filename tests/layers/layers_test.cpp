// The program reads in one direction, floor by floor as the build lists them: the
// ground (the domain model, files and codecs, the analysis), the window model, the
// behaviour (one folder per subsystem and the presenter), the wiring (the event table
// and main), the platform (Qt and the companion's commands). The build itself refuses
// an include that points up; this test also fails, naming file and line, on two folders
// that include each other, and on a source file too long to read as one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Folder -> floor, lowest 1, from the build's list: floors separated by '|', the
// folders of a floor by blanks.
std::map<std::string, int> ReadFloors() {
    std::map<std::string, int> floors;
    std::istringstream list(CEPH_FLOORS);
    int level = 0;
    for (std::string floor; std::getline(list, floor, '|');) {
        ++level;
        std::istringstream folders(floor);
        for (std::string folder; folders >> folder;)
            floors[folder] = level;
    }
    return floors;
}

const std::map<std::string, int> kFolders = ReadFloors();

struct Include {
    std::string file;  // relative to src/
    int line;
    std::string from, to;  // folders
};

std::vector<Include> ReadIncludes() {
    std::vector<Include> all;
    const fs::path src = CEPH_SOURCE_DIR;
    const std::regex include(R"re(^\s*#\s*include\s*"([a-z_]+)/[^"]+")re");
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(src)) {
        const std::string ext = e.path().extension().string();
        if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
        const std::string rel = fs::relative(e.path(), src).generic_string();
        const std::string from = rel.substr(0, rel.find('/'));
        std::ifstream in(e.path());
        std::string text;
        for (int n = 1; std::getline(in, text); ++n) {
            std::smatch m;
            if (std::regex_search(text, m, include) && m[1] != from)
                all.push_back({rel, n, from, m[1]});
        }
    }
    return all;
}

// The program's main starts the platform; nothing else below it may.
bool Allowed(const Include& i) {
    return i.file + ">" + i.to == CEPH_FLOOR_EXCEPTIONS;
}

TEST(Layers, EveryFolderHasALayer) {
    for (const fs::directory_entry& e : fs::directory_iterator(CEPH_SOURCE_DIR)) {
        if (!e.is_directory()) continue;
        EXPECT_TRUE(kFolders.count(e.path().filename().string()))
            << e.path().filename() << " is on no floor";
    }
}

// A file a reader can hold in mind at once.
TEST(Layers, NoSourceFileIsLongerThan400Lines) {
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(CEPH_SOURCE_DIR)) {
        const std::string ext = e.path().extension().string();
        if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
        std::ifstream in(e.path());
        int lines = 0;
        for (std::string text; std::getline(in, text);)
            ++lines;
        EXPECT_LE(lines, 400) << e.path().lexically_relative(CEPH_SOURCE_DIR).generic_string();
    }
}

TEST(Layers, IncludesPointDownOrAcrossOneWay) {
    const std::vector<Include> includes = ReadIncludes();
    ASSERT_GT(includes.size(), 50u) << "the sources were not found";
    std::set<std::pair<std::string, std::string>> edges;
    for (const Include& i : includes)
        if (!Allowed(i)) edges.insert({i.from, i.to});
    for (const Include& i : includes) {
        if (Allowed(i)) continue;
        const auto from = kFolders.find(i.from), to = kFolders.find(i.to);
        ASSERT_NE(to, kFolders.end()) << i.file << ":" << i.line << " includes from " << i.to;
        EXPECT_LE(to->second, from->second)
            << i.file << ":" << i.line << " reaches up from " << i.from << " to " << i.to;
        EXPECT_FALSE(edges.count({i.to, i.from})) << i.file << ":" << i.line << ": " << i.from
                                                  << " and " << i.to << " include each other";
    }
}

// Folders whose floor would let them include more than they may (CEPH_FOLDER_REACH:
// "folder:other,other|..."): the pictures know files, results and the domain, nothing
// of the analysis.
TEST(Layers, FoldersKeepToTheirReach) {
    std::map<std::string, std::set<std::string>> reach;
    std::istringstream list(CEPH_FOLDER_REACH);
    for (std::string entry; std::getline(list, entry, '|');) {
        const std::size_t colon = entry.find(':');
        std::istringstream folders(entry.substr(colon + 1));
        for (std::string folder; std::getline(folders, folder, ',');)
            reach[entry.substr(0, colon)].insert(folder);
    }
    ASSERT_TRUE(reach.count("pictures"));
    for (const Include& i : ReadIncludes()) {
        const auto allowed = reach.find(i.from);
        if (allowed == reach.end()) continue;
        EXPECT_TRUE(allowed->second.count(i.to))
            << i.file << ":" << i.line << ": " << i.from << " may not include " << i.to;
    }
}

// cephtool draws from the model: a window model behind a command would bring back
// data travelling through captions.
TEST(Layers, CephtoolHasNoWindow) {
    for (const fs::directory_entry& e :
         fs::directory_iterator(fs::path(CEPH_SOURCE_DIR) / "tools")) {
        std::ifstream in(e.path());
        std::string text;
        for (int n = 1; std::getline(in, text); ++n) {
            EXPECT_EQ(text.find("ui/main_window.h"), std::string::npos)
                << e.path().filename() << ":" << n;
            EXPECT_EQ(text.find("ui/app.h"), std::string::npos) << e.path().filename() << ":" << n;
        }
    }
}

}  // namespace
