#include "uncertainty/error_model.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "base/data_folder.h"
#include "base/safe_file.h"

namespace ceph::uncertainty {

namespace {

constexpr int kLandmarks = 19;
// Larger than any click error a clinician makes: a figure above it was not written in
// millimetres.
constexpr double kMaxSd = 20;
// A table is a few dozen lines; anything far larger is the wrong file.
constexpr std::uint64_t kMaxTableBytes = 64 * 1024;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// The next line of `text` from `at`, without its end (CR LF, LF or a lone CR).
std::string_view NextLine(std::string_view text, std::size_t& at) {
    const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
    const std::string_view line = text.substr(at, end - at);
    at = end;
    if (at < text.size()) {
        const bool cr = text[at++] == '\r';
        if (cr && at < text.size() && text[at] == '\n') ++at;
    }
    return line;
}

bool ReadNumber(std::string_view word, double& value) {
    const char* end = word.data() + word.size();
    const auto [p, ec] = std::from_chars(word.data(), end, value);
    return ec == std::errc() && p == end && std::isfinite(value);
}

class TableReader {
  public:
    bool Row(int lineNumber, std::string_view line) {
        line = line.substr(0, line.find('#'));
        const std::vector<std::string_view> w = Words(line);
        if (w.empty()) return true;
        line_ = lineNumber;
        if (w.size() < 6)
            return Fault("expected number, name, sx, sy, r and basis, found " +
                         std::to_string(w.size()) + " fields");
        int k = 0;
        const char* end = w[0].data() + w[0].size();
        const auto [p, ec] = std::from_chars(w[0].data(), end, k);
        if (ec != std::errc() || p != end || k < 1 || k > kLandmarks)
            return Fault("'" + std::string(w[0]) + "' is not a landmark number from 1 to 19");
        if (seenOn_[k] != 0)
            return Fault("landmark " + std::to_string(k) + " given again (first on line " +
                         std::to_string(seenOn_[k]) + ")");
        seenOn_[k] = lineNumber;
        const std::size_t n = w.size();
        LandmarkError& e = model_.landmark[k];
        return Sd("sx", w[n - 4], e.sx) && Sd("sy", w[n - 3], e.sy) && Correlation(w[n - 2], e.r);
    }

    base::Result<ErrorModel> Finish(int lastLine) {
        line_ = lastLine;
        for (int k = 1; k <= kLandmarks; ++k) {
            if (seenOn_[k] == 0) {
                Fault("the table ends without landmark " + std::to_string(k));
                return Failed();
            }
        }
        return model_;
    }

    // The fault a row or the end of the table found, naming its line.
    base::Failure<base::Problem> Failed() const { return base::Fail({}, {}, fault_); }

  private:
    bool Fault(const std::string& what) {
        fault_ = "line " + std::to_string(line_) + ": " + what;
        return false;
    }

    bool Sd(const char* name, std::string_view word, double& value) {
        if (!ReadNumber(word, value))
            return Fault(std::string(name) + " '" + std::string(word) + "' is not a number");
        if (value < 0 || value > kMaxSd)
            return Fault(std::string(name) + " " + std::string(word) +
                         " is not between 0 and 20 mm");
        return true;
    }

    bool Correlation(std::string_view word, double& value) {
        if (!ReadNumber(word, value)) return Fault("r '" + std::string(word) + "' is not a number");
        if (!(value > -1 && value < 1))
            return Fault("r " + std::string(word) + " is not between -1 and 1 (exclusive)");
        return true;
    }

    std::string fault_;
    ErrorModel model_;
    std::array<int, kLandmarks + 1> seenOn_{};
    int line_ = 0;
};

}  // namespace

base::Result<ErrorModel> ParseErrorModel(std::string_view text) {
    // A byte-order mark, as editors on Windows like to write.
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    TableReader reader;
    int number = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::string_view line = NextLine(text, at);
        if (!reader.Row(++number, line)) return reader.Failed();
    }
    return reader.Finish(number);
}

const ErrorModel& DefaultErrorModel() {
    static const ErrorModel model = [] {
        base::Result<ErrorModel> m = ParseErrorModel(DefaultErrorModelText());
        // The table is checked by the tests of every build; this cannot happen in one
        // that passed them.
        if (!m) throw std::logic_error("the built-in landmark error table, " + m.why().detail);
        return *m;
    }();
    return model;
}

base::Result<ErrorModel> LoadErrorModel(const std::string& path) {
    std::string bytes;
    if (std::error_code ec = base::ReadRegularFile(path, bytes, kMaxTableBytes))
        return base::Fail(path, ec, ec.message());
    base::Result<ErrorModel> parsed = ParseErrorModel(bytes);
    if (!parsed) return base::Fail(path, std::error_code(), parsed.why().detail);
    return parsed;
}

ErrorModel PracticeErrorModel(const std::string& dataDir, std::string* problem) {
    const std::string path = base::ErrorModelFile(dataDir);
    const base::Result<ErrorModel> own = LoadErrorModel(path);
    if (own) return *own;
    const std::error_code readError = own.why().error;
    std::string why = own.why().detail;
    // Only a table that is not there at all is the usual case; one that is there but
    // cannot be read (a folder, a pipe, no permission) or is faulty is named.
    if (readError == std::errc::no_such_file_or_directory) return DefaultErrorModel();
    if (readError) why = base::ErrorText(readError);
    if (problem) *problem = "無法使用點誤差表 " + path + "：" + why + "\n改用程式內建的表。";
    return DefaultErrorModel();
}

}  // namespace ceph::uncertainty
