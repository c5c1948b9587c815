#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "fontcode/fontformats.h"

using namespace dedur;

namespace {

BdfGlyph glyph(long code, int advance, int width, int height, int x, int y, std::mt19937& rng) {
    BdfGlyph g;
    g.encoding = code;
    g.advance = advance;
    g.width = width;
    g.height = height;
    g.xOffset = x;
    g.yOffset = y;
    for (int i = 0; i < width * height; ++i) g.dots.push_back(rng() % 2 ? '1' : '0');
    return g;
}

BdfFont fontOf(const std::vector<long>& codes, std::mt19937& rng) {
    BdfFont font;
    font.ascent = 13;
    font.descent = 3;
    font.lined = true;
    for (long code : codes) {
        const int w = 1 + static_cast<int>(rng() % 30), h = 1 + static_cast<int>(rng() % 30);
        font.glyphs.push_back(glyph(code, static_cast<int>(rng() % 256), w, h,
                                    static_cast<int>(rng() % 256) - 128,
                                    static_cast<int>(rng() % 256) - 128, rng));
    }
    return font;
}

FontOutput named(const std::string& name) {
    FontOutput output;
    output.name = name;
    return output;
}

} // namespace

// The preview reads every glyph back through the cmaps as LVGL finds it:
// code points laid out so that each way of cutting them into cmaps is taken.
TEST(LvglFont, DrawnFontIsTheFontForEveryCmapLayout) {
    std::mt19937 rng(7);
    std::vector<long> runs; // 600 runs of 20: more gapless ranges than LVGL counts
    for (long r = 0; r < 600; ++r) {
        for (long k = 0; k < 20; ++k) runs.push_back(0x4E00 + r * 21 + k);
    }
    const struct {
        const char* what;
        std::vector<long> codes;
    } layouts[] = {
        {"one sparse list at its widest", {0x100, 0x100 + 65534}},
        {"one past a sparse list's span", {0x100, 0x100 + 65535}},
        {"a run between sparse ones",
         {0x41, 0x50, 0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C,
          0x6D, 0x6E, 0x6F, 0x90}},
        {"every plane", {1, 0xFFFF, 0x10000, 0x5FFFF, 0x10FFFF}},
        {"600 runs", runs},
    };
    for (const auto& layout : layouts) {
        const BdfFont font = fontOf(layout.codes, rng);
        BdfFont drawn;
        ASSERT_TRUE(drawnFont(FontFormat::Lvgl, font, named("f"), drawn).ok()) << layout.what;
        EXPECT_EQ(13, drawn.ascent) << layout.what;
        EXPECT_EQ(3, drawn.descent) << layout.what;
        ASSERT_EQ(font.glyphs.size(), drawn.glyphs.size()) << layout.what;
        for (size_t i = 0; i < font.glyphs.size(); ++i) {
            const BdfGlyph& a = font.glyphs[i];
            const BdfGlyph& b = drawn.glyphs[i];
            EXPECT_TRUE(a.encoding == b.encoding && a.advance == b.advance && a.width == b.width &&
                        a.height == b.height && a.xOffset == b.xOffset && a.yOffset == b.yOffset &&
                        a.dots == b.dots)
                << layout.what << ": glyph " << a.encoding;
        }
    }
}

// The text reaches the sink in pieces, and a sink that says stop hears no
// more: the dry run before a write costs one piece.
TEST(LvglFont, TextIsHandedOnInPiecesUntilTheSinkStops) {
    std::mt19937 rng(5);
    std::vector<long> codes;
    for (long c = 0x4E00; c < 0x4E00 + 3000; ++c) codes.push_back(c);
    const BdfFont font = fontOf(codes, rng);
    size_t pieces = 0, largest = 0, total = 0;
    ASSERT_TRUE(writeFont(FontFormat::Lvgl, font, named("f"), [&](std::string_view piece) {
                    ++pieces;
                    largest = std::max(largest, piece.size());
                    total += piece.size();
                    return true;
                }).ok());
    EXPECT_GT(pieces, 4u);
    EXPECT_LT(largest, size_t{80} << 10);
    EXPECT_GT(total, size_t{300} << 10);
    size_t heard = 0;
    ASSERT_TRUE(writeFont(FontFormat::Lvgl, font, named("f"), [&](std::string_view) {
                    ++heard;
                    return false;
                }).ok());
    EXPECT_EQ(1u, heard);
}

// The preview refuses what the writer refuses, and the writer hands nothing
// on when it refuses.
TEST(LvglFont, RefusedAlikeByWriterAndPreview) {
    std::mt19937 rng(9);
    const struct {
        const char* what;
        BdfGlyph glyph;
        const char* named;
    } cases[] = {
        {"advance 256", glyph(0x4E00, 256, 1, 1, 0, 0, rng), "U+4E00"},
        {"no advance", glyph(0x4E00, -1, 1, 1, 0, 0, rng), "no advance"},
        {"box 256", glyph(0x4E00, 16, 256, 1, 0, 0, rng), "256x1"},
        {"x offset 128", glyph(0x4E00, 16, 1, 1, 128, 0, rng), "128"},
        {"x offset -129", glyph(0x4E00, 16, 1, 1, -129, 0, rng), "-129"},
        {"y offset 128", glyph(0x4E00, 16, 1, 1, 0, 128, rng), "128"},
        {"y offset -129", glyph(0x4E00, 16, 1, 1, 0, -129, rng), "-129"},
        {"U+0000", glyph(0, 8, 1, 1, 0, 0, rng), "U+0000"},
    };
    for (const auto& c : cases) {
        BdfFont font;
        font.glyphs = {c.glyph};
        bool handed = false;
        const Outcome written =
            writeFont(FontFormat::Lvgl, font, named("f"), [&](std::string_view) {
                handed = true;
                return true;
            });
        BdfFont drawn;
        const Outcome previewed = drawnFont(FontFormat::Lvgl, font, named("f"), drawn);
        EXPECT_FALSE(written.ok()) << c.what;
        EXPECT_FALSE(handed) << c.what;
        EXPECT_NE(std::string::npos, written.message.text.find(c.named))
            << c.what << ": " << written.message.text;
        EXPECT_EQ(written.message.text, previewed.message.text) << c.what;
    }
}
