// A practice's analysis table: any bytes give analyses whose every row can be computed
// (landmarks and earlier rows within reach) or a refusal that names a line of the text.
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "model/analyses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ceph::model;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto table = ReadAnalysisTable(text, true, BuiltInAnalyses());
    if (!table) {
        const long lines = 1 + std::count(text.begin(), text.end(), '\n');
        FUZZ_CHECK(table.why().line >= 1 && table.why().line <= lines);
        FUZZ_CHECK(!table.why().reason.empty());
        return 0;
    }
    PointTable X{}, Y{};
    for (int k = 1; k <= 19; ++k)
        X[k] = static_cast<float>(10 * (k % 7)), Y[k] = static_cast<float>(10 * (k % 5));
    for (const NamedAnalysis& a : *table) {
        const AnalysisResult r = Evaluate(a, X, Y, {"", "M", "20Y 0M"});
        FUZZ_CHECK(r.rows.size() == a.rows.size());
        for (const ResultRow& row : r.rows)
            if (row.norm) FUZZ_CHECK(row.norm->sd > 0);
    }
    return 0;
}
