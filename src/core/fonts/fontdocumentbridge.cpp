#include "fonts/fontdocumentbridge.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "base/limits.h"
#include "document/dotpacking.h"

namespace dedur {

namespace {

// A half-open span of dots along one axis, against the origin.
struct Span {
    int low = 0;
    int high = 0;
    int size() const { return high - low; }
};

Span joined(Span a, Span b) {
    if (b.size() <= 0) return a;
    if (a.size() <= 0) return b;
    return {std::min(a.low, b.low), std::max(a.high, b.high)};
}

// The widest of the candidates (most first) that fits the side limit; the
// origin's own dot when all are empty.
Span fitted(Span all, Span withoutFont, Span glyphOnly) {
    for (const Span& s : {all, withoutFont, glyphOnly}) {
        if (s.size() > 0 && s.size() <= limits::BdfGlyphSide) return s;
    }
    return {0, 1};
}

bool dotOf(const std::vector<uint8_t>& rows, int width, int x, int y) {
    return (rows[static_cast<size_t>(y) * packedRowBytes(width) + static_cast<size_t>(x / 8)] >>
            (x % 8)) &
           1;
}

PatternHeader canvasOf(const BdfDocument& font, const BdfGlyphShape& s) {
    const Span origin{0, 1};
    const Span glyphX{s.xOffset, s.xOffset + s.width};
    const Span glyphY{s.yOffset, s.yOffset + s.height};
    const Span fontX{font.boxX, font.boxX + font.boxWidth};
    const Span fontY{font.boxY, font.boxY + font.boxHeight};
    const Span advance{std::min(0, s.advance), std::max(0, s.advance)};
    const Span bare = joined(glyphX, origin);
    const Span x = fitted(joined(joined(bare, advance), fontX), joined(bare, advance), glyphX);
    const Span y = fitted(joined(joined(glyphY, origin), fontY), joined(glyphY, origin), glyphY);
    PatternHeader h;
    h.width = static_cast<int16_t>(x.size());
    h.height = static_cast<int16_t>(y.size());
    h.beginSeg = static_cast<int16_t>(-x.low);
    h.beginCom = static_cast<int16_t>(y.high);
    h.leftToRight = static_cast<int16_t>(s.advance);
    h.topToBottom = 0;
    return h;
}

bool sameShape(const BdfGlyphShape& a, const BdfDocGlyph& b) {
    return a.width == b.width && a.height == b.height && a.xOffset == b.xOffset &&
           a.yOffset == b.yOffset && a.advance == b.advance && a.rows == b.rows;
}

} // namespace

std::vector<uint8_t> glyphRecord(const BdfDocument& font, const BdfGlyphShape& s) {
    const PatternHeader h = canvasOf(font, s);
    std::vector<uint8_t> record(recordLength(h), 0);
    encodeHeader(h, record.data());
    uint8_t* rows = record.data() + HeaderSize;
    const size_t stride = packedRowBytes(h.width);
    // Canvas column c is x = c - origin; row r is y = baseline row - 1 - r.
    for (int gy = 0; gy < s.height; ++gy) {
        const int row = h.beginCom - 1 - (s.yOffset + s.height - 1 - gy);
        if (row < 0 || row >= h.height) continue;
        for (int gx = 0; gx < s.width; ++gx) {
            const int column = h.beginSeg + s.xOffset + gx;
            if (column < 0 || column >= h.width || !dotOf(s.rows, s.width, gx, gy)) continue;
            rows[static_cast<size_t>(row) * stride + static_cast<size_t>(column / 8)] |=
                static_cast<uint8_t>(1u << (column % 8));
        }
    }
    return record;
}

BdfGlyphShape shapeOfGlyph(const BdfDocGlyph& g) {
    return {g.width, g.height, g.xOffset, g.yOffset, g.advance, g.rows};
}

BdfGlyphShape shapeOfRecord(const uint8_t* record, size_t length) {
    if (length < HeaderSize) return {};
    const PatternHeader h = decodeHeader(record);
    if (length != recordLength(h)) return {};
    BdfGlyphShape s;
    s.width = h.width;
    s.height = h.height;
    s.xOffset = -h.beginSeg;
    s.yOffset = h.beginCom - h.height;
    s.advance = h.leftToRight;
    s.rows.assign(record + HeaderSize, record + length);
    return s;
}

Outcome loadFontDocument(const BdfDocument& font, Document& doc) {
    if (font.glyphs.empty()) return Outcome::refused({"The font has no glyph to edit", " "});
    std::vector<uint8_t> store;
    for (const BdfDocGlyph& g : font.glyphs) {
        const std::vector<uint8_t> record = glyphRecord(font, shapeOfGlyph(g));
        if (store.size() + record.size() > limits::FontCanvasBytes) {
            return Outcome::refused(
                {formatText("The font's glyphs drawn in its bounding box take more than %zu MB",
                            limits::FontCanvasBytes >> 20),
                 " "});
        }
        store.insert(store.end(), record.begin(), record.end());
    }
    setDocumentKind(doc, DocumentKind::Font);
    doc.editType = EditMode::Pattern;
    doc.store = std::move(store);
    doc.patternCount = static_cast<int32_t>(font.glyphs.size());
    doc.currentPattern = 0;
    invalidateRecordIndex(doc);
    reloadWorkDots(doc);
    doc.modifiedFlag = false;
    return {};
}

Outcome applyFontDocument(const Document& doc, BdfDocument& font) {
    if (doc.kind != DocumentKind::Font ||
        doc.patternCount != static_cast<int32_t>(font.glyphs.size())) {
        return Outcome::refused({"The glyphs being edited are not the font's glyphs", " "});
    }
    const std::vector<size_t>& offsets = recordIndex(doc);
    for (size_t i = 0; i + 1 < offsets.size() && i < font.glyphs.size(); ++i) {
        const uint8_t* record = doc.store.data() + offsets[i];
        const size_t length = offsets[i + 1] - offsets[i];
        const BdfDocGlyph& g = font.glyphs[i];
        const std::vector<uint8_t> before = glyphRecord(font, shapeOfGlyph(g));
        if (before.size() == length && std::memcmp(before.data(), record, length) == 0) continue;
        const BdfGlyphShape now = trimmedToDots(shapeOfRecord(record, length));
        if (sameShape(now, g)) continue;
        if (Outcome bad = font.setGlyph(static_cast<int>(i), now); !bad.ok()) {
            bad.message.text =
                formatText("Glyph %s: %s", printable(g.name).c_str(), bad.message.text.c_str());
            return bad;
        }
    }
    return {};
}

BdfGlyphShape currentGlyphShape(const Document& doc) {
    const std::vector<size_t>& offsets = recordIndex(doc);
    const auto i = static_cast<size_t>(doc.currentPattern);
    if (i + 1 >= offsets.size()) return {};
    return trimmedToDots(shapeOfRecord(doc.store.data() + offsets[i], offsets[i + 1] - offsets[i]));
}

Outcome reframeCurrentGlyph(Document& doc, const BdfDocument& font, const BdfGlyphShape& shape) {
    const int side = limits::BdfGlyphSide, reach = limits::BdfGlyphOffset;
    if (shape.width < 0 || shape.width > side || shape.height < 0 || shape.height > side ||
        std::abs(shape.xOffset) > reach || std::abs(shape.yOffset) > reach ||
        std::abs(shape.advance) > reach ||
        shape.rows.size() != packedRowBytes(shape.width) * static_cast<size_t>(shape.height)) {
        return Outcome::refused(
            {formatText("A glyph is at most %d x %d dots, its offsets and advance at most %d "
                        "either way",
                        side, side, reach),
             " "});
    }
    const std::vector<uint8_t> record = glyphRecord(font, shape);
    const PatternHeader h = decodeHeader(record.data());
    replaceCurrentRecord(doc, h);
    unpackDots(record.data() + HeaderSize, h.width, h.height, doc.workDots.data());
    storeWorkDots(doc);
    return {};
}

bool isBdfPath(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".bdf";
}

Outcome openFontDocument(const std::string& path, Document& doc, BdfDocument& font) {
    BdfDocument read;
    if (Outcome bad = readBdfDocument(path, read); !bad.ok()) return bad;
    if (Outcome bad = loadFontDocument(read, doc); !bad.ok()) {
        bad.message.text = quotedPath(path) + ": " + bad.message.text;
        return bad;
    }
    font = std::move(read);
    return {};
}

Outcome saveFontDocument(const std::string& path, const Document& doc, BdfDocument& font) {
    if (Outcome bad = applyFontDocument(doc, font); !bad.ok()) return bad;
    return writeBdfDocument(path, font);
}

int addFontGlyph(Document& doc, BdfDocument& font, long encoding) {
    if (doc.kind != DocumentKind::Font) return -1;
    const int index = font.addGlyph(encoding);
    if (index < 0) return -1;
    const std::vector<uint8_t> record =
        glyphRecord(font, shapeOfGlyph(font.glyphs[static_cast<size_t>(index)]));
    const PatternHeader h = decodeHeader(record.data());
    if (index >= doc.patternCount) {
        doc.currentPattern = doc.patternCount - 1;
        appendPattern(doc, &h);
    } else {
        doc.currentPattern = index;
        insertPattern(doc, &h);
    }
    doc.currentPattern = index;
    reloadWorkDots(doc);
    doc.modifiedFlag = true;
    return index;
}

bool deleteFontGlyph(Document& doc, BdfDocument& font) {
    if (doc.kind != DocumentKind::Font || doc.patternCount <= 1) return false;
    const int index = doc.currentPattern;
    if (!deletePattern(doc)) return false;
    font.deleteGlyph(index);
    return true;
}

} // namespace dedur
