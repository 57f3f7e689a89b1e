#include "base/safe_file.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <random>

#include "base/filesys.h"
#include "base/os_files.h"

namespace ceph::base {

using namespace os;

namespace {

// Large enough that a record file goes out in a few system calls, small enough to be
// nothing beside the pictures the program holds.
constexpr std::size_t kBufferSize = 256 * 1024;
// Longest file name (one path component) the common file systems accept, in bytes of
// UTF-8 on Linux and in UTF-16 units on Windows; bytes are never fewer than units.
constexpr std::size_t kMaxNameLength = 255;

// 64 bits that differ between programs and between calls. The process id in the
// scratch name already separates programs on one machine; this separates machines
// sharing the folder and calls within one program.
std::uint64_t UniqueBits() {
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t bits =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    try {
        std::random_device rd;
        bits ^= (static_cast<std::uint64_t>(rd()) << 32) ^ rd();
    } catch (...) {
        // No entropy source: the clock and the counter still make a fresh name, and
        // the exclusive create catches whatever collision remains.
    }
    return bits + 0x9E3779B97F4A7C15ull * ++counter;
}

std::string Hex(std::uint64_t v) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, v >>= 4)
        out[static_cast<std::size_t>(i)] = kDigits[v & 0xF];
    return out;
}

// The target's name with a suffix of its own, shortened (at a whole UTF-8 character)
// where the suffix would push the name past what the file system accepts.
std::string ScratchName(const std::string& target) {
    const std::string suffix =
        ".tmp-" + std::to_string(CurrentProcessId()) + "-" + Hex(UniqueBits());
    const std::size_t nameStart = target.find_last_of(
#ifdef _WIN32
        "\\/"
#else
        "/"
#endif
    );
    const std::size_t begin = nameStart == std::string::npos ? 0 : nameStart + 1;
    std::size_t end = target.size();
    if (end - begin + suffix.size() > kMaxNameLength) {
        end = begin + (kMaxNameLength - suffix.size());
        while (end > begin && (static_cast<unsigned char>(target[end]) & 0xC0) == 0x80)
            --end;
    }
    return target.substr(0, end) + suffix;
}

}  // namespace

AtomicFile::AtomicFile(std::string_view target) : target_(target) {
    if (target_.empty() || EndsWithSeparator(target_)) {
        error_ = Errc(std::errc::invalid_argument);
        return;
    }
    // Through a link to the file it leads to, which must be the user's to change: the
    // rename would otherwise put a new file of ours in place of a link or of a file its
    // owner keeps read-only.
    std::error_code ec = FinalTarget(target_, final_);
    if (!ec) ec = MayReplace(final_);
    if (ec) {
        error_ = ec;
        return;
    }
    // A name taken by another program's scratch file (or a crashed one's) means only
    // that we draw again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        scratch_ = ScratchName(final_);
        ec = CreateExclusive(scratch_, handle_);
        if (!ec) break;
        scratch_.clear();
        if (ec != std::errc::file_exists || attempt == 99) {
            error_ = MissingTold(ec, final_);
            return;
        }
    }
    buffer_.reserve(kBufferSize);
}

AtomicFile::~AtomicFile() {
    if (!committed_) Discard();
}

bool AtomicFile::Write(std::string_view bytes) {
    if (error_) return false;
    if (committed_) {
        Fail(Errc(std::errc::bad_file_descriptor));
        return false;
    }
    if (buffer_.size() + bytes.size() <= kBufferSize) {
        buffer_.append(bytes);
        return true;
    }
    if (!FlushBuffer()) return false;
    if (bytes.size() < kBufferSize) {
        buffer_.append(bytes);
        return true;
    }
    if (std::error_code ec = WriteAll(handle_, bytes)) {
        Fail(ec);
        return false;
    }
    StartWriteback(handle_, written_, bytes.size());
    written_ += bytes.size();
    return true;
}

bool AtomicFile::Commit(const FileLock* guard) {
    return Finish(guard, true);
}

bool AtomicFile::CommitNew() {
    return Finish(nullptr, false);
}

bool AtomicFile::Finish(const FileLock* guard, bool replacing) {
    if (committed_) return true;
    if (error_ || !FlushBuffer()) return false;
    std::error_code ec = SyncData(handle_);
    if (!ec && replacing) ec = KeepOwnerAndMode(handle_, final_);
    if (!ec) {
        ec = CloseChecked(handle_);
        handle_ = kNoHandle;
    }
    if (!ec && guard) ec = guard->StillInPlace();
    if (!ec)
        ec = MissingTold(replacing ? Replace(scratch_, final_) : PlaceNew(scratch_, target_),
                         final_);
    if (ec) {
        Fail(ec);
        return false;
    }
    scratch_.clear();
    committed_ = true;
    SyncFolderOf(final_);
    return true;
}

