#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/fileread.h"
#include "base/limits.h"
#include "document/dotpacking.h"

namespace dedur {

inline constexpr int MaxPatternSide = 96;
inline constexpr int WorkDotsSize = MaxPatternSide * MaxPatternSide; // 9216

// What a document holds. A pattern file's patterns keep their 96-dot limit
// and their places on the panel; a 1-bit image's frames and a BDF font's
// glyphs are held the same way (a record each) but with sides up to their
// own limits, and nothing of the panel applies to them.
enum class DocumentKind { Patterns, Image, Font };

inline constexpr int sideLimit(DocumentKind kind) {
    switch (kind) {
    case DocumentKind::Image:
        return limits::ImageSide;
    case DocumentKind::Font:
        return limits::BdfGlyphSide;
    case DocumentKind::Patterns:
        break;
    }
    return MaxPatternSide;
}
inline constexpr int HeaderSize = 12;
inline constexpr uint8_t DOT_ON = '1';
inline constexpr uint8_t DOT_OFF = '0';

// Edit modes, by the numbers "DEDUR.INI" keeps them under EDITTYPE.
enum class EditMode {
    Pattern = 1,
    Font16x15 = 2, // Big5, edited
    Font24x24 = 3, // Big5, edited
    Ascii8x15 = 4, // viewed only
    Special16x15 = 5,
    SpecialSupp16x15 = 6,
};

// Direction codes of a pattern's rows and columns on the panel.
inline constexpr int IncreaseSeg = 0;
inline constexpr int DecreaseSeg = 1;
inline constexpr int IncreaseCom = 2;
inline constexpr int DecreaseCom = 3;

struct PatternHeader {
    int16_t width = 0;
    int16_t height = 0;
    int16_t beginSeg = 0;
    int16_t beginCom = 0;
    int16_t leftToRight = 0;
    int16_t topToBottom = 0;

    bool operator==(const PatternHeader&) const = default;
};

// The 12-byte little-endian form of a header inside the store.
void encodeHeader(const PatternHeader& header, uint8_t* out);
PatternHeader decodeHeader(const uint8_t* in);
// 12 + the packed rows; negative sides count as 0.
size_t recordLength(const PatternHeader& header);

// Template for new patterns; its own field order differs from the header's.
struct PanelDefinition {
    int16_t beginSeg = 1;
    int16_t beginCom = 1;
    int16_t width = 12;
    int16_t height = 12;
    int16_t leftToRight = IncreaseSeg;
    int16_t topToBottom = IncreaseCom;

    bool operator==(const PanelDefinition&) const = default;
};

PatternHeader headerFromDefinition(const PanelDefinition& definition);

// The pattern document. What holds between any two operations (checked by
// brokenInvariant in editor.h, which the editing fuzz target runs after
// every step):
// - `store` holds exactly `patternCount` >= 1 records (12-byte header + the
//   dots packed as dotpacking.h tells, no bit set past a row's width), back
//   to back in pattern order, nothing after them; every side lies in
//   1..sideLimit(kind) (a font's glyphs may also be 0 wide or high);
// - `workDots` is the working copy of the current pattern (or, in a font
//   mode, of the glyph): its first `patternDotCount` = `patternWidth` x
//   `patternHeight` bytes are '0' or '1'; in pattern mode the size is the
//   current record's;
// - in pattern mode, every finished edit is stored at once: with no block
//   floating, `workDots` equals the current record's dots;
// - a floating block (Selection) was lifted out of `workDots` but not out of
//   the record: the record keeps the dots until the block is dropped, and the
//   block holds blockRect.width() x blockRect.height() dots.
struct Document {
    DocumentKind kind = DocumentKind::Patterns;
    int32_t patternCount = 1;
    int32_t currentPattern = 0;
    int16_t patternWidth = 12;
    int16_t patternHeight = 12;
    int32_t patternDotCount = 144;
    // maxSide() squared bytes, whatever the current size.
    std::vector<uint8_t> workDots = std::vector<uint8_t>(WorkDotsSize, 0);
    bool modifiedFlag = false;
    EditMode editType = EditMode::Pattern;
    std::string patternFileName;
    // The file as it was when last read or written here.
    FileStamp fileStamp;
    std::vector<uint8_t> store;
    PanelDefinition panelDefinition;
    // Where each record starts, and last where the store ends: every access
    // to a pattern is O(1). Built on first use; whatever moves records
    // (adding, inserting, deleting, resizing, reading) clears it.
    mutable std::vector<size_t> recordOffsets;

    Document();
    int maxSide() const { return sideLimit(kind); }
};

// Makes `doc` hold documents of `kind`: the working copy is sized for its
// largest record and cleared. The store is left to the caller to fill.
void setDocumentKind(Document& doc, DocumentKind kind);

// Forgets the record offsets after the store's layout changed.
inline void invalidateRecordIndex(Document& doc) {
    doc.recordOffsets.clear();
}
// The record offsets, built when missing or out of step with the store.
const std::vector<size_t>& recordIndex(const Document& doc);

// Replaces the store by one blank pattern from the panel definition and makes
// it current; `workDots` is cleared. The file name and modified flag are kept.
void makeBlankDocument(Document& doc);

size_t patternOffset(const Document& doc, int index);
void getHeader(const Document& doc, int index, PatternHeader& out);
void writeHeader(const Document& doc, uint8_t* destination, bool fromDefaults);
std::optional<std::vector<uint8_t>> selectPattern(Document& doc, int index, PatternHeader& out,
                                                  bool makeCurrent);
// The dots of record `index` (clamped into the store) as '0'/'1' bytes, row
// after row; `out` has room for width x height of them.
void recordDots(const Document& doc, int index, uint8_t* out);
// Calls each(index, header, packedDots) for every whole record in order,
// until `each` returns false.
template <typename Each> void forEachRecord(const Document& doc, Each each) {
    const std::vector<size_t>& offsets = recordIndex(doc);
    for (size_t i = 0; i + 1 < offsets.size(); ++i) {
        const uint8_t* record = doc.store.data() + offsets[i];
        const PatternHeader header = decodeHeader(record);
        if (offsets[i + 1] - offsets[i] != recordLength(header)) return;
        if (!each(static_cast<int>(i), header, record + HeaderSize)) return;
    }
}
// Loads the current record into `workDots` (and takes its size).
void reloadWorkDots(Document& doc);
void storeWorkDots(Document& doc);
// Every operation below that changes which record is current, or the current
// record itself, leaves `workDots` as that record's dots: the grid shows the
// working copy, and the next stroke stores it.
// A blank pattern at the end (append) or in the current place (insert) becomes
// current.
void appendPattern(Document& doc, const PatternHeader* header);
void insertPattern(Document& doc, const PatternHeader* header);
// Refuses (returns false) to delete the only pattern.
bool deletePattern(Document& doc);
void fillPattern(Document& doc, uint8_t character);
// Puts a blank record with `header` in the place of the current one and makes
// it, blank, the working copy.
void replaceCurrentRecord(Document& doc, const PatternHeader& header);

} // namespace dedur
