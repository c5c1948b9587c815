#include "fontcode/gfxfont.h"

#include <algorithm>
#include <cstdio>

#include "base/limits.h"
#include "base/message.h"
#include "code/codeformats.h"
#include "code/codepieces.h"
#include "code/commenttext.h"
#include "code/glyphsubset.h"

namespace dedur {

namespace {

// The remapped characters stand on codes from here (below it, GFX's write()
// takes '\n' and '\r' as line breaks).
constexpr int RemapFirst = 0x20;

// One entry of the GFXglyph table, in the library's field widths.
struct GfxEntry {
    uint16_t bitmapOffset = 0;
    uint8_t width = 0;
    uint8_t height = 0;
    uint8_t xAdvance = 0;
    int8_t xOffset = 0;
    int8_t yOffset = 0;
};

// What the C text holds: the bitmap, one entry per code from first to last,
// the line pitch and, remapped, the code point each code stands for.
struct GfxTables {
    std::vector<uint8_t> bitmap;
    std::vector<GfxEntry> entries;
    int first = 0;
    int last = 0;
    int yAdvance = 0;
    std::vector<long> codePoints; // by code - RemapFirst, when remapped
};

Outcome refused(const std::string& why) {
    return Outcome::refused({why, " ", MessageButtons::Ok, MessageIcon::Question});
}

// "U+4E00 中", as a refusal names a glyph.
std::string glyphName(long code) {
    std::string name = codePointText(code);
    if (code >= 0x20 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
        name.append(" ").append(printable(utf8(static_cast<char32_t>(code))));
    }
    return name;
}

Outcome glyphRefused(long code, const std::string& why) {
    return refused("The Adafruit GFX font cannot hold " + glyphName(code) + ": " + why);
}

// A space is drawn with nothing whatever its box holds.
bool emptyBox(const BdfGlyph& glyph) {
    return isSpaceCharacter(glyph.encoding) || glyph.width <= 0 || glyph.height <= 0;
}

// Checks the font against what GFXfont holds and packs it; the first fault
// is refused naming its glyph.
Outcome makeTables(const BdfFont& font, const FontOutput& output, GfxTables& tables) {
    if (const std::string problem = codeNameProblem(output.name); !problem.empty()) {
        return refused(problem);
    }
    if (output.name == "GFXfont" || output.name == "GFXglyph") {
        return refused("\"" + output.name + "\" is the name of one of Adafruit GFX's types");
    }
    if (font.glyphs.empty()) return refused("There is no glyph to write as an Adafruit GFX font");
    const int line = font.ascent + font.descent;
    if (line < 0 || line > limits::GfxLineHeight) {
        return refused(formatText("The Adafruit GFX font cannot hold a line %d dots high: its "
                                  "yAdvance holds 0 to %d",
                                  line, limits::GfxLineHeight));
    }
    const size_t count = font.glyphs.size();
    // The codes follow the glyphs' order and the remap's lookup is a binary
    // search: both need the code points in order, each once.
    for (size_t i = 0; i < count; ++i) {
        const long code = font.glyphs[i].encoding;
        if (code < 0 || code > 0x10FFFF) {
            return refused(formatText("The Adafruit GFX font cannot hold glyph %zu: it has no "
                                      "code point",
                                      i + 1));
        }
        if (i > 0 && code <= font.glyphs[i - 1].encoding) {
            return glyphRefused(code, "the glyphs are not in code-point order, each once");
        }
    }
    if (output.gfxRemap) {
        if (count > static_cast<size_t>(limits::GfxRemapCharacters)) {
            return refused(formatText(
                "The Adafruit GFX font cannot hold %zu characters: remapped they go onto codes "
                "0x20 to 0xFF, %d at most",
                count, limits::GfxRemapCharacters));
        }
    } else {
        for (const BdfGlyph& g : font.glyphs) {
            if (g.encoding < 0 || g.encoding > limits::GfxLastCode) {
                return glyphRefused(g.encoding,
                                    formatText("Adafruit GFX draws codes 0 to %d only; remap the "
                                               "characters onto codes from 0x20 (--gfx-remap)",
                                               limits::GfxLastCode));
            }
        }
    }
    tables.first = output.gfxRemap ? RemapFirst : static_cast<int>(font.glyphs.front().encoding);
    tables.last = output.gfxRemap ? RemapFirst + static_cast<int>(count) - 1
                                  : static_cast<int>(font.glyphs.back().encoding);
    tables.yAdvance = line;
    tables.entries.assign(static_cast<size_t>(tables.last - tables.first + 1), GfxEntry{});
    const auto inByte = [](int value) { return value >= 0 && value <= limits::GfxGlyphSide; };
    const auto inSignedByte = [](int value) {
        return value >= limits::GfxOffsetMin && value <= limits::GfxOffsetMax;
    };
    for (size_t i = 0; i < count; ++i) {
        const BdfGlyph& g = font.glyphs[i];
        const int code =
            output.gfxRemap ? RemapFirst + static_cast<int>(i) : static_cast<int>(g.encoding);
        if (output.gfxRemap) tables.codePoints.push_back(g.encoding);
        const int advance = std::max(g.advance, 0);
        if (advance > limits::GfxAdvance) {
            return glyphRefused(g.encoding, formatText("its advance is %d dots; xAdvance holds %d "
                                                       "at most",
                                                       advance, limits::GfxAdvance));
        }
        GfxEntry& e = tables.entries[static_cast<size_t>(code - tables.first)];
        e.bitmapOffset = static_cast<uint16_t>(tables.bitmap.size());
        e.xAdvance = static_cast<uint8_t>(advance);
        if (emptyBox(g)) continue;
        if (!inByte(g.width) || !inByte(g.height)) {
            return glyphRefused(g.encoding,
                                formatText("its box is %dx%d dots; width and height hold %d at "
                                           "most",
                                           g.width, g.height, limits::GfxGlyphSide));
        }
        // As the library's own converter places them: the cursor's row holds
        // the lowest row above the baseline, so our fonts and its fonts
        // share a cursor.
        const int yOffset = 1 - (g.yOffset + g.height);
        if (!inSignedByte(g.xOffset) || !inSignedByte(yOffset)) {
            return glyphRefused(g.encoding,
                                formatText("its box stands at %d, %d from the cursor; xOffset "
                                           "and yOffset hold %d to %d",
                                           g.xOffset, yOffset, limits::GfxOffsetMin,
                                           limits::GfxOffsetMax));
        }
        const size_t bits = static_cast<size_t>(g.width) * static_cast<size_t>(g.height);
        const size_t bytes = (bits + 7) / 8;
        if (tables.bitmap.size() + bytes > limits::GfxBitmapBytes) {
            return glyphRefused(
                g.encoding,
                formatText("the bitmap would grow past %zu bytes (its offsets are 16 bits)",
                           limits::GfxBitmapBytes));
        }
        e.width = static_cast<uint8_t>(g.width);
        e.height = static_cast<uint8_t>(g.height);
        e.xOffset = static_cast<int8_t>(g.xOffset);
        e.yOffset = static_cast<int8_t>(yOffset);
        // The rows run on without padding, most significant bit first; only
        // the glyph's end is padded to a byte.
        const size_t start = tables.bitmap.size();
        tables.bitmap.resize(start + bytes, 0);
        for (size_t k = 0; k < bits && k < g.dots.size(); ++k) {
            if (g.dots[k] == '1')
                tables.bitmap[start + k / 8] |= static_cast<uint8_t>(0x80 >> k % 8);
        }
    }
    return {};
}

// "// 0x41 'A'", "// 0xE9 U+00E9", remapped "// 0x21 U+4E00" or
// "// 0x22 U+0041 'A'", and "// 0x5F none" for a gap.
std::string entryComment(const GfxTables& t, int code, bool present) {
    std::string text = formatText("// 0x%02X", code);
    if (!present) return text + " none";
    const long codePoint =
        t.codePoints.empty() ? code : t.codePoints[static_cast<size_t>(code - RemapFirst)];
    if (codePoint != code) text.append(" ").append(codePointText(codePoint));
    if (codePoint >= 0x20 && codePoint <= 0x7E) {
        text.append(" '").append(1, static_cast<char>(codePoint)).append("'");
    } else if (codePoint == code) {
        text.append(" ").append(codePointText(codePoint));
    }
    return text;
}

void writeRemap(CodePieces& out, const GfxTables& t, const std::string& name) {
    const size_t n = t.codePoints.size();
    const std::string table = name + "_code_points";
    out.text += "\n// The characters stand on codes from 0x20 on, in code-point order: code\n"
                "// 0x20 + i draws the character " +
                table + "[i].\n// " + name +
                "_codes() turns UTF-8 text into those codes: at most size - 1\n"
                "// of them and a 0 after, so that the buffer prints as a string. Characters\n"
                "// the font lacks and bytes that are not UTF-8 are left out. It returns how\n"
                "// many codes it wrote.\n";
    out.text += formatText("static const uint32_t %s[%zu] = {", table.c_str(), n);
    for (size_t i = 0; i < n; ++i) {
        out.text += i % 8 ? " " : "\n  ";
        out.text += formatText("0x%06lX", static_cast<unsigned long>(t.codePoints[i]));
        if (i + 1 < n) out.text += ",";
    }
    out.text += "\n};\n\n";
    out.text += "static inline size_t " + name +
                "_codes(const char *utf8, uint8_t *out, size_t size) {\n"
                "  const unsigned char *s = (const unsigned char *)utf8;\n"
                "  size_t count = 0;\n"
                "  while (*s && count + 1 < size) {\n"
                "    uint32_t c = *s++;\n"
                "    int more = 0;\n"
                "    uint32_t least = 0;\n"
                "    if (c >= 0xF8 || (c >= 0x80 && c < 0xC0)) continue;\n"
                "    if (c >= 0xF0) { more = 3; least = 0x10000; c &= 0x07; }\n"
                "    else if (c >= 0xE0) { more = 2; least = 0x800; c &= 0x0F; }\n"
                "    else if (c >= 0xC0) { more = 1; least = 0x80; c &= 0x1F; }\n"
                "    for (; more > 0 && (*s & 0xC0) == 0x80; --more) c = c << 6 | (*s++ & 0x3F);\n"
                "    if (more > 0 || c < least || c > 0x10FFFF) continue;\n"
                "    {\n"
                "      size_t lo = 0, hi = " +
                std::to_string(n) +
                ";\n"
                "      while (lo < hi) {\n"
                "        size_t mid = lo + (hi - lo) / 2;\n"
                "        if (" +
                table +
                "[mid] < c) lo = mid + 1; else hi = mid;\n"
                "      }\n"
                "      if (lo < " +
                std::to_string(n) + " && " + table +
                "[lo] == c) out[count++] = (uint8_t)(0x20 + lo);\n"
                "    }\n"
                "  }\n"
                "  if (size > 0) out[count] = 0;\n"
                "  return count;\n"
                "}\n";
}

void writeTables(const GfxTables& t, const BdfFont& font, const FontOutput& output,
                 const CodeSink& sink) {
    CodePieces out(&sink);
    const std::string& name = output.name;
    if (!output.comment.empty()) out.text += "// " + commentText(output.comment) + "\n";
    out.text += "// An Adafruit GFX font: include it after Adafruit_GFX.h and call\n"
                "// setFont(&" +
                name + "); the cursor's y is the baseline.\n";
    if (!t.codePoints.empty()) out.text += "\n#include <stddef.h>\n#include <stdint.h>\n";
    out.text += "\nconst uint8_t " + name + "Bitmaps[] PROGMEM = {\n  ";
    // C has no empty array: a font of spaces alone still has one byte.
    const size_t bytes = std::max<size_t>(t.bitmap.size(), 1);
    for (size_t i = 0; i < bytes && out.going; ++i) {
        if (i) out.text += i % 12 ? ", " : ",\n  ";
        out.text += formatText("0x%02X", i < t.bitmap.size() ? t.bitmap[i] : 0);
        out.handOn();
    }
    out.text += " };\n\nconst GFXglyph " + name + "Glyphs[] PROGMEM = {\n";
    std::vector<bool> present(t.entries.size(), t.codePoints.size() == t.entries.size());
    if (t.codePoints.empty()) {
        for (const BdfGlyph& g : font.glyphs) {
            present[static_cast<size_t>(g.encoding - t.first)] = true;
        }
    }
    for (int code = t.first; code <= t.last && out.going; ++code) {
        const size_t i = static_cast<size_t>(code - t.first);
        const GfxEntry& e = t.entries[i];
        out.text += formatText("  { %5d, %3d, %3d, %3d, %4d, %4d }", e.bitmapOffset, e.width,
                               e.height, e.xAdvance, e.xOffset, e.yOffset);
        out.text += code < t.last ? ",   " : " }; ";
        out.text += entryComment(t, code, present[i]) + "\n";
        out.handOn();
    }
    out.text += "\nconst GFXfont " + name + " PROGMEM = {\n  (uint8_t  *)" + name +
                "Bitmaps,\n  (GFXglyph *)" + name + "Glyphs,\n" +
                formatText("  0x%02X, 0x%02X, %d };\n\n// Approx. %zu bytes\n", t.first, t.last,
                           t.yAdvance, bytes + t.entries.size() * 7 + 7);
    if (!t.codePoints.empty()) writeRemap(out, t, name);
    out.handOn(true);
}

} // namespace

Outcome writeGfxFont(const BdfFont& font, const FontOutput& output, const CodeSink& sink) {
    GfxTables tables;
    if (Outcome made = makeTables(font, output, tables); !made.ok()) return made;
    writeTables(tables, font, output, sink);
    return {};
}

Outcome gfxDrawnFont(const BdfFont& font, const FontOutput& output, BdfFont& out) {
    out = BdfFont{};
    GfxTables t;
    if (Outcome made = makeTables(font, output, t); !made.ok()) return made;
    out.ascent = font.ascent;
    out.descent = t.yAdvance - font.ascent;
    out.lined = true;
    // Each glyph as GFX's drawChar walks it: a byte read every eighth dot,
    // its top bit the next dot, the dot (xx, yy) at the cursor plus the
    // offsets; the cursor's y is the baseline.
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        const int code = output.gfxRemap ? RemapFirst + static_cast<int>(i)
                                         : static_cast<int>(font.glyphs[i].encoding);
        const GfxEntry& e = t.entries[static_cast<size_t>(code - t.first)];
        BdfGlyph g;
        g.encoding = output.gfxRemap ? t.codePoints[static_cast<size_t>(code - RemapFirst)] : code;
        g.advance = e.xAdvance;
        g.width = e.width;
        g.height = e.height;
        g.xOffset = e.xOffset;
        g.yOffset = 1 - e.yOffset - e.height;
        g.dots.reserve(static_cast<size_t>(e.width) * e.height);
        uint16_t at = e.bitmapOffset;
        uint8_t bits = 0;
        int left = 0;
        for (int yy = 0; yy < e.height; ++yy) {
            for (int xx = 0; xx < e.width; ++xx) {
                if (left-- == 0) {
                    bits = t.bitmap[at++];
                    left = 7;
                }
                g.dots.push_back(bits & 0x80 ? '1' : '0');
                bits = static_cast<uint8_t>(bits << 1);
            }
        }
        out.glyphs.push_back(std::move(g));
    }
    return {};
}

} // namespace dedur
