#include "store/record_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/filesys.h"
#include "model/numbers.h"

namespace ceph::store {

std::string RecordFileName(int n) {
    return "ceph-" + std::to_string(n);
}

std::string RecordFilePath(std::string_view dataDir, int n) {
    return std::string(dataDir) + RecordFileName(n);
}

std::string_view FirstField(std::string_view line) {
    return TrimBlanks(line.substr(0, line.find(',')));
}

bool LineBelongsTo(std::string_view line, std::string_view code) {
    code = TrimBlanks(code);
    return !code.empty() && FirstField(line) == code;
}

RecordReader::RecordReader(base::SourceFile file) : file_(std::move(file)) {
    // Small files (most record files hold a few patients, many none) get a buffer of
    // their own size instead of a whole block.
    if (file_.IsOpen())
        block_ = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, file_.Size() + 1));
}

RecordReader::RecordReader(std::istream& in, std::size_t block, std::size_t maxLine)
    : in_(&in), block_(std::max<std::size_t>(block, 1)), maxLine_(maxLine) {}

void RecordReader::Take(std::string_view& line, std::size_t length, std::size_t ending) {
    // The bytes let go of an overlong line lie just before what the buffer still holds.
    lineStart_ = base_ + begin_ - skipped_;
    lineLength_ = skipped_ + length;
    rawLength_ = lineLength_ + ending;
    overlong_ = lineLength_ > maxLine_;
    line = overlong_ ? std::string_view() : std::string_view(buffer_.get() + begin_, length);
    begin_ += length + ending;
    skipped_ = 0;
    clean_ = 0;
}

void RecordReader::SkipByteOrderMark() {
    started_ = true;
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    while (end_ - begin_ < kMark.size() && !eof_)
        Refill();
    if (end_ - begin_ >= kMark.size() &&
        std::memcmp(buffer_.get() + begin_, kMark.data(), kMark.size()) == 0)
        begin_ += kMark.size();
}

bool RecordReader::Next(std::string_view& line) {
    if (!started_) SkipByteOrderMark();
    while (true) {
        // Bytes already searched (clean_) are not searched again after more is read:
        // a line of any length is scanned once.
        const char* start = buffer_.get() + begin_;
        const std::size_t avail = end_ - begin_;
        const char* from = start + clean_;
        const auto* lf = static_cast<const char*>(
            avail > clean_ ? std::memchr(from, '\n', avail - clean_) : nullptr);
        const std::size_t before = lf ? static_cast<std::size_t>(lf - start) : avail;
        const auto* cr = static_cast<const char*>(
            before > clean_ ? std::memchr(from, '\r', before - clean_) : nullptr);
        if (cr) {
            const std::size_t length = static_cast<std::size_t>(cr - start);
            // A CR as the last byte read may be the first half of a CR LF.
            if (length + 1 < avail)
                return Take(line, length, start[length + 1] == '\n' ? 2 : 1), true;
            if (eof_) return Take(line, length, 1), true;
            clean_ = length;
        } else if (lf) {
            return Take(line, before, 1), true;
        } else if (eof_) {
            if (avail == 0 && skipped_ == 0) return false;
            return Take(line, avail, 0), true;
        } else if (skipped_ > 0 || avail > maxLine_) {
            // No record line is this long: its bytes go as they are searched, only
            // its place and length are kept.
            skipped_ += avail;
            begin_ = end_;
            clean_ = 0;
        } else {
            clean_ = avail;
        }
        Refill();
    }
}

void RecordReader::Refill() {
    if (!in_ && !file_.IsOpen()) {
        eof_ = true;
        return;
    }
    // Read behind the unfinished line at least as much again as it holds, so that a
    // very long line takes a few reads in all, not one per block.
    const std::size_t keep = end_ - begin_;
    const std::size_t want = std::max(block_, keep);
    if (capacity_ - end_ < want && begin_ > 0) {
        // The lines already handed out make room: the unfinished one moves to the front.
        if (keep > 0) std::memmove(buffer_.get(), buffer_.get() + begin_, keep);
        base_ += begin_;
        begin_ = 0;
        end_ = keep;
    }
    if (capacity_ - end_ < want) {
        // Growing in place where the allocator can (large blocks are remapped, not
        // copied); never zeroed, as every byte used is read from the file first.
        const std::size_t grown = std::max(end_ + want, 2 * capacity_);
        void* bigger = std::realloc(buffer_.get(), grown);
        if (!bigger) throw std::bad_alloc();
        static_cast<void>(buffer_.release());
        buffer_.reset(static_cast<char*>(bigger));
        capacity_ = grown;
    }
    if (in_) {
        in_->read(buffer_.get() + end_, static_cast<std::streamsize>(want));
        const std::streamsize got = in_->gcount();
        end_ += static_cast<std::size_t>(got);
        if (got < static_cast<std::streamsize>(want)) {
            eof_ = true;
            if (in_->bad()) error_ = std::make_error_code(std::errc::io_error);
        }
        return;
    }
    // A short read is not yet the end: only a read of nothing is.
    std::size_t filled = 0;
    while (filled < want) {
        std::size_t got = 0;
        error_ = file_.ReadAt(base_ + end_, buffer_.get() + end_, want - filled, got);
        if (error_ || got == 0) {
            eof_ = true;
            return;
        }
        end_ += got;
        filled += got;
    }
}

base::Result<RecordReader> OpenRecordFile(std::string_view path) {
    base::SourceFile file;
    std::error_code ec = file.Open(path);
    if (ec == std::errc::no_such_file_or_directory) {
        base::CreateEmptyFile(path);
        ec = file.Open(path);
        if (ec == std::errc::no_such_file_or_directory) ec.clear();
    }
    if (ec) return base::Fail(std::string(path), ec);
    return RecordReader(std::move(file));
}

std::string CannotReadText(std::string_view path, std::error_code error) {
    return "無法讀取 " + std::string(path) + "：" + base::ErrorText(error);
}

}  // namespace ceph::store
