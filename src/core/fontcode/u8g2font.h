#pragma once

#include "fontcode/fontformats.h"

namespace dedur {

// u8g2's run-length font (its converter's format 1), byte for byte what its
// BDF converter makes of the same glyphs: each box cut to its dots, the
// run-length widths that give the fewest bytes, glyphs above 255 behind the
// Unicode lookup table. Refused naming the glyph when one passes the
// format's limits (a record of more than 254 bytes, a code above U+FFFF).
Outcome writeU8g2Font(const BdfFont& font, const FontOutput& output, const CodeSink& sink);
// The font as u8g2 draws it, read back from those bytes the library's way;
// the line is u8g2's whole-font reference height (the font's box, or 'A'
// and 'g' where they reach further).
Outcome u8g2DrawnFont(const BdfFont& font, const FontOutput& output, BdfFont& out);

// Why NAME cannot name a u8g2 font, or "" when it can.
std::string u8g2NameProblem(const std::string& name);

} // namespace dedur
