#pragma once
// A synthetic lateral radiograph for the picture benchmarks: grey, 3000 x 3000, with
// the broad shading and fine grain that make real ones costly to decode.

#include <QImage>
#include <string>

namespace ceph::bench {

inline constexpr int kRadiographSide = 3000;
// The image control's viewport (5415 twips at 96 dpi).
inline constexpr int kViewportSide = 361;

QImage SyntheticRadiograph(int side = kRadiographSide);

// Writes the synthetic radiograph as a grey JPEG of the given quality; throws on failure.
void WriteSyntheticRadiograph(const std::string& path, int quality);

}  // namespace ceph::bench
