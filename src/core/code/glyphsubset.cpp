#include "code/glyphsubset.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <map>

#include "base/message.h"
#include "base/numbertext.h"
#include "code/codepieces.h"
#include "document/patternstore.h"
#include "fonts/big5.h"
#include "fonts/big5codec.h"

namespace dedur {

namespace {

// The value in `digits` upper-case hex digits (more when it needs them).
void appendHexDigits(std::string& out, unsigned long value, int digits) {
    int shift = 4 * (digits - 1);
    while (shift + 4 < 64 && (value >> (shift + 4)) != 0) shift += 4;
    for (; shift >= 0; shift -= 4) out += HexDigits[(value >> shift) & 0xF];
}

} // namespace

std::string codePointText(long codePoint) {
    return formatText("U+%04lX", static_cast<unsigned long>(codePoint));
}

std::string utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

bool distinctCharacters(std::string_view text, std::vector<char32_t>& out, size_t& badAt) {
    out.clear();
    // A bit per code point rather than a list of every character: a large
    // text of few characters stays the size of its bytes.
    std::vector<uint64_t> seen((0x110000 + 63) / 64, 0);
    size_t i = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") i = 3; // a byte-order mark
    while (i < text.size()) {
        const auto b = static_cast<uint8_t>(text[i]);
        int length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + static_cast<size_t>(length) > text.size()) {
            badAt = i;
            return false;
        }
        char32_t c = length == 1 ? b : b & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<uint8_t>(text[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) {
                badAt = i;
                return false;
            }
            c = c << 6 | (next & 0x3F);
        }
        const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            badAt = i;
            return false;
        }
        if (c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0) && c != 0xFEFF) {
            seen[c / 64] |= uint64_t{1} << (c % 64);
        }
        i += static_cast<size_t>(length);
    }
    for (size_t word = 0; word < seen.size(); ++word) {
        for (uint64_t bits = seen[word]; bits != 0; bits &= bits - 1) {
            out.push_back(
                static_cast<char32_t>(word * 64 + static_cast<size_t>(std::countr_zero(bits))));
        }
    }
    return true;
}

namespace {

// The bytes of a record of the file, or nullptr when it has none or it is
// past a short file's end.
const uint8_t* recordBytes(std::string_view bytes, GlyphFileKind kind, int record) {
    const auto size = static_cast<size_t>(glyphFileShape(kind).recordBytes);
    const size_t at = static_cast<size_t>(record) * size;
    if (record < 0 || at + size > bytes.size()) return nullptr;
    return reinterpret_cast<const uint8_t*>(bytes.data()) + at;
}

bool drawnRecord(const uint8_t* bytes, GlyphFileKind kind) {
    return bytes && std::any_of(bytes, bytes + glyphFileShape(kind).recordBytes,
                                [](uint8_t b) { return b != 0; });
}

} // namespace

GlyphSubset makeSubset(std::string_view fileBytes, GlyphFileKind kind, CodeLayout layout,
                       const std::vector<char32_t>& characters, std::string_view asciiBytes,
                       std::string_view symbolBytes, std::string_view symbolSuppBytes) {
    GlyphSubset subset;
    subset.kind = kind;
    subset.layout = layout;
    subset.glyphs.reserve(characters.size());
    const PanelDefinition definition;
    // What a space without a record of its own is drawn from.
    const std::vector<uint8_t> blankRecord(72, 0);
    for (char32_t c : characters) {
        const bool ascii = !asciiBytes.empty() && c >= 0x20 && c < 0x7F;
        GlyphFileKind from = ascii ? GlyphFileKind::Ascii8x15 : kind;
        int record = recordOfCodePoint(from, c);
        const uint8_t* glyphRecord = recordBytes(ascii ? asciiBytes : fileBytes, from, record);
        if (!glyphRecord) record = -1;
        // A space is drawn with nothing: it is no less a glyph, and needs no
        // record to be one.
        const bool space = isSpaceCharacter(c);
        if (!space && !ascii && kind == GlyphFileKind::Big5_16x15 &&
            !drawnRecord(glyphRecord, from)) {
            // The symbol files share the cell: what they draw stands in.
            for (const auto& [symbols, bytes] :
                 {std::pair{GlyphFileKind::Symbol16x15, symbolBytes},
                  std::pair{GlyphFileKind::SymbolSupp16x15, symbolSuppBytes}}) {
                const int other = recordOfCodePoint(symbols, c);
                const uint8_t* otherRecord = recordBytes(bytes, symbols, other);
                if (drawnRecord(otherRecord, symbols)) {
                    from = symbols;
                    record = other;
                    glyphRecord = otherRecord;
                    break;
                }
            }
        }
        if (!space && !drawnRecord(glyphRecord, from)) {
            subset.missing.push_back(c);
            continue;
        }
        const GlyphFileShape s = glyphFileShape(from);
        if (!glyphRecord) glyphRecord = blankRecord.data();
        const PatternHeader header{
            static_cast<int16_t>(s.width), static_cast<int16_t>(s.height), 1, 1, 0, 2};
        SubsetGlyph g;
        g.codePoint = c;
        if (ascii) {
            g.big5 = static_cast<uint16_t>(c);
        } else if (record >= 0) {
            g.big5 = big5CodeOfRecord(from, record);
        } else if (const std::string code = encodeBig5(c); code.size() == 2) {
            g.big5 = static_cast<uint16_t>(static_cast<uint8_t>(code[0]) << 8 |
                                           static_cast<uint8_t>(code[1]));
        }
        g.record = record;
        g.source = from;
        g.width = s.width;
        if (layout == CodeLayout::RowsMsb) {
            // A record already is rows from the top, the leftmost dot in bit 7.
            g.bytes.assign(glyphRecord, glyphRecord + s.recordBytes);
        } else {
            const std::vector<uint8_t> dots = recordDots(glyphRecord, from);
            g.bytes =
                layoutBytes(dots.data(), s.width, s.height, layout, false, header, definition);
        }
        subset.glyphs.push_back(std::move(g));
    }
    return subset;
}

