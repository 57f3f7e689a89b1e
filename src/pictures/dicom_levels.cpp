#include "pictures/dicom_levels.h"

#include <algorithm>
#include <cmath>

namespace ceph::pictures::dicom {

namespace {

// The modality rescale: slope and intercept.
struct Rescale {
    double slope = 1;
    double intercept = 0;
};

// The file's rescale for `count` stored values. A rescale far beyond any detector's,
// whose values may overflow, is damage: the stored values are shown as they are.
Rescale ReadRescale(const Walk& w, std::size_t count) {
    Rescale r;
    const double slope = Number(w, w.top, Tag(0x0028, 0x1053), 1);
    r.slope = slope == 0 ? 1.0 : slope;
    r.intercept = Number(w, w.top, Tag(0x0028, 0x1052), 0);
    if (!(static_cast<double>(count) * std::abs(r.slope) + std::abs(r.intercept) < 1e12))
        r = Rescale{};
    return r;
}

// The VOI LUT: its descriptor (entries, first value mapped, bits) and its data; empty
// when the file has none that its data fill. `count` stored values, rescaled by `r`, are
// mapped from `*firstMapped` on.
std::vector<double> VoiLut(const Walk& w, std::size_t count, bool isSigned, const Rescale& r,
                           double* firstMapped) {
    const int entries = UnsignedShort(w, w.voi, Tag(0x0028, 0x3002), w.little, 0);
    const int first = UnsignedShort(w, w.voi, Tag(0x0028, 0x3002), w.little, 1);
    const auto data = w.voi.find(Tag(0x0028, 0x3006));
    if (entries < 0 || first < 0 || data == w.voi.end()) return {};
    const std::size_t n = entries == 0 ? 65536 : static_cast<std::size_t>(entries);
    if (data->second.length < 2 * n) return {};
    std::vector<double> lut(n);
    for (std::size_t i = 0; i < n; ++i)
        lut[i] = U16(w.data + data->second.offset + 2 * i, w.little);
    // The first value mapped is signed when the values it maps may be negative: signed
    // pixels, or a rescale that moves them below zero.
    const double lowest = isSigned ? -static_cast<double>(count / 2) : 0;
    const double highest =
        isSigned ? static_cast<double>(count / 2 - 1) : static_cast<double>(count - 1);
    const bool negative = std::min(lowest * r.slope, highest * r.slope) + r.intercept < 0;
    *firstMapped = negative ? static_cast<std::int16_t>(first) : first;
    return lut;
}

// Each stored value's output value before shifting and scaling: rescaled, then through
// the LUT when there is one.
std::vector<double> OutputValues(std::size_t count, bool isSigned, const Rescale& r,
                                 const std::vector<double>& lut, double firstMapped) {
    std::vector<double> value(count);
    for (std::size_t s = 0; s < count; ++s) {
        double stored = static_cast<double>(s);
        if (isSigned && s >= count / 2) stored -= static_cast<double>(count);
        double v = stored * r.slope + r.intercept;
        if (!lut.empty()) {
            const double index =
                std::clamp(std::round(v) - firstMapped, 0.0, static_cast<double>(lut.size() - 1));
            v = lut[static_cast<std::size_t>(index)];
        }
        value[s] = v;
    }
    return value;
}

// The file's window moved and scaled with the values: the LUT's range when it has one,
// else its window centre and width.
Window FileWindow(const Walk& w, const std::vector<double>& lut, double shift, double scale) {
    Window window;
    if (!lut.empty()) {
        const auto [lutLow, lutHigh] = std::minmax_element(lut.begin(), lut.end());
        window.level = ((*lutLow + *lutHigh) / 2 + shift) * scale;
        window.width = std::max(1.0, (*lutHigh - *lutLow) * scale);
        return window;
    }
    const double centre = Number(w, w.top, Tag(0x0028, 0x1050), NAN);
    const double width = Number(w, w.top, Tag(0x0028, 0x1051), NAN);
    if (std::isfinite(centre) && std::isfinite(width) && width > 0) {
        window.level = (centre + shift) * scale;
        window.width = std::max(1.0, width * scale);
    }
    return window;
}

}  // namespace

Levels MakeLevels(const Walk& w, int bitsStored, bool isSigned, bool monochrome1) {
    const std::size_t count = std::size_t{1} << bitsStored;
    const Rescale rescale = ReadRescale(w, count);
    double firstMapped = 0;
    const std::vector<double> lut = VoiLut(w, count, isSigned, rescale, &firstMapped);
    const std::vector<double> value = OutputValues(count, isSigned, rescale, lut, firstMapped);
    const auto [lowest, highest] = std::minmax_element(value.begin(), value.end());
    const double low = *lowest, high = *highest;
    const double shift = low < 0 ? -low : 0;
    const double scale = high + shift > 65535 ? 65535 / (high + shift) : 1;
    const double top = std::round((high + shift) * scale);
    Levels levels;
    levels.top = static_cast<int>(top);
    levels.table.resize(count);
    for (std::size_t s = 0; s < count; ++s) {
        double out = std::round((value[s] + shift) * scale);
        if (monochrome1) out = top - out;
        levels.table[s] = static_cast<std::uint16_t>(std::clamp(out, 0.0, 65535.0));
    }
    levels.window = FileWindow(w, lut, shift, scale);
    if (monochrome1 && !levels.window.empty()) levels.window.level = top - levels.window.level;
    return levels;
}

}  // namespace ceph::pictures::dicom
