#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/outcome.h"
#include "code/codejob.h"
#include "fonts/bdf.h"

namespace dedur {

// The font formats of the display libraries firmware draws with: LVGL's
// lv_font_fmt_txt, u8g2's run-length fonts and Adafruit GFX's GFXfont.
enum class FontFormat { Lvgl, U8g2, Gfx };

inline constexpr FontFormat AllFontFormats[] = {FontFormat::Lvgl, FontFormat::U8g2,
                                                FontFormat::Gfx};

// "lvgl", "u8g2", "gfx".
const char* fontFormatName(FontFormat format);
std::optional<FontFormat> fontFormatNamed(std::string_view name);

struct FontOutput {
    std::string name;    // the C identifier of the font
    std::string comment; // one line for the top of the file (where the glyphs come from)
    // Adafruit GFX draws codes 0 to 255 only: the characters onto consecutive
    // codes from 0x20, with a table from code point to code and a UTF-8 helper.
    bool gfxRemap = false;
};

// The font given to the writers: glyphs in code-point order, each code point
// once (`encoding` is the code point), each with its box of dots ('1'/'0',
// row after row from the top) placed by its offsets from the origin on the
// baseline and its advance (>= 0); `ascent` and `descent` are the line.
// The writers keep the boxes as given (but where the format's own converter
// trims them), so a source chooses them.

// Checks first (a glyph past one of the format's limits, codes the library
// cannot draw: the refusal names the glyph), then hands the text to `sink` a
// piece at a time; nothing is handed on when it is refused.
Outcome writeFont(FontFormat format, const BdfFont& font, const FontOutput& output,
                  const CodeSink& sink);

// The font as the library will draw it, decoded from the bytes the writer
// makes (not copied from `font`): each glyph's box, offsets and advance, and
// the line, under the code points of `font`. Refused as writeFont refuses.
Outcome drawnFont(FontFormat format, const BdfFont& font, const FontOutput& output, BdfFont& out);

} // namespace dedur
