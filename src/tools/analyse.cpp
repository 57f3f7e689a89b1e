#include "tools/analyse.h"

#include <istream>
#include <ostream>

#include "analysis/compute.h"
#include "records/record_file.h"
#include "records/record_line.h"

namespace ceph::tools {

std::string AnalyseRecordLine(std::string_view line, bool male) {
    const records::RecordFields r = records::ParseRecordFields(line);
    analysis::PointTable X{}, Y{};
    for (int i = 1; i <= 19; ++i)
        X[i] = r.x[i], Y[i] = r.y[i];
    const analysis::AnalysisValues values = analysis::ComputeValues(X, Y);
    const analysis::AnalysisTexts texts =
        analysis::ToTexts(values, analysis::NormGroup(male ? "M" : "", r.age));
    std::string csv(records::FirstField(line));
    for (const std::string& v : texts.values)
        (csv += ',') += v;
    for (const char* n : texts.norms)
        (csv += ',') += n;
    return csv;
}

int AnalyseStream(std::istream& in, std::ostream& out, std::ostream& err, bool male) {
    int skipped = 0;
    long number = 0;
    std::string buffer;
    // The same line ends as the program's own reading of record files.
    records::RecordReader reader(in);
    std::string_view line;
    while (reader.Next(line)) {
        ++number;
        if (line.find(',') == std::string::npos) {
            err << "line " << number << ": not a record line, skipped\n";
            ++skipped;
            continue;
        }
        buffer += AnalyseRecordLine(line, male);
        buffer += '\n';
        if (buffer.size() > (1 << 16)) {
            out << buffer;
            buffer.clear();
        }
    }
    out << buffer;
    return skipped;
}

}  // namespace ceph::tools