namespace {

// ", 0xAB" of every byte, made once.
struct ByteHex {
    char text[256][6];
    ByteHex() {
        for (int b = 0; b < 256; ++b) {
            const char item[6] = {',', ' ', '0', 'x', HexDigits[b >> 4], HexDigits[b & 0xF]};
            std::copy(item, item + 6, text[b]);
        }
    }
};

// The bytes as "0xAB, 0xCD, ...": written in place, as a glyph file's worth
// of them is most of what a subset writes.
void appendBytes(std::string& out, const std::vector<uint8_t>& bytes) {
    static const ByteHex hex;
    if (bytes.empty()) return;
    const size_t at = out.size();
    out.resize(at + 6 * bytes.size() - 2);
    char* p = out.data() + at;
    std::memcpy(p, hex.text[bytes[0]] + 2, 4);
    p += 4;
    for (size_t k = 1; k < bytes.size(); ++k, p += 6) std::memcpy(p, hex.text[bytes[k]], 6);
}

// Code point, Big5 code or width of each glyph, as a C table's items.
template <typename Item> void appendItems(CodePieces& o, const GlyphSubset& subset, Item item) {
    for (size_t i = 0; i < subset.glyphs.size(); ++i) {
        o.handOn();
        if (i) o.text += ", ";
        item(o.text, subset.glyphs[i]);
    }
}

void writeC(const GlyphSubset& subset, const std::string& name, CodePieces& o) {
    std::string& out = o.text;
    const GlyphFileShape s = glyphFileShape(subset.kind);
    size_t bytes = 0;
    for (const SubsetGlyph& g : subset.glyphs) bytes = std::max(bytes, g.bytes.size());
    const size_t count = subset.glyphs.size();
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const char* n = name.c_str();
    const size_t rows = std::max<size_t>(count, 1);
    const size_t columns = std::max<size_t>(bytes, 1);
    out += formatText("/* %s.h: %zu glyphs of %d x %d, layout %s (made by dedur).\n"
                      "   Include it from any number of files; in exactly one .c or .cpp file\n"
                      "   write #define %s_IMPLEMENTATION before the #include, so that the\n"
                      "   tables are defined there once. */\n",
                      n, count, s.width, s.height, layoutName(subset.layout), upper.c_str());
    out += "#ifndef " + upper + "_H\n#define " + upper +
           "_H\n\n#include <stddef.h>\n#include <stdint.h>\n\n"
           "#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n";
    out += formatText("#define %s_WIDTH %d\n#define %s_HEIGHT %d\n#define %s_GLYPH_BYTES %zu\n"
                      "#define %s_COUNT %zu\n\n",
                      n, s.width, n, s.height, n, bytes, n, count);
    out += formatText("extern const uint8_t %s_bitmaps[%zu][%zu];\n"
                      "/* Sorted by code point, for the search below. */\n"
                      "extern const uint32_t %s_codepoints[%zu];\n"
                      "/* Each glyph's width: 8 for ASCII from the 8x15 file. */\n"
                      "extern const uint8_t %s_widths[%zu];\n"
                      "/* The Big5 code beside each (the ASCII code for ASCII). */\n"
                      "extern const uint16_t %s_big5[%zu];\n\n",
                      n, rows, columns, n, rows, n, rows, n, rows);
    out += formatText("/* The glyph of a code point, or NULL when the subset has none. */\n"
                      "static inline const uint8_t* %s_glyph(uint32_t codepoint) {\n"
                      "    size_t low = 0, high = %s_COUNT;\n"
                      "    while (low < high) {\n"
                      "        const size_t middle = low + (high - low) / 2;\n"
                      "        if (%s_codepoints[middle] < codepoint) {\n"
                      "            low = middle + 1;\n"
                      "        } else if (%s_codepoints[middle] > codepoint) {\n"
                      "            high = middle;\n"
                      "        } else {\n"
                      "            return %s_bitmaps[middle];\n"
                      "        }\n"
                      "    }\n"
                      "    return NULL;\n"
                      "}\n\n",
                      n, n, n, n, n);
    out += "#ifdef " + upper + "_IMPLEMENTATION\n\n";
    out += formatText("const uint8_t %s_bitmaps[%zu][%zu] = {\n", n, rows, columns);
    for (const SubsetGlyph& g : subset.glyphs) {
        o.handOn();
        out += "    /* U+";
        appendHexDigits(out, g.codePoint, 4);
        out += ' ';
        if (g.codePoint != '*' && g.codePoint != '/') out += utf8(g.codePoint);
        out += ", Big5 ";
        appendHexDigits(out, g.big5, 4);
        out += " */ {";
        appendBytes(out, g.bytes);
        out += "},\n";
    }
    if (count == 0) out += "    {0},\n";
    out += "};\n";
    out += formatText("const uint32_t %s_codepoints[%zu] = {", n, rows);
    appendItems(o, subset, [](std::string& text, const SubsetGlyph& g) {
        text += "0x";
        appendHexDigits(text, g.codePoint, 4);
    });
    out += count ? "};\n" : "0};\n";
    out += formatText("const uint8_t %s_widths[%zu] = {", n, rows);
    appendItems(o, subset,
                [](std::string& text, const SubsetGlyph& g) { text += std::to_string(g.width); });
    out += count ? "};\n" : "0};\n";
    out += formatText("const uint16_t %s_big5[%zu] = {", n, rows);
    appendItems(o, subset, [](std::string& text, const SubsetGlyph& g) {
        text += "0x";
        appendHexDigits(text, g.big5, 4);
    });
    out += count ? "};\n\n" : "0};\n\n";
    out += "#endif /* " + upper +
           "_IMPLEMENTATION */\n\n"
           "#ifdef __cplusplus\n}\n#endif\n\n#endif\n";
}

void writeJson(const GlyphSubset& subset, CodePieces& o) {
    std::string& out = o.text;
    const GlyphFileShape s = glyphFileShape(subset.kind);
    out += formatText("{\"width\": %d, \"height\": %d, \"layout\": \"%s\", \"glyphs\": [", s.width,
                      s.height, layoutName(subset.layout));
    for (size_t i = 0; i < subset.glyphs.size(); ++i) {
        o.handOn();
        const SubsetGlyph& g = subset.glyphs[i];
        out += formatText("%s\n  {\"codepoint\": %u, \"big5\": %u, \"width\": %d, \"bytes\": [",
                          i ? "," : "", static_cast<unsigned>(g.codePoint), g.big5, g.width);
        for (size_t k = 0; k < g.bytes.size(); ++k) {
            if (k) out += ", ";
            out += std::to_string(g.bytes[k]);
        }
        out += "]}";
    }
    out += "\n], \"missing\": [";
    for (size_t i = 0; i < subset.missing.size(); ++i) {
        out += formatText("%s%u", i ? ", " : "", static_cast<unsigned>(subset.missing[i]));
    }
    out += "]}\n";
}

} // namespace

