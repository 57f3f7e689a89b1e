#include "records/record_file.h"

#include <algorithm>
#include <cstring>

#include "app/filesys.h"

namespace ceph::records {

namespace {

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}
}  // namespace

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

RecordReader::RecordReader(std::ifstream file) : file_(std::move(file)) {
    // Small files (most record files hold a few patients, many none) get a buffer of
    // their own size instead of a whole block.
    if (!file_.is_open()) return;
    file_.seekg(0, std::ios::end);
    const std::streamoff size = file_.tellg();
    file_.seekg(0, std::ios::beg);
    if (size >= 0) block_ = std::min(kBlock, static_cast<std::size_t>(size) + 1);
}

bool RecordReader::Next(std::string_view& line) {
    while (true) {
        const char* start = buffer_.get() + begin_;
        const void* nl = end_ > begin_ ? std::memchr(start, '\n', end_ - begin_) : nullptr;
        if (nl || eof_) {
            if (!nl && begin_ == end_) return false;
            const std::size_t len =
                nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - start) : end_ - begin_;
            line = std::string_view(start, len);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            lineStart_ = base_ + begin_;
            rawLength_ = nl ? len + 1 : len;
            begin_ += rawLength_;
            return true;
        }
        // Keep the unfinished line and read the next block behind it.
        std::size_t keep = end_ - begin_;
        if (capacity_ < keep + block_) {
            // Fresh memory, not zeroed: every byte used is read from the file first.
            const std::size_t grown = std::max(keep + block_, 2 * capacity_);
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
        if (!file_.is_open()) {
            eof_ = true;
            continue;
        }
        file_.read(buffer_.get() + end_, static_cast<std::streamsize>(block_));
        std::streamsize got = file_.gcount();
        end_ += static_cast<std::size_t>(got);
        if (got < static_cast<std::streamsize>(block_)) {
            eof_ = true;
            failed_ = file_.bad();
        }
    }
}

RecordReader OpenRecordFile(std::string_view path) {
    if (!app::FileExists(path)) {
        std::ofstream create(app::ToPath(path), std::ios::binary | std::ios::app);
    }
    return RecordReader(std::ifstream(app::ToPath(path), std::ios::binary));
}

}  // namespace ceph::records
