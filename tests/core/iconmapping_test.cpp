// Patterns as the glyphs of an icon font: codes, boxes, offsets and advances
// worked out by hand, the same font read back from each format's bytes as
// the library draws it, the names of the icons' codes, and the refusals.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "fontcode/iconfont.h"

using namespace dedur;

namespace {

// A pattern of the job from rows of '1'/'0' (packed as the store packs
// them: dot x of a row in bit x % 8 of the row's byte x / 8).
CodePattern pattern(int number, std::vector<std::string> rows) {
    CodePattern p;
    p.number = number;
    p.width = static_cast<int>(rows.front().size());
    p.height = static_cast<int>(rows.size());
    const size_t stride = (rows.front().size() + 7) / 8;
    p.packed.assign(stride * rows.size(), 0);
    for (size_t y = 0; y < rows.size(); ++y) {
        for (size_t x = 0; x < rows[y].size(); ++x) {
            if (rows[y][x] == '1') p.packed[y * stride + x / 8] |= static_cast<uint8_t>(1 << x % 8);
        }
    }
    return p;
}

// Patterns 2, 5 and 7 of a file: 3 x 2, 10 x 4 and 2 x 2.
const std::vector<std::string> Icons[] = {
    {"101", "011"}, {"1000000001", "0111111110", "0000000000", "1100000011"}, {"10", "01"}};

CodeJob threeIcons() {
    CodeJob job;
    job.file = "icons.pat";
    job.name = "icons";
    const int numbers[] = {2, 5, 7};
    for (int i : {0, 1, 2}) job.patterns.push_back(pattern(numbers[i], Icons[i]));
    return job;
}

// The dots a glyph lights, from the origin on the baseline (y up), and its
// advance: what a line of text shows, whatever box a format trims it to.
std::pair<std::set<std::pair<int, int>>, int> drawn(const BdfGlyph& g) {
    std::set<std::pair<int, int>> lit;
    for (int y = 0; y < g.height; ++y) {
        for (int x = 0; x < g.width; ++x) {
            if (g.dots[static_cast<size_t>(y * g.width + x)] == '1') {
                lit.emplace(g.xOffset + x, g.yOffset + g.height - 1 - y);
            }
        }
    }
    return {lit, g.advance};
}

// Each format's bytes, read back as its library draws them, light the
// pattern's dots (or the blanks, inverted) at its code, the bottom row
// `baseline` below the baseline, the advance `spacing` columns past the box.
TEST(IconFont, EveryFormatDrawsThePatterns) {
    const struct {
        char32_t first;
        int spacing, baseline;
        bool invert;
        int ascent, descent;
    } rows[] = {{0x41, 1, 1, false, 3, 1}, {0x21, 2, 0, true, 4, 0}};
    for (const auto& row : rows) {
        CodeJob job = threeIcons();
        job.invert = row.invert;
        const BdfFont font = iconFont(job, {row.first, row.spacing, row.baseline, {}});
        EXPECT_TRUE(font.lined);
        FontOutput output;
        output.name = "icons";
        for (FontFormat format : AllFontFormats) {
            SCOPED_TRACE(std::string(fontFormatName(format)) + " from " +
                         std::to_string(row.first));
            BdfFont shown;
            const Outcome read = drawnFont(format, font, output, shown);
            ASSERT_TRUE(read.ok()) << read.message.text;
            ASSERT_EQ(3u, shown.glyphs.size());
            EXPECT_EQ(std::pair(row.ascent, row.descent), std::pair(shown.ascent, shown.descent));
            for (size_t i = 0; i < 3; ++i) {
                std::set<std::pair<int, int>> lit;
                const int height = static_cast<int>(Icons[i].size());
                for (int y = 0; y < height; ++y) {
                    for (int x = 0; x < static_cast<int>(Icons[i][0].size()); ++x) {
                        if ((Icons[i][y][x] == '1') != row.invert)
                            lit.emplace(x, height - 1 - row.baseline - y);
                    }
                }
                EXPECT_EQ(static_cast<long>(row.first + i), shown.glyphs[i].encoding);
                EXPECT_EQ(std::pair(lit, static_cast<int>(Icons[i][0].size()) + row.spacing),
                          drawn(shown.glyphs[i]))
                    << "glyph " << i;
            }
        }
    }
}

TEST(IconFont, RefusesWhatNoFontCanHold) {
    using enum FontFormat;
    struct Row {
        FontFormat format;
        char32_t first;
        int spacing, baseline;
        const char* says; // "" when it is taken
    };
    const Row rows[] = {
        // The last of the three icons is U+10FFFF at most.
        {Lvgl, 0x10FFFD, 0, 0, ""},
        {Lvgl, 0x10FFFE, 0, 0, "The 3 icons from U+10FFFE would run past U+10FFFF, the last"},
        {U8g2, 0x110000, 0, 0, "would run past U+10FFFF"},
        {U8g2, 0xFFFFFFFF, 0, 0, "would run past U+10FFFF"},
        {U8g2, 0x1F, 0, 0, "first code 0x001F is a control character"},
        {U8g2, 0xD7FE, 0, 0, "would take codes of U+D800 to U+DFFF"},
        {U8g2, 0xDFFF, 0, 0, "would take codes of U+D800 to U+DFFF"},
        {U8g2, 0xE000, 0, 0, ""},
        // Adafruit GFX draws 0..255.
        {Gfx, 0xFD, 0, 0, ""},
        {Gfx, 0xFE, 0, 0,
         "Adafruit GFX draws codes 0x00 to 0xFF only, and the 3 icons from 0x00FE "
         "reach 0x0100; give --first 0x21"},
        {Gfx, 0xE000, 0, 0, "give --first 0x21 (at most 94 icons from there)"},
        // Space characters are drawn blank, whatever their glyph.
        {Gfx, 0x20, 0, 0, "Icon 1 would be at U+0020, a space character"},
        {Lvgl, 0x83, 0, 0, "would land on the control characters U+007F to U+009F"},
        {Lvgl, 0x2FFE, 0, 0, "Icon 3 would be at U+3000, a space character"},
        {Gfx, 0x21, 0, 0, ""},
        {Lvgl, 0xE000, 97, 0, "The spacing must be from 0 to 96"},
        {Lvgl, 0xE000, -1, 0, "The spacing must be from 0 to 96"},
        {Lvgl, 0xE000, 96, 96, ""},
        {Lvgl, 0xE000, 0, 97, "The baseline must be from 0 to 96"},
    };
    // Names that give one define, and names that are none.
    const std::pair<std::map<int, std::string>, const char*> named[] = {
        {{{2, "Battery"}, {5, "battery"}},
         "The names of patterns 2 and 5 would both define \"ICONS_ICON_BATTERY\""},
        {{{2, "x_str"}, {7, "x"}},
         "The names of patterns 2 and 7 would both define \"ICONS_ICON_X_STR\""},
        {{{2, "a-b"}}, "The name of pattern 2, \"a-b\", cannot"},
        {{{3, "a-b"}, {4, "x"}, {6, "X"}}, ""}, // not chosen
    };
    const auto expect = [](const Outcome& checked, const char* says) {
        SCOPED_TRACE(says);
        if (*says == 0) {
            EXPECT_TRUE(checked.ok()) << checked.message.text;
        } else {
            EXPECT_NE(std::string::npos, checked.message.text.find(says)) << checked.message.text;
            EXPECT_FALSE(checked.ok());
        }
    };
    for (const Row& row : rows) {
        IconFontOptions options;
        options.first = row.first;
        options.spacing = row.spacing;
        options.baseline = row.baseline;
        expect(checkIconFont(row.format, threeIcons(), options, "icons"), row.says);
    }
    for (const auto& [names, says] : named) {
        IconFontOptions options;
        options.names = names;
        expect(checkIconFont(Lvgl, threeIcons(), options, "icons"), says);
    }
}

} // namespace