void writeSubsetC(const GlyphSubset& subset, const std::string& name, const CodeSink& sink) {
    CodePieces o(&sink);
    writeC(subset, name, o);
    o.handOn(true);
}

std::string subsetAsC(const GlyphSubset& subset, const std::string& name) {
    CodePieces o;
    writeC(subset, name, o);
    return std::move(o.text);
}

void writeSubsetJson(const GlyphSubset& subset, const CodeSink& sink) {
    CodePieces o(&sink);
    writeJson(subset, o);
    o.handOn(true);
}

std::string subsetAsJson(const GlyphSubset& subset) {
    CodePieces o;
    writeJson(subset, o);
    return std::move(o.text);
}

std::string subsetAsBdf(std::string_view fileBytes, const GlyphSubset& subset,
                        const std::string& name, std::string_view symbolBytes,
                        std::string_view symbolSuppBytes) {
    std::vector<BdfCell> cells;
    for (const SubsetGlyph& g : subset.glyphs) {
        if (g.source == GlyphFileKind::Ascii8x15) continue;
        const std::string_view bytes = g.source == GlyphFileKind::Symbol16x15 ? symbolBytes
                                       : g.source == GlyphFileKind::SymbolSupp16x15
                                           ? symbolSuppBytes
                                           : fileBytes;
        const uint8_t* record = recordBytes(bytes, g.source, g.record);
        cells.push_back(
            {g.codePoint, record, record ? big5CodeOfRecord(g.source, g.record) : uint16_t{0}});
    }
    return exportBdfCells(subset.kind, name, cells).text;
}

} // namespace dedur
