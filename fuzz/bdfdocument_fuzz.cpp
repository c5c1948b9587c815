// Any text is read as a BDF document or refused without harm. A font read
// saves unchanged as the same bytes; after a few edits (a glyph redrawn, one
// added, one deleted) what is saved reads back with the edited dots, and the
// code index finds what a search of the list finds.
#include <cstdlib>
#include <string>

#include "fonts/bdfdocument.h"
#include "fuzzinput.h"

using namespace dedur;

namespace {

int firstWith(const BdfDocument& doc, long encoding) {
    for (size_t i = 0; i < doc.glyphs.size(); ++i)
        if (doc.glyphs[i].encoding == encoding) return static_cast<int>(i);
    return -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const int width = in.range(0, 20), height = in.range(0, 20);
    const int x = in.range(-30, 30), y = in.range(-30, 30), advance = in.range(-30, 30);
    const long added = in.range(0, 0x7FFF);
    const int pick = in.range(0, 1000), drop = in.range(0, 1000);
    const uint8_t ink = in.byte();
    BdfDocument doc;
    if (!parseBdfDocument(in.rest(), "fuzz.bdf", doc).ok()) {
        if (!doc.glyphs.empty() || !doc.text.empty()) std::abort();
        return 0;
    }
    if (bdfDocumentText(doc) != doc.text) std::abort();
    if (doc.glyphs.empty()) return 0;

    BdfGlyphShape shape;
    shape.width = width;
    shape.height = height;
    shape.xOffset = x;
    shape.yOffset = y;
    shape.advance = advance;
    shape.rows.assign(static_cast<size_t>((width + 7) / 8 * height), ink);
    const int target = pick % static_cast<int>(doc.glyphs.size());
    if (!doc.setGlyph(target, shape).ok()) std::abort();
    const int at = doc.addGlyph(added);
    if (at >= 0 && doc.glyphIndexOf(added) != at) std::abort();
    doc.deleteGlyph(drop % static_cast<int>(doc.glyphs.size()));
    for (const BdfDocGlyph& g : doc.glyphs) {
        if (g.encoding >= 0 && doc.glyphIndexOf(g.encoding) != firstWith(doc, g.encoding))
            std::abort();
    }

    BdfDocument back;
    if (!parseBdfDocument(bdfDocumentText(doc), "saved.bdf", back).ok()) std::abort();
    if (back.glyphs.size() != doc.glyphs.size()) std::abort();
    for (size_t i = 0; i < doc.glyphs.size(); ++i) {
        const BdfDocGlyph& a = doc.glyphs[i];
        const BdfDocGlyph& b = back.glyphs[i];
        if (a.width != b.width || a.height != b.height || a.xOffset != b.xOffset ||
            a.yOffset != b.yOffset || a.advance != b.advance || a.rows != b.rows ||
            a.encoding != b.encoding) {
            std::abort();
        }
    }
    return 0;
}
