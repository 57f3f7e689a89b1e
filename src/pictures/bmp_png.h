#pragma once
// What Qt's readers of Windows bitmaps and PNG files need checked before they see a
// file: they trust its header where a damaged or hostile file would cost gigabytes or
// leave rows unread. The platform registers these formats, decoded by Qt.

#include <string_view>

namespace ceph::pictures {

// Whether the bytes start as a Windows bitmap ("BM").
bool IsBitmap(std::string_view bytes);

// Whether the bytes start with the PNG signature.
bool IsPng(std::string_view bytes);

// Whether the data is an uncompressed Windows bitmap too short for the rows its header
// claims. Qt's bitmap reader stops quietly at the end of the data and leaves the rows it
// could not read as they were in memory, so such a bitmap is refused before Qt reads it.
// Compressed (run-length) bitmaps have no length known in advance and are left to Qt,
// as are sizes over the limits, which the size check refuses.
bool BitmapDataShort(std::string_view bytes);

// Whether a PNG has a chunk that claims more bytes than the file holds. libpng takes a
// chunk's length at its word and allocates it before reading (gigabytes for a text
// chunk of a 300-byte file), so such a file is refused as cut off before libpng sees it.
bool PngChunkBeyondEnd(std::string_view bytes);

}  // namespace ceph::pictures
