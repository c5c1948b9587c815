#include <gtest/gtest.h>

#include "textclip/platformbitmap.h"

using namespace dedur;

namespace {

std::vector<uint8_t> dotsOf(const std::string& text) {
    return {text.begin(), text.end()};
}

PlatformBitmap deep(int bits, int width, std::vector<uint8_t> pixels) {
    PlatformBitmap b;
    b.width = width;
    b.height = 1;
    b.bitsPerPixel = bits;
    b.bytesPerRow = width * bits / 8;
    b.bits = std::move(pixels);
    return b;
}

} // namespace

TEST(PlatformBitmap, MonochromeRowsAreWholeWords) {
    const std::pair<int, int> cases[] = {{1, 2}, {12, 2}, {16, 2}, {17, 4}, {33, 6}, {96, 12}};
    for (const auto& [width, bytes] : cases) EXPECT_EQ(bytes, monoBytesPerRow(width)) << width;
}

TEST(PlatformBitmap, SetDotsAreBlackBitsAndPaddingIsZero) {
    const std::vector<uint8_t> dots = dotsOf("100000000001"
                                             "000000000000");
    const PlatformBitmap b = dotsToBitmap(dots.data(), 12, 2);
    EXPECT_EQ(12, b.width);
    EXPECT_EQ(2, b.bytesPerRow);
    EXPECT_EQ((std::vector<uint8_t>{0x7F, 0xE0, 0xFF, 0xF0}), b.bits);
}

TEST(PlatformBitmap, CopyThenPasteGivesTheSameDots) {
    const std::vector<uint8_t> dots = dotsOf("10110"
                                             "01001"
                                             "11111");
    const PlatformBitmap b = dotsToBitmap(dots.data(), 5, 3);
    int w = 0;
    int h = 0;
    EXPECT_EQ(dots, *pasteBitmapDots(b, 96, 96, w, h));
    EXPECT_EQ(5, w);
    EXPECT_EQ(3, h);
    EXPECT_EQ(dots, *bitmapToBlock(b));
    // Pasted into a smaller pattern, it is cut to it.
    EXPECT_EQ(dotsOf("101"
                     "010"),
              *pasteBitmapDots(b, 3, 2, w, h));
    EXPECT_EQ(3, w);
    EXPECT_EQ(2, h);
}

struct PixelCase {
    int bits;
    std::vector<uint8_t> pixel;
    bool pasteSets; // dark: every byte below 127
    bool scaleSets; // not pure white
};

TEST(PlatformBitmap, PixelRulesOfPasteAndRescale) {
    const PixelCase cases[] = {
        {24, {126, 126, 126}, true, true},
        {24, {127, 0, 0}, false, true},
        {24, {255, 255, 255}, false, false},
        {32, {0, 0, 0, 0}, true, true},
        {32, {0, 0, 0, 200}, false, true},
        {32, {255, 255, 255, 255}, false, false},
        {16, {10, 10}, true, true},
        {16, {255, 254}, false, true},
        {8, {126}, true, true},
        {8, {127}, false, true},
        {8, {255}, false, false},
    };
    for (const PixelCase& c : cases) {
        const PlatformBitmap b = deep(c.bits, 1, c.pixel);
        int w = 0;
        int h = 0;
        EXPECT_EQ(c.pasteSets ? '1' : '0', (*pasteBitmapDots(b, 96, 96, w, h))[0]) << c.bits;
        EXPECT_EQ(c.scaleSets ? '1' : '0', (*bitmapToBlock(b))[0]) << c.bits;
    }
}

TEST(PlatformBitmap, UnsupportedDepthsAreIgnored) {
    const PlatformBitmap b = deep(4, 2, {0x00});
    int w = 0;
    int h = 0;
    EXPECT_FALSE(pasteBitmapDots(b, 96, 96, w, h));
    EXPECT_FALSE(bitmapToBlock(b));
}

TEST(PlatformBitmap, ShortBitsNeverReadPastTheBuffer) {
    PlatformBitmap b = deep(32, 4, {0, 0, 0, 0});
    b.height = 3;
    int w = 0;
    int h = 0;
    EXPECT_EQ(dotsOf("0000"
                     "0000"
                     "0000"),
              *pasteBitmapDots(b, 96, 96, w, h));
}

TEST(PlatformBitmap, PasteRecordDescribesThenCopiesTheBits) {
    const std::vector<uint8_t> dots = dotsOf("10"
                                             "01");
    const PlatformBitmap b = dotsToBitmap(dots.data(), 2, 2);
    EXPECT_EQ(std::string("(ret=24,w=2, h=2, plane=1, BP=1, WB=2)") +
                  std::string("\x40\x00\x80\x00", 4),
              pasteRecord(b));
}
