// Record files as they come from disk: the line reader, reading in blocks of any size,
// and the field parser over any bytes. The lines handed out, with their ends, must cover the input
// exactly, and a line said to hold finite coordinates must hold only finite ones.
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/fuzz_check.h"
#include "records/record_file.h"
#include "records/record_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte is the read size, so that line ends fall on read boundaries.
    const std::size_t block = data[0] % 64 + 1;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::istringstream in(bytes);
    ceph::records::RecordReader reader(in, block);
    std::string_view line;
    std::uint64_t covered = 0;
    while (reader.Next(line)) {
        FUZZ_CHECK(reader.LineStart() == covered);
        FUZZ_CHECK(reader.RawLength() >= line.size() && reader.RawLength() <= line.size() + 2);
        FUZZ_CHECK(bytes.compare(reader.LineStart(), line.size(), line) == 0);
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos);
        covered += reader.RawLength();

        const ceph::records::RecordFields fields = ceph::records::ParseRecordFields(line);
        if (fields.finite) {
            for (int i = 1; i <= 19; ++i)
                FUZZ_CHECK(std::isfinite(fields.x[i]) && std::isfinite(fields.y[i]));
        }
        ceph::records::FigureBoxTexts(fields.rest);
        ceph::records::LineBelongsTo(line, "00101");
    }
    FUZZ_CHECK(covered == bytes.size());
    FUZZ_CHECK(!reader.Failed());
    return 0;
}
