#pragma once
// Films that reach the practice from elsewhere (an X-ray unit sending its cephalograms)
// filed in the picture folder under their patient's code, where the picture menu lists
// them for that patient: each under a new name, never over another file, whole or not
// at all, however many arrive at once.

#include <string>
#include <string_view>

#include "base/result.h"

namespace ceph::store {

// Received films a patient may have: their names' numbers run from 1 to this.
inline constexpr int kMostReceivedFilms = 99;

// The name of received film n (1..99) of the patient with `code`: the code, "r", the
// number in two digits and ".dcm" ("10234r01.dcm"). The picture menu lists it (the code
// followed by three characters), and no tracing's own picture ("CODE_n.bmp") is named
// so.
std::string ReceivedFilmName(std::string_view code, int n);

// Files `bytes` as the patient's next received film in `pictureDir` (ending with the
// separator): under the first name of ReceivedFilmName that no file has, through the one
// writer, placed only where the name is still free at that moment. The file written;
// otherwise why not, the folder as it was: a code that cannot name a file (the detail
// says why, after the code), every name taken, or the system's reason (a full disk).
base::Result<std::string> FileReceivedFilm(const std::string& pictureDir, std::string_view code,
                                           std::string_view bytes);

// The folder films go to that cannot be filed under a patient (their Patient ID is no
// code, or they cannot be read): "incoming" beside the picture folder, so that none is
// lost and the picture menu lists none of them. Ends with the separator.
std::string IncomingFolder(const std::string& pictureDir);

// Keeps `bytes` in the incoming folder (made when missing) as `stamp` (the time of its
// arrival, "20261210-174800"), a dash, a number from 1 to 99 in two digits and ".dcm",
// the first free, placed as FileReceivedFilm places films. The file written, or why not.
base::Result<std::string> FileIncomingFilm(const std::string& pictureDir, std::string_view stamp,
                                           std::string_view bytes);

}  // namespace ceph::store
