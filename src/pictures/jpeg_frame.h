#pragma once
// What a JPEG's segments tell before its first scan that TurboJPEG's header call does
// not: how its blocks are coded and how its components are sampled. From them, the
// memory libjpeg holds beside the pixels while decoding, and whether the file is long
// enough to hold a whole picture of the size it claims: both are judged before any
// pixel is allocated.

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/result.h"

namespace ceph::pictures {

// As many components as libjpeg takes; TurboJPEG itself decodes no more than four.
inline constexpr int kMaxJpegComponents = 10;

struct JpegFrame {
    bool huffman = false;  // Huffman-coded blocks (baseline, extended or progressive)
    bool progressive = false;
    int components = 0;
    int firstScanComponents = 0;
    int hSampling[kMaxJpegComponents] = {}, vSampling[kMaxJpegComponents] = {};
};

// Walks the segments from the start of the image to its first scan, skipping junk
// between segments as libjpeg does. False when the data ends, or the image does, before
// a frame and a scan of it, or when the frame's header is malformed.
bool ReadJpegFrame(const unsigned char* data, std::size_t size, JpegFrame* frame);

// The bytes of the coefficients libjpeg keeps for the whole picture while decoding it:
// none for a single interleaved scan.
std::int64_t JpegCoefficientBytes(const JpegFrame& frame, int width, int height);

// Whether `size` bytes can hold a whole picture of this size; the reason when not.
base::Result<void> JpegLongEnough(const JpegFrame& frame, int width, int height, std::size_t size);

}  // namespace ceph::pictures
