#include "base/filesys.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace ceph::base {

fs::path ToPath(std::string_view utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string FromPath(const fs::path& path) {
    std::u8string s = path.u8string();
    return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

bool EndsWithSeparator(std::string_view path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

std::string WithTrailingSeparator(std::string path) {
    if (!EndsWithSeparator(path)) path += kSeparator;
    return path;
}

std::string WithoutTrailingSeparator(std::string path) {
    if (path.size() > 1 && EndsWithSeparator(path) && path[path.size() - 2] != ':') path.pop_back();
    return path;
}

std::string HostPath(std::string_view windowsPath) {
#ifdef _WIN32
    return std::string(windowsPath);
#else
    std::string out;
    std::string_view rest = windowsPath;
    if (rest.size() >= 2 && rest[1] == ':' &&
        ((rest[0] >= 'a' && rest[0] <= 'z') || (rest[0] >= 'A' && rest[0] <= 'Z'))) {
        out = "/";
        out += static_cast<char>(rest[0] | 0x20);
        rest.remove_prefix(2);
        // "D:pics" names a folder on drive D; keep it below the drive's folder.
        if (!rest.empty() && rest[0] != '\\' && rest[0] != '/') out += '/';
    }
    for (char c : rest)
        out += c == '\\' ? '/' : c;
    return out;
#endif
}

bool FileExists(std::string_view path) {
    if (path.empty()) return false;
    std::error_code ec;
    fs::path p = ToPath(path);
    if (!fs::is_regular_file(p, ec)) return false;
    [[maybe_unused]] auto size = fs::file_size(p, ec);
    return !ec;
}

bool ReadWholeFile(std::string_view path, std::string& bytes) {
    std::ifstream in(ToPath(path), std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c | 0x20) : c;
}

bool MatchOne(std::string_view name, std::string_view pattern) {
    // Iterative wildcard match with one backtracking point for the last "*".
    std::size_t n = 0, p = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
            if (pattern[p] == '?') {
                // "?" stands for one whole character, also a multi-byte one.
                std::size_t len = 1;
                while (n + len < name.size() &&
                       (static_cast<unsigned char>(name[n + len]) & 0xC0) == 0x80)
                    ++len;
                n += len;
            } else {
                ++n;
            }
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

}  // namespace

bool MatchesPattern(std::string_view name, std::string_view patterns) {
    while (true) {
        std::size_t semi = patterns.find(';');
        std::string_view one = patterns.substr(0, semi);
        if (!one.empty() && MatchOne(name, one)) return true;
        if (semi == std::string_view::npos) return false;
        patterns.remove_prefix(semi + 1);
    }
}

std::vector<std::string> ListFiles(std::string_view folder, std::string_view patterns) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(ToPath(folder), ec);
    if (ec) return names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        std::string name = FromPath(it->path().filename());
        if (MatchesPattern(name, patterns)) names.push_back(std::move(name));
    }
    auto lowered = [](const std::string& s) {
        std::string l = s;
        for (char& c : l)
            c = Lower(c);
        return l;
    };
    std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        return std::pair(lowered(a), a) < std::pair(lowered(b), b);
    });
    return names;
}

}  // namespace ceph::base
