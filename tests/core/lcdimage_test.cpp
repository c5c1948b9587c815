#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "document/dotpacking.h"
#include "grid/selection.h"
#include "panel/lcdimage.h"
#include "testsupport.h"

using namespace dedur;

namespace {

PanelDefinition directions(int leftToRight, int topToBottom) {
    PanelDefinition d;
    d.leftToRight = static_cast<int16_t>(leftToRight);
    d.topToBottom = static_cast<int16_t>(topToBottom);
    return d;
}

std::vector<uint8_t> dotsWith(int width, int height, std::initializer_list<DotPoint> set) {
    std::vector<uint8_t> dots(static_cast<size_t>(width * height), DOT_OFF);
    for (const DotPoint& p : set) dots[static_cast<size_t>(p.y * width + p.x)] = DOT_ON;
    return dots;
}

} // namespace

TEST(LcdImage, CommonsEightAndNineAreAdjacentBytes) {
    const auto dots = dotsWith(1, 2, {{0, 0}, {0, 1}});
    const LcdImage image = buildLcdImage(dots.data(), {1, 2, 3, 8, 0, 2}, directions(0, 2));
    EXPECT_EQ(std::tuple(0x80, 0x01, 16, 17),
              std::tuple(image.bytes[16], image.bytes[17], image.lowOffset, image.highOffset));
}

TEST(LcdImage, DirectionsComeFromTheDefinitionNotTheHeader) {
    const auto dots = dotsWith(12, 1, {{11, 0}});
    const LcdImage image = buildLcdImage(dots.data(), {12, 1, 12, 1, 0, 2}, directions(1, 2));
    // SEG 12 - 11 = 1
    EXPECT_EQ(std::tuple(0x01, 0, 88),
              std::tuple(image.bytes[0], image.lowOffset, image.highOffset));
}

TEST(LcdImage, DotsOffThePanelAreReportedNeverWritten) {
    const std::vector<uint8_t> dots(96 * 96, DOT_ON);
    const LcdImage image = buildLcdImage(dots.data(), {96, 96, 1, 1, 0, 2}, directions(0, 2));
    EXPECT_EQ(std::tuple(true, 1, 49, 8 * 95 + 5),
              std::tuple(image.offPanel, image.offSeg, image.offCom, image.highOffset));
    const LcdImage left = buildLcdImage(dots.data(), {2, 1, 1, 1, 1, 2}, directions(1, 2));
    EXPECT_EQ(std::tuple(true, 0), std::tuple(left.offPanel, left.offSeg));
}

TEST(LcdImage, SelectionBlockIsClippedAndPlaced) {
    Document doc = dedur::test::documentOf({{8, 8, 10, 20, 0, 2}});
    Selection sel;
    sel.selectionState = SelectionState::Floating;
    sel.blockRect = {-1, 2, 2, 3};
    sel.floatingBlock = {'1', '1', '0', '1', '0', '1', '1', '0'};
    PatternHeader header;
    getHeader(doc, 0, header);
    const auto block = fetchSelectionBlock(doc, sel, header);
    ASSERT_TRUE(block);
    EXPECT_EQ((std::vector<uint8_t>{'1', '0', '1', '1', '1', '0'}), block->dots);
    EXPECT_EQ((PatternHeader{3, 2, 10, 22, 0, 2}), header);
    EXPECT_EQ("seg=10,com=22, left=0, top=2, right=2, bottom=3", block->message.text);
    // One dot wide, and cut to one dot wide at the pattern's right edge.
    sel.blockRect = {5, 0, 5, 1};
    sel.floatingBlock = {'1', '0'};
    const auto narrow = fetchSelectionBlock(doc, sel, header);
    ASSERT_TRUE(narrow);
    EXPECT_EQ((std::vector<uint8_t>{'1', '0'}), narrow->dots);
    sel.blockRect = {7, 0, 9, 0};
    sel.floatingBlock = {'1', '1', '1'};
    ASSERT_TRUE(fetchSelectionBlock(doc, sel, header));
    EXPECT_EQ((PatternHeader{1, 1, 17, 20, 0, 2}), header);
    sel.blockRect = {8, 0, 9, 0}; // wholly off the pattern
    EXPECT_FALSE(fetchSelectionBlock(doc, sel, header));
    sel.selectionState = SelectionState::None;
    EXPECT_FALSE(fetchSelectionBlock(doc, sel, header));
}

// The store's packed rows go in eight dots at a time; every size, placement
// and direction must give the image of placing each dot.
TEST(LcdImage, PackedRowsGiveTheSameImage) {
    std::mt19937 random(11);
    int wholeOnPanel = 0;
    for (int trial = 0; trial < 5000; ++trial) {
        const auto pick = [&](int low, int high) {
            return static_cast<int16_t>(low +
                                        static_cast<int>(random() % unsigned(high - low + 1)));
        };
        const int side = trial % 4 ? 48 : 96;
        const PatternHeader h{pick(1, side), pick(1, side), pick(1, 96), pick(1, 48), 0, 2};
        const PanelDefinition d = directions(pick(0, 3), pick(0, 3));
        std::vector<uint8_t> dots(static_cast<size_t>(h.width * h.height));
        for (uint8_t& dot : dots) dot = random() % 2 ? DOT_ON : DOT_OFF;
        std::vector<uint8_t> packed(packedRowBytes(h.width) * static_cast<size_t>(h.height));
        packDots(dots.data(), h.width, h.height, packed.data());
        const LcdImage expected = buildLcdImage(dots.data(), h, d);
        const LcdImage image = buildLcdImageFromPacked(packed.data(), h, d);
        wholeOnPanel += !expected.offPanel;
        ASSERT_EQ(expected.bytes, image.bytes) << trial;
        ASSERT_EQ(expected.lowOffset, image.lowOffset) << trial;
        ASSERT_EQ(expected.highOffset, image.highOffset) << trial;
        ASSERT_EQ(expected.offPanel, image.offPanel) << trial;
    }
    EXPECT_GT(wholeOnPanel, 500);
}
