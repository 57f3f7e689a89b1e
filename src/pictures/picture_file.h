#pragma once
// Reading a picture file's bytes with the checks every picture format needs.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/result.h"

namespace ceph::pictures {

// A file larger than this is no picture the program could show.
inline constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t{1} << 30;

// The bytes of a picture file, in a block that can be kept for the next file: on virtual
// machines that back memory lazily, touching fresh pages costs more than reading the
// bytes into them.
class FileBytes {
  public:
    std::string_view View() const { return {block_.get(), size_}; }
    char* Data() { return block_.get(); }
    std::size_t Capacity() const { return capacity_; }
    // Room for `size` bytes, their values unset; std::bad_alloc when memory ran out.
    void Resize(std::size_t size);
    void Truncate(std::size_t size) { size_ = size < size_ ? size : size_; }
    // Gives the block back.
    void Release();

  private:
    std::unique_ptr<char[]> block_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// The whole content of a picture file. Refuses, with a reason in Traditional Chinese,
// what is missing, not a regular file (a folder, a device, a pipe that would block),
// empty or too big to be a picture.
base::Result<void> ReadPictureFile(const std::string& path, FileBytes& bytes);

}  // namespace ceph::pictures
