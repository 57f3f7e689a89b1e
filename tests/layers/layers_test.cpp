// The program reads in one direction, floor by floor as the build lists them: the
// ground (the domain model, the store of records and the host's files, the uncertainty),
// the pictures, the pages, the window model, the presenters, the behaviour (one folder
// per subsystem), the wiring (the event table and main), the platform (Qt and the
// companion's commands). The build itself refuses an include that points up; this test
// also fails, naming file and line, on two folders that include each other, on folders
// that reach each other round a loop, on cephtool reaching the window model, and on a
// source file too long to read as one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
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

// Folders that reach each other round a loop of any length cannot be understood, built
// or tested one at a time: the first loop found is named, folder by folder.
std::vector<std::string> FindLoop(const std::map<std::string, std::set<std::string>>& graph) {
    std::map<std::string, int> state;  // 1 on the current path, 2 done
    std::vector<std::string> path, loop;
    std::function<bool(const std::string&)> visit = [&](const std::string& folder) {
        state[folder] = 1;
        path.push_back(folder);
        const auto next = graph.find(folder);
        if (next != graph.end()) {
            for (const std::string& to : next->second) {
                if (state[to] == 1) {
                    loop.assign(std::find(path.begin(), path.end(), to), path.end());
                    loop.push_back(to);
                    return true;
                }
                if (state[to] == 0 && visit(to)) return true;
            }
        }
        path.pop_back();
        state[folder] = 2;
        return false;
    };
    for (const auto& [folder, to] : graph)
        if (state[folder] == 0 && visit(folder)) return loop;
    return {};
}

TEST(Layers, NoFoldersIncludeEachOtherRoundALoop) {
    std::map<std::string, std::set<std::string>> graph;
    for (const Include& i : ReadIncludes())
        if (!Allowed(i)) graph[i.from].insert(i.to);
    const std::vector<std::string> loop = FindLoop(graph);
    std::string shown;
    for (const std::string& folder : loop)
        shown += (shown.empty() ? "" : " -> ") + folder;
    EXPECT_TRUE(loop.empty()) << "folders include each other: " << shown;

    // The search itself: a loop of three is found, a diamond is none.
    EXPECT_EQ(FindLoop({{"a", {"b"}}, {"b", {"c"}}, {"c", {"a"}}}).size(), 4u);
    EXPECT_TRUE(FindLoop({{"a", {"b", "c"}}, {"b", {"d"}}, {"c", {"d"}}}).empty());
}

// The files a source reaches through its includes, each with the file that included it,
// so that a fault can name the whole chain: the headers, and beside each the source of
// the same name that the program links with it.
std::map<std::string, std::string> ReachedFiles(const std::string& file) {
    const fs::path src = CEPH_SOURCE_DIR;
    const std::regex include(R"re(^\s*#\s*include\s*"([a-z_]+/[^"]+)")re");
    std::map<std::string, std::string> reached;
    std::vector<std::string> open{file};
    const auto reach = [&](const std::string& to, const std::string& from) {
        if (reached.count(to) || to == file || !fs::exists(src / to)) return;
        reached[to] = from;
        open.push_back(to);
    };
    while (!open.empty()) {
        const std::string from = open.back();
        open.pop_back();
        if (from.ends_with(".h")) reach(from.substr(0, from.size() - 2) + ".cpp", from);
        std::ifstream in(src / from);
        for (std::string text; std::getline(in, text);) {
            std::smatch m;
            if (std::regex_search(text, m, include)) reach(m[1], from);
        }
    }
    return reached;
}

// Folders whose floor would let them include more than they may (CEPH_FOLDER_REACH:
// "folder:other,other|..."): the pictures know files, results and the domain, nothing
// of the uncertainty.
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

// cephtool works from the model and the store, and draws its pages below the window: a
// window model, a presenter or a handler behind a command, even several includes down,
// would bring back data travelling through captions. Its files reach the ground, the
// pictures, the pages and the platform's output only; the window's platform files reach
// the window model, so they are caught by what they include.
TEST(Layers, CephtoolReachesNoWindowModel) {
    const int window = kFolders.at("ui");
    int checked = 0;
    for (const fs::directory_entry& e :
         fs::directory_iterator(fs::path(CEPH_SOURCE_DIR) / "tools")) {
        const std::string name = e.path().filename().string();
        const auto reached = ReachedFiles("tools/" + name);
        ++checked;
        for (const auto& [file, from] : reached) {
            const std::string folder = file.substr(0, file.find('/'));
            if (folder == "tools" || folder == "platform" || kFolders.at(folder) < window) continue;
            std::string chain = file;
            for (auto at = reached.find(file); at != reached.end(); at = reached.find(at->second))
                chain += " <- " + at->second;
            ADD_FAILURE() << "cephtool reaches the window's floors: " << chain;
            break;
        }
    }
    EXPECT_GT(checked, 10) << "the sources of cephtool were not found";
}

// A function a reader can hold in mind at once: from its signature to its closing brace
// at most 60 lines. Functions are found as this code base writes them (clang-format):
// a definition starts at the line's first column and ends at the first closing brace
// there.
int LongestFunctionLines(const std::vector<std::string>& lines, std::size_t& where) {
    static const std::regex notAFunction(
        R"re(^(namespace|struct|class|enum|union|#|//|\}|template|using|extern|static_assert))re");
    int longest = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l.empty() || std::isspace(static_cast<unsigned char>(l[0])) ||
            l.find('(') == std::string::npos || std::regex_search(l, notAFunction) ||
            l.back() == ';')
            continue;
        std::size_t open = i;
        while (open < lines.size() && !lines[open].ends_with("{") && !lines[open].ends_with(";"))
            ++open;
        if (open == lines.size() || !lines[open].ends_with("{")) continue;
        std::size_t close = open + 1;
        while (close < lines.size() && !lines[close].starts_with("}"))
            ++close;
        if (static_cast<int>(close - i + 1) > longest) {
            longest = static_cast<int>(close - i + 1);
            where = i + 1;
        }
        i = close;
    }
    return longest;
}

TEST(Layers, NoFunctionIsLongerThan60Lines) {
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(CEPH_SOURCE_DIR)) {
        const std::string ext = e.path().extension().string();
        if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
        std::ifstream in(e.path());
        std::vector<std::string> lines;
        for (std::string text; std::getline(in, text);)
            lines.push_back(text);
        std::size_t where = 0;
        EXPECT_LE(LongestFunctionLines(lines, where), 60)
            << e.path().lexically_relative(CEPH_SOURCE_DIR).generic_string() << ":" << where;
    }
}

TEST(Layers, FunctionLengthsAreCountedFromSignatureToBrace) {
    std::size_t where = 0;
    EXPECT_EQ(LongestFunctionLines({"namespace a {", "int F(int x,", "      int y) {",
                                    "    return x;", "}", "struct S {", "};"},
                                   where),
              4);
    EXPECT_EQ(where, 2u);
    EXPECT_EQ(LongestFunctionLines({"int F(int x);", "// g(x) {", "}"}, where), 0);
}

}  // namespace
