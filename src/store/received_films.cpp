#include "store/received_films.h"

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

base::Result<std::string> FileReceivedFilm(const std::string& pictureDir, std::string_view code,
                                           std::string_view bytes) {
    if (const auto named = base::CheckCodeName(code); !named)
        return base::Fail(pictureDir, {}, "「" + base::Printable(code) + "」" + named.why().detail);
    for (int n = 1; n <= kMostReceivedFilms; ++n) {
        const std::string path = pictureDir + ReceivedFilmName(code, n);
        // Names already taken are passed by; one taken meanwhile by another film
        // arriving at the same moment is found when this one is placed.
        if (base::PathExists(path)) continue;
        base::AtomicFile file(path);
        file.Write(bytes);
        if (file.CommitNew()) return path;
        // A link to nothing holds its name too.
        if (file.Error() != std::errc::file_exists && file.Error() != base::DanglingLink())
            return base::Fail(path, file.Error());
    }
    return base::Fail(pictureDir, {},
                      "病歷號碼「" + base::Printable(code) + "」已有 " +
                          std::to_string(kMostReceivedFilms) + " 張收到的影像，沒有名稱可用");
}

}  // namespace ceph::store
