#pragma once
// The landmark model file: a learned suggester kept in the shared data folder
// ("landmark-model.dat"), so read as untrusted input. Our own container: a mark, a
// version, the payload's size and a checksum of it, then every count and value of the
// model in a fixed little-endian layout. Reading checks all of it (each count against the
// bytes that remain before anything is made of that size, every index in range, every
// value finite) so that what reaches the learning library is whole and sound, and memory
// never grows beyond a small multiple of the file's size.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/result.h"
#include "model/landmark_model.h"

namespace ceph::store {

// The file's name in the data folder, and the largest file taken for one.
inline constexpr const char* kLandmarkModelName = "landmark-model.dat";
inline constexpr std::uint64_t kLandmarkModelMaxBytes = std::uint64_t{128} << 20;

std::string LandmarkModelBytes(const model::LandmarkModel& model);
// The bytes of a model that the program will read back; why not otherwise.
base::Result<std::string, std::string> CheckedLandmarkModelBytes(const model::LandmarkModel& model);

// The model the bytes hold; what is wrong with them, in a sentence, when they hold none.
base::Result<model::LandmarkModel, std::string> ReadLandmarkModel(std::string_view bytes);

// The model file at `path`, as the window and cephtool read it: a regular file no larger
// than the limit; what is wrong, naming the file, when there is no usable model.
base::Result<model::LandmarkModel, std::string> LoadLandmarkModel(const std::string& path);

// Keeps `model` as the data folder's model (`dataDir` ends with the separator): only a
// model that reads back is kept, written through the one writer while the model's slot
// of the data folder's lock is held, since every workstation shares the file. Empty when
// kept; otherwise why not, naming the file, and the file is as it was.
inline constexpr int kLandmarkModelLockSlot = 20;
std::string StoreLandmarkModel(const std::string& dataDir, const model::LandmarkModel& model);

}  // namespace ceph::store
