#include "pictures/format.h"

#include <algorithm>

namespace ceph::pictures {

namespace {

std::vector<Format>& Known() {
    static std::vector<Format> formats;
    return formats;
}

}  // namespace

void Register(Format format) {
    std::vector<Format>& formats = Known();
    const auto same = std::find_if(formats.begin(), formats.end(),
                                   [&](const Format& f) { return f.name == format.name; });
    if (same != formats.end())
        *same = std::move(format);
    else
        formats.push_back(std::move(format));
}

const std::vector<Format>& Formats() {
    return Known();
}

base::Result<Picture> Decode(std::string_view bytes) {
    for (const Format& format : Known())
        if (format.sniff(bytes)) return format.decode(bytes);
    return Refuse("不是可以辨識的圖檔格式");
}

base::Result<Picture> DecodeAs(const Format& format, std::string_view bytes) {
    if (!format.sniff(bytes)) return Refuse(format.notThisFormat);
    return format.decode(bytes);
}

const Format* FormatAfter(const Format& format, std::string_view bytes) {
    const std::vector<Format>& formats = Known();
    auto it = std::find_if(formats.begin(), formats.end(),
                           [&](const Format& f) { return f.name == format.name; });
    if (it == formats.end()) return nullptr;
    for (++it; it != formats.end(); ++it)
        if (it->sniff(bytes)) return &*it;
    return nullptr;
}

std::string NamePatterns() {
    std::string patterns;
    for (const Format& format : Known()) {
        if (format.namePatterns.empty()) continue;
        if (!patterns.empty()) patterns += ';';
        patterns += format.namePatterns;
    }
    return patterns;
}

bool NamedAsAny(std::string_view name) {
    return std::any_of(Known().begin(), Known().end(),
                       [&](const Format& f) { return f.alsoNamed && f.alsoNamed(name); });
}

bool BareOrNumberedName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return !name.empty();
    const std::string_view extension = name.substr(dot + 1);
    return !extension.empty() && std::all_of(extension.begin(), extension.end(),
                                             [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace ceph::pictures
