#include "receiving/receive_log.h"

#include <chrono>
#include <ctime>
#include <iostream>

#include "base/safe_file.h"

namespace ceph::receiving {

namespace {

// Keeps the last lines of `text` within `maxBytes`, cut at a line's start.
void Bound(std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return;
    std::size_t cut = text.size() - maxBytes;
    const std::size_t line = text.find('\n', cut == 0 ? 0 : cut - 1);
    cut = line == std::string::npos ? text.size() : line + 1;
    text.erase(0, cut);
}

}  // namespace

std::string LocalTimeNow(bool forName) {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, forName ? "%Y%m%d-%H%M%S" : "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

ReceiveLog::ReceiveLog(std::string path, std::size_t maxBytes)
    : path_(std::move(path)), maxBytes_(maxBytes) {
    // A log that cannot be read (there is none yet) starts empty.
    if (base::ReadRegularFile(path_, kept_, std::uint64_t{maxBytes_} * 4)) kept_.clear();
    Bound(kept_, maxBytes_);
}

void ReceiveLog::Add(std::string_view what) {
    std::string line = LocalTimeNow() + "  ";
    line += what;
    line += '\n';
    std::lock_guard<std::mutex> hold(mutex_);
    std::cerr << line << std::flush;
    kept_ += line;
    Bound(kept_, maxBytes_);
    if (const std::error_code ec = base::WriteFileAtomically(path_, kept_)) {
        if (!failing_)
            std::cerr << "cephtool: cannot write the log " << path_ << ": " << base::ErrorText(ec)
                      << "\n";
        failing_ = true;
    } else {
        failing_ = false;
    }
}

}  // namespace ceph::receiving
