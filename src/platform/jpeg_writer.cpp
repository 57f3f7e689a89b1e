#include "platform/jpeg_writer.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <algorithm>
#include <vector>

#include "base/safe_file.h"

namespace ceph::platform {

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

// The layout libjpeg reads a QImage::Format_RGB32 pixel in.
constexpr J_COLOR_SPACE kRgb32Space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

// The picture's rows in a format the encoder takes: grey, RGB and 32-bit colour as they
// are; anything else converted a band at a time (transparency dropped, as Qt's writer
// does).
class JpegRows {
  public:
    JpegRows(const QImage& image, QImage::Format format) : image_(image), format_(format) {}

    // Rows y .. y + count - 1; false when a band could not be converted.
    bool Take(int y, int count, std::vector<JSAMPROW>& rows) {
        const QImage* source = &image_;
        int top = y;
        if (image_.format() != format_) {
            band_ = image_.copy(0, y, image_.width(), count).convertToFormat(format_);
            if (band_.isNull()) return false;
            source = &band_;
            top = 0;
        }
        rows.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            rows[static_cast<std::size_t>(i)] =
                const_cast<JSAMPROW>(source->constScanLine(top + i));
        return true;
    }

  private:
    const QImage& image_;
    const QImage::Format format_;
    QImage band_;
};

}  // namespace

std::error_code JpegEncoderError() {
    static const EncoderCategory category;
    return {1, category};
}

std::error_code WriteJpeg(const QImage& image, const std::string& path, int quality,
                          const WriteProgress& progress) {
    if (image.isNull()) return std::make_error_code(std::errc::invalid_argument);
    const bool grey = image.format() == QImage::Format_Grayscale8 || image.allGray();
    const QImage::Format format = grey ? QImage::Format_Grayscale8
                                  : image.format() == QImage::Format_RGB888 ? QImage::Format_RGB888
                                                                            : QImage::Format_RGB32;
    const J_COLOR_SPACE space = grey                              ? JCS_GRAYSCALE
                                : format == QImage::Format_RGB888 ? JCS_RGB
                                                                  : kRgb32Space;
    base::AtomicFile file(path);
    if (file.Error()) return file.Error();

    Encoder e;
    e.sink.file = &file;
    e.sink.block.resize(kBlockBytes);
    e.sink.manager.init_destination = StartBlock;
    e.sink.manager.empty_output_buffer = PassFullBlock;
    e.sink.manager.term_destination = PassLastBlock;
    bool ok = Create(e);
    if (ok) {
        e.info.dest = &e.sink.manager;
        e.info.image_width = static_cast<JDIMENSION>(image.width());
        e.info.image_height = static_cast<JDIMENSION>(image.height());
        ok = Start(e, grey, space, std::clamp(quality, 1, 100));
    }
    JpegRows source(image, format);
    std::vector<JSAMPROW> rows;
    bool converted = true;
    const int step = RowsPerStep(image);
    for (int y = 0; ok && converted && y < image.height() && !file.Error(); y += step) {
        const int count = std::min(step, image.height() - y);
        converted = source.Take(y, count, rows);
        ok = converted && WriteRows(e, rows.data(), static_cast<JDIMENSION>(count));
        if (ok && progress) progress(static_cast<double>(y + count) / image.height());
    }
    if (ok && !file.Error()) ok = Finish(e);
    if (e.created) jpeg_destroy_compress(&e.info);
    if (file.Error()) return file.Error();
    if (!converted) return std::make_error_code(std::errc::not_enough_memory);
    if (!ok) return JpegEncoderError();
    file.Commit();
    return file.Error();
}

}  // namespace ceph::platform
