#include "fontcode/fontsource.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "base/limits.h"
#include "base/message.h"
#include "base/numbertext.h"
#include "code/codepieces.h"
#include "fontcode/glyphfont.h"
#include "fonts/big5codec.h"

namespace dedur {

namespace {

Outcome refusal(const std::string& name, const std::string& why) {
    return Outcome::refused(
        {formatText("\"%s\" cannot be used as a font: %s", printable(name).c_str(), why.c_str()),
         " ", MessageButtons::Ok, MessageIcon::Question});
}

std::string codeText(long codePoint) {
    return formatText("U+%04lX", static_cast<unsigned long>(codePoint));
}

// A code point text can show: not a control code (strings never draw one,
// and LVGL's text ends at U+0000), not a surrogate, within Unicode.
bool textCharacter(long c) {
    return c >= 0x20 && !(c >= 0x7F && c < 0xA0) && !(c >= 0xD800 && c <= 0xDFFF) && c <= 0x10FFFF;
}

bool wanted(const FontSourceOptions& options, long codePoint) {
    return options.all || std::binary_search(options.characters.begin(), options.characters.end(),
                                             static_cast<char32_t>(codePoint));
}

// The characters asked for that the font has no glyph for.
void findMissing(const FontSourceOptions& options, FontSource& out) {
    if (options.all) return;
    size_t k = 0;
    for (char32_t c : options.characters) {
        while (k < out.font.glyphs.size() && out.font.glyphs[k].encoding < static_cast<long>(c))
            ++k;
        if (k == out.font.glyphs.size() || out.font.glyphs[k].encoding != static_cast<long>(c)) {
            out.missing.push_back(c);
        }
    }
}

// Code-point order, each code point once (the first glyph that has it).
void orderGlyphs(FontSource& out) {
    auto& glyphs = out.font.glyphs;
    std::stable_sort(glyphs.begin(), glyphs.end(),
                     [](const BdfGlyph& a, const BdfGlyph& b) { return a.encoding < b.encoding; });
    const auto end =
        std::unique(glyphs.begin(), glyphs.end(),
                    [](const BdfGlyph& a, const BdfGlyph& b) { return a.encoding == b.encoding; });
    out.leftOut += static_cast<int>(glyphs.end() - end);
    glyphs.erase(end, glyphs.end());
}

// The line from the glyphs' boxes, for a font that gives none.
void lineFromBoxes(BdfFont& font) {
    int ascent = 0, descent = 0;
    for (const BdfGlyph& g : font.glyphs) {
        if (g.width == 0 || g.height == 0) continue;
        ascent = std::max(ascent, g.yOffset + g.height);
        descent = std::max(descent, -g.yOffset);
    }
    font.ascent = ascent;
    font.descent = descent;
    font.lined = true;
}

Outcome readBdfSource(std::string_view bytes, const std::string& name,
                      const FontSourceOptions& options, FontSource& out) {
    if (bytes.size() > limits::BdfFileBytes) {
        return refusal(name,
                       formatText("a BDF font larger than %zu MB", limits::BdfFileBytes >> 20));
    }
    // Nothing to choose in a BDF: an option that would be ignored is refused
    // rather than let the user believe it was followed.
    if (options.size != 0) return refusal(name, "a BDF font has its one size; leave out --size");
    if (options.face != 0) return refusal(name, "a BDF font has one face; leave out --face");
    BdfFont read;
    if (const Outcome parsed = parseBdf(bytes, name, read); !parsed.ok()) return parsed;
    out.font.ascent = read.ascent;
    out.font.descent = read.descent;
    out.font.lined = read.lined;
    for (BdfGlyph& g : read.glyphs) {
        long codePoint = g.encoding;
        if (read.big5) {
            const auto c = g.encoding > 0 && g.encoding <= 0xFFFF
                               ? decodeBig5(static_cast<int>(g.encoding >> 8),
                                            static_cast<int>(g.encoding & 0xFF))
                               : std::nullopt;
            codePoint = c ? static_cast<long>(*c) : -1;
        }
        if (!textCharacter(codePoint)) {
            ++out.leftOut;
            continue;
        }
        if (!wanted(options, codePoint)) continue;
        g.encoding = codePoint;
        // Without DWIDTH the pen moves past the box.
        if (g.advance < 0) {
            g.advance = std::clamp(g.xOffset + g.width, 0, limits::BdfGlyphOffset);
        }
        out.font.glyphs.push_back(std::move(g));
    }
    orderGlyphs(out);
    if (!out.font.lined) lineFromBoxes(out.font);
    out.drawnFrom = "its bitmaps";
    return {};
}

// FreeType's handles, let go of on every way out.
struct FreeType {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FreeType() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

// 26.6 fixed point to whole dots, up and down.
long ceilDots(FT_Pos v) {
    return static_cast<long>(std::ceil(static_cast<double>(v) / 64.0));
}

Outcome chooseSize(FT_Face face, const std::string& name, int size, int& loadFlags,
                   std::string& drawnFrom) {
    int strike = -1;
    for (int i = 0; i < face->num_fixed_sizes && strike < 0; ++i) {
        if ((face->available_sizes[i].y_ppem + 32) >> 6 == size) strike = i;
    }
    for (int i = 0; i < face->num_fixed_sizes && strike < 0; ++i) {
        if (face->available_sizes[i].height == size) strike = i;
    }
    if (size == 0 && face->num_fixed_sizes == 1 && !FT_IS_SCALABLE(face)) strike = 0;
    std::string strikes;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        strikes += (i ? ", " : "") + std::to_string((face->available_sizes[i].y_ppem + 32) >> 6);
    }
    if (strike >= 0) {
        if (FT_Select_Size(face, strike)) return refusal(name, "FreeType cannot use its strike");
        loadFlags = FT_LOAD_RENDER | FT_LOAD_TARGET_MONO;
        drawnFrom = formatText("its %d-pixel bitmap strike",
                               static_cast<int>((face->available_sizes[strike].y_ppem + 32) >> 6));
        return {};
    }
    if (!FT_IS_SCALABLE(face)) {
        return refusal(name, size == 0 ? "give its size in pixels; it has bitmaps of " + strikes
                                       : formatText("it has no %d-pixel bitmaps, only %s", size,
                                                    strikes.c_str()));
    }
    if (size == 0) {
        return refusal(name, "give the size in pixels to draw its outlines at" +
                                 (strikes.empty() ? "" : " (it has bitmaps of " + strikes + ")"));
    }
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size))) {
        return refusal(name, formatText("FreeType cannot size it to %d pixels", size));
    }
    // The font's own hints, or none: never the auto-hinter's guesses.
    loadFlags = FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP | FT_LOAD_NO_AUTOHINT;
    drawnFrom = formatText("its outlines at %d pixels", size);
    return {};
}

