#include "store/film_positions.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "base/checksum.h"
#include "base/filesys.h"
#include "model/numbers.h"
#include "store/record_file.h"
#include "store/record_line.h"

namespace ceph::store {

namespace {

constexpr int kLandmarks = 19;
// code, picture, width, height, turn, digest, then the coordinates.
constexpr std::size_t kHeadFields = 6;
constexpr std::size_t kFields = kHeadFields + 2 * kLandmarks;

std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '%':
                out += "%25";
                break;
            case ',':
                out += "%2C";
                break;
            case '\r':
                out += "%0D";
                break;
            case '\n':
                out += "%0A";
                break;
            default:
                out += c;
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::string> Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int hi = HexDigit(text[i + 1]), lo = HexDigit(text[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos) return fields;
        start = comma + 1;
    }
}

bool ReadWhole(std::string_view text, int& value) {
    if (!IsDecimalNumber(text)) return false;
    const double v = TextToNumber(text);
    if (v < 1 || v > 1e6 || v != static_cast<int>(v)) return false;
    value = static_cast<int>(v);
    return true;
}

bool ReadCoordinate(std::string_view text, double& value) {
    if (!IsDecimalNumber(text)) return false;
    value = TextToNumber(text);
    return value > -1e7 && value < 1e7;
}

}  // namespace

std::string FilmPositionsName(int n) {
    return "film-" + std::to_string(n) + ".txt";
}

std::string FilmPositionsPath(std::string_view dataDir, int n) {
    return std::string(dataDir) + FilmPositionsName(n);
}

std::string CoordinatesDigest(const model::PointTable& X, const model::PointTable& Y) {
    std::string text;
    for (int i = 1; i <= kLandmarks; ++i)
        text += Format1(X[i]) + "," + Format1(Y[i]) + ",";
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(base::Fnv1a64(text)));
    return hex;
}

std::string FilmPositionsLine(std::string_view code, const model::FilmPositions& film) {
    std::string line = Escaped(code) + "," + Escaped(film.picture) + "," +
                       std::to_string(film.width) + "," + std::to_string(film.height) + "," +
                       model::TurnText(film.turn) + "," + film.digest;
    for (int i = 1; i <= kLandmarks; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        line += "," + FormatFixed(film.at[slot].x, 2) + "," + FormatFixed(film.at[slot].y, 2);
    }
    return line;
}

std::optional<PositionsLine> ReadFilmPositionsLine(std::string_view line) {
    const std::vector<std::string_view> f = SplitFields(line);
    if (f.size() != kFields) return std::nullopt;
    PositionsLine out;
    // The code as a line's owner is found: without blanks around it, escaped or not.
    auto code = Unescaped(TrimBlanks(f[0]));
    if (code) code = std::string(TrimBlanks(*code));
    const auto picture = Unescaped(f[1]);
    const auto turn = model::ReadTurn(TrimBlanks(f[4]));
    model::FilmPositions& film = out.film;
    if (!code || code->empty() || !picture || picture->empty() || !turn ||
        !ReadWhole(f[2], film.width) || !ReadWhole(f[3], film.height))
        return std::nullopt;
    out.code = *code;
    film.picture = *picture;
    film.turn = *turn;
    film.digest = std::string(TrimBlanks(f[5]));
    // As CoordinatesDigest writes it; anything else could never match a line.
    if (film.digest.size() != 16 ||
        film.digest.find_first_not_of("0123456789abcdef") != std::string::npos)
        return std::nullopt;
    for (int i = 1; i <= kLandmarks; ++i) {
        model::FilmPoint& p = film.at[static_cast<std::size_t>(i)];
        const std::size_t k = kHeadFields + 2 * static_cast<std::size_t>(i - 1);
        if (!ReadCoordinate(f[k], p.x) || !ReadCoordinate(f[k + 1], p.y)) return std::nullopt;
    }
    return out;
}

std::vector<PositionsLine> ReadFilmPositionsFile(std::string_view dataDir, int n) {
    std::vector<PositionsLine> lines;
    base::Result<RecordReader> file = OpenRecordFile(FilmPositionsPath(dataDir, n));
    if (!file) return lines;
    std::string_view line;
    while (file->Next(line))
        if (auto read = ReadFilmPositionsLine(line)) lines.push_back(std::move(*read));
    return lines;
}

std::optional<model::FilmPositions> PositionsOfTracing(std::string_view dataDir, int n,
                                                       std::string_view code,
                                                       const model::PointTable& X,
                                                       const model::PointTable& Y) {
    const std::string digest = CoordinatesDigest(X, Y);
    for (PositionsLine& line : ReadFilmPositionsFile(dataDir, n))
        if (line.code == TrimBlanks(code) && line.film.digest == digest)
            return std::move(line.film);
    return std::nullopt;
}

std::string FilmFile(const std::string& pictureDir, const model::FilmPositions& film) {
    const std::filesystem::path name = base::ToPath(film.picture);
    if (name.is_absolute()) return film.picture;
    return pictureDir + film.picture;
}

std::string FilmName(const std::string& pictureDir, const std::string& file) {
    if (pictureDir.empty()) return file;
    // The settings may name the folder relative to where the program runs while the
    // picture dialog gives whole paths: both are compared as whole paths.
    std::error_code ec;
    const std::filesystem::path dir =
        std::filesystem::absolute(base::ToPath(pictureDir), ec).lexically_normal();
    const std::filesystem::path path =
        std::filesystem::absolute(base::ToPath(file), ec).lexically_normal();
    if (ec) return file;
    const std::filesystem::path inside = path.lexically_relative(dir);
    if (inside.empty() || inside.begin()->string() == ".." || inside == ".") return file;
    return base::FromPath(inside);
}

FollowingFile StoreFilmPositions(int n, const std::string& code,
                                 const std::optional<model::FilmPositions>& film) {
    FollowingFile following;
    following.name = FilmPositionsName(n);
    following.rewrite = [code](std::string_view line, std::string&) {
        // Dropped: the patient's old positions, in whatever state.
        const auto owner = Unescaped(FirstField(line));
        return owner && !owner->empty() && *owner == TrimBlanks(code);
    };
    if (film) following.tail = FilmPositionsLine(code, *film) + "\r\n";
    return following;
}

}  // namespace ceph::store
