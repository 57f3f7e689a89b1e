#include "store/settings.h"

#include "base/safe_file.h"
#include "base/text_codec.h"
#include "model/numbers.h"

namespace ceph::store {

namespace {

// Settings files hold a few lines; a huge file in their place is not read into memory.
constexpr std::uint64_t kMaxSettingsBytes = 1 << 20;

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x | 0x20);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y | 0x20);
        if (x != y) return false;
    }
    return true;
}

// Keeps the first `maxChars` characters, never cutting a character in two.
std::string Truncate(std::string_view s, std::size_t maxChars) {
    std::size_t i = 0, chars = 0;
    while (i < s.size() && chars < maxChars) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
            ++i;
        ++chars;
    }
    return std::string(s.substr(0, i));
}

}  // namespace

std::string IniValueFromText(std::string_view bytes, std::string_view section, std::string_view key,
                             std::string_view defaultValue, std::size_t maxChars) {
    std::string text = base::DecodeHostText(bytes);
    std::string_view rest = text;
    bool inSection = false;
    while (!rest.empty()) {
        std::size_t end = rest.find_first_of("\r\n");
        std::string_view line = TrimBlanks(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            std::size_t close = line.find(']');
            inSection = close != std::string_view::npos &&
                        SameNoCase(TrimBlanks(line.substr(1, close - 1)), section);
            continue;
        }
        if (!inSection) continue;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || !SameNoCase(TrimBlanks(line.substr(0, eq)), key))
            continue;
        std::string_view value = TrimBlanks(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return Truncate(value, maxChars);
    }
    return Truncate(defaultValue, maxChars);
}

std::string ReadIniValue(std::string_view path, std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::size_t maxChars,
                         std::error_code* why) {
    std::string bytes;
    if (std::error_code ec = base::ReadRegularFile(path, bytes, kMaxSettingsBytes)) {
        if (why && ec != std::errc::no_such_file_or_directory) *why = ec;
        return Truncate(defaultValue, maxChars);
    }
    return IniValueFromText(bytes, section, key, defaultValue, maxChars);
}

}  // namespace ceph::store
