#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/outcome.h"
#include "code/codejob.h"
#include "fonts/bdf.h"

namespace dedur {

// A user's own font as the source of an export or a subset: a BDF font, or
// any font FreeType reads (TrueType, OpenType, collections, PCF) drawn at one
// pixel size.

struct FontSourceOptions {
    // Pixels: the bitmap strike of that size when the font has one, else its
    // outlines drawn at that size. 0: a BDF, or a font of one strike.
    int size = 0;
    int face = 0; // of a collection
    // Only these characters (sorted); empty with `all` for every glyph.
    std::vector<char32_t> characters;
    bool all = true;
};

struct FontSource {
    // By code point, each once, each with its advance; the line is set.
    BdfFont font;
    std::vector<char32_t> missing; // asked for, and the font has no glyph for them
    int leftOut = 0;               // control codes, codes without a Unicode character, repeats
    int undrawn = 0;               // glyphs FreeType could not draw
    std::string drawnFrom;         // "its 16-pixel bitmap strike", for a person
};

// Whether the bytes are BDF text (they begin with STARTFONT).
bool isBdfText(std::string_view bytes);

// Reads the font from its bytes (`name` for messages). A BDF keeps its boxes
// and offsets as written, Big5 codes turned into Unicode; a glyph without
// DWIDTH advances past its box, a font without a line gets one from its
// boxes. Through FreeType: each glyph rendered in one bit per dot, its box
// cut to its dots, placed by the bitmap's left and top, its advance rounded
// to whole dots, and the line from the size's ascender and descender.
// Outlines are drawn with the font's own hints and never the auto-hinter, so
// that what is drawn is what the font's maker tuned (or the plain outline).
// Refused (and `out` empty) past the limits or when nothing can be read.
Outcome readFontSource(std::string_view bytes, const std::string& name,
                       const FontSourceOptions& options, FontSource& out);

// A font as BDF 2.1 text named `name`, handed to `sink` a piece at a time:
// each glyph's box and offsets as given, at 72 dots per inch (its point size
// is its pixel size, ascent plus descent). A code point above U+FFFF stands
// with ENCODING -1 and its code point in its name, as the X11 tools need.
void writeBdfFont(const BdfFont& font, const std::string& name, const CodeSink& sink);

} // namespace dedur
