#pragma once
// The structure of a DICOM file, walked without GDCM: the elements the decoding needs,
// where the pixel data lie, and whether every element stays within the file. GDCM's own
// reader stops the program on some damaged structures, so nothing reaches it that this
// walk has not found whole.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace ceph::pictures::dicom {

inline constexpr std::uint32_t Tag(std::uint16_t group, std::uint16_t element) {
    return std::uint32_t{group} << 16 | element;
}

// A value's place in the file.
struct Span {
    std::size_t offset = 0;
    std::size_t length = 0;
};
using Elements = std::map<std::uint32_t, Span>;

// What the walk over the file's elements found: the elements of the main data set the
// decoding needs (the whole file meta group and data set, values left where they are),
// the first item of the VOI LUT sequence, and where the pixel data lie.
struct Walk {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    bool little = true;  // of the data set; the meta group is always little endian
    Elements top;
    Elements voi;
    bool pixels = false;
    bool encapsulated = false;
    Span pixelSpan;               // the value, or for encapsulated pixels from the first item on
    std::vector<Span> fragments;  // of encapsulated pixels, items whole, the offset table first
    std::string syntax;           // the transfer syntax's UID; empty when the file names none
};

inline std::uint16_t U16(const unsigned char* p, bool little) {
    return little ? static_cast<std::uint16_t>(p[0] | p[1] << 8)
                  : static_cast<std::uint16_t>(p[1] | p[0] << 8);
}

inline std::uint32_t U32(const unsigned char* p, bool little) {
    const std::uint32_t a = U16(p, little), b = U16(p + 2, little);
    return little ? (a | b << 16) : (b | a << 16);
}

// Value representations whose length takes four bytes after two reserved ones.
bool LongVr(const unsigned char* vr);

// Walks the file: its meta group, then its data set in the transfer syntax the meta
// group names, up to the pixel data. The reason when the file is cut short or damaged,
// or its syntax is one GDCM cannot decode.
base::Result<void> WalkFile(std::string_view bytes, Walk& w);

// The name and number of a transfer syntax, for messages.
std::string TransferSyntaxName(const std::string& uid);

// A value of an element as text, spaces and padding trimmed; empty when absent.
std::string Text(const Walk& w, const Elements& elements, std::uint32_t tag);

// The `index`th number of a decimal or integer string value; `fallback` when absent or
// not a number.
double Number(const Walk& w, const Elements& elements, std::uint32_t tag, double fallback,
              int index = 0);

// An unsigned short value; -1 when absent.
int UnsignedShort(const Walk& w, const Elements& elements, std::uint32_t tag, bool little,
                  int index = 0);

}  // namespace ceph::pictures::dicom
