#include "pictures/jpeg_writer.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <algorithm>
#include <bit>
#include <vector>

#include "base/safe_file.h"

namespace ceph::pictures {

namespace {

class EncoderCategory : public std::error_category {
  public:
    const char* name() const noexcept override { return "jpeg encoder"; }
    std::string message(int) const override { return "JPEG 編碼失敗"; }
};

// libjpeg reports a fault by calling error_exit, which must not return: it jumps back to
// the guarded step that called into the library. Only those steps, which hold nothing
// that needs destroying, are ever left that way.
struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

void Silent(j_common_ptr) {}

// The compressed bytes, a block at a time, into the safe writer. A write that fails is
// kept in the writer; the rest of the picture is then compressed into the void, and the
// caller stops handing over rows as soon as it sees the failure.
struct Sink {
    jpeg_destination_mgr manager;
    base::AtomicFile* file;
    std::vector<JOCTET> block;
};

constexpr std::size_t kBlockBytes = 256 * 1024;

void StartBlock(j_compress_ptr info) {
    Sink* sink = reinterpret_cast<Sink*>(info->dest);
    sink->manager.next_output_byte = sink->block.data();
    sink->manager.free_in_buffer = sink->block.size();
}

boolean PassFullBlock(j_compress_ptr info) {
    Sink* sink = reinterpret_cast<Sink*>(info->dest);
    sink->file->Write(
        std::string_view(reinterpret_cast<const char*>(sink->block.data()), sink->block.size()));
    StartBlock(info);
    return TRUE;
}

void PassLastBlock(j_compress_ptr info) {
    Sink* sink = reinterpret_cast<Sink*>(info->dest);
    const std::size_t used = sink->block.size() - sink->manager.free_in_buffer;
    sink->file->Write(std::string_view(reinterpret_cast<const char*>(sink->block.data()), used));
}

struct Encoder {
    jpeg_compress_struct info{};
    ErrorTrap trap{};
    Sink sink{};
    bool created = false;
};

// The guarded steps: each returns false when libjpeg reported a fault inside it.
bool Create(Encoder& e) {
    e.info.err = jpeg_std_error(&e.trap.manager);
    e.trap.manager.error_exit = JumpBack;
    e.trap.manager.output_message = Silent;
    if (setjmp(e.trap.jump)) return false;
    jpeg_create_compress(&e.info);
    e.created = true;
    return true;
}

bool Start(Encoder& e, bool grey, J_COLOR_SPACE space, int quality) {
    if (setjmp(e.trap.jump)) return false;
    e.info.input_components = grey ? 1 : space == JCS_RGB ? 3 : 4;
    e.info.in_color_space = space;
    jpeg_set_defaults(&e.info);
    // As TurboJPEG has always stored them: the quality's tables, the accurate transform,
    // grey as one channel, colour in 4:2:0 (the defaults' sampling).
    jpeg_set_quality(&e.info, quality, TRUE);
    e.info.dct_method = JDCT_ISLOW;
    if (grey) jpeg_set_colorspace(&e.info, JCS_GRAYSCALE);
    jpeg_start_compress(&e.info, TRUE);
    return true;
}

void PassRows(Encoder& e, JSAMPARRAY rows, JDIMENSION count) {
    for (JDIMENSION done = 0; done < count;)
        done += jpeg_write_scanlines(&e.info, rows + done, count - done);
}

bool WriteRows(Encoder& e, JSAMPARRAY rows, JDIMENSION count) {
    if (setjmp(e.trap.jump)) return false;
    PassRows(e, rows, count);
    return true;
}

bool Finish(Encoder& e) {
    if (setjmp(e.trap.jump)) return false;
    jpeg_finish_compress(&e.info);
    return true;
}

// The layout libjpeg reads an Rgb32 pixel in.
constexpr J_COLOR_SPACE kRgb32Space =
    std::endian::native == std::endian::little ? JCS_EXT_BGRX : JCS_EXT_XRGB;

J_COLOR_SPACE SpaceOf(JpegSource::Layout layout) {
    switch (layout) {
        case JpegSource::Layout::Grey:
            return JCS_GRAYSCALE;
        case JpegSource::Layout::Rgb:
            return JCS_RGB;
        case JpegSource::Layout::Rgb32:
            return kRgb32Space;
    }
    return kRgb32Space;
}

// The encoder started on the file: false when libjpeg reported a fault.
bool Begin(Encoder& e, const JpegSource& source, int quality) {
    e.sink.block.resize(kBlockBytes);
    e.sink.manager.init_destination = StartBlock;
    e.sink.manager.empty_output_buffer = PassFullBlock;
    e.sink.manager.term_destination = PassLastBlock;
    if (!Create(e)) return false;
    e.info.dest = &e.sink.manager;
    e.info.image_width = static_cast<JDIMENSION>(source.width);
    e.info.image_height = static_cast<JDIMENSION>(source.height);
    const J_COLOR_SPACE space = SpaceOf(source.layout);
    return Start(e, space == JCS_GRAYSCALE, space, std::clamp(quality, 1, 100));
}

}  // namespace

std::error_code JpegEncoderError() {
    static const EncoderCategory category;
    return {1, category};
}

std::error_code WriteJpeg(const JpegSource& source, const std::string& path, int quality,
                          const JpegProgress& progress) {
    base::AtomicFile file(path);
    if (file.Error()) return file.Error();
    Encoder e;
    e.sink.file = &file;
    bool ok = Begin(e, source, quality);
    std::vector<const unsigned char*> rows;
    bool taken = true;
    const int step = std::max(1, source.rowsPerStep);
    for (int y = 0; ok && taken && y < source.height && !file.Error(); y += step) {
        const int count = std::min(step, source.height - y);
        taken = source.rows(y, count, rows);
        ok = taken &&
             WriteRows(e, const_cast<JSAMPARRAY>(rows.data()), static_cast<JDIMENSION>(count));
        if (ok && progress) progress(static_cast<double>(y + count) / source.height);
    }
    if (ok && !file.Error()) ok = Finish(e);
    if (e.created) jpeg_destroy_compress(&e.info);
    if (file.Error()) return file.Error();
    if (!taken) return std::make_error_code(std::errc::not_enough_memory);
    if (!ok) return JpegEncoderError();
    file.Commit();
    return file.Error();
}

}  // namespace ceph::pictures
