#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/outcome.h"

namespace dedur {

// The glyph files as bitmap fonts in BDF 2.1, the format the X11 font tools
// and the display libraries' font converters read.

// Which glyph file: its cell and how its records are numbered.
// The symbol files hold, from record 1, the Big5 codes from A140 (407 of
// them) and from C6A1 (364) in turn.
enum class GlyphFileKind { Big5_16x15, Big5_24x24, Ascii8x15, Symbol16x15, SymbolSupp16x15 };

struct GlyphFileShape {
    int width;
    int height;
    int recordBytes;
    int records; // records the file holds
    int ascent;  // rows above the baseline
};
GlyphFileShape glyphFileShape(GlyphFileKind kind);

// Why the glyph file at `path` cannot be read whole, for a person ("it holds
// 400000 bytes, more than the 392820 of its 13094 glyphs"); empty when it can
// or when nothing stands there (a save makes it). A file that cannot be read
// whole is never written: what could not be read would be lost.
std::string glyphFileProblem(const std::string& path, GlyphFileKind kind);
// The whole glyph file (empty when nothing stands there); false with the
// reason in `why` when glyphFileProblem has one.
bool readGlyphFile(const std::string& path, GlyphFileKind kind, std::string& out, std::string& why);

// One glyph of a BDF font: its encoding, its box (width, height, and the
// offset of its lower-left corner from the origin) and its rows.
struct BdfGlyph {
    long encoding = -1;
    int advance = -1; // DWIDTH; -1 when the glyph gives none
    int width = 0;
    int height = 0;
    int xOffset = 0;
    int yOffset = 0;
    std::vector<uint8_t> dots; // '1'/'0', row after row from the top
};

struct BdfFont {
    // The font's line: rows above and below the baseline, from FONT_ASCENT
    // and FONT_DESCENT, else from FONTBOUNDINGBOX; `lined` is false when it
    // has neither.
    int ascent = 0;
    int descent = 0;
    bool lined = false;
    // Glyphs encoded by Big5 code (CHARSET_REGISTRY "Big5") rather than by
    // Unicode; the import converts their codes.
    bool big5 = false;
    std::vector<BdfGlyph> glyphs;
};

// Unicode's White_Space characters: drawn with nothing, yet glyphs with an
// advance, never missing.
bool isSpaceCharacter(long codePoint);

// The code point a record stands for; -1 when it has none (a Big5 code
// without a Unicode character, or a record no code reaches).
long codePointOfRecord(GlyphFileKind kind, int record);
// The Big5 code of a record (0 for the ASCII file).
uint16_t big5CodeOfRecord(GlyphFileKind kind, int record);
// The record of a code point; -1 when the file has none for it.
int recordOfCodePoint(GlyphFileKind kind, char32_t codePoint);

// The records a whole glyph file gives as a font, by code point, in
// code-point order, each code point once (the first record that stands for
// it): blank records but for spaces, and records without a Unicode
// character, are left out and counted.
std::vector<std::pair<long, int>> fontRecords(std::string_view fileBytes, GlyphFileKind kind,
                                              int& blank, int& unmapped);

struct BdfExport {
    std::string text;
    int written = 0;
    int blank = 0;    // left out: nothing drawn (a space is written all the same)
    int unmapped = 0; // left out: no Unicode character for the code
};
// Every drawn glyph of the file's bytes, and every space character's, as a
// BDF font named `name`, in code-point order. The font is set at 72 dots per
// inch, so that its point size is its pixel size (SIZE 15 72 72 beside
// PIXEL_SIZE 15 and POINT_SIZE 150), and SWIDTH is the advance in
// thousandths of that size.
BdfExport exportBdf(std::string_view fileBytes, GlyphFileKind kind, const std::string& name);
// Only the glyphs of the given records, as exportBdf writes them: pairs of
// code point and record, in code-point order, each code point once; record
// -1 is a blank glyph (a space the file has no record for).
BdfExport exportBdfGlyphs(std::string_view fileBytes, GlyphFileKind kind, const std::string& name,
                          const std::vector<std::pair<long, int>>& recordsByCodePoint);
// One glyph of exportBdfCells: its code point, its record's bytes (nullptr:
// blank) and the Big5 code its name shows (0: none). The records may come
// from several files of the kind's cell.
struct BdfCell {
    long codePoint = 0;
    const uint8_t* record = nullptr;
    uint16_t big5 = 0;
};
BdfExport exportBdfCells(GlyphFileKind kind, const std::string& name,
                         const std::vector<BdfCell>& cells);

// The rows of a record as dots ('1'/'0'), `width` to a row.
std::vector<uint8_t> recordDots(const uint8_t* record, GlyphFileKind kind);

// Reads BDF text; a malformed font is refused with the line it went wrong on
// and `out` is left empty.
Outcome parseBdf(std::string_view text, const std::string& name, BdfFont& out);

struct BdfImport {
    int placed = 0;
    int skipped = 0; // no record for the code point (or, with onlyBlank, one drawn already)
    int cut = 0;     // larger than the cell: what fell outside is lost
};
// Places every glyph whose code point has a record into `fileBytes` (grown
// to the file's full size when short), by its box's offsets from its origin:
// the font's line (ascent over descent) is centred on the cell's height, so
// that a font of the cell's height has its ascent at the top row, and the
// glyph's advance is centred on the cell's width. A font without a line
// stands on the file's baseline; a glyph without an advance has its box
// centred across. What falls outside the cell is cut. `onlyBlank` fills
// only records with nothing drawn.
BdfImport importBdf(const BdfFont& font, GlyphFileKind kind, bool onlyBlank,
                    std::string& fileBytes);

} // namespace dedur
