#include "base/text_codec.h"

#ifdef _WIN32
#include "base/windows_api.h"
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace ceph::base {

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        int extra;
        char32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1, cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2, cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16 after its byte-order mark; unpaired surrogates and an odd last byte become
// U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (char32_t{a} << 8 | b) : (char32_t{b} << 8 | a);
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(out, u >= 0xD800 && u < 0xE000 ? char32_t{0xFFFD} : u);
    }
    if (i < bytes.size()) AppendUtf8(out, 0xFFFD);
    return out;
}

}  // namespace

std::string DecodeHostText(std::string_view bytes) {
    // Some editors and the Windows "Unicode" save write UTF-16 with its mark; read as
    // code page 950 it would be text with a NUL between the characters.
    if (bytes.substr(0, 2) == "\xFF\xFE") return Utf16ToUtf8(bytes.substr(2), false);
    if (bytes.substr(0, 2) == "\xFE\xFF") return Utf16ToUtf8(bytes.substr(2), true);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return Big5ToUtf8(bytes);
}

#ifdef _WIN32

namespace {
constexpr UINT kBig5 = 950;

std::string Narrow(const std::wstring& w, UINT to) {
    if (w.empty()) return {};
    const int wide = static_cast<int>(w.size());
    int narrow = WideCharToMultiByte(to, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(to, 0, w.data(), wide, out.data(), narrow, nullptr, nullptr);
    return out;
}

std::string Convert(std::string_view in, UINT from, UINT to) {
    if (in.empty()) return {};
    int wide = MultiByteToWideChar(from, 0, in.data(), static_cast<int>(in.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(from, 0, in.data(), static_cast<int>(in.size()), w.data(), wide);
    return Narrow(w, to);
}
}  // namespace

// One character at a time, so that a damaged byte reads as U+FFFD and is skipped, as
// with iconv elsewhere. Windows itself would make a byte that starts no character
// U+F8F8 or "?", and a "?" in a patient's name looks like text. Big5 has no
// characters of one byte above ASCII; the user-defined ones of two bytes keep the
// private-use code points Windows gives them, which the practice's own font shows.
std::string Big5ToUtf8(std::string_view bytes) {
    std::wstring wide;
    wide.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            wide += static_cast<wchar_t>(c);
            ++i;
            continue;
        }
        wchar_t unit = 0;
        if (i + 1 < bytes.size() && IsDBCSLeadByteEx(kBig5, c) &&
            MultiByteToWideChar(kBig5, MB_ERR_INVALID_CHARS, bytes.data() + i, 2, &unit, 1) == 1) {
            wide += unit;
            i += 2;
        } else {
            wide += L'\xFFFD';
            ++i;
        }
    }
    return Narrow(wide, CP_UTF8);
}
std::string Utf8ToBig5(std::string_view text) {
    return Convert(text, CP_UTF8, kBig5);
}

#else

namespace {

// Converts with iconv; an invalid or incomplete sequence is replaced by `replacement`
// and skipped one byte at a time, so a damaged file still yields its readable text.
std::string Convert(std::string_view in, const char* to, const char* from,
                    std::string_view replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    std::string out;
    std::string chunk(4096, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = chunk.data();
        std::size_t dstLeft = chunk.size();
        std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(chunk.data(), chunk.size() - dstLeft);
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out += replacement;
            ++src;
            --srcLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string Big5ToUtf8(std::string_view bytes) {
    return Convert(bytes, "UTF-8", "CP950", "\xEF\xBF\xBD");
}
std::string Utf8ToBig5(std::string_view text) {
    return Convert(text, "CP950", "UTF-8", "?");
}

#endif

}  // namespace ceph::base
