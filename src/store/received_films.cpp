#include "store/received_films.h"

#include <filesystem>
#include <functional>
#include <optional>

#include "base/filesys.h"
#include "base/patient_files.h"
#include "base/safe_file.h"

namespace ceph::store {

std::string ReceivedFilmName(std::string_view code, int n) {
    std::string name(code);
    name += 'r';
    name += static_cast<char>('0' + n / 10 % 10);
    name += static_cast<char>('0' + n % 10);
    return name + ".dcm";
}

namespace {

// Places `bytes` under the first free name of `name(n)`, n from 1 to kMostReceivedFilms;
// why not, or nothing when every name was taken.
std::optional<base::Result<std::string>> PlaceUnderFreeName(
    const std::function<std::string(int)>& name, std::string_view bytes) {
    for (int n = 1; n <= kMostReceivedFilms; ++n) {
        const std::string path = name(n);
        // Names already taken are passed by; one taken meanwhile by another film
        // arriving at the same moment is found when this one is placed.
        if (base::PathExists(path)) continue;
        base::AtomicFile file(path);
        file.Write(bytes);
        if (file.CommitNew()) return base::Result<std::string>(path);
        // A link to nothing holds its name too.
        if (file.Error() != std::errc::file_exists && file.Error() != base::DanglingLink())
            return base::Result<std::string>(base::Fail(path, file.Error()));
    }
    return std::nullopt;
}

}  // namespace

base::Result<std::string> FileReceivedFilm(const std::string& pictureDir, std::string_view code,
                                           std::string_view bytes) {
    if (const auto named = base::CheckCodeName(code); !named)
        return base::Fail(pictureDir, {}, "「" + base::Printable(code) + "」" + named.why().detail);
    auto placed =
        PlaceUnderFreeName([&](int n) { return pictureDir + ReceivedFilmName(code, n); }, bytes);
    if (placed) return std::move(*placed);
    return base::Fail(pictureDir, {},
                      "病歷號碼「" + base::Printable(code) + "」已有 " +
                          std::to_string(kMostReceivedFilms) + " 張收到的影像，沒有名稱可用");
}

std::string IncomingFolder(const std::string& pictureDir) {
    const std::filesystem::path picture = base::ToPath(base::WithoutTrailingSeparator(pictureDir));
    // In the system's own separators, however the settings wrote the picture folder.
    std::filesystem::path incoming = picture.parent_path() / "incoming";
    return base::WithTrailingSeparator(base::FromPath(incoming.make_preferred()));
}

base::Result<std::string> FileIncomingFilm(const std::string& pictureDir, std::string_view stamp,
                                           std::string_view bytes) {
    const std::string folder = IncomingFolder(pictureDir);
    std::error_code ec;
    std::filesystem::create_directories(base::ToPath(folder), ec);
    if (ec) return base::Fail(folder, ec);
    auto placed = PlaceUnderFreeName(
        [&](int n) {
            std::string name = folder + std::string(stamp) + "-";
            name += static_cast<char>('0' + n / 10 % 10);
            name += static_cast<char>('0' + n % 10);
            return name + ".dcm";
        },
        bytes);
    if (placed) return std::move(*placed);
    return base::Fail(folder, {}, "同一時刻收到的影像太多，沒有名稱可用");
}

}  // namespace ceph::store
