#pragma once

#include <map>
#include <string>

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
};

// The font the patterns make; the line is the tallest pattern's.
BdfFont iconFont(const CodeJob& job, const IconFontOptions& options);

// The icon font in the format, then, for each pattern with a name,
// #define NAME_ICON_<name> with its code and its UTF-8 string. Refused, with
// nothing handed on, as the format refuses the font or when a code would
// pass U+10FFFF.
Outcome writeIconFont(FontFormat format, const CodeJob& job, const IconFontOptions& options,
                      const FontOutput& output, const CodeSink& sink);

} // namespace dedur