bool AtomicFile::FlushBuffer() {
    if (error_) return false;
    const std::error_code ec = WriteAll(handle_, buffer_);
    if (!ec) {
        StartWriteback(handle_, written_, buffer_.size());
        written_ += buffer_.size();
    }
    buffer_.clear();
    if (ec) Fail(ec);
    return !ec;
}

void AtomicFile::Fail(std::error_code ec) {
    if (!error_) error_ = ec;
    Discard();
}

void AtomicFile::Discard() {
    if (handle_ != kNoHandle) CloseQuietly(handle_);
    handle_ = kNoHandle;
    if (!scratch_.empty()) RemoveQuietly(scratch_);
    scratch_.clear();
    std::string().swap(buffer_);
}

std::error_code WriteFileAtomically(std::string_view target, std::string_view bytes) {
    AtomicFile file(target);
    file.Write(bytes);
    file.Commit();
    return file.Error();
}

// Copying parts of a file

namespace {
constexpr std::size_t kCopyBlock = std::size_t{1} << 20;
}  // namespace

SourceFile::~SourceFile() {
    Close();
}

SourceFile::SourceFile(SourceFile&& other) noexcept : handle_(other.handle_), size_(other.size_) {
    other.handle_ = kNoHandle;
}

SourceFile& SourceFile::operator=(SourceFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        size_ = other.size_;
        other.handle_ = kNoHandle;
    }
    return *this;
}

std::error_code SourceFile::Open(std::string_view path) {
    Close();
    if (path.empty()) return Errc(std::errc::invalid_argument);
    return MissingTold(OpenForReading(path, handle_, size_), path);
}

std::error_code SourceFile::ReadAt(std::uint64_t offset, char* into, std::size_t length,
                                   std::size_t& got) const {
    got = 0;
    if (handle_ == kNoHandle) return Errc(std::errc::bad_file_descriptor);
    return os::ReadAt(handle_, offset, into, std::min(length, kMaxWriteChunk), got);
}

std::error_code ReadRegularFile(std::string_view path, std::string& bytes, std::uint64_t maxBytes) {
    bytes.clear();
    SourceFile file;
    if (std::error_code ec = file.Open(path)) return ec;
    if (file.Size() > maxBytes) return Errc(std::errc::value_too_large);
    // The size is where reading starts from; a file still growing is read to its end.
    // One byte more than allowed is room enough to tell that a file is too large.
    const std::uint64_t room = maxBytes == UINT64_MAX ? maxBytes : maxBytes + 1;
    std::size_t at = 0;
    bytes.resize(static_cast<std::size_t>(file.Size()) + 1);
    for (;;) {
        if (at == bytes.size()) {
            if (at > maxBytes) {
                bytes.clear();
                return Errc(std::errc::value_too_large);
            }
            bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(2 * at, room)));
        }
        std::size_t got = 0;
        if (std::error_code ec = file.ReadAt(at, bytes.data() + at, bytes.size() - at, got)) {
            bytes.clear();
            return ec;
        }
        if (got == 0) break;
        at += got;
    }
    bytes.resize(at);
    return {};
}

std::error_code CreateEmptyFile(std::string_view path) {
    if (path.empty()) return Errc(std::errc::invalid_argument);
    return MissingTold(CreateIfMissing(path), path);
}

void SourceFile::Close() {
    if (handle_ == kNoHandle) return;
    CloseQuietly(handle_);
    handle_ = kNoHandle;
}

bool AtomicFile::CopyFrom(const SourceFile& source, std::uint64_t offset, std::uint64_t length) {
    if (length == 0) return !error_;
    if (!source.IsOpen()) {
        Fail(Errc(std::errc::bad_file_descriptor));
        return false;
    }
    if (!FlushBuffer()) return false;
    std::uint64_t at = offset, remaining = length;
    std::error_code ec;
    if (!CopyInSystem(source.handle_, at, handle_, remaining, ec) && !ec) {
        std::string block(static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kCopyBlock)),
                          '\0');
        while (remaining > 0 && !ec) {
            std::size_t got = 0;
            ec = ReadAt(source.handle_, at, block.data(),
                        static_cast<std::size_t>(std::min<std::uint64_t>(remaining, block.size())),
                        got);
            if (!ec && got == 0) ec = Errc(std::errc::io_error);
            if (!ec) ec = WriteAll(handle_, std::string_view(block.data(), got));
            at += got;
            remaining -= got;
        }
    }
    if (ec) {
        Fail(ec);
        return false;
    }
    StartWriteback(handle_, written_, static_cast<std::size_t>(length));
    written_ += length;
    return true;
}

}  // namespace ceph::base
