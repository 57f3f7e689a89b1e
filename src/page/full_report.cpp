#include "page/full_report.h"

#include <cstdio>
#include <utility>

#include "base/safe_file.h"
#include "base/text_codec.h"
#include "page/full_page.h"
#include "store/settings.h"

namespace ceph::page {

namespace {

constexpr float kGap = 120;       // between two boxes, and a box and its caption
constexpr float kBoxesTop = 900;  // the captions of the two boxes
constexpr float kBoxesBottom = 6850;
constexpr float kTablesTop = 7000;

// Decodes one UTF-8 character at `i`, moving past it.
char32_t NextCharacter(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
    char32_t c = lead & (0x3F >> extra);
    for (int k = 0; k < extra && i < text.size(); ++k)
        c = (c << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    return c;
}

float CharacterWidth(char32_t c) {
    return c < 0x2000 ? 0.6f : 1.0f;
}

// The text cut short with "…" where it would run wider than `width`; empty when not
// even that fits.
std::string Fitted(const std::string& text, float size, float width) {
    if (TextWidth(size, text) <= width) return text;
    const float room = width - TextWidth(size, "…");
    if (room <= 0) return {};
    const std::vector<std::string> lines = WrapText(text, size, room);
    std::string cut = (lines.empty() ? std::string() : lines.front()) + "…";
    // Not even its first character fits.
    return TextWidth(size, cut) <= width ? cut : std::string();
}

// The practice's name, the patient and the tracing along the top, and the date printed
// at the right; a name too long for the page is cut short rather than run off it.
void DrawHeader(DrawingList& page, const FullReportInputs& in) {
    const std::string date = "列印日期 " + in.printedOn;
    const float dateLeft = kFullPageWidth - TextWidth(9, date);
    AddText(page, 9, dateLeft, 80, date, kPageGrey);
    if (!in.clinicName.empty()) AddText(page, 16, 0, 0, Fitted(in.clinicName, 16, dateLeft - 200));
    const model::Patient& p = in.patient;
    const std::pair<const char*, const std::string*> fields[] = {
        {"病歷號", &p.code},    {"姓名", &p.name},         {"性別", &p.sex},
        {"生日", &p.birthDate}, {"年齡", &in.tracing.age}, {"描圖", &in.tracing.caption}};
    float x = 0;
    for (const auto& [label, field] : fields) {
        if (field->empty()) continue;
        const float valueLeft = x + TextWidth(8, label) + 80;
        const std::string value = Fitted(*field, 11, kFullPageWidth - valueLeft);
        if (value.empty()) break;
        AddText(page, 8, x, 520, label, kPageGrey);
        AddText(page, 11, valueLeft, 480, value);
        x = valueLeft + TextWidth(11, value) + 280;
    }
    page.Add<DrawLine>(0.0f, 820.0f, kFullPageWidth, 820.0f, kPageGrey, 1);
}

}  // namespace

float TextWidth(float size, std::string_view text) {
    float ems = 0;
    for (std::size_t i = 0; i < text.size();)
        ems += CharacterWidth(NextCharacter(text, i));
    return ems * size * 20;
}

std::vector<std::string> WrapText(std::string_view text, float size, float width) {
    std::vector<std::string> lines;
    std::string line;
    float used = 0;
    std::size_t lastBlank = std::string::npos;  // in `line`
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const float w = CharacterWidth(NextCharacter(text, i)) * size * 20;
        if (used + w > width && !line.empty()) {
            // Back to the last blank when the line has one, else cut here.
            std::string rest;
            if (lastBlank != std::string::npos) {
                rest = line.substr(lastBlank + 1);
                line.resize(lastBlank);
            }
            lines.push_back(line);
            line = rest;
            used = TextWidth(size, line);
            lastBlank = std::string::npos;
        }
        if (text[start] == ' ') lastBlank = line.size();
        line.append(text.substr(start, i - start));
        used += w;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

void AddText(DrawingList& page, float size, float x, float y, std::string text, Colour colour) {
    page.Add<DrawText>(size, x, y, std::move(text), colour);
}

void AddFrame(DrawingList& page, const PageBox& b, Colour colour) {
    const float r = b.x + b.width, d = b.y + b.height;
    page.Add<DrawLine>(b.x, b.y, r, b.y, colour, 1);
    page.Add<DrawLine>(r, b.y, r, d, colour, 1);
    page.Add<DrawLine>(r, d, b.x, d, colour, 1);
    page.Add<DrawLine>(b.x, d, b.x, b.y, colour, 1);
}

void DrawFullReport(DrawingList& page, const FullReportInputs& in) {
    DrawHeader(page, in);
    const float half = (kFullPageWidth - 2 * kGap) / 2;
    const float boxTop = kBoxesTop + 230;
    AddText(page, 9, 0, kBoxesTop, "X 光片與描點");
    AddText(page, 9, half + 2 * kGap, kBoxesTop,
            in.figure.simulation.moved ? "模擬圖形（已移動）" : "模擬圖形");
    DrawRadiographBox(page, in, {0, boxTop, half, kBoxesBottom - boxTop});
    DrawFigureBox(page, in.figure, {half + 2 * kGap, boxTop, half, kBoxesBottom - boxTop});
    DrawAnalysisTables(page, in, kTablesTop, kFullPageHeight);
}

std::string ReadClinicName(const std::string& dataDir) {
    const std::string path = dataDir + kReportSettingsFile;
    const std::string name = store::ReadIniValue(path, "readceph", "ClinicName", "", 60);
    if (!name.empty()) return name;
    // An IT person may write the key alone, before any section.
    std::string bytes;
    if (base::ReadRegularFile(path, bytes, 1 << 20)) return {};
    return store::IniValueFromText("[readceph]\n" + base::DecodeHostText(bytes), "readceph",
                                   "ClinicName", "", 60);
}

std::string DateText(int year, int month, int day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

bool FigureAligned(float scale, float left, float top) {
    return !(scale == 1 && left == 0 && top == 0);
}

std::string MissingPictureText(const std::string& path) {
    if (path.empty()) return "找不到這張描圖的 X 光片。";
    return "找不到這張描圖的 X 光片：" + path;
}

}  // namespace ceph::page
