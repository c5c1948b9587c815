#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "code/glyphsubset.h"
#include "fonts/bdf.h"

namespace dedur {

// The glyph files' glyphs as a font for the display libraries' formats:
// each glyph's box cut to its dots (a glyph with none, a space, keeps only
// its advance), its advance the cell's width, the line the file's.

// The glyphs of the given records (pairs of code point and record, record -1
// a blank space), as fontRecords gives them.
BdfFont glyphFileFont(std::string_view fileBytes, GlyphFileKind kind,
                      const std::vector<std::pair<long, int>>& recordsByCodePoint);

// The glyphs of a subset: its ASCII, 8 dots wide, from `asciiBytes`, and
// what it took from the symbol files from their bytes.
BdfFont subsetFont(const GlyphSubset& subset, std::string_view fileBytes,
                   std::string_view asciiBytes, std::string_view symbolBytes = {},
                   std::string_view symbolSuppBytes = {});

// Cuts a glyph's box to the rows and columns that hold dots, moving its
// offsets so that every dot stays where it was drawn; a box without dots
// becomes empty at its left edge and its top.
void cutToDots(BdfGlyph& glyph);

} // namespace dedur
