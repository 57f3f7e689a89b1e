#pragma once
// The receiver's log: a line per association and per film, kept in a file of bounded
// size (the oldest lines give way) that is rewritten through the one writer, so that a
// full disk or a kill never leaves it torn. Every line goes to standard error too, where
// the service manager keeps it.

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

namespace ceph::receiving {

class ReceiveLog {
  public:
    // Continues the log in `path` (its last lines within the bound are kept).
    ReceiveLog(std::string path, std::size_t maxBytes = std::size_t{256} << 10);

    // Adds "TIME  what" (local time, to the second). Safe from any thread; a log that
    // cannot be written is said once on standard error and the receiver goes on.
    void Add(std::string_view what);

    const std::string& Path() const { return path_; }

  private:
    std::mutex mutex_;
    std::string path_;
    std::size_t maxBytes_;
    std::string kept_;
    bool failing_ = false;
};

// The local time now as the log and the incoming folder write it: "2026-12-10 17:48:00"
// (or, with `forName`, "20261210-174800").
std::string LocalTimeNow(bool forName = false);

}  // namespace ceph::receiving
