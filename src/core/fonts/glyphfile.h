#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/message.h"
#include "document/patternstore.h"

namespace dedur {

struct Document;

inline constexpr const char* Std16x15FileName = "STD16X15.fon";
inline constexpr const char* Std24FileName = "STD24.fon";
inline constexpr const char* AsciiFileName = "ASCFONT.15";
inline constexpr const char* SpecialFileName = "SPCFONT.15";
inline constexpr const char* SpecialSuppFileName = "SPCFSUPP.15";

// What a glyph access does, by its operation codes.
enum class GlyphAccess { Write = 1, Read = 2 };

struct GlyphKind {
    int width = 0;
    int height = 0;
    int recordSize = 0; // bytes
    int count = 0;      // glyphs that navigation reaches
};

// Glyph size, record size and count of an edit mode (all zero for mode 1).
GlyphKind glyphKind(EditMode editType);

// The glyph files of the start-up directory and the glyph last shown in
// each Big5 mode.
struct FontEdit {
    uint32_t currentCode16 = 0xA440;
    uint32_t currentCode24 = 0xA440;
    std::string std16x15Path;
    std::string std24Path;
    std::string asciiPath;
    std::string specialPath;
    std::string specialSuppPath;
    std::array<bool, 7> sizeWarned{}; // by edit mode: the wrong-size warning was shown
    // Typed Big5 input arrives byte by byte: a lead byte waits for its trail.
    bool leadPending = false;
    uint8_t pendingLead = 0;
};

void makeFontPaths(FontEdit& fontEdit, const std::string& directory);
// The code of the glyph being edited in Big5 mode 2 (16x15) or 3 (24x24).
inline uint32_t& currentCode(FontEdit& fontEdit, EditMode editType) {
    return editType == EditMode::Font16x15 ? fontEdit.currentCode16 : fontEdit.currentCode24;
}
// The file an edit mode works on; empty for pattern mode.
std::string fontPathFor(const FontEdit& fontEdit, EditMode editType);

// Reads (operation 2) or writes one record of `size` bytes at record number
// `record`. A read past the end of a short file leaves zeros. false after
// filling `error` with "%s Open Failure !" when the file cannot be opened,
// or with what failed when a write did not go through.
bool accessGlyphRecord(const std::string& path, long record, int size, uint8_t* buffer,
                       GlyphAccess operation, Message* error);
// Two-byte code in the Big5 file of `editType` (2 or 3): record number or -1.
int accessBig5Glyph(const FontEdit& fontEdit, EditMode editType, int lead, int trail,
                    uint8_t* buffer, GlyphAccess operation, Message* error);
// Numbered glyphs of ASCFONT.15 (1..127): 1 or -1.
int accessAsciiGlyph(const FontEdit& fontEdit, int number, uint8_t* buffer, GlyphAccess operation,
                     Message* error);
// Numbered glyphs of SPCFONT.15 (mode 5, 1..407) or SPCFSUPP.15 (mode 6,
// 1..364): 1 or -1.
int accessSpecialGlyph(const FontEdit& fontEdit, EditMode editType, int number, uint8_t* buffer,
                       GlyphAccess operation, Message* error);

// Size in bytes of the glyph file of `editType` as the editor expects it:
// every record navigation reaches (and the unused record 0 of the numbered
// fonts).
long expectedGlyphFileSize(EditMode editType);
// A warning when the glyph file of `editType` exists with another size: a
// short file would silently grow where a glyph past its end is saved.
Message glyphFileSizeWarning(const FontEdit& fontEdit, EditMode editType);

// Record -> workDots for a glyph of `editType`, row stride the glyph width.
void glyphToDots(Document& doc, EditMode editType, const uint8_t* record);
std::array<uint8_t, 30> packGlyph16(const Document& doc);
std::array<uint8_t, 72> packGlyph24(const Document& doc);

} // namespace dedur
