#pragma once
// Reading the host suite's settings file, an INI file in the data folder.

#include <string>
#include <string_view>
#include <system_error>

namespace ceph::store {

// The value of `key` in `[section]` of the INI file at `path`, as the private-profile
// reader of the original platform returns it: section and key names compared without
// regard to case, blanks around the value and one pair of enclosing quotes removed,
// the first occurrence winning, and at most `maxChars` characters kept. The default
// is returned for a missing file, section or key, and for a file that is there but
// cannot be read, whose reason goes to *why when given.
std::string ReadIniValue(std::string_view path, std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::size_t maxChars = 99,
                         std::error_code* why = nullptr);

// `maxChars` for the whole value, however long: the settings file itself is limited in
// size, and a picture folder cut short would be another folder.
inline constexpr std::size_t kWholeValue = static_cast<std::size_t>(-1);

// The same lookup in the bytes of an INI file already read.
std::string IniValueFromText(std::string_view bytes, std::string_view section, std::string_view key,
                             std::string_view defaultValue, std::size_t maxChars = 99);

}  // namespace ceph::store
