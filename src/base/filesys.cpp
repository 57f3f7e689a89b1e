#include "base/filesys.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace ceph::base {

// POSIX file names are bytes: they pass unchanged, never through a conversion that
// could refuse or replace what is not valid UTF-8. Windows names are UTF-16, converted
// from and to UTF-8.
fs::path ToPath(std::string_view text) {
#ifdef _WIN32
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
#else
    return fs::path(std::string(text));
#endif
}

std::string FromPath(const fs::path& path) {
#ifdef _WIN32
    std::u8string s = path.u8string();
    return std::string(reinterpret_cast<const char*>(s.data()), s.size());
#else
    return path.native();
#endif
}

std::string CurrentFolder() {
    std::error_code ec;
    fs::path here = fs::current_path(ec);
    return ec ? std::string() : FromPath(here);
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

bool PathExists(std::string_view path) {
    if (path.empty()) return false;
    try {
        std::error_code ec;
        return fs::exists(ToPath(path), ec);
    } catch (...) {
        return false;  // a name Windows cannot convert names nothing
    }
}

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c | 0x20) : c;
}

bool MatchOne(std::string_view name, std::string_view pattern) {
    // Iterative wildcard match with one backtracking point for the last "*".
    std::size_t n = 0, p = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        const bool escaped = p + 1 < pattern.size() && pattern[p] == '\\';
        const char c = p < pattern.size() ? pattern[escaped ? p + 1 : p] : '\0';
        if (p < pattern.size() && !escaped && c == '?') {
            // "?" stands for one whole character, also a multi-byte one.
            ++n;
            while (n < name.size() && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80)
                ++n;
            ++p;
        } else if (p < pattern.size() && !escaped && c == '*') {
            star = p++;
            mark = n;
        } else if (p < pattern.size() && Lower(c) == Lower(name[n])) {
            ++n;
            p += escaped ? 2 : 1;
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
    std::size_t start = 0;
    for (std::size_t i = 0; i <= patterns.size(); ++i) {
        if (i < patterns.size() && patterns[i] == '\\') {
            ++i;  // an escaped character, ";" included, belongs to the pattern
            continue;
        }
        if (i < patterns.size() && patterns[i] != ';') continue;
        const std::string_view one = patterns.substr(start, i - start);
        if (!one.empty() && MatchOne(name, one)) return true;
        start = i + 1;
    }
    return false;
}

std::string LiteralPattern(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '*' || c == '?' || c == ';' || c == '\\') out += '\\';
        out += c;
    }
    return out;
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
