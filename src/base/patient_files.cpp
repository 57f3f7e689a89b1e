#include "base/patient_files.h"

#include <array>

#include "base/filesys.h"

namespace ceph::base {

namespace {

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

// Windows opens the device whatever follows the name's first dot ("CON.x" is CON), and
// disregards blanks before that dot.
bool IsDeviceName(std::string_view code) {
    std::string_view stem = code.substr(0, code.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    constexpr std::array<std::string_view, 6> kDevices{"CON", "PRN",    "AUX",
                                                       "NUL", "CONIN$", "CONOUT$"};
    for (std::string_view device : kDevices)
        if (SameLetters(stem, device)) return true;
    // COM0..COM9, LPT0..LPT9, and the superscript digits ¹ ² ³ Windows also takes.
    if (stem.size() < 4 ||
        !(SameLetters(stem.substr(0, 3), "COM") || SameLetters(stem.substr(0, 3), "LPT")))
        return false;
    const std::string_view number = stem.substr(3);
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

}  // namespace

Result<void> CheckCodeName(std::string_view code) {
    const auto refused = [](std::string why) { return Fail({}, {}, std::move(why)); };
    if (code.empty()) return refused("是空的");
    for (const char c : code) {
        if (IsControl(static_cast<unsigned char>(c))) return refused("含有控制字元");
        if (c == '/' || c == '\\') return refused(std::string("含有資料夾分隔字元「") + c + "」");
        if (std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
            return refused(std::string("含有 Windows 檔名不能用的字元「") + c + "」");
    }
    if (code.back() == '.' || code.back() == ' ') return refused("以句點或空白結尾");
    if (IsDeviceName(code)) return refused("是 Windows 保留給裝置的名稱");
    return {};
}

std::string Printable(std::string_view text) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (!IsControl(byte)) {
            out += c;
            continue;
        }
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    }
    return out;
}

std::string TracingPictureFile(const std::string& pictureDir, std::string_view code, int n) {
    if (!CheckCodeName(code)) return std::string();
    const std::string bitmap = pictureDir + std::string(code) + "_" + std::to_string(n) + ".bmp";
    if (FileExists(bitmap)) return bitmap;
    return bitmap.substr(0, bitmap.size() - 3) + "jpg";
}

}  // namespace ceph::base
