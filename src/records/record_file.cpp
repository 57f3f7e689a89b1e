#include "records/record_file.h"

#include <algorithm>
#include <cstring>

#include "base/filesys.h"
#include "ui/convert.h"

namespace ceph::records {

namespace {}  // namespace

std::string RecordFilePath(std::string_view dataDir, int n) {
    return std::string(dataDir) + "ceph-" + std::to_string(n);
}

std::string_view FirstField(std::string_view line) {
    return TrimBlanks(line.substr(0, line.find(',')));
}

bool LineBelongsTo(std::string_view line, std::string_view code) {
    code = TrimBlanks(code);
    return !code.empty() && FirstField(line) == code;
}

RecordReader::RecordReader(std::ifstream file) {
    if (!file.is_open()) return;
    // Small files (most record files hold a few patients, many none) get a buffer of
    // their own size instead of a whole block.
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    if (size >= 0) block_ = std::min(kBlock, static_cast<std::size_t>(size) + 1);
    owned_ = std::make_unique<std::ifstream>(std::move(file));
    in_ = owned_.get();
}

RecordReader::RecordReader(std::istream& in) : in_(&in) {}

void RecordReader::Take(std::string_view& line, std::size_t length, std::size_t ending) {
    line = std::string_view(buffer_.get() + begin_, length);
    lineStart_ = base_ + begin_;
    rawLength_ = length + ending;
    begin_ += rawLength_;
}

bool RecordReader::Next(std::string_view& line) {
    while (true) {
        const char* start = buffer_.get() + begin_;
        const std::size_t avail = end_ - begin_;
        const auto* lf =
            static_cast<const char*>(avail ? std::memchr(start, '\n', avail) : nullptr);
        const std::size_t before = lf ? static_cast<std::size_t>(lf - start) : avail;
        const auto* cr =
            static_cast<const char*>(before ? std::memchr(start, '\r', before) : nullptr);
        if (cr) {
            const std::size_t length = static_cast<std::size_t>(cr - start);
            // A CR as the last byte read may be the first half of a CR LF.
            if (length + 1 < avail)
                return Take(line, length, start[length + 1] == '\n' ? 2 : 1), true;
            if (eof_) return Take(line, length, 1), true;
        } else if (lf) {
            return Take(line, before, 1), true;
        } else if (eof_) {
            if (avail == 0) return false;
            return Take(line, avail, 0), true;
        }
        Refill();
    }
}

void RecordReader::Refill() {
    if (!in_) {
        eof_ = true;
        return;
    }
    // Keep the unfinished line and read behind it at least as much again, so that a
    // very long line is moved a few times in all, not once per block.
    const std::size_t keep = end_ - begin_;
    const std::size_t want = std::max(block_, keep);
    if (capacity_ < keep + want) {
        // Fresh memory, not zeroed: every byte used is read from the file first.
        const std::size_t grown = std::max(keep + want, 2 * capacity_);
        std::unique_ptr<char[]> bigger(new char[grown]);
        if (keep > 0) std::memcpy(bigger.get(), buffer_.get() + begin_, keep);
        buffer_ = std::move(bigger);
        capacity_ = grown;
    } else if (keep > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, keep);
    }
    base_ += begin_;
    begin_ = 0;
    end_ = keep;
    in_->read(buffer_.get() + end_, static_cast<std::streamsize>(want));
    const std::streamsize got = in_->gcount();
    end_ += static_cast<std::size_t>(got);
    if (got < static_cast<std::streamsize>(want)) {
        eof_ = true;
        failed_ = in_->bad();
    }
}

RecordReader OpenRecordFile(std::string_view path) {
    if (!base::FileExists(path)) {
        std::ofstream create(base::ToPath(path), std::ios::binary | std::ios::app);
    }
    return RecordReader(std::ifstream(base::ToPath(path), std::ios::binary));
}

}  // namespace ceph::records
