#include "store/record_store.h"

#include <filesystem>
#include <unordered_set>

#include "base/filesys.h"
#include "base/safe_file.h"
#include "store/record_file.h"

namespace ceph::store {

namespace {
constexpr std::uint64_t kRunToHandOver = std::uint64_t{1} << 20;
// A lock file deleted under every attempt is a fault of the folder, not bad luck.
constexpr int kAttempts = 5;

StoreResult RewriteOnce(std::string_view dataDir, int n, const LineRewrite& rewrite,
                        std::string_view tail, std::chrono::milliseconds wait,
                        const StoreCondition& condition, FollowingFile* following);
}  // namespace

std::string LockFilePath(std::string_view dataDir) {
    return std::string(dataDir) + "ceph.lock";
}

StoreResult RewriteRecordFile(std::string_view dataDir, int n, const LineRewrite& rewrite,
                              std::string_view tail, std::chrono::milliseconds wait,
                              const StoreCondition& condition, FollowingFile* following) {
    // Someone deleting the lock file while this save held it let other programs in,
    // whose lines the file read here may lack: start again from reading, under the lock
    // at the lock file's name now.
    StoreResult result;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        result = RewriteOnce(dataDir, n, rewrite, tail, wait, condition, following);
        if (result.ok() || result.why().error != base::LockLost()) break;
    }
    return result;
}

namespace {

// Takes the record file's lock. A lock held elsewhere is about the record file, a
// missing data folder about that folder; any other failure (a folder without write
// permission, say) is about the lock file itself.
StoreResult TakeLock(base::FileLock& lock, std::string_view dataDir, int n,
                     std::chrono::milliseconds wait) {
    const std::error_code ec = lock.Acquire(LockFilePath(dataDir), n, wait);
    if (!ec) return {};
    if (ec == std::errc::timed_out) return base::Fail(RecordFilePath(dataDir, n), ec);
    if (ec == base::MissingFolder()) return base::Fail(std::string(dataDir), ec);
    return base::Fail(LockFilePath(dataDir), ec);
}

// Only the holder of this lock writes scratch files of the files it guards, so any left
// now are from a program that died mid-write: nobody will finish them.
void RemoveStaleScratchFiles(std::string_view dataDir, const std::string& name) {
    for (const std::string& stale : base::ListFiles(std::string(dataDir), name + ".tmp-*")) {
        std::error_code ignored;
        std::filesystem::remove(base::ToPath(std::string(dataDir) + stale), ignored);
    }
}

// Copies the record file into `out` with the lines `rewrite` replaces replaced. Unchanged
// lines are taken over as runs of bytes, which the system copies without them passing
// through the program; a line end other than CR LF ends a run and is written as CR LF.
// A byte-order mark at the start stays there, in the first run. A line too long to be
// a record line belongs to nobody: it is kept, copied by its place in the file without
// ever being held whole. Gives whether a line was replaced and where the last run
// begins.
struct CopiedLines {
    bool replaced = false;
    std::uint64_t runStart = 0;
};
CopiedLines CopyRewritten(RecordReader& current, base::AtomicFile& out,
                          const LineRewrite& rewrite) {
    const base::SourceFile& file = current.File();
    CopiedLines copied;
    std::uint64_t& runStart = copied.runStart;
    std::string replacement;
    std::string_view line;
    while (current.IsOpen() && current.Next(line)) {
        const std::uint64_t start = current.LineStart();
        const std::uint64_t scanned = start + current.RawLength();
        replacement.clear();
        const bool replaced = !current.Overlong() && rewrite(line, replacement);
        if (!replaced && current.RawLength() == current.LineLength() + 2) {
            // Hand long runs over as they grow, so the disk writes them while the rest
            // of the file is still being read.
            if (scanned - runStart >= kRunToHandOver) {
                out.CopyFrom(file, runStart, scanned - runStart);
                runStart = scanned;
            }
            continue;
        }
        if (replaced) {
            out.CopyFrom(file, runStart, start - runStart);
            out.Write(replacement);
        } else {
            out.CopyFrom(file, runStart, start + current.LineLength() - runStart);
            out.Write("\r\n");
        }
        copied.replaced |= replaced;
        runStart = scanned;
    }
    return copied;
}

// Rewrites the data folder's file `name` while its lock is held.
StoreResult RewriteLocked(std::string_view dataDir, const std::string& name,
                          const base::FileLock& lock, const LineRewrite& rewrite,
                          std::string_view tail, const StoreCondition& condition) {
    RemoveStaleScratchFiles(dataDir, name);
    const std::string path = std::string(dataDir) + name;
    // Read under the lock: another workstation may have replaced the file just now. A
    // missing file reads as empty (the first tracing of that number); anything there
    // that cannot be read whole stops the save, since writing on without its lines
    // would lose other patients' tracings.
    base::SourceFile source;
    if (std::error_code ec = source.Open(path); ec && ec != std::errc::no_such_file_or_directory)
        return base::Fail(path, ec);
    RecordReader current{std::move(source)};
    const base::SourceFile& file = current.File();
    base::AtomicFile out(path);
    const CopiedLines copied = CopyRewritten(current, out, rewrite);
    if (current.Failed()) return base::Fail(path, current.Error());
    // Where reading stopped; past a file holding nothing but a byte-order mark too.
    const std::uint64_t scanned = current.Offset();
    if (scanned != file.Size()) return base::Fail(path, std::make_error_code(std::errc::io_error));
    if (condition && !condition()) return base::Fail(path, base::ChangedMeanwhile());
    if (!copied.replaced && tail.empty()) return {};
    out.CopyFrom(file, copied.runStart, scanned - copied.runStart);
    out.Write(tail);
    current.Close();
    if (!out.Commit(&lock)) return base::Fail(path, out.Error());
    return {};
}

StoreResult RewriteOnce(std::string_view dataDir, int n, const LineRewrite& rewrite,
                        std::string_view tail, std::chrono::milliseconds wait,
                        const StoreCondition& condition, FollowingFile* following) {
    base::FileLock lock;
    if (StoreResult locked = TakeLock(lock, dataDir, n, wait); !locked.ok()) return locked;
    StoreResult stored = RewriteLocked(dataDir, RecordFileName(n), lock, rewrite, tail, condition);
    if (following && stored.ok())
        following->outcome =
            RewriteLocked(dataDir, following->name, lock, following->rewrite, following->tail, {});
    return stored;
}

}  // namespace

