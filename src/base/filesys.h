#pragma once
// The one place that knows about the host's file system: paths kept as text, the
// folder separator, drive-letter paths on hosts without drives, file tests and the
// file-name patterns of the picture lists. A path is the system's own bytes on POSIX
// systems (a folder named in Big5 stays Big5, whatever the locale) and UTF-8 on
// Windows, whose file names are UTF-16.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ceph::base {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::filesystem::path ToPath(std::string_view text);
std::string FromPath(const std::filesystem::path& path);

// The current folder, byte for byte as the system names it; empty when it cannot be
// told (it was removed, say).
std::string CurrentFolder();

bool EndsWithSeparator(std::string_view path);
// Appends the platform separator unless the text already ends with "\" or "/".
std::string WithTrailingSeparator(std::string path);
// The folder without its final separator (a bare root stays as it is).
std::string WithoutTrailingSeparator(std::string path);

// A Windows drive path as this host names it: unchanged on Windows; elsewhere the
// drive becomes a root folder named by its lower-case letter ("d:\a\b" is "/d/a/b").
std::string HostPath(std::string_view windowsPath);

// True when the length of the file can be read: it exists, is accessible and is not
// a folder. Never reports an error.
bool FileExists(std::string_view path);
// True when anything is at the path: a file, a folder, a device or a pipe. Never reports
// an error, never opens what it finds.
bool PathExists(std::string_view path);

// File-name matching: "*" any run of characters, "?" exactly one, letters compared
// without regard to case. `patterns` may hold several patterns separated by ";". A
// backslash makes the next character literal ("\*" is a star in the name).
bool MatchesPattern(std::string_view name, std::string_view patterns);

// `text` as a pattern that matches exactly itself: a patient code put into a pattern
// must never act as a wildcard ("*" would list every patient's pictures).
std::string LiteralPattern(std::string_view text);

// Names (without folder) of the regular files in `folder` that match `patterns`,
// sorted by name. An unreadable or missing folder lists nothing.
std::vector<std::string> ListFiles(std::string_view folder, std::string_view patterns);

}  // namespace ceph::base
