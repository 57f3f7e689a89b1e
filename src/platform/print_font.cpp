#include "platform/print_font.h"

#include <QFontDatabase>
#include <QHash>
#include <QRawFont>
#include <algorithm>
#include <array>
#include <unordered_map>

namespace ceph::platform {
namespace {

quint16 Read16(const QByteArray& b, qsizetype at) {
    if (at < 0 || at + 2 > b.size()) return 0;
    const auto* p = reinterpret_cast<const uchar*>(b.constData()) + at;
    return static_cast<quint16>(p[0] << 8 | p[1]);
}

quint32 Read32(const QByteArray& b, qsizetype at) {
    if (at < 0 || at + 4 > b.size()) return 0;
    return static_cast<quint32>(Read16(b, at)) << 16 | Read16(b, at + 2);
}

void Append16(QByteArray& b, unsigned v) {
    b.append(static_cast<char>(v >> 8 & 0xFF));
    b.append(static_cast<char>(v & 0xFF));
}

void Append32(QByteArray& b, quint32 v) {
    Append16(b, v >> 16);
    Append16(b, v & 0xFFFF);
}

void Put32(QByteArray& b, qsizetype at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>(v >> (24 - 8 * i) & 0xFF);
}

quint32 TagOf(const char* name) {
    return static_cast<quint32>(static_cast<uchar>(name[0])) << 24 |
           static_cast<quint32>(static_cast<uchar>(name[1])) << 16 |
           static_cast<quint32>(static_cast<uchar>(name[2])) << 8 | static_cast<uchar>(name[3]);
}

void ReadFormat12(const QByteArray& cmap, qsizetype at, CharacterMap& map) {
    const quint32 groups = Read32(cmap, at + 12);
    for (quint32 g = 0; g < groups; ++g) {
        const qsizetype group = at + 16 + 12 * static_cast<qsizetype>(g);
        if (group + 12 > cmap.size()) break;
        const quint32 first = Read32(cmap, group), last = Read32(cmap, group + 4);
        const quint32 glyph = Read32(cmap, group + 8);
        if (first > last || last > 0x10FFFF) continue;
        for (quint32 c = first; c <= last; ++c)
            if (glyph + (c - first) != 0) map.emplace_back(c, glyph + (c - first));
    }
}

void ReadFormat4(const QByteArray& cmap, qsizetype at, CharacterMap& map) {
    const int segments = Read16(cmap, at + 6) / 2;
    const qsizetype ends = at + 14, starts = ends + 2 * segments + 2;
    const qsizetype deltas = starts + 2 * segments, rangeOffsets = deltas + 2 * segments;
    for (int s = 0; s < segments; ++s) {
        const unsigned first = Read16(cmap, starts + 2 * s), last = Read16(cmap, ends + 2 * s);
        const unsigned delta = Read16(cmap, deltas + 2 * s);
        const qsizetype rangeOffsetAt = rangeOffsets + 2 * s;
        const unsigned rangeOffset = Read16(cmap, rangeOffsetAt);
        for (unsigned c = first; c <= last && c != 0xFFFF; ++c) {
            unsigned glyph = c;
            if (rangeOffset != 0) {
                glyph = Read16(cmap, rangeOffsetAt + rangeOffset + 2 * (c - first));
                if (glyph == 0) continue;
            }
            glyph = (glyph + delta) & 0xFFFF;
            if (glyph != 0) map.emplace_back(c, glyph);
        }
    }
}

// Radicals and compatibility forms are drawn with the glyph of the ideograph or letter they
// resemble; text in this program means the ordinary character.
bool IsLookalike(char32_t c) {
    if (c >= 0x2E80 && c <= 0x2FDF) return true;  // CJK radicals supplement, Kangxi radicals
    const QString s = QString::fromUcs4(&c, 1);
    return s.normalized(QString::NormalizationForm_KC) != s;
}

// The PostScript name the face gives itself, which PDF files name the font by.
QString PostScriptName(const QByteArray& names) {
    const int count = Read16(names, 2);
    const qsizetype strings = Read16(names, 4);
    for (int i = 0; i < count; ++i) {
        const qsizetype record = 6 + 12 * i;
        const quint16 platform = Read16(names, record), id = Read16(names, record + 6);
        const qsizetype length = Read16(names, record + 8);
        const qsizetype at = strings + Read16(names, record + 10);
        if (id != 6 || at + length > names.size()) continue;
        if (platform == 1) return QString::fromLatin1(names.mid(at, length));
        if (platform != 0 && platform != 3) continue;
        QString name;
        for (qsizetype k = 0; k + 1 < length; k += 2)
            name += QChar(Read16(names, at + k));
        return name;
    }
    return {};
}

QByteArray WriteNames(const QString& family, const QString& style, const QString& postScript) {
    const QString names[] = {family, style, family + u' ' + style, postScript};
    const quint16 ids[] = {1, 2, 4, 6};
    const int count = postScript.isEmpty() ? 3 : 4;
    QByteArray strings;
    QByteArray table;
    Append16(table, 0);
    Append16(table, static_cast<unsigned>(count));
    Append16(table, static_cast<unsigned>(6 + 12 * count));
    for (int i = 0; i < count; ++i) {
        QByteArray utf16;
        for (const QChar ch : names[i])
            Append16(utf16, ch.unicode());
        Append16(table, 3);      // Windows
        Append16(table, 1);      // Unicode BMP
        Append16(table, 0x409);  // English (United States)
        Append16(table, ids[i]);
        Append16(table, static_cast<unsigned>(utf16.size()));
        Append16(table, static_cast<unsigned>(strings.size()));
        strings += utf16;
    }
    return table + strings;
}

quint32 Checksum(const QByteArray& data) {
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const qsizetype size = data.size();
    quint32 sum = 0;
    qsizetype at = 0;
    for (; at + 4 <= size; at += 4)
        sum += static_cast<quint32>(p[at]) << 24 | static_cast<quint32>(p[at + 1]) << 16 |
               static_cast<quint32>(p[at + 2]) << 8 | p[at + 3];
    quint32 tail = 0;
    for (qsizetype i = at; i < at + 4; ++i)
        tail = tail << 8 | (i < size ? p[i] : 0u);
    return sum + tail;
}

// An sfnt file of `tables`, which must be sorted by tag and hold a head table.
QByteArray WriteFont(quint32 version, std::vector<std::pair<quint32, QByteArray>> tables) {
    const auto count = static_cast<unsigned>(tables.size());
    unsigned power = 1, log2 = 0;
    while (power * 2 <= count)
        power *= 2, ++log2;
    QByteArray font;
    Append32(font, version);
    Append16(font, count);
    Append16(font, power * 16);
    Append16(font, log2);
    Append16(font, count * 16 - power * 16);
    qsizetype offset = 12 + 16 * static_cast<qsizetype>(count), headAt = -1;
    for (auto& [tag, data] : tables) {
        if (tag == TagOf("head")) {
            headAt = offset;
            Put32(data, 8, 0);  // checkSumAdjustment, set once the whole file is known
        }
        Append32(font, tag);
        Append32(font, Checksum(data));
        Append32(font, static_cast<quint32>(offset));
        Append32(font, static_cast<quint32>(data.size()));
        offset += (data.size() + 3) / 4 * 4;
    }
    for (const auto& entry : tables) {
        font += entry.second;
        font.append((4 - entry.second.size() % 4) % 4, '\0');
    }
    Put32(font, headAt + 8, 0xB1B0AFBA - Checksum(font));
    return font;
}

// The tables taken over unchanged: outlines, metrics, hinting, bitmaps and positioning.
// GSUB and the AAT substitution tables are left out so that the shaper draws every character
// with the glyph the character map gives it; DSIG no longer fits the changed file.
constexpr std::array kKeptTables = {"BASE", "CFF ", "COLR", "CPAL", "EBDT", "EBLC", "EBSC",
                                    "GDEF", "GPOS", "LTSH", "OS/2", "VDMX", "VORG", "cvt ",
                                    "fpgm", "gasp", "glyf", "hdmx", "hhea", "hmtx", "kern",
                                    "loca", "maxp", "post", "prep", "vhea", "vmtx"};

QString RegisterPrintFace(const QRawFont& raw) {
    CharacterMap map = ReadCharacterMap(raw.fontTable("cmap"));
    const QByteArray head = raw.fontTable("head");
    if (map.empty() || head.size() < 54) return {};
    const QString family = raw.familyName() + QStringLiteral(" print");
    std::vector<std::pair<quint32, QByteArray>> tables = {
        {TagOf("cmap"), WriteCharacterMap(OneCharacterPerGlyph(map))},
        {TagOf("head"), head},
        {TagOf("name"),
         WriteNames(family, raw.styleName(), PostScriptName(raw.fontTable("name")))}};
    for (const char* name : kKeptTables) {
        QByteArray data = raw.fontTable(name);
        if (!data.isEmpty()) tables.emplace_back(TagOf(name), std::move(data));
    }
    const bool cff = std::any_of(tables.begin(), tables.end(),
                                 [](const auto& t) { return t.first == TagOf("CFF "); });
    std::sort(tables.begin(), tables.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    const int id = QFontDatabase::addApplicationFontFromData(
        WriteFont(cff ? TagOf("OTTO") : 0x00010000, std::move(tables)));
    return id < 0 ? QString() : QFontDatabase::applicationFontFamilies(id).value(0);
}

}  // namespace

CharacterMap ReadCharacterMap(const QByteArray& cmap) {
    qsizetype best = -1;
    quint16 bestFormat = 0;
    const int subtables = Read16(cmap, 2);
    for (int i = 0; i < subtables; ++i) {
        const qsizetype record = 4 + 8 * i;
        const quint16 platform = Read16(cmap, record), encoding = Read16(cmap, record + 2);
        const qsizetype at = Read32(cmap, record + 4);
        const bool unicode = platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
        const quint16 format = Read16(cmap, at);
        if (unicode && (format == 12 || (format == 4 && bestFormat != 12)))
            best = at, bestFormat = format;
    }
    CharacterMap map;
    if (bestFormat == 12) ReadFormat12(cmap, best, map);
    if (bestFormat == 4) ReadFormat4(cmap, best, map);
    std::sort(map.begin(), map.end());
    map.erase(std::unique(map.begin(), map.end(),
                          [](const auto& a, const auto& b) { return a.first == b.first; }),
              map.end());
    return map;
}

CharacterMap OneCharacterPerGlyph(const CharacterMap& map) {
    std::unordered_map<unsigned, int> uses;
    for (const auto& [c, glyph] : map)
        ++uses[glyph];
    std::unordered_map<unsigned, bool> hasOrdinary;
    for (const auto& [c, glyph] : map)
        if (uses[glyph] > 1 && !IsLookalike(c)) hasOrdinary[glyph] = true;
    CharacterMap kept;
    kept.reserve(map.size());
    for (const auto& entry : map)
        if (!hasOrdinary[entry.second] || !IsLookalike(entry.first)) kept.push_back(entry);
    return kept;
}

QByteArray WriteCharacterMap(const CharacterMap& map) {
    struct Group {
        char32_t first, last;
        unsigned glyph;
    };
    std::vector<Group> groups;
    for (const auto& [c, glyph] : map) {
        if (!groups.empty() && groups.back().last + 1 == c &&
            groups.back().glyph + (c - groups.back().first) == glyph)
            groups.back().last = c;
        else
            groups.push_back({c, c, glyph});
    }
    QByteArray table;
    Append16(table, 0);  // version
    Append16(table, 2);  // subtables, both pointing to the one format 12 table below
    Append16(table, 0);  // Unicode
    Append16(table, 4);  // full repertoire
    Append32(table, 20);
    Append16(table, 3);   // Windows
    Append16(table, 10);  // full repertoire
    Append32(table, 20);
    Append16(table, 12);
    Append16(table, 0);
    Append32(table, static_cast<quint32>(16 + 12 * groups.size()));
    Append32(table, 0);  // language
    Append32(table, static_cast<quint32>(groups.size()));
    for (const Group& g : groups) {
        Append32(table, g.first);
        Append32(table, g.last);
        Append32(table, g.glyph);
    }
    return table;
}

QFont PrintFont(const QFont& font) {
    // One registration per face for the life of the program: the face's data stays with
    // the font database.
    static QHash<QString, QString> registered;
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) return font;
    if (!registered.key(raw.familyName()).isEmpty()) return font;  // already a print face
    const QString key = raw.familyName() + u'\n' + raw.styleName();
    auto it = registered.find(key);
    if (it == registered.end()) it = registered.insert(key, RegisterPrintFace(raw));
    if (it->isEmpty()) return font;
    QFont print = font;
    print.setFamilies({*it});
    return print;
}

}  // namespace ceph::platform