// The rendered glyph in the slot as a box of dots; false when FreeType gave
// a kind of bitmap that is not one of ink and paper.
bool slotGlyph(FT_GlyphSlot slot, BdfGlyph& glyph) {
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.xOffset = slot->bitmap_left;
    glyph.yOffset = slot->bitmap_top - glyph.height;
    glyph.dots.assign(static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.height), '0');
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<long>(y) * bitmap.pitch;
        for (int x = 0; x < glyph.width; ++x) {
            bool ink = false;
            switch (bitmap.pixel_mode) {
            case FT_PIXEL_MODE_MONO:
                ink = row[x / 8] >> (7 - x % 8) & 1;
                break;
            case FT_PIXEL_MODE_GRAY:
                ink = row[x] >= 128;
                break;
            case FT_PIXEL_MODE_BGRA:
                ink = row[4 * x + 3] >= 128;
                break;
            default:
                return false;
            }
            if (ink) glyph.dots[static_cast<size_t>(y * glyph.width + x)] = '1';
        }
    }
    return true;
}

Outcome readFreeTypeSource(std::string_view bytes, const std::string& name,
                           const FontSourceOptions& options, FontSource& out) {
    if (bytes.size() > limits::FontSourceBytes) {
        return refusal(name,
                       formatText("a font larger than %zu MB", limits::FontSourceBytes >> 20));
    }
    if (options.size != 0 &&
        (options.size < limits::FontSourceSizeMin || options.size > limits::FontSourceSizeMax)) {
        return refusal(name, formatText("the size must be %d to %d pixels",
                                        limits::FontSourceSizeMin, limits::FontSourceSizeMax));
    }
    FreeType ft;
    if (FT_Init_FreeType(&ft.library)) return refusal(name, "FreeType cannot start");
    const auto* data = reinterpret_cast<const FT_Byte*>(bytes.data());
    const auto length = static_cast<FT_Long>(bytes.size());
    if (FT_New_Memory_Face(ft.library, data, length, 0, &ft.face)) {
        return refusal(name, "it is not a font FreeType reads");
    }
    if (options.face < 0 || options.face >= ft.face->num_faces) {
        return refusal(name, formatText("it holds %ld face%s, there is no face %d",
                                        static_cast<long>(ft.face->num_faces),
                                        ft.face->num_faces == 1 ? "" : "s", options.face));
    }
    if (options.face > 0) {
        FT_Done_Face(ft.face);
        ft.face = nullptr;
        if (FT_New_Memory_Face(ft.library, data, length, options.face, &ft.face)) {
            return refusal(name, formatText("FreeType cannot read its face %d", options.face));
        }
    }
    if (FT_Select_Charmap(ft.face, FT_ENCODING_UNICODE)) {
        return refusal(name, "it has no Unicode character map");
    }
    int loadFlags = 0;
    if (const Outcome sized = chooseSize(ft.face, name, options.size, loadFlags, out.drawnFrom);
        !sized.ok()) {
        return sized;
    }
    // The characters to draw: those asked for, or every one the map has.
    std::vector<char32_t> characters;
    if (options.all) {
        FT_UInt index = 0;
        for (FT_ULong c = FT_Get_First_Char(ft.face, &index); index != 0;
             c = FT_Get_Next_Char(ft.face, c, &index)) {
            if (static_cast<int>(characters.size()) >= limits::BdfGlyphs) {
                return refusal(name, formatText("more than %d characters", limits::BdfGlyphs));
            }
            if (!textCharacter(static_cast<long>(c))) {
                ++out.leftOut;
                continue;
            }
            characters.push_back(static_cast<char32_t>(c));
        }
    } else {
        characters = options.characters;
    }
    uint64_t dots = 0;
    out.font.glyphs.reserve(characters.size());
    for (char32_t c : characters) {
        const FT_UInt index = FT_Get_Char_Index(ft.face, c);
        if (index == 0) continue; // missing
        if (static_cast<int>(out.font.glyphs.size()) >= limits::BdfGlyphs) {
            return refusal(name, formatText("more than %d glyphs", limits::BdfGlyphs));
        }
        BdfGlyph glyph;
        glyph.encoding = static_cast<long>(c);
        if (FT_Load_Glyph(ft.face, index, loadFlags) || !slotGlyph(ft.face->glyph, glyph)) {
            ++out.undrawn;
            continue;
        }
        if (glyph.width > limits::BdfGlyphSide || glyph.height > limits::BdfGlyphSide ||
            std::abs(glyph.xOffset) > limits::BdfGlyphOffset ||
            std::abs(glyph.yOffset) > limits::BdfGlyphOffset) {
            return refusal(name, formatText("%s is drawn %d x %d at %d, %d, past %d x %d",
                                            codeText(glyph.encoding).c_str(), glyph.width,
                                            glyph.height, glyph.xOffset, glyph.yOffset,
                                            limits::BdfGlyphSide, limits::BdfGlyphSide));
        }
        dots += static_cast<uint64_t>(glyph.width) * static_cast<uint64_t>(glyph.height);
        if (dots > limits::FontSourceDots) {
            return refusal(name,
                           formatText("its glyphs hold more than %llu dots at this size",
                                      static_cast<unsigned long long>(limits::FontSourceDots)));
        }
        const long advance = (ft.face->glyph->advance.x + 32) / 64;
        glyph.advance = static_cast<int>(std::clamp<long>(advance, 0, limits::BdfGlyphOffset));
        cutToDots(glyph);
        out.font.glyphs.push_back(std::move(glyph));
    }
    const FT_Size_Metrics& metrics = ft.face->size->metrics;
    out.font.ascent = static_cast<int>(std::clamp(ceilDots(metrics.ascender), -1000L, 1000L));
    out.font.descent = static_cast<int>(std::clamp(ceilDots(-metrics.descender), -1000L, 1000L));
    out.font.lined = out.font.ascent + out.font.descent > 0;
    if (!out.font.lined) lineFromBoxes(out.font);
    orderGlyphs(out);
    return {};
}

} // namespace

