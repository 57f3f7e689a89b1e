// Record files as they come from disk: the line reader, reading in blocks of any size,
// and the field parser over any bytes. The lines handed out, with their ends, must cover the input
// exactly (after a byte-order mark), a line too long to be a record line must come out
// without its bytes, and a line said to be a tracing must hold only finite landmarks
// within reach of S.
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/fuzz_check.h"
#include "store/record_file.h"
#include "store/record_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte is the read size, so that line ends fall on read boundaries, and
    // the longest line kept (short ones to reach overlong lines in small inputs).
    const std::size_t block = data[0] % 64 + 1;
    constexpr std::size_t kLongest[4] = {ceph::store::kMaxRecordLine, 7, 40, 300};
    const std::size_t longest = kLongest[data[0] >> 6];
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::istringstream in(bytes);
    ceph::store::RecordReader reader(in, block, longest);
    std::string_view line;
    std::uint64_t covered = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (reader.Next(line)) {
        FUZZ_CHECK(reader.LineStart() == covered);
        FUZZ_CHECK(reader.RawLength() >= reader.LineLength() &&
                   reader.RawLength() <= reader.LineLength() + 2);
        FUZZ_CHECK(reader.Overlong() == (reader.LineLength() > longest));
        const std::string_view raw(bytes.data() + reader.LineStart(), reader.LineLength());
        FUZZ_CHECK(raw.find_first_of("\r\n") == std::string_view::npos);
        if (reader.Overlong())
            FUZZ_CHECK(line.empty());
        else
            FUZZ_CHECK(line == raw);
        covered += reader.RawLength();

        const ceph::store::RecordFields fields = ceph::store::ParseRecordFields(line);
        if (fields.IsTracing()) {
            for (int i = 1; i <= 19; ++i) {
                FUZZ_CHECK(std::isfinite(fields.x[i]) && std::isfinite(fields.y[i]));
                FUZZ_CHECK(std::hypot(double{fields.x[i]} - fields.x[16],
                                      double{fields.y[i]} - fields.y[16]) <=
                           ceph::model::kMaxMillimetresFromS);
            }
        }
        if (fields.figure) {
            // The figure fields are written back as they were read.
            const std::string text = ceph::store::FigureFieldsText(*fields.figure);
            FUZZ_CHECK(ceph::store::ReadFigureFields(text) == fields.figure);
            FUZZ_CHECK(line.ends_with("," + text));
            ceph::model::ShownAlignment(fields.figure);
        }
        ceph::store::LineBelongsTo(line, "00101");
    }
    FUZZ_CHECK(covered == bytes.size());
    FUZZ_CHECK(reader.Offset() == bytes.size());
    FUZZ_CHECK(!reader.Failed());
    return 0;
}
