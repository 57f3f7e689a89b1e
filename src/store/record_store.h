#pragma once
// Rewriting a record file that other patients' tracings share, and that another
// workstation may be rewriting at the same moment: under the data folder's lock for
// that file, reading it afresh, and replacing it in one step. Every writer of record
// files goes through here.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/result.h"

namespace ceph::store {

// How long a save waits for another program to finish with the same record file.
inline constexpr std::chrono::milliseconds kLockWait{5000};

// The lock file beside the record files; record file n is guarded by its slot n.
std::string LockFilePath(std::string_view dataDir);

// Done when the file was written (or had nothing to change); otherwise the file the
// failure concerns and the system's error.
using StoreResult = base::Result<void>;

// What the clinician is told when a store failed: the file and the system's reason.
std::string StoreFailureText(const base::Problem& why);

// Called for every line of the record file in order (without its line end), but for a
// line too long to be a record line, which belongs to nobody and is kept. Returns false
// to keep the line as it is; true to put `replacement` (its new text with CR LF, or
// nothing to drop the line) in its place.
using LineRewrite = std::function<bool(std::string_view line, std::string& replacement)>;

// Asked once the whole file has passed through the rewrite, still under the lock and
// before anything is written: false leaves the file as it is, and the store fails with
// base::ChangedMeanwhile().
using StoreCondition = std::function<bool()>;

// A file of lines that changes with record file n (the film positions of its tracings):
// rewritten the way the record file is, right after it and under the same hold of its
// lock, whenever the record file was written. The record file's store does not depend
// on it: `outcome` tells how this one went, and stays empty when the record file was
// not written.
struct FollowingFile {
    std::string name;  // in the data folder
    LineRewrite rewrite;
    std::string tail;
    std::optional<base::Result<void>> outcome;
};

// Rewrites record file n of the data folder: each existing line passes through
// `rewrite`, then `tail` is added. Kept lines keep their bytes, and a byte-order mark
// stays at the start; every line ends in CR LF. The file is left untouched when
// nothing is replaced and there is no tail, and whenever anything fails. When the lock
// file is deleted while the save holds it, the file is read and rewritten again, so
// `rewrite` may see a line more than once; each reading ends with `condition` (when
// given), before which the rewrite has seen every line of that reading.
StoreResult RewriteRecordFile(std::string_view dataDir, int n, const LineRewrite& rewrite,
                              std::string_view tail, std::chrono::milliseconds wait = kLockWait,
                              const StoreCondition& condition = {},
                              FollowingFile* following = nullptr);

// Stores `lines` (complete record lines, without line ends) as their patients' lines
// of record file n: every line of those patients is dropped, every other line kept in
// its order, and the new lines added at the end in the order given.
StoreResult StorePatientLines(std::string_view dataDir, int n,
                              const std::vector<std::string>& lines,
                              std::chrono::milliseconds wait = kLockWait,
                              FollowingFile* following = nullptr);

// The patient's line of a record file as a piece of work found it: its text (without
// the line end), or nothing when the patient had no line there.
using SeenLine = std::optional<std::string>;

// Stores `line` as its patient's line of record file n, as StorePatientLines does, only
// while the patient's (first) line there is still `seen`. Otherwise nothing is written,
// the result fails with base::ChangedMeanwhile() naming the file, and `found` holds the
// line that is there now: a tracing another workstation or program stored meanwhile is
// never silently overwritten.
StoreResult StorePatientLineIf(std::string_view dataDir, int n, const std::string& line,
                               const SeenLine& seen, SeenLine& found,
                               std::chrono::milliseconds wait = kLockWait,
                               FollowingFile* following = nullptr);

}  // namespace ceph::store
