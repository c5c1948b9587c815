#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "fontcode/fontformats.h"

namespace dedur {
namespace {

using Dots = std::set<std::pair<int, int>>;

// A glyph's dots where they are drawn: x right of the origin, y up from the
// baseline, so that two boxes holding the same dots compare equal.
Dots placedDots(const BdfGlyph& g) {
    Dots dots;
    for (int r = 0; r < g.height; ++r) {
        for (int c = 0; c < g.width; ++c) {
            const size_t at = static_cast<size_t>(r * g.width + c);
            if (at < g.dots.size() && g.dots[at] == '1') {
                dots.insert({g.xOffset + c, g.yOffset + g.height - 1 - r});
            }
        }
    }
    return dots;
}

BdfGlyph randomGlyph(std::mt19937& rng, long code) {
    auto pick = [&rng](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    BdfGlyph g;
    g.encoding = code;
    g.width = pick(0, 20);
    g.height = pick(0, 20);
    g.xOffset = pick(-10, 10);
    g.yOffset = pick(-10, 10);
    g.advance = pick(0, 30);
    for (int i = 0; i < g.width * g.height; ++i) g.dots.push_back(pick(0, 2) ? '1' : '0');
    return g;
}

BdfFont randomFont(std::mt19937& rng, const std::vector<long>& codes) {
    BdfFont font;
    font.ascent = 12;
    font.descent = 4;
    font.lined = true;
    for (long code : codes) font.glyphs.push_back(randomGlyph(rng, code));
    return font;
}

// The font as GFX draws it is the font given: every glyph's dots where the
// source put them, its advance, under its own code point, remapped or not;
// spaces keep their advance and lose their dots.
TEST(GfxFont, DrawnFontIsTheSourceRemappedOrNot) {
    std::mt19937 rng(20261207);
    struct Case {
        bool remap;
        std::vector<long> codes;
    };
    std::vector<Case> cases = {{false, {}}, {true, {}}};
    for (long c = 0; c < 256; ++c) {
        if (c == 0x20 || rng() % 3 == 0) cases[0].codes.push_back(c);
    }
    for (long c = 0x20; cases[1].codes.size() < 224; c += 1 + static_cast<long>(rng() % 900)) {
        cases[1].codes.push_back(c);
    }
    for (const Case& test : cases) {
        SCOPED_TRACE(test.remap ? "remapped" : "codes as they are");
        const BdfFont font = randomFont(rng, test.codes);
        FontOutput output{"font", "", test.remap};
        BdfFont drawn;
        const Outcome made = drawnFont(FontFormat::Gfx, font, output, drawn);
        ASSERT_TRUE(made.ok()) << made.message.text;
        EXPECT_EQ(12, drawn.ascent);
        EXPECT_EQ(4, drawn.descent);
        ASSERT_EQ(font.glyphs.size(), drawn.glyphs.size());
        for (size_t i = 0; i < font.glyphs.size(); ++i) {
            const BdfGlyph& want = font.glyphs[i];
            const BdfGlyph& got = drawn.glyphs[i];
            SCOPED_TRACE(want.encoding);
            EXPECT_EQ(want.encoding, got.encoding);
            EXPECT_EQ(want.advance, got.advance);
            EXPECT_EQ(isSpaceCharacter(want.encoding) ? Dots{} : placedDots(want), placedDots(got));
        }
    }
}

// A refusal names its glyph and reason, the same from the writer and the
// preview, and hands nothing on.
TEST(GfxFont, RefusesWhatGfxfontCannotHold) {
    std::mt19937 rng(7);
    const auto font = [&rng](std::vector<long> codes) { return randomFont(rng, codes); };
    std::vector<long> many;
    for (long c = 0x100; c < 0x100 + 225; ++c) many.push_back(c);
    // Glyph B given a box of w x h dots at (x, y) and an advance.
    const auto withB = [&font](int w, int h, int x, int y, int advance) {
        BdfFont f = font({0x41, 0x42});
        BdfGlyph& b = f.glyphs[1];
        b.width = w;
        b.height = h;
        b.xOffset = x;
        b.yOffset = y;
        b.advance = advance;
        b.dots.assign(static_cast<size_t>(w * h), '1');
        return f;
    };
    BdfFont tall = font({0x41});
    tall.ascent = 250;
    tall.descent = 6;
    BdfFont bitmap = font({});
    for (long c = 0x41; c < 0x41 + 9; ++c) {
        BdfGlyph g;
        g.encoding = c;
        g.advance = 255;
        g.width = g.height = 255;
        g.yOffset = -200;
        g.dots.assign(255 * 255, '1');
        bitmap.glyphs.push_back(g);
    }
    const auto as = [](const char* name, bool remap) { return FontOutput{name, "", remap}; };
    const FontOutput f = as("f", false);
    const std::vector<std::tuple<const char*, BdfFont, FontOutput, std::string>> cases = {
        {"a code past 255", font({0x41, 0x100}), f,
         "cannot hold U+0100 \xc4\x80: Adafruit GFX "
         "draws codes 0 to 255 only"},
        {"225 remapped", font(many), as("f", true),
         "cannot hold 225 characters: remapped they "
         "go onto codes 0x20 to 0xFF, 224 at most"},
        {"a box 256 wide", withB(256, 1, 0, 0, 8), f, "U+0042 B: its box is 256x1"},
        {"a box 256 high", withB(1, 256, 0, -200, 8), f, "its box is 1x256"},
        {"xOffset -129", withB(2, 2, -129, 0, 8), f, "its box stands at -129, -1"},
        {"xOffset 128", withB(2, 2, 128, 0, 8), f, "its box stands at 128, -1"},
        {"yOffset -129", withB(2, 2, 0, 128, 8), f, "its box stands at 0, -129"},
        {"yOffset 128", withB(2, 2, 0, -129, 8), f, "its box stands at 0, 128"},
        {"an advance of 256", withB(2, 2, 0, 0, 256), f, "U+0042 B: its advance is 256 dots"},
        {"a line of 256", tall, f, "a line 256 dots high"},
        {"past 65535 bytes", bitmap, f, "U+0049 I: the bitmap would grow past 65535 bytes"},
        {"a type's name", font({0x41}), as("GFXglyph", false), "Adafruit GFX's types"},
        {"a keyword", font({0x41}), as("struct", false), "keyword"},
        {"a name of the library", font({0x41}), as("GFXfont", false), "Adafruit GFX's types"},
        {"no glyph", font({}), f, "There is no glyph"},
        {"codes out of order", font({0x42, 0x41}), as("f", true), "U+0041 A: the glyphs are not"},
        {"a code twice", font({0x41, 0x41}), f, "U+0041 A: the glyphs are not"},
        {"no code point", font({-1}), as("f", true), "glyph 1: it has no code point"},
    };
    for (const auto& [what, input, output, message] : cases) {
        SCOPED_TRACE(what);
        int pieces = 0;
        const Outcome written = writeFont(FontFormat::Gfx, input, output, [&](std::string_view) {
            ++pieces;
            return true;
        });
        EXPECT_FALSE(written.ok());
        EXPECT_NE(std::string::npos, written.message.text.find(message)) << written.message.text;
        EXPECT_EQ(0, pieces);
        BdfFont drawn;
        const Outcome previewed = drawnFont(FontFormat::Gfx, input, output, drawn);
        EXPECT_EQ(written.message.text, previewed.message.text);
        EXPECT_TRUE(drawn.glyphs.empty());
    }
}

// The command line's dry run: a sink that says stop is asked once, and the
// font is not refused for it.
TEST(GfxFont, StopsWhenTheSinkSaysSo) {
    std::mt19937 rng(3);
    std::vector<long> codes;
    for (long c = 0; c < 256; ++c) codes.push_back(c);
    BdfFont font = randomFont(rng, codes);
    for (BdfGlyph& g : font.glyphs) {
        g.width = g.height = 40;
        g.dots.assign(1600, '1');
    }
    int pieces = 0;
    const Outcome made = writeFont(FontFormat::Gfx, font, {"f", "", false}, [&](std::string_view) {
        ++pieces;
        return false;
    });
    EXPECT_TRUE(made.ok()) << made.message.text;
    EXPECT_EQ(1, pieces);
}

} // namespace
} // namespace dedur
