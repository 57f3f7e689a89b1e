#include "tools/stored_tracing.h"

#include <charconv>
#include <fstream>
#include <ostream>

#include "analysis/rows.h"
#include "app/handoff.h"
#include "base/filesys.h"
#include "digitising/landmarks.h"
#include "records/record_file.h"
#include "records/record_line.h"

namespace ceph::tools {

namespace {

// The patient's line of a record file, looked up without creating the file as the
// program itself would.
bool HasStoredTracing(const std::string& path, const std::string& code) {
    records::RecordReader file{std::ifstream(base::ToPath(path), std::ios::binary)};
    std::string_view line;
    while (file.IsOpen() && file.Next(line))
        if (records::LineBelongsTo(line, code)) return true;
    return false;
}

}  // namespace

bool LoadStoredTracing(ui::MainWindow& w, const TracingSource& source, std::ostream& err) {
    analysis::LayOutResultGrid(w);
    w.state.DataDir = base::WithTrailingSeparator(source.data);
    digitising::InitLandmarkTables(w.state);
    const auto lines = app::ReadHandoff(source.handoff);
    if (!lines) {
        err << "cephtool: cannot read the hand-off file " << source.handoff << "\n";
        return false;
    }
    for (ui::Label* l : {&w.Label0, &w.Label1, &w.Label3, &w.Label13, &w.Label15})
        l->caption.clear();
    ui::Label* header[4] = {&w.Label1, &w.Label0, &w.Label3, &w.Label15};
    for (std::size_t i = 0; i < lines->size(); ++i)
        header[i]->caption = (*lines)[i];

    const std::string record = records::RecordFilePath(w.state.DataDir, source.tracing);
    if (!HasStoredTracing(record, w.Label0.caption)) {
        err << "cephtool: tracing " << source.tracing << " of patient \"" << w.Label0.caption
            << "\" is not stored in " << record << "\n";
        return false;
    }
    w.state.ShownTracing = static_cast<std::int16_t>(source.tracing - 1);
    records::LoadTracing(w, source.tracing - 1);
    return true;
}

bool ParseInt(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end && !text.empty();
}

bool EndsWithNoCase(const std::string& name, const std::string& suffix) {
    if (name.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const char c = name[name.size() - suffix.size() + i];
        if ((c >= 'A' && c <= 'Z' ? c | 0x20 : c) != suffix[i]) return false;
    }
    return true;
}

}  // namespace ceph::tools
