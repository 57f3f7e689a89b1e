#pragma once
// Record files "ceph-1" … "ceph-9" in the data folder: one comma-separated line per
// patient, the patient's code in the first field.

#include <cstdint>
#include <cstdlib>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "base/result.h"
#include "base/safe_file.h"

namespace ceph::store {

// "ceph-" followed by the tracing number n (1..9), in the data folder.
std::string RecordFileName(int n);
std::string RecordFilePath(std::string_view dataDir, int n);

// The first field of a record line (text before the first comma, or the whole line),
// without surrounding blanks.
std::string_view FirstField(std::string_view line);

// A line belongs to the patient whose code equals its first field, both taken without
// surrounding blanks. An empty code owns no line: a patient without a code has no
// tracings, and a blank line in a record file belongs to nobody.
bool LineBelongsTo(std::string_view line, std::string_view code);

// A record line holds 44 short fields. A line longer than this is no record line, and
// is never held whole: a file holding one is read in bounded memory.
inline constexpr std::size_t kMaxRecordLine = std::size_t{1} << 20;

// Reads a record file line by line in large blocks. A line ends at CR LF, at a lone CR
// (line input of text files has always ended a line there) or at a lone LF (files
// edited on Linux); the line end is never part of the line. A line of any length is
// read in time linear in its length. A UTF-8 byte-order mark at the start of the file
// (a Windows editor's) is not part of the first line.
class RecordReader {
  public:
    // Reads a regular file it owns (a closed one reads as empty), or a stream it does
    // not.
    explicit RecordReader(base::SourceFile file);
    // `block` is how much is read at a time (tests read in tiny blocks to put line ends
    // on every boundary), `maxLine` the longest line handed out with its bytes.
    explicit RecordReader(std::istream& in, std::size_t block = kBlock,
                          std::size_t maxLine = kMaxRecordLine);
    bool IsOpen() const { return in_ != nullptr || file_.IsOpen(); }
    // The file read (closed when reading a stream), for copying parts of it as they are.
    const base::SourceFile& File() const { return file_; }
    // Lets go of the file before it is replaced: Windows refuses to rename over a file
    // that is still open, even by the program doing the renaming.
    void Close() { file_.Close(); }
    // The next line, valid until the following call; false at the end of the file. A
    // line longer than the longest record line comes out empty, with Overlong() set.
    bool Next(std::string_view& line);
    bool Overlong() const { return overlong_; }
    // True when reading stopped at an error rather than at the end of the file.
    bool Failed() const { return static_cast<bool>(error_); }
    std::error_code Error() const { return error_; }
    // Where the last line starts in the file, its length, and its length with its line
    // end (an overlong line's too, to copy it by its place in the file).
    std::uint64_t LineStart() const { return lineStart_; }
    std::uint64_t LineLength() const { return lineLength_; }
    std::uint64_t RawLength() const { return rawLength_; }
    // Where the next line starts: the end of the file once Next gave false.
    std::uint64_t Offset() const { return base_ + begin_; }

    static constexpr std::size_t kBlock = 1 << 18;

  private:
    // Hands out the line of `length` bytes at begin_ followed by `ending` bytes.
    void Take(std::string_view& line, std::size_t length, std::size_t ending);
    // Reads more behind the unfinished line; at the end of the input sets eof_.
    void Refill();
    // Passes over a byte-order mark at the start of the input.
    void SkipByteOrderMark();

    base::SourceFile file_;
    std::istream* in_ = nullptr;
    std::size_t block_ = kBlock;
    std::size_t maxLine_ = kMaxRecordLine;
    struct Free {
        void operator()(char* p) const { std::free(p); }
    };
    std::unique_ptr<char, Free> buffer_;
    std::size_t capacity_ = 0;
    std::size_t clean_ = 0;  // bytes after begin_ known to hold no line end
    std::size_t begin_ = 0, end_ = 0;
    std::uint64_t base_ = 0;     // file offset of the buffer's first byte
    std::uint64_t skipped_ = 0;  // bytes of an overlong line already let go
    std::uint64_t lineStart_ = 0, lineLength_ = 0, rawLength_ = 0;
    bool overlong_ = false;
    bool started_ = false;
    bool eof_ = false;
    std::error_code error_;
};

// Opens a record file for reading, creating it empty first when there is none, as
// looking for a tracing always has. A missing one that cannot be created reads as
// empty (nothing is stored there); one that is there but cannot be read (a folder, a
// pipe, no permission) gives the system's reason, naming the file.
base::Result<RecordReader> OpenRecordFile(std::string_view path);

// "無法讀取 PATH：reason", for a record file (or any file) that could not be read.
std::string CannotReadText(std::string_view path, std::error_code error);

}  // namespace ceph::store
