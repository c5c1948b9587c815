#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/outcome.h"

namespace dedur {

// A BDF font opened for editing glyph by glyph. The file's text is kept as
// read, and a save writes every line no edit touched byte for byte: the
// properties, comments, unknown keywords, SWIDTH and the file's line ends.
// A font opened and saved without a change is the same file.

// How the font numbers its glyphs, from CHARSET_REGISTRY.
enum class BdfEncodingKind {
    Unicode, // ISO10646: ENCODING is the code point
    Big5,    // ENCODING is the two-byte Big5 code
    Other,   // another registry (ISO8859, JISX0208...): ENCODING in its numbering
    Unknown, // no registry: ENCODING taken as it stands
};

struct BdfDocGlyph {
    std::string name;   // STARTCHAR's word
    long encoding = -1; // ENCODING's first number; -1: outside the encoding
    int advance = 0;    // DWIDTH's x
    int width = 0;      // BBX
    int height = 0;
    int xOffset = 0;
    int yOffset = 0;
    // packedRowBytes(width) bytes a row, from the top, packed as the pattern
    // store packs them (dotpacking.h): dot x is bit x % 8 of byte x / 8.
    std::vector<uint8_t> rows;
    // Where its text stands in the document's `text`: from the first line
    // after the glyph before it (comments between glyphs go with the glyph
    // after them), its STARTCHAR line, and the end of its ENDCHAR line (line
    // end included). All 0 for a glyph added since the file was read.
    size_t leadStart = 0;
    size_t firstLine = 0;
    size_t lineEnd = 0;
    // Comments that stood before glyphs deleted before it, written before it.
    std::string carried;
    bool edited = false; // written from these fields on save
    int readAdvance = 0; // DWIDTH as read: SWIDTH is recomputed only when it changed
    bool added() const { return lineEnd == 0; }
    bool dot(int x, int y) const {
        return (rows[static_cast<size_t>(y) * ((static_cast<size_t>(width) + 7) / 8) +
                     static_cast<size_t>(x / 8)] >>
                (x % 8)) &
               1;
    }
};

// A glyph's new look: its box (size and the offset of its lower-left corner
// from the origin), advance and rows, packed as BdfDocGlyph::rows.
struct BdfGlyphShape {
    int width = 0;
    int height = 0;
    int xOffset = 0;
    int yOffset = 0;
    int advance = 0;
    std::vector<uint8_t> rows;
};

// The smallest box that holds the set dots of `shape`, offsets moved so that
// every dot stays where it was against the origin; a shape with no dot set
// becomes a 0 x 0 box at the origin. The advance is kept.
BdfGlyphShape trimmedToDots(const BdfGlyphShape& shape);

struct BdfDocument {
    std::string text;                // the file as read
    std::vector<BdfDocGlyph> glyphs; // in the file's order (added ones where they go)

    // FONTBOUNDINGBOX.
    int boxWidth = 0;
    int boxHeight = 0;
    int boxX = 0;
    int boxY = 0;
    // Rows above and below the baseline: FONT_ASCENT and FONT_DESCENT, else
    // from the bounding box.
    int ascent = 0;
    int descent = 0;
    // CHARSET_REGISTRY and CHARSET_ENCODING as written ("ISO10646", "1").
    std::string registry;
    std::string registryEncoding;
    BdfEncodingKind encodingKind = BdfEncodingKind::Unknown;
    // For SWIDTH: POINT_SIZE (decipoints) and RESOLUTION_X, else SIZE's.
    int pointSize10 = 0;
    int resolutionX = 0;
    // Glyphs whose ENCODING another glyph before them has too (the first
    // one is the one glyphIndexOf finds).
    int duplicateEncodings = 0;

    // Where the lines a save may rewrite stand in `text` (start of the line,
    // end before its line end).
    size_t charsLine = 0, charsLineEnd = 0;
    size_t boxLine = 0, boxLineEnd = 0;
    // Where the first glyph's STARTCHAR stands (the end of the header), and
    // where the text after the last glyph begins (ENDFONT and what follows).
    size_t headerEnd = 0;
    size_t tailStart = 0;
    int charsRead = 0;              // CHARS as read
    std::string lineEndText = "\n"; // the file's line end, for lines we write
    std::string carriedToTail;      // comments of deleted glyphs that stood last

    // The glyph with this ENCODING (a code point in a Unicode font), -1 when
    // none: a binary search.
    int glyphIndexOf(long encoding) const;
    // Whether anything was edited, added or deleted since the read.
    bool changed() const { return changed_; }

    // Gives glyph `index` a new shape; refused (nothing changes) when a size,
    // offset or advance is out of limits or the rows are not the shape's.
    Outcome setGlyph(int index, const BdfGlyphShape& shape);
    // Adds a blank glyph for `encoding` (a code point 0..0x10FFFF in a
    // Unicode font, any ENCODING up to that in others), named "uniXXXX"
    // ("uXXXXX" past U+FFFF), with the font's bounding box and an advance of
    // its width, placed before the first glyph of a larger encoding: its
    // index, or -1 when the font has that encoding already, the number is out
    // of range or the font is full.
    int addGlyph(long encoding);
    // Removes glyph `index`; the comments before it stay.
    void deleteGlyph(int index);

    // Rebuilds the encoding index; the reader and the edits call it.
    void reindex();

  private:
    std::vector<std::pair<long, int>> byEncoding_; // sorted; first glyph of each encoding
    bool changed_ = false;
};

// Reads a BDF font from `text` (`name` is the file for messages). A
// malformed or oversized font is refused with the line and the reason, and
// `out` is left empty.
Outcome parseBdfDocument(std::string text, const std::string& name, BdfDocument& out);
// The same from the regular file at `path`, read whole up to the limit.
Outcome readBdfDocument(const std::string& path, BdfDocument& out);
// The font's text as a save writes it.
std::string bdfDocumentText(const BdfDocument& doc);
// Saves the font through the safe write.
Outcome writeBdfDocument(const std::string& path, const BdfDocument& doc);
// Saves it and, once saved, takes what was written as the text read: nothing
// is changed any more and the glyphs keep their indexes.
Outcome saveBdfDocument(const std::string& path, BdfDocument& doc);

// "ISO10646-1 (Unicode)", "Big5.ETen-0", "no registry": the encoding in a few
// words for the info lines.
std::string bdfEncodingLabel(const BdfDocument& doc);

} // namespace dedur
