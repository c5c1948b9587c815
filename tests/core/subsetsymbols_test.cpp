// The 16x15 subsets take what the Big5 file lacks from the symbol files, in
// the font the display libraries' writers are given (the records a subset
// holds are checked through font-subset's JSON).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "code/glyphsubset.h"
#include "fontcode/glyphfont.h"
#include "fonts/big5.h"

using namespace dedur;

namespace {

constexpr size_t Record = 30; // 16 x 15 dots

// A file of `records` blank records but for `drawn`: row 3 holds the two
// bytes given, row 4 the left one.
std::string file(int records, int drawn, uint8_t left, uint8_t right) {
    std::string bytes(static_cast<size_t>(records) * Record, '\0');
    const size_t at = static_cast<size_t>(drawn) * Record;
    bytes[at + 6] = static_cast<char>(left);
    bytes[at + 7] = static_cast<char>(right);
    bytes[at + 8] = static_cast<char>(left);
    return bytes;
}

} // namespace

// ° is Big5 A258, record 182 of SPCFONT.15 (A140 is record 1, then 63 + 94
// codes of A1 and 24 past A240); ① is C6A1, record 1 of SPCFSUPP.15. The
// Big5 file draws neither; 一 (A440) is blank everywhere and stays missing.
TEST(SubsetSymbols, TakenFromTheSymbolFiles) {
    const std::string big5(static_cast<size_t>(Big5GlyphCount) * Record, '\0');
    const std::string symbols = file(408, 182, 0x01, 0x80);
    const std::string supp = file(365, 1, 0x80, 0x01);
    const std::vector<char32_t> characters = {0xB0, 0x2460, 0x4E00};
    const GlyphSubset subset = makeSubset(big5, GlyphFileKind::Big5_16x15, CodeLayout::RowsMsb,
                                          characters, {}, symbols, supp);
    EXPECT_EQ(std::vector<char32_t>{0x4E00}, subset.missing);

    // As a font: ° is dots 7 and 8 of row 3 and dot 7 of row 4, a 2 x 2 box whose
    // lowest row, 4, is 8 rows above the baseline under the 13-row ascent.
    // ① is dot 0 of rows 3 and 4 and dot 15 of row 3.
    const BdfFont font = subsetFont(subset, big5, {}, symbols, supp);
    ASSERT_EQ(2u, font.glyphs.size());
    const BdfGlyph& degree = font.glyphs[0];
    EXPECT_EQ(0xB0, degree.encoding);
    EXPECT_EQ((std::vector<int>{2, 2, 7, 8, 16}),
              (std::vector<int>{degree.width, degree.height, degree.xOffset, degree.yOffset,
                                degree.advance}));
    EXPECT_EQ(std::vector<uint8_t>({'1', '1', '1', '0'}), degree.dots);
    const BdfGlyph& circled = font.glyphs[1];
    EXPECT_EQ((std::vector<int>{16, 2, 0, 8}),
              (std::vector<int>{circled.width, circled.height, circled.xOffset, circled.yOffset}));
    std::string rows(circled.dots.begin(), circled.dots.end());
    EXPECT_EQ("1000000000000001"
              "1000000000000000",
              rows);

    // Only the 16x15 kind shares the symbol files' cell.
    const std::string big24(static_cast<size_t>(Big5GlyphCount) * 72, '\0');
    const GlyphSubset cell24 = makeSubset(big24, GlyphFileKind::Big5_24x24, CodeLayout::RowsMsb,
                                          characters, {}, symbols, supp);
    EXPECT_TRUE(cell24.glyphs.empty());
    EXPECT_EQ(characters, cell24.missing);
}
