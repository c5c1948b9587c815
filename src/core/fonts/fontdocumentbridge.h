#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/outcome.h"
#include "document/patternstore.h"
#include "fonts/bdfdocument.h"

namespace dedur {

// A BDF font held in the pattern store, one record a glyph, so that every
// drawing tool, the undo history and the navigation work on glyphs as they do
// on patterns. A glyph's record is a canvas that covers the font's bounding
// box, the glyph's own box and its advance (each axis falls back to less when
// that would pass the side limit). Its header keeps where the origin stands:
//   beginSeg    the origin's column in the canvas,
//   beginCom    the baseline's row: the number of canvas rows above it,
//   leftToRight the advance.
// A saved glyph's box is its ink's tight box; a glyph whose record is as it
// was read keeps its text.

// The record of `shape` drawn in the font's canvas.
std::vector<uint8_t> glyphRecord(const BdfDocument& font, const BdfGlyphShape& shape);
BdfGlyphShape shapeOfGlyph(const BdfDocGlyph& glyph);
// The shape a record stands for: the whole canvas as the box, placed against
// the origin (not trimmed).
BdfGlyphShape shapeOfRecord(const uint8_t* record, size_t length);

// Replaces `doc` by the font's glyphs, the first current. Refused (nothing
// changes) for a font without a glyph or one whose canvases together pass
// the limit.
Outcome loadFontDocument(const BdfDocument& font, Document& doc);
// Puts every glyph whose record changed into the font, cut to its ink.
// Refused when the store no longer holds one record a glyph.
Outcome applyFontDocument(const Document& doc, BdfDocument& font);

// The current record's shape, cut to its ink, with its advance.
BdfGlyphShape currentGlyphShape(const Document& doc);
// Makes the current record the canvas of `shape` (its size may change) and
// loads it as the working copy. Refused when the shape is out of limits.
Outcome reframeCurrentGlyph(Document& doc, const BdfDocument& font, const BdfGlyphShape& shape);

// Whether `path` names a BDF font (by its extension, in any case).
bool isBdfPath(const std::string& path);
// Reads the BDF font at `path` into `font` and `doc`; a refusal changes
// neither.
Outcome openFontDocument(const std::string& path, Document& doc, BdfDocument& font);
// The edits into the font, then the font to `path` through the safe write.
Outcome saveFontDocument(const std::string& path, const Document& doc, BdfDocument& font);

// A blank glyph for `encoding`, in the font and in the store at the same
// place, made current: its index, or -1 (nothing changed).
int addFontGlyph(Document& doc, BdfDocument& font, long encoding);
// Removes the current glyph from both; refused for the only one.
bool deleteFontGlyph(Document& doc, BdfDocument& font);

} // namespace dedur
