#pragma once
// A scratch folder for one test, removed afterwards, and the current directory put
// back as it was (start-up changes it).

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "app/startup.h"

namespace ceph::testing {

// The whole content of a file as bytes; empty when it cannot be read.
inline std::string Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names in a folder, sorted; none when it is missing.
inline std::vector<std::string> FileNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class TempDir {
  public:
    TempDir() : saved_(std::filesystem::current_path()) {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("ceph-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::current_path(saved_, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as text, without a final separator.
    std::string str() const { return path_.string(); }
    // Writes `bytes` to a file below the folder, creating folders on the way.
    std::filesystem::path Write(const std::string& relative, const std::string& bytes) const {
        std::filesystem::path p = path_ / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

    // Start-up as the practice suite runs it from this folder with the hand-off file
    // "OutExe.tmp" in it, test-data mode out of reach.
    app::StartupEnv StartupFromHere() const {
        return {(path_ / "OutExe.tmp").string(), str(), (path_ / "no-test-data").string()};
    }

  private:
    std::filesystem::path saved_;
    std::filesystem::path path_;
};

}  // namespace ceph::testing
