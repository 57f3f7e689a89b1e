#include "analysis/practice_analyses.h"

#include "base/safe_file.h"
#include "base/text_codec.h"

namespace ceph::analysis {

namespace {

// A table people write by hand is a few kilobytes; anything near this is not one.
constexpr std::uint64_t kMaxTableBytes = 1 << 20;

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
        loaded.problem = "分析表 " + path + " 第 " + std::to_string(table.why().line) + " 行：" +
                         table.why().reason + "。只提供內建的分析。";
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

}  // namespace ceph::analysis
