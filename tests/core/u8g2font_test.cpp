#include <gtest/gtest.h>

#include <random>

#include "fontcode/fontformats.h"
#include "fontcode/glyphfont.h"

using namespace dedur;

namespace {

BdfGlyph glyph(long code, int w, int h, int x, int y, int advance, std::mt19937& rng,
               double density) {
    BdfGlyph g;
    g.encoding = code;
    g.width = w;
    g.height = h;
    g.xOffset = x;
    g.yOffset = y;
    g.advance = advance;
    std::bernoulli_distribution dot(density);
    for (int i = 0; i < w * h; ++i) g.dots.push_back(dot(rng) ? '1' : '0');
    return g;
}

BdfFont font(std::vector<BdfGlyph> glyphs) {
    BdfFont f;
    f.ascent = 13;
    f.descent = 2;
    f.lined = true;
    f.glyphs = std::move(glyphs);
    return f;
}

const FontOutput Output{"font", "test", false};

} // namespace

// Boxes with margins and offsets either way, blank glyphs, codes both sides
// of 255 and enough above it for several lookup-table blocks: the library's
// reading of the bytes gives each glyph cut to its dots, at its place.
TEST(U8g2Font, DrawnFontIsTheFontCutToItsDots) {
    std::mt19937 rng(31);
    std::uniform_int_distribution<int> side(0, 20), offset(-6, 6), advance(0, 24);
    std::vector<BdfGlyph> glyphs;
    for (long code = 0; code < 0x5000; code += code < 300 ? 1 : 37) {
        const double density = code % 7 == 0 ? 0.0 : code % 3 == 0 ? 0.6 : 0.2;
        glyphs.push_back(glyph(code, side(rng), side(rng), offset(rng), offset(rng), advance(rng),
                               rng, density));
    }
    const BdfFont source = font(glyphs);
    BdfFont drawn;
    ASSERT_TRUE(drawnFont(FontFormat::U8g2, source, Output, drawn).ok());
    ASSERT_EQ(source.glyphs.size(), drawn.glyphs.size());
    for (size_t i = 0; i < source.glyphs.size(); ++i) {
        BdfGlyph want = source.glyphs[i];
        cutToDots(want);
        const BdfGlyph& got = drawn.glyphs[i];
        SCOPED_TRACE(want.encoding);
        EXPECT_EQ(want.encoding, got.encoding);
        EXPECT_EQ(want.advance, got.advance);
        EXPECT_EQ(std::tie(want.width, want.height, want.xOffset, want.yOffset),
                  std::tie(got.width, got.height, got.xOffset, got.yOffset));
        EXPECT_EQ(want.dots, got.dots);
    }
}

// The line is the font's whole box (u8g2's reference height over all its
// glyphs), so a font without 'A' and 'g' has one too.
TEST(U8g2Font, DrawnLineIsTheFontsBox) {
    std::mt19937 rng(1);
    BdfFont drawn;
    ASSERT_TRUE(drawnFont(FontFormat::U8g2, font({glyph(0x4E00, 16, 15, 0, -2, 16, rng, 1.0)}),
                          Output, drawn)
                    .ok());
    EXPECT_EQ(std::pair(13, 2), std::pair(drawn.ascent, drawn.descent));
    const BdfFont latin =
        font({glyph('A', 5, 7, 0, 0, 6, rng, 1.0), glyph('_', 4, 1, 0, -3, 6, rng, 1.0)});
    ASSERT_TRUE(drawnFont(FontFormat::U8g2, latin, Output, drawn).ok());
    EXPECT_EQ(std::pair(7, 3), std::pair(drawn.ascent, drawn.descent));
}

// What the format cannot hold is refused naming the glyph, before a byte
// is handed on.
TEST(U8g2Font, RefusesWhatTheFormatCannotHold) {
    std::mt19937 rng(7);
    const struct {
        BdfGlyph glyph;
        const char* says;
    } cases[] = {
        {glyph(0x4E00, 64, 64, 0, 0, 64, rng, 0.5), "U+4E00 \u4e00 takes"},
        {glyph(0x1F600, 8, 8, 0, 0, 8, rng, 0.5), "U+1F600 \U0001F600"},
        {glyph('W', 256, 1, 0, 0, 8, rng, 1.0), "U+0057 W is 256 x 1 dots"},
        {glyph('X', 2, 2, -129, 0, 8, rng, 1.0), "U+0058 X stands -129, 0"},
        {glyph('Y', 2, 2, 0, 128, 8, rng, 1.0), "U+0059 Y stands 0, 128"},
        {glyph('Z', 2, 2, 0, 0, 128, rng, 1.0), "advance of 128"},
    };
    for (const auto& c : cases) {
        std::mt19937 fill(3);
        const BdfFont f = font({glyph('!', 3, 3, 0, 0, 4, fill, 0.5), c.glyph});
        bool handed = false;
        const Outcome made = writeFont(FontFormat::U8g2, f, Output, [&](std::string_view) {
            handed = true;
            return true;
        });
        EXPECT_FALSE(made.ok()) << c.says;
        EXPECT_NE(std::string::npos, made.message.text.find(c.says)) << made.message.text;
        EXPECT_FALSE(handed) << c.says;
    }
}
