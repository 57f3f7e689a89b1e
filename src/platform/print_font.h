// The font the page is drawn with on paper, in PDF files and in page pictures.
#pragma once

#include <QFont>
#include <QString>
#include <utility>
#include <vector>

namespace ceph::platform {

// `font` with its face registered a second time under its own family so that every glyph it
// draws stands for exactly one character. Qt's PDF writer knows which character a glyph is
// only by looking the glyph up in the face's character map, taking the lowest code point that
// reaches it: with a CJK face, 大 comes back as the Kangxi radical ⼤ that shares its glyph,
// and glyphs the shaper substitutes (digits next to Latin letters, ligatures) come back as
// nothing. The second registration leaves out such look-alike characters and the glyph
// substitutions; outlines, metrics and kerning are the face's own, so the page looks as on
// screen. When the face cannot be re-registered, `font` is returned as it is.
QFont PrintFont(const QFont& font);

// The pieces, for tests.
using CharacterMap = std::vector<std::pair<char32_t, unsigned>>;  // code point, glyph

// The Unicode mapping of an OpenType cmap table (format 12, else format 4), by code point.
CharacterMap ReadCharacterMap(const QByteArray& cmap);

// `map` without the radicals and compatibility forms whose glyph also stands for an
// ordinary character.
CharacterMap OneCharacterPerGlyph(const CharacterMap& map);

// A cmap table holding `map` (sorted by code point) as a format 12 subtable.
QByteArray WriteCharacterMap(const CharacterMap& map);

}  // namespace ceph::platform
