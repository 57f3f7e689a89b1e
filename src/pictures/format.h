#pragma once
// What the program knows of each picture format, in one descriptor per format: how its
// files are recognised by their content, how they are named (for the picture picker),
// the decoder, and what is said when bytes handed to it are not of it. The formats this
// library decodes register here (own_formats.h); the platform adds those the window's
// library reads (BMP, PNG …) at start-up. Files are recognised by their content, in
// the order the formats were registered, whatever their names.

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "pictures/picture.h"

namespace ceph::pictures {

struct Format {
    std::string name;  // "DICOM", "TIFF" …
    // The names the picker lists, as patterns of base::MatchesPattern ("*.tif;*.tiff");
    // empty for none.
    std::string namePatterns;
    // Names the patterns cannot say that the picker lists too (DICOM files without an
    // extension); null for none.
    bool (*alsoNamed)(std::string_view name) = nullptr;
    // Whether the bytes are of this format.
    bool (*sniff)(std::string_view bytes) = nullptr;
    base::Result<Picture> (*decode)(std::string_view bytes) = nullptr;
    // The reason given when bytes that are not of this format are handed to it.
    std::string notThisFormat;
};

// Adds a format after those known, or puts it in the place of the known one of its name.
// Formats are registered at start-up, before any picture is decoded.
void Register(Format format);

// The formats known, in the order their files are recognised.
const std::vector<Format>& Formats();

// The bytes decoded by the first format that takes them; "不是可以辨識的圖檔格式" when
// none does.
base::Result<Picture> Decode(std::string_view bytes);

// The bytes decoded as a picture of `format`; its reason when they are not of it.
base::Result<Picture> DecodeAs(const Format& format, std::string_view bytes);

// The first format registered after `format` that takes the bytes (another reader for a
// file its own decoder declined); null when none does.
const Format* FormatAfter(const Format& format, std::string_view bytes);

// Every format's name patterns, joined by ';', for the picker.
std::string NamePatterns();

// Whether a format lists a file of this name beyond its patterns.
bool NamedAsAny(std::string_view name);

// Whether a name has no extension, or one of digits alone: many DICOM files are named
// so ("IM0001", "1.2.840.113619.2.5").
bool BareOrNumberedName(std::string_view name);

}  // namespace ceph::pictures
