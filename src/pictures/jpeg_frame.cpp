#include "pictures/jpeg_frame.h"

#include <algorithm>

#include "pictures/picture.h"

namespace ceph::pictures {

namespace {

// Start-of-frame markers: C0..CF except DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameMarker(unsigned char code) {
    return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

// The 8×8 blocks of one component of a picture, in whole blocks (`padded`: to whole
// sampling units, as libjpeg keeps them).
std::int64_t ComponentBlocks(const JpegFrame& f, int c, int width, int height, bool padded) {
    const int hMax = *std::max_element(f.hSampling, f.hSampling + f.components);
    const int vMax = *std::max_element(f.vSampling, f.vSampling + f.components);
    auto blocks = [](std::int64_t pixels, int sampling, int most, bool pad) {
        std::int64_t n = (pixels * sampling + most * 8 - 1) / (most * 8);
        return pad ? (n + sampling - 1) / sampling * sampling : n;
    };
    return blocks(width, f.hSampling[c], hMax, padded) *
           blocks(height, f.vSampling[c], vMax, padded);
}

}  // namespace

bool ReadJpegFrame(const unsigned char* data, std::size_t size, JpegFrame* frame) {
    bool found = false;
    std::size_t at = 2;  // after the start-of-image marker
    while (at < size) {
        if (data[at] != 0xFF) {
            ++at;
            continue;
        }
        while (at < size && data[at] == 0xFF)
            ++at;  // fill bytes
        if (at == size) break;
        const unsigned char code = data[at++];
        if (code == 0xD9) break;  // end of image
        // Stuffed zeros are junk here; temporary, restart and start-of-image markers
        // have no length.
        if (code == 0x00 || code == 0x01 || (code >= 0xD0 && code <= 0xD8)) continue;
        if (size - at < 2) break;
        const std::size_t length = std::size_t{data[at]} << 8 | data[at + 1];
        if (length < 2 || length > size - at) break;
        const unsigned char* body = data + at + 2;
        const std::size_t bodySize = length - 2;
        if (IsFrameMarker(code) && !found) {
            if (bodySize < 6) return false;
            frame->components = body[5];
            if (frame->components < 1 || frame->components > kMaxJpegComponents ||
                bodySize < 6 + 3 * static_cast<std::size_t>(frame->components))
                return false;
            frame->huffman = code <= 0xC2;
            frame->progressive = code == 0xC2 || code == 0xCA;
            for (int c = 0; c < frame->components; ++c) {
                frame->hSampling[c] = std::max(1, body[7 + 3 * c] >> 4);
                frame->vSampling[c] = std::max(1, body[7 + 3 * c] & 0x0F);
            }
            found = true;
        } else if (code == 0xDA) {
            if (!found || bodySize < 1) return false;
            frame->firstScanComponents = body[0];
            return true;
        }
        at += length;
    }
    return false;
}

// A progressive JPEG, or one whose components come in separate scans, is decoded into a
// buffer of every coefficient of the picture (two bytes each, 64 a block), kept until the
// last scan; a single interleaved scan needs only a few rows of blocks.
std::int64_t JpegCoefficientBytes(const JpegFrame& f, int width, int height) {
    if (!f.progressive && f.firstScanComponents >= f.components) return 0;
    std::int64_t bytes = 0;
    for (int c = 0; c < f.components; ++c)
        bytes += ComponentBlocks(f, c, width, height, true) * 64 * 2;
    return bytes;
}

// The fewest bytes a whole Huffman-coded JPEG of this size can take. In a sequential JPEG
// and in a progressive one alike, every block of every component takes at least one
// Huffman code, of one bit or more, in the first scan that carries it (its DC term).
// Half of that is asked for, so that no whole file comes near the limit: a flat grey
// picture, the most compressible there is, takes four times as much and a radiograph
// hundreds of times. A few kilobytes claiming a large picture are the remains of a cut
// file, and a progressive one would otherwise cost its whole coefficient buffer and a
// pass over the picture for every scan before it is refused.
base::Result<void> JpegLongEnough(const JpegFrame& f, int width, int height, std::size_t size) {
    // Arithmetic coding has no least length.
    if (!f.huffman) return {};
    std::int64_t blocks = 0;
    for (int c = 0; c < f.components; ++c)
        blocks += ComponentBlocks(f, c, width, height, false);
    const std::int64_t least = blocks / 16;
    if (static_cast<std::int64_t>(size) >= least) return {};
    return Refuse("JPEG 資料不完整，檔案可能被截斷（" + std::to_string(width) + " × " +
                  std::to_string(height) + " 像素的圖像至少需要 " + std::to_string(least) +
                  " 位元組，檔案只有 " + std::to_string(size) + " 位元組）");
}

}  // namespace ceph::pictures
