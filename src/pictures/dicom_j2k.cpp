// JPEG 2000 frames are decoded by OpenJPEG directly rather than through GDCM: see
// dicom_pixels.h.
#include <openjpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "pictures/dicom_pixels.h"
#include "pictures/limits.h"

namespace ceph::pictures::dicom {

namespace {

// The frame's code stream, read by OpenJPEG from memory.
struct Source {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::size_t at = 0;
};

OPJ_SIZE_T ReadSource(void* buffer, OPJ_SIZE_T count, void* user) {
    auto* s = static_cast<Source*>(user);
    if (s->at >= s->size) return static_cast<OPJ_SIZE_T>(-1);
    const std::size_t n = std::min<std::size_t>(count, s->size - s->at);
    std::memcpy(buffer, s->data + s->at, n);
    s->at += n;
    return n;
}

OPJ_OFF_T SkipSource(OPJ_OFF_T count, void* user) {
    auto* s = static_cast<Source*>(user);
    if (count < 0 || static_cast<std::size_t>(count) > s->size - s->at) {
        s->at = s->size;
        return -1;
    }
    s->at += static_cast<std::size_t>(count);
    return count;
}

OPJ_BOOL SeekSource(OPJ_OFF_T to, void* user) {
    auto* s = static_cast<Source*>(user);
    if (to < 0 || static_cast<std::size_t>(to) > s->size) {
        s->at = s->size;
        return OPJ_FALSE;
    }
    s->at = static_cast<std::size_t>(to);
    return OPJ_TRUE;
}

// What OpenJPEG reported while decoding: problems it worked round, and failures.
struct Reports {
    int count = 0;
    bool shortData = false;  // a part of the stream is shorter than its header says
};

void Reported(const char* message, void* user) {
    auto* r = static_cast<Reports*>(user);
    ++r->count;
    const std::string text = message ? message : "";
    if (text.find("length") != std::string::npos || text.find("too short") != std::string::npos ||
        text.find("too long") != std::string::npos)
        r->shortData = true;
}

void Ignored(const char*, void*) {}

struct CodecCloser {
    void operator()(opj_codec_t* c) const { opj_destroy_codec(c); }
};
struct StreamCloser {
    void operator()(opj_stream_t* s) const { opj_stream_destroy(s); }
};
struct ImageCloser {
    void operator()(opj_image_t* i) const { opj_image_destroy(i); }
};

// The decoded components as GDCM lays samples out: interleaved, little endian, in
// whole bytes or words. False when they are not the picture the header describes.
bool CopySamples(const opj_image_t& image, const PixelModule& m, Samples* out) {
    const auto n = static_cast<unsigned>(m.samples);
    if (image.numcomps != n) return false;
    const opj_image_comp_t& first = image.comps[0];
    for (unsigned c = 0; c < n; ++c) {
        const opj_image_comp_t& comp = image.comps[c];
        if (!comp.data || comp.w != static_cast<OPJ_UINT32>(m.columns) ||
            comp.h != static_cast<OPJ_UINT32>(m.rows) || comp.factor != 0 ||
            comp.prec != first.prec || comp.sgnd != first.sgnd || comp.prec < 1 ||
            comp.prec > static_cast<OPJ_UINT32>(m.bitsAllocated))
            return false;
    }
    const std::size_t pixels = static_cast<std::size_t>(m.columns) * m.rows;
    const bool wide = m.bitsAllocated == 16;
    out->bytes.resize(pixels * n * (wide ? 2 : 1));
    for (unsigned c = 0; c < n; ++c) {
        const OPJ_INT32* in = image.comps[c].data;
        if (wide) {
            for (std::size_t i = 0; i < pixels; ++i) {
                const auto v = static_cast<std::uint16_t>(in[i]);
                out->bytes[2 * (i * n + c)] = static_cast<char>(v & 0xFF);
                out->bytes[2 * (i * n + c) + 1] = static_cast<char>(v >> 8);
            }
        } else {
            for (std::size_t i = 0; i < pixels; ++i)
                out->bytes[i * n + c] = static_cast<char>(in[i] & 0xFF);
        }
    }
    out->colours = m.colours;
    out->bitsStored = static_cast<int>(first.prec);
    out->highBit = out->bitsStored - 1;  // right-aligned, whatever the file's high bit
    out->isSigned = first.sgnd != 0;
    out->planar = false;
    return true;
}

// A decoder of J2K code streams that keeps what OpenJPEG reports in `reports`, not strict
// (a stream cut short gives the part of the picture it holds, and the warnings say so,
// where a strict decoder gives nothing), on as many threads as GDCM would use.
std::unique_ptr<opj_codec_t, CodecCloser> OpenDecoder(Reports* reports) {
    std::unique_ptr<opj_codec_t, CodecCloser> codec(opj_create_decompress(OPJ_CODEC_J2K));
    if (!codec) throw std::bad_alloc();
    opj_set_info_handler(codec.get(), Ignored, nullptr);
    opj_set_warning_handler(codec.get(), Reported, reports);
    opj_set_error_handler(codec.get(), Reported, reports);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    const int cpus = opj_get_num_cpus();
    if (!opj_setup_decoder(codec.get(), &parameters) ||
        !opj_decoder_set_strict_mode(codec.get(), OPJ_FALSE) ||
        !opj_codec_set_threads(codec.get(), cpus > 1 ? cpus : 0))
        return nullptr;
    return codec;
}

// The code stream decoded into `out`; false when OpenJPEG could not decode it at all, or
// it is not the picture the header describes.
bool DecodeStream(Source& source, const PixelModule& m, Samples* out, Reports* reports) {
    std::unique_ptr<opj_codec_t, CodecCloser> codec = OpenDecoder(reports);
    std::unique_ptr<opj_stream_t, StreamCloser> stream(opj_stream_create(1 << 16, OPJ_TRUE));
    if (!stream) throw std::bad_alloc();
    if (!codec) return false;
    opj_stream_set_user_data(stream.get(), &source, nullptr);
    opj_stream_set_user_data_length(stream.get(), source.size);
    opj_stream_set_read_function(stream.get(), ReadSource);
    opj_stream_set_skip_function(stream.get(), SkipSource);
    opj_stream_set_seek_function(stream.get(), SeekSource);
    opj_image_t* header = nullptr;
    const bool read = opj_read_header(stream.get(), codec.get(), &header);
    std::unique_ptr<opj_image_t, ImageCloser> image(header);
    return read && image && opj_decode(codec.get(), stream.get(), image.get()) &&
           opj_end_decompress(codec.get(), stream.get()) && CopySamples(*image, m, out);
}

}  // namespace

base::Result<Samples> DecodeJpeg2000(const Walk& w, const std::vector<Span>& kept,
                                     const PixelModule& m) {
    const char* const damaged = "DICOM 壓縮的像素資料損壞或不完整，無法解碼";
    // One frame, its stream in one fragment or spread over several.
    if (m.frames != 1 || kept.empty()) return Refuse(damaged);
    Samples out;
    try {
        std::vector<unsigned char> joined;
        Source source;
        if (kept.size() == 1) {
            source.data = w.data + kept.front().offset + 8;
            source.size = kept.front().length - 8;
        } else {
            for (const Span& item : kept)
                joined.insert(joined.end(), w.data + item.offset + 8,
                              w.data + item.offset + item.length);
            source.data = joined.data();
            source.size = joined.size();
        }
        Reports reports;
        if (!DecodeStream(source, m, &out, &reports)) return Refuse(damaged);
        if (reports.count > 0)
            out.damage =
                reports.shortData
                    ? "JPEG 2000 壓縮資料比其標頭所記載的短，影像可能缺了一部分"
                    : "JPEG 2000 壓縮資料有 " + std::to_string(reports.count) + " 處與其標頭不一致";
    } catch (const std::bad_alloc&) {
        return Refuse(kOutOfMemory);
    }
    return out;
}

}  // namespace ceph::pictures::dicom
