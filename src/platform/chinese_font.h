#pragma once
// The face every text is drawn in, on screen, on paper and in cephtool's files.

namespace ceph::platform {

// Picks a face with Traditional Chinese glyphs for the whole program, the one installed
// beside the program first, else one the system has, and returns its family name.
const char* InstallChineseFont();

// Whether there is any face at all to lay out a line in (an installation whose fonts
// folder is gone has none, and Qt would fail deep inside a drawing).
bool HasAnyFont();

}  // namespace ceph::platform
