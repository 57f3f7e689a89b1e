#include "store/practice_analyses.h"

#include <algorithm>
#include <string_view>

#include "base/safe_file.h"
#include "base/text_codec.h"

namespace ceph::store {

namespace {

// A table people write by hand is a few kilobytes; anything near this is not one.
constexpr std::uint64_t kMaxTableBytes = 1 << 20;

// A file saved as UTF-8 with one text pasted in from a Big5 program is no longer UTF-8,
// so it is read as Big5 as a whole and its UTF-8 texts come out garbled: the first line
// that is not UTF-8 when another has UTF-8 beyond ASCII (or the file its byte-order
// mark), else 0. A Big5 file, or a UTF-16 one, is not mixed.
int LineMixingUtf8(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return 0;
    bool utf8 = bytes.starts_with("\xEF\xBB\xBF");
    int number = 0, first = 0;
    for (std::size_t start = 0; start <= bytes.size(); ++number) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        const std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        if (std::all_of(line.begin(), line.end(), [](char c) { return (c & 0x80) == 0; })) continue;
        if (base::IsValidUtf8(line))
            utf8 = true;
        else if (first == 0)
            first = number + 1;
    }
    return utf8 ? first : 0;
}

}  // namespace

LoadedAnalyses LoadAnalyses(const std::string& dataDir) {
    LoadedAnalyses loaded{model::BuiltInAnalyses(), {}};
    const std::string path = dataDir + kPracticeAnalysesFile;
    std::string bytes;
    if (std::error_code ec = base::ReadRegularFile(path, bytes, kMaxTableBytes)) {
        if (ec != std::errc::no_such_file_or_directory)
            loaded.problem = "無法讀取分析表 " + path + "：" + base::ErrorText(ec);
        return loaded;
    }
    // Written on the practice's machines: UTF-8 or, from older Windows tools, Big5.
    auto table = model::ReadAnalysisTable(base::DecodeHostText(bytes), true, loaded.analyses);
    if (!table) {
        const std::string fault =
            "第 " + std::to_string(table.why().line) + " 行：" + table.why().reason;
        // What reading it as Big5 then finds is mostly a garbled text: the cause comes first.
        if (const int mixed = LineMixingUtf8(bytes))
            loaded.problem = "分析表 " + path + " 第 " + std::to_string(mixed) +
                             " 行不是 UTF-8，其他行卻是，整個檔案因此當作 Big5 讀取，以 UTF-8 "
                             "寫的字都讀錯了；請把第 " +
                             std::to_string(mixed) +
                             " 行的字以 UTF-8 重新打過再存檔（當作 Big5 讀時" + fault +
                             "）。只提供內建的分析。";
        else
            loaded.problem = "分析表 " + path + " " + fault + "。只提供內建的分析。";
        return loaded;
    }
    for (model::NamedAnalysis& a : *table) {
        // A built-in analysis the table added norms to takes its place.
        if (a.practice) {
            loaded.analyses.push_back(std::move(a));
            continue;
        }
        for (model::NamedAnalysis& own : loaded.analyses)
            if (own.name == a.name) own = std::move(a);
    }
    return loaded;
}

}  // namespace ceph::store
