#include "fontcode/glyphfont.h"

#include <algorithm>

namespace dedur {

namespace {

BdfGlyph recordGlyph(std::string_view fileBytes, GlyphFileKind kind, long codePoint, int record) {
    const GlyphFileShape s = glyphFileShape(kind);
    BdfGlyph glyph;
    glyph.encoding = codePoint;
    glyph.advance = s.width;
    glyph.width = s.width;
    glyph.height = s.height;
    glyph.yOffset = s.ascent - s.height;
    const size_t at = static_cast<size_t>(record) * static_cast<size_t>(s.recordBytes);
    if (record < 0 || at + static_cast<size_t>(s.recordBytes) > fileBytes.size()) {
        glyph.dots.assign(static_cast<size_t>(s.width * s.height), '0');
    } else {
        glyph.dots = recordDots(reinterpret_cast<const uint8_t*>(fileBytes.data()) + at, kind);
    }
    cutToDots(glyph);
    return glyph;
}

} // namespace

BdfFont glyphFileFont(std::string_view fileBytes, GlyphFileKind kind,
                      const std::vector<std::pair<long, int>>& recordsByCodePoint) {
    const GlyphFileShape s = glyphFileShape(kind);
    BdfFont font;
    font.ascent = s.ascent;
    font.descent = s.height - s.ascent;
    font.lined = true;
    font.glyphs.reserve(recordsByCodePoint.size());
    for (const auto& [codePoint, record] : recordsByCodePoint) {
        font.glyphs.push_back(recordGlyph(fileBytes, kind, codePoint, record));
    }
    return font;
}

BdfFont subsetFont(const GlyphSubset& subset, std::string_view fileBytes,
                   std::string_view asciiBytes, std::string_view symbolBytes,
                   std::string_view symbolSuppBytes) {
    const GlyphFileShape s = glyphFileShape(subset.kind);
    BdfFont font;
    font.ascent = s.ascent;
    font.descent = s.height - s.ascent;
    font.lined = true;
    for (const SubsetGlyph& g : subset.glyphs) {
        const bool ascii = g.source == GlyphFileKind::Ascii8x15;
        const std::string_view bytes = ascii                                    ? asciiBytes
                                       : g.source == GlyphFileKind::Symbol16x15 ? symbolBytes
                                       : g.source == GlyphFileKind::SymbolSupp16x15
                                           ? symbolSuppBytes
                                           : fileBytes;
        BdfGlyph glyph = recordGlyph(bytes, g.source, g.codePoint, g.record);
        if (ascii) {
            // The 8x15 file stands one row lower on the line than the 16x15.
            const GlyphFileShape a = glyphFileShape(GlyphFileKind::Ascii8x15);
            font.ascent = std::max(font.ascent, a.ascent);
            font.descent = std::max(font.descent, a.height - a.ascent);
        }
        glyph.advance = g.width;
        font.glyphs.push_back(std::move(glyph));
    }
    return font;
}

void cutToDots(BdfGlyph& glyph) {
    int left = glyph.width, right = -1, top = glyph.height, bottom = -1;
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            if (glyph.dots[static_cast<size_t>(y * glyph.width + x)] != '1') continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) {
        // Nothing drawn: the box shrinks to its left edge at its top, as the
        // display libraries' converters cut a blank one (u8g2's bytes match).
        glyph.yOffset += glyph.height;
        glyph.width = 0;
        glyph.height = 0;
        glyph.dots.clear();
        return;
    }
    const int w = right - left + 1, h = bottom - top + 1;
    std::vector<uint8_t> dots(static_cast<size_t>(w * h));
    for (int y = 0; y < h; ++y) {
        std::copy_n(glyph.dots.begin() + (top + y) * glyph.width + left, w, dots.begin() + y * w);
    }
    glyph.xOffset += left;
    glyph.yOffset += glyph.height - 1 - bottom;
    glyph.width = w;
    glyph.height = h;
    glyph.dots = std::move(dots);
}

} // namespace dedur
