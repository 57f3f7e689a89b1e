#pragma once
// Writing the files a practice keeps without ever leaving one torn or missing, and the
// lock that lets two workstations share one data folder. Together with filesys.h this
// is the only place that talks to the operating system about files.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace ceph::base {

// A regular file opened for reading, parts of which an AtomicFile can take over as
// they are. Anything that is not a regular file (a folder, a device, a pipe that would
// block) is refused.
class SourceFile {
  public:
    SourceFile() = default;
    ~SourceFile();
    SourceFile(SourceFile&& other) noexcept;
    SourceFile& operator=(SourceFile&& other) noexcept;
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    std::error_code Open(std::string_view path);
    void Close();
    bool IsOpen() const { return handle_ != -1; }
    // The size when it was opened.
    std::uint64_t Size() const { return size_; }
    // Reads up to `length` bytes at `offset`; `got` 0 means the end of the file.
    std::error_code ReadAt(std::uint64_t offset, char* into, std::size_t length,
                           std::size_t& got) const;

  private:
    friend class AtomicFile;
    std::intptr_t handle_ = -1;
    std::uint64_t size_ = 0;
};

class FileLock;

// A file written the safe way: the bytes go to a new scratch file beside the target,
// under a name no other program uses; Commit flushes it to disk, gives it the old
// file's permissions and renames it over the target in one step. A crash or power cut
// at any moment leaves either the old file or the new one. A failure leaves the old
// file as it was, and an uncommitted scratch file is removed when the object goes.
// A target that is a symbolic link is written through it: the scratch file and the
// rename are beside the file the link leads to, and the link stays. A target the
// user may not write, or a link to nothing, is refused before anything is written.
class AtomicFile {
  public:
    explicit AtomicFile(std::string_view target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Appends bytes; false once anything has failed (the first error is kept).
    bool Write(std::string_view bytes);
    // Appends `length` bytes of `source` from `offset`, letting the system copy them
    // where it can (unchanged parts of a large file never pass through the program).
    bool CopyFrom(const SourceFile& source, std::uint64_t offset, std::uint64_t length);
    // Makes the new content the target's. False, with Error() set, when it could not.
    // With a `guard`, the rename happens only while that lock is still in place, so that
    // a save never undoes one made by a program the lost lock did not keep out.
    bool Commit(const FileLock* guard = nullptr);
    // Makes the new content a new file at the target's name, only where no file has that
    // name: false with Error() std::errc::file_exists when one has, and nothing changed.
    bool CommitNew();
    // Why the last step failed; empty while all went well.
    std::error_code Error() const { return error_; }
    const std::string& Target() const { return target_; }

  private:
    bool Finish(const FileLock* guard, bool replacing);
    bool FlushBuffer();
    void Fail(std::error_code ec);
    void Discard();

    std::string target_;
    std::string final_;  // the file replaced: the target, or where its links lead
    std::string scratch_;
    std::string buffer_;
    std::uint64_t written_ = 0;  // bytes handed to the system so far
    std::intptr_t handle_ = -1;
    std::error_code error_;
    bool committed_ = false;
};

// The whole content in one go, through AtomicFile.
std::error_code WriteFileAtomically(std::string_view target, std::string_view bytes);

// The whole content of a regular file. Anything else (a folder, a pipe, a device) is
// refused without blocking, and so is a file larger than `maxBytes`
// (std::errc::value_too_large): the settings and hand-off files are a few lines, and a
// huge one in their place is a mistake, not something to read into memory.
std::error_code ReadRegularFile(std::string_view path, std::string& bytes,
                                std::uint64_t maxBytes = UINT64_MAX);

// Creates an empty file where there is none. Never truncates, and never blocks on a
// pipe put in its place.
std::error_code CreateEmptyFile(std::string_view path);

// Opening something that is not a regular file where one is expected: "not a regular
// file" ("這不是一般檔案" in ErrorText).
std::error_code NotRegularFile();

// "No such file or directory" says neither which: `path` is a missing file when the
// folder that would hold it is there, else a missing folder. Both compare equal to
// std::errc::no_such_file_or_directory, so callers that take a missing file as empty
// still do; ErrorText names the one that is missing. Every file operation here
// reports a missing name this way.
std::error_code MissingAt(std::string_view path);
std::error_code MissingFile();
std::error_code MissingFolder();

// A symbolic link whose target is not there. Writing through it would create a file
// wherever it points, outside the data folder perhaps, so it is refused.
std::error_code DanglingLink();

// The lock file was deleted or replaced while this program held a lock in it: the
// lock no longer keeps other programs out, so a replacement it guards is refused.
std::error_code LockLost();

// What was to be replaced is no longer what the work started from: another program or
// workstation changed it meanwhile, so writing would silently undo that change.
std::error_code ChangedMeanwhile();

// An exclusive lock on one slot of a lock file. Every program working in the same data
// folder takes the same slot before it reads, rewrites and replaces the file the slot
// stands for; record locks are honoured by network file systems, so this also holds
// between workstations. The lock is released when the object goes (or the program ends).
class FileLock {
  public:
    FileLock() = default;
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Tries for up to `wait` to take slot `slot` (0 and up) of the lock file at `path`,
    // creating the file when it is missing. std::errc::timed_out when another program
    // kept the slot all that time. A lock taken in a file that meanwhile lost its name
    // (deleted or replaced by another) excludes nobody, so it is taken again in the
    // file now at that name.
    std::error_code Acquire(std::string_view path, int slot, std::chrono::milliseconds wait);
    bool Held() const { return handle_ != -1; }
    void Release();
    // LockLost() when the lock file was deleted or replaced since the lock was taken
    // (or nothing is held): the slot then keeps nobody out, and another program may be
    // rewriting the same file at this moment.
    std::error_code StillInPlace() const;

  private:
    std::intptr_t handle_ = -1;
    int slot_ = 0;
    std::string path_;
};

// A file error in words for the clinician (Traditional Chinese): a full disk, a folder
// without write permission, a name taken by a folder, a lock held elsewhere …
std::string ErrorText(std::error_code ec);

}  // namespace ceph::base
