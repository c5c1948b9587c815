#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "code/codejob.h"
#include "fontcode/fontformats.h"

namespace dedur {

// Patterns as the glyphs of a font: pattern N of the job at code
// first + N - 1 (N counted in the job, from 1), each glyph's box the
// pattern's size, its advance its width plus `spacing`, standing on the
// baseline `baseline` rows above its bottom row (0: the bottom row stands on
// it).
struct IconFontOptions {
    char32_t first = 0xE000;
    int spacing = 0;
    int baseline = 0;
    // The patterns' own names (by pattern number, as the sidecar keeps
    // them): each becomes the name of its icon's code.
    std::map<int, std::string> names;
};

// "lvgl-font", "u8g2-font", "gfx-font": the code command's names of the
// font formats.
std::optional<FontFormat> iconFontFormatNamed(std::string_view name);

// The font the patterns make; the line is the tallest pattern's.
BdfFont iconFont(const CodeJob& job, const IconFontOptions& options);

// The code of one icon under the names the output defines: NAME_ICON_<name>
// (the pattern's name, or its number when it has none, upper-cased) and
// NAME_ICON_<name>_STR, its UTF-8 string.
struct IconCode {
    int pattern = 0;
    char32_t code = 0;
    std::string define;
};
std::vector<IconCode> iconCodes(const CodeJob& job, const IconFontOptions& options,
                                const std::string& fontName);

// Why the patterns cannot make an icon font in the format: codes past
// U+10FFFF, in the surrogates, below 0x20 or on a space character (drawn
// blank), codes that Adafruit GFX cannot draw, spacing or baseline out of
// range, a name that is not an identifier, two names giving one define. Ok
// otherwise.
Outcome checkIconFont(FontFormat format, const CodeJob& job, const IconFontOptions& options,
                      const std::string& fontName);

// The defines of the icons' codes, then the icon font in the format (left
// out where NAME_ICONS_CODES_ONLY is defined, so that other files can
// include the codes alone). Refused, with nothing handed on, as
// checkIconFont or the format refuses.
Outcome writeIconFont(FontFormat format, const CodeJob& job, const IconFontOptions& options,
                      const FontOutput& output, const CodeSink& sink);

} // namespace dedur
