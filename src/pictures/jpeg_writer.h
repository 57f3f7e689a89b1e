#pragma once
// Writing JPEG files through libjpeg-turbo's libjpeg interface, row by row: the rows are
// compressed as they are handed over and the compressed bytes go straight into the
// program's safe writer, so a radiograph of hundreds of megabytes is stored with a few
// rows of memory beside its own, and the caller can be told how far it has come.

#include <functional>
#include <string>
#include <system_error>
#include <vector>

namespace ceph::pictures {

// A picture to be written, handed over a band of rows at a time.
struct JpegSource {
    enum class Layout { Grey, Rgb, Rgb32 };  // a byte a pixel; three; an Rgb32 word
    int width = 0;
    int height = 0;
    Layout layout = Layout::Grey;
    // How many rows are handed over at a time, and how often progress is told.
    int rowsPerStep = 1;
    // Rows y .. y + count - 1, their first bytes in `rows`; false when they could not be
    // had (the memory for converting a band ran out).
    std::function<bool(int y, int count, std::vector<const unsigned char*>& rows)> rows;
};

// Told how much of a picture is written, from 0 to 1.
using JpegProgress = std::function<void(double done)>;

// Writes a picture as a JPEG file of the given quality (1..100), baseline, with the
// accurate transform: a grey one as a one-channel JPEG, a colour one with 4:2:0 chroma.
// Empty when written; otherwise why not, and the file is as it was: a file error,
// std::errc::not_enough_memory when rows could not be had, or JpegEncoderError().
std::error_code WriteJpeg(const JpegSource& source, const std::string& path, int quality,
                          const JpegProgress& progress = {});

// The encoder itself failed; its message is words for the user.
std::error_code JpegEncoderError();

}  // namespace ceph::pictures