std::string StoreFailureText(const base::Problem& why) {
    return "無法存檔: " + why.file + "\n" + base::ErrorText(why.error);
}

namespace {

// The record lines' patients (pointing into the lines), and the text that adds the
// lines at the end of a file.
struct NewLines {
    std::unordered_set<std::string_view> codes;
    std::string tail;
};

NewLines Collect(const std::vector<std::string>& lines) {
    NewLines out;
    for (const std::string& line : lines) {
        // An empty code owns no line, so it can replace none either.
        if (std::string_view code = FirstField(line); !code.empty()) out.codes.insert(code);
        out.tail += line;
        out.tail += "\r\n";
    }
    return out;
}

}  // namespace

StoreResult StorePatientLines(std::string_view dataDir, int n,
                              const std::vector<std::string>& lines, std::chrono::milliseconds wait,
                              FollowingFile* following) {
    const NewLines added = Collect(lines);
    auto dropTheirs = [&added](std::string_view line, std::string&) {
        const std::string_view code = FirstField(line);
        return !code.empty() && added.codes.count(code) != 0;
    };
    return RewriteRecordFile(dataDir, n, dropTheirs, added.tail, wait, {}, following);
}

StoreResult StorePatientLineIf(std::string_view dataDir, int n, const std::string& line,
                               const SeenLine& seen, SeenLine& found,
                               std::chrono::milliseconds wait, FollowingFile* following) {
    const std::vector<std::string> lines{line};  // the codes below point into it
    const NewLines added = Collect(lines);
    // The patient's first line of the reading under way: the one a reader is shown.
    SeenLine first;
    auto dropTheirs = [&](std::string_view current, std::string&) {
        const std::string_view code = FirstField(current);
        if (code.empty() || added.codes.count(code) == 0) return false;
        if (!first) first.emplace(current);
        return true;
    };
    auto unchanged = [&] {
        found = std::move(first);
        first.reset();
        return found == seen;
    };
    return RewriteRecordFile(dataDir, n, dropTheirs, added.tail, wait, unchanged, following);
}

}  // namespace ceph::store
