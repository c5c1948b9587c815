#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/outcome.h"
#include "code/codejob.h"
#include "code/codelayout.h"
#include "fonts/bdf.h"

namespace dedur {

// The glyphs of the characters a product's strings use, taken from a Big5
// glyph file: only those, in code-point order, for the firmware.
struct SubsetGlyph {
    char32_t codePoint = 0;
    uint16_t big5 = 0;
    int record = 0;             // -1: a space the file has no record for, blank
    int width = 0;              // 8 for ASCII from the 8x15 file, else the cell's
    std::vector<uint8_t> bytes; // in the subset's layout
    // The file it was taken from: the subset's own, the 8x15 file or a
    // symbol file; `record` is that file's.
    GlyphFileKind source = GlyphFileKind::Big5_16x15;
};

struct GlyphSubset {
    GlyphFileKind kind = GlyphFileKind::Big5_16x15;
    CodeLayout layout = CodeLayout::RowsMsb;
    std::vector<SubsetGlyph> glyphs;
    std::vector<char32_t> missing; // no glyph drawn for them
};

// The distinct characters of UTF-8 text, in code-point order; line ends,
// tabs and other control characters are not characters to draw. False when
// the text is not UTF-8 (`badAt`: the byte where it goes wrong).
bool distinctCharacters(std::string_view text, std::vector<char32_t>& out, size_t& badAt);

// The glyph of each character from the Big5 file's bytes; ASCII (U+0020 to
// U+007E) from the 8x15 file's bytes, 8 dots wide, when they are given (the
// 16x15 kind: the two share their height). With the 16x15 kind, what the
// Big5 file leaves blank or has no record for (the kana and circled numbers
// of C6A1.., a symbol drawn only there) comes from the symbol files' bytes
// when they are given, SPCFONT.15 before SPCFSUPP.15. Blank glyphs count as
// missing, but for spaces (drawn with nothing): only what has no record is
// missing.
GlyphSubset makeSubset(std::string_view fileBytes, GlyphFileKind kind, CodeLayout layout,
                       const std::vector<char32_t>& characters, std::string_view asciiBytes = {},
                       std::string_view symbolBytes = {}, std::string_view symbolSuppBytes = {});

// C99/C++: the bitmaps, a table of code points with their Big5 codes beside
// them, and NAME_glyph(code point), a binary search that returns a glyph's
// bytes or NULL. A header for any number of files: it declares the tables,
// and defines them where NAME_IMPLEMENTATION (the name upper-cased) is
// defined before it is included.
// The writers hand the text to `sink` a piece at a time; the `As` forms give
// it whole.
void writeSubsetC(const GlyphSubset& subset, const std::string& name, const CodeSink& sink);
std::string subsetAsC(const GlyphSubset& subset, const std::string& name);
void writeSubsetJson(const GlyphSubset& subset, const CodeSink& sink);
std::string subsetAsJson(const GlyphSubset& subset);
// The subset's glyphs of the cell's size (not the 8x15 ASCII) as a BDF font;
// those taken from a symbol file need its bytes.
std::string subsetAsBdf(std::string_view fileBytes, const GlyphSubset& subset,
                        const std::string& name, std::string_view symbolBytes = {},
                        std::string_view symbolSuppBytes = {});

// UTF-8 of one character.
std::string utf8(char32_t c);
// "U+4E2D": a code point as messages and comments write it, four hex
// digits at least.
std::string codePointText(long codePoint);

} // namespace dedur