bool isBdfText(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    while (!bytes.empty() && (bytes.front() == ' ' || bytes.front() == '\t' ||
                              bytes.front() == '\r' || bytes.front() == '\n')) {
        bytes.remove_prefix(1);
    }
    return bytes.substr(0, 9) == "STARTFONT";
}

Outcome readFontSource(std::string_view bytes, const std::string& name,
                       const FontSourceOptions& options, FontSource& out) {
    out = {};
    const Outcome read = isBdfText(bytes) ? readBdfSource(bytes, name, options, out)
                                          : readFreeTypeSource(bytes, name, options, out);
    if (!read.ok()) {
        out = {};
        return read;
    }
    // A line above or below the baseline that runs the wrong way is no line.
    BdfFont& font = out.font;
    font.ascent = std::max(font.ascent, 0);
    font.descent = std::max(font.descent, 0);
    if (font.ascent + font.descent == 0) lineFromBoxes(font);
    findMissing(options, out);
    return {};
}

void writeBdfFont(const BdfFont& font, const std::string& name, const CodeSink& sink) {
    CodePieces o(&sink);
    std::string& out = o.text;
    // The box all glyphs fit in, and whether they all move the pen alike.
    int left = 0, right = 0, bottom = 0, top = 0;
    bool boxed = false, mono = true;
    long advances = 0;
    for (const BdfGlyph& g : font.glyphs) {
        advances += g.advance;
        mono = mono && g.advance == font.glyphs.front().advance;
        if (g.width == 0 || g.height == 0) continue;
        if (!boxed) {
            left = g.xOffset, right = g.xOffset + g.width;
            bottom = g.yOffset, top = g.yOffset + g.height;
            boxed = true;
        }
        left = std::min(left, g.xOffset);
        right = std::max(right, g.xOffset + g.width);
        bottom = std::min(bottom, g.yOffset);
        top = std::max(top, g.yOffset + g.height);
    }
    const int pixels = std::max(1, font.ascent + font.descent);
    const long average =
        font.glyphs.empty()
            ? 0
            : std::lround(advances * 10.0 / static_cast<double>(font.glyphs.size()));
    const char spacing = mono ? 'M' : 'P';
    out += "STARTFONT 2.1\n";
    out += formatText("FONT -dedur-%s-Medium-R-Normal--%d-%d-72-72-%c-%ld-ISO10646-1\n",
                      name.c_str(), pixels, pixels * 10, spacing, average);
    out += formatText("SIZE %d 72 72\n", pixels);
    out += formatText("FONTBOUNDINGBOX %d %d %d %d\n", right - left, top - bottom, left, bottom);
    out += "STARTPROPERTIES 10\n";
    out += formatText("PIXEL_SIZE %d\nPOINT_SIZE %d\n", pixels, pixels * 10);
    out += "RESOLUTION_X 72\nRESOLUTION_Y 72\n";
    out += formatText("AVERAGE_WIDTH %ld\n", average);
    out += formatText("FONT_ASCENT %d\nFONT_DESCENT %d\n", font.ascent, font.descent);
    out += "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\n";
    out += formatText("SPACING \"%c\"\n", spacing);
    out += "ENDPROPERTIES\n";
    out += formatText("CHARS %zu\n", font.glyphs.size());
    for (const BdfGlyph& g : font.glyphs) {
        o.handOn();
        out += "STARTCHAR " + codeText(g.encoding) + "\n";
        out += formatText("ENCODING %ld\n", g.encoding > 0xFFFF ? -1L : g.encoding);
        // SWIDTH: the advance in thousandths of the point size.
        // A box without area has no rows (an empty row is no line to BDF).
        const bool empty = g.width == 0 || g.height == 0;
        out += formatText("SWIDTH %ld 0\nDWIDTH %d 0\nBBX %d %d %d %d\nBITMAP\n",
                          std::lround(g.advance * 1000.0 / pixels), g.advance, empty ? 0 : g.width,
                          empty ? 0 : g.height, g.xOffset, g.yOffset);
        const int stride = (g.width + 7) / 8;
        for (int y = 0; y < (empty ? 0 : g.height); ++y) {
            for (int k = 0; k < stride; ++k) {
                unsigned byte = 0;
                for (int b = 0; b < 8; ++b) {
                    const int x = k * 8 + b;
                    if (x < g.width && g.dots[static_cast<size_t>(y * g.width + x)] == '1') {
                        byte |= 0x80u >> b;
                    }
                }
                out += HexDigits[byte >> 4];
                out += HexDigits[byte & 0xF];
            }
            out += '\n';
        }
        out += "ENDCHAR\n";
    }
    out += "ENDFONT\n";
    o.handOn(true);
}

} // namespace dedur
