#include "store/handoff.h"

#include "base/safe_file.h"
#include "base/text_codec.h"

namespace ceph::store {

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

base::Result<std::vector<std::string>> ReadHandoff(std::string_view path) {
    std::string bytes;
    if (std::error_code ec = base::ReadRegularFile(path, bytes, kMaxHandoffBytes))
        return base::Fail(std::string(path), ec);
    std::vector<std::string> lines = SplitLines(base::DecodeHostText(bytes));
    if (lines.size() > 4) lines.resize(4);
    return lines;
}

std::string HandoffPathFromArguments(const std::vector<std::string>& arguments) {
    std::string path;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) path += ' ';
        path += arguments[i];
    }
    return path;
}

void FillPatient(model::Patient& patient, const std::vector<std::string>& lines) {
    std::string* fields[4] = {&patient.name, &patient.code, &patient.birthDate, &patient.sex};
    for (std::size_t i = 0; i < lines.size() && i < 4; ++i)
        *fields[i] = lines[i];
}

}  // namespace ceph::store
