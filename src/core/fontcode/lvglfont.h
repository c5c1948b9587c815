#pragma once

#include "fontcode/fontformats.h"

namespace dedur {

// One C file of LVGL's lv_font_fmt_txt (LVGL 8 and 9): 1 bit per dot,
// plain bitmaps, the code points in cmaps of gapless ranges and sparse
// lists, whichever keep the font smallest. Refused before anything is
// handed on: a name that cannot be the font's identifier, a glyph past what
// a glyph description holds (box 255, offsets -128..127, advance 255), a
// bitmap past 1 MB, more than 65535 glyphs, U+0000.
Outcome writeLvglFont(const BdfFont& font, const FontOutput& output, const CodeSink& sink);

// The font as LVGL draws it: each code point looked up through the cmaps
// the writer makes, its glyph description and bits read back.
Outcome lvglDrawnFont(const BdfFont& font, const FontOutput& output, BdfFont& out);

} // namespace dedur
