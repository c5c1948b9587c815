#pragma once

#include <cstdint>
#include <string>

#include "base/outcome.h"
#include "base/safewrite.h"

namespace dedur {

struct Document;

inline constexpr const char* HexTableFileName = "HEX.TAB";
inline constexpr const char* Table16x15FileName = "16X15.TAB";
inline constexpr const char* Table24x24FileName = "24X24.TAB";

// Every pattern as rows of hexadecimal bytes ("F0,0F"), an empty line after
// each pattern; line ends "\r\n".
std::string hexTable(const Document& doc);
// One row of dots as the hex table writes it (without the line end).
std::string hexRow(const uint8_t* dots, int width);
// The glyph in `workDots` as a C array named after its code: 16 dots a row
// (2 bytes) or 24 dots a row (3 bytes), `rows` rows; line ends "\r\n".
std::string glyphCArray(const Document& doc, uint32_t code, int glyphWidth, int rows);
// The same under any array name, for glyphs of 8, 16 or 24 dots a row.
std::string namedCArray(const Document& doc, const std::string& name, int glyphWidth, int rows);

struct FontEdit;

// What the table export writes in the current mode: all patterns as hex rows
// into "HEX.TAB" (replaced), or the glyph being edited appended as a C array
// ("16X15.TAB", "24X24.TAB"; the viewed fonts of modes 4 to 6 get files of
// their own, "8X15.TAB", "SPCFONT.TAB" and "SPCFSUPP.TAB", named by number).
struct TableExport {
    std::string fileName;
    std::string bytes;
    bool append = false;
};
TableExport tableExportFor(const Document& doc, const FontEdit& fontEdit, int glyphNumber);

// Replaces the file (writeFileSafely) or appends to it (appendToFile, the
// program's own files only); the message when that failed, which names the
// file without its folder when it could not be opened.
Outcome writeTableFile(const std::string& path, const std::string& bytes, bool append,
                       FileRole role = FileRole::Program);

} // namespace dedur
