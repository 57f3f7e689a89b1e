#pragma once
// The pixels of a DICOM file whose structure has been walked (dicom_file.h): checked
// against the header, then taken as they are (raw pixels), decoded by GDCM from a clean
// file of the elements that describe them, or, for run-length and JPEG 2000 frames, here.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/result.h"
#include "pictures/dicom_file.h"
#include "pictures/picture.h"

namespace ceph::pictures::dicom {

// What the clean file says of its pixels.
struct PixelModule {
    int columns, rows, bitsAllocated, bitsStored, highBit;
    bool isSigned;
    int samples;
    bool planar;
    std::string colours;
    std::int64_t frames;
};

// A frame decoded, and how its samples are to be read.
struct Samples {
    std::vector<char> bytes;
    std::string colours;
    int bitsStored = 0;
    int highBit = 0;
    bool isSigned = false;
    bool planar = false;
    // What was found damaged in a frame that could still be decoded; empty when whole.
    std::string damage;
};

// Whether a compressed frame's own header describes the picture the file's header does:
// GDCM decodes into a buffer sized from the latter, and a stream claiming more columns,
// rows, components or bits would be written past its end. JPEG, JPEG-LS and JPEG 2000
// streams are checked; run-length frames carry no picture size.
bool StreamMatches(const std::string& syntaxUid, const unsigned char* p, std::size_t n,
                   const PixelModule& m, int* precisionOut);

// The first frame of raw pixels, as the file lays them out (little endian): with the
// file's own bits stored and high bit. GDCM would read them with the high bit moved to
// bits stored - 1 and the bits above it cleared, so that 12 bits stored in the upper part
// of 16 (high bit 15, as some detectors write them) would be lost.
base::Result<Samples> RawFrame(const Walk& w, const PixelModule& m, std::int64_t frameBytes);

// The first frame of compressed pixels decoded by GDCM from a clean file made of the
// pixel module and the `kept` items: `frameBytes` for the frame, at most `rawBytes` for
// every frame GDCM is given.
base::Result<Samples> DecodeWithGdcm(const Walk& w, const PixelModule& m,
                                     const std::vector<Span>& kept, std::int64_t frameBytes,
                                     std::int64_t rawBytes);

// Run-length frames are decoded here: the scheme is a few lines, and GDCM's decoder
// stops the program on a damaged one. A frame is one item: a header of the segments'
// offsets, then one segment a byte of each sample, the most significant first, each
// coded as PackBits. A segment that does not fill its rows exactly is damage: the frame
// is still given, with what is missing left black, and the damage named.
base::Result<Samples> DecodeRle(const Walk& w, const std::vector<Span>& kept, const PixelModule& m);

// JPEG 2000 frames are decoded by OpenJPEG directly: through GDCM, a stream cut short is
// refused outright, and what OpenJPEG reports of damage it worked round is lost. Here a
// stream shorter than its headers say gives the part of the picture it holds, with the
// damage named; a stream OpenJPEG cannot decode at all is refused.
base::Result<Samples> DecodeJpeg2000(const Walk& w, const std::vector<Span>& kept,
                                     const PixelModule& m);

// Whether the transfer syntax is run-length encoding, decoded by DecodeRle.
bool IsRle(const std::string& syntaxUid);
// Whether the transfer syntax is JPEG 2000, decoded by DecodeJpeg2000.
bool IsJpeg2000(const std::string& syntaxUid);

}  // namespace ceph::pictures::dicom
