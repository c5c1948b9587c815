#include <gtest/gtest.h>

#include <tuple>

#include "grid/selection.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::documentOf;

TEST(Selection, DropIsTransparentAndClipped) {
    Document doc = documentOf({{4, 3, 1, 1, 0, 2}});
    dedur::test::setRows(doc, {"0000", "0110", "0000"});
    Selection sel;
    sel.selectionState = SelectionState::Floating;
    sel.blockRect = {2, 1, 4, 2}; // column 4 lies outside
    sel.selectionRect = selectionRectFromBlock(sel.blockRect, 9, 9);
    sel.floatingBlock = {'0', '0', '1', '1', '0', '1'};
    dropSelection(sel, doc, 9, 9);
    EXPECT_EQ((std::vector<std::string>{"0000", "0110", "0010"}), dedur::test::rowsOf(doc));
    EXPECT_EQ((std::vector<std::string>{"0000", "0110", "0010"}), dedur::test::recordRows(doc, 0));
}

TEST(Selection, MoveReleaseKeepsTheFrameAtTheGridEdge) {
    const int px = 9;
    const int py = 9;
    struct Case {
        DotRect block;
        PixelRect expected;
    };
    // Pattern 16 x 16: LX = LY = 148.
    const Case cases[] = {
        {{20, 2, 23, 4}, {149, 23, 185, 50}}, // off to the right: left edge just outside
        {{-9, 2, -6, 4}, {-31, 23, 5, 50}},   // off to the left: right edge on the first line
        {{2, 18, 3, 19}, {23, 149, 41, 167}}, // below
        {{2, -5, 3, -3}, {23, -22, 41, 5}},   // above
        {{2, 2, 3, 3}, {23, 23, 41, 41}},     // inside: unchanged
    };
    for (const Case& c : cases) {
        Selection sel;
        sel.selectionRect = selectionRectFromBlock(c.block, px, py);
        clampAfterMove(sel, 16, 16, px, py);
        EXPECT_EQ(c.expected, sel.selectionRect);
        EXPECT_EQ(blockRectFromSelection(c.expected, px, py), sel.blockRect);
    }
}

TEST(Selection, HandlesInTheirOrder) {
    const PixelRect r{23, 14, 59, 41};
    struct Case {
        int x, y, handle; // the handle's code
    };
    const Case cases[] = {{59, 20, 5}, {61, 40, 5}, {21, 20, 2}, {23, 15, 2}, {30, 12, 7},
                          {30, 41, 8}, {22, 13, 1}, {60, 42, 6}, {21, 43, 3}, {61, 12, 4},
                          {40, 30, 0}, {62, 20, 0}, {24, 14, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(ResizeHandle(c.handle), hitTestHandle(r, c.x, c.y)) << c.x << "," << c.y;
    EXPECT_TRUE(insideSelection(r, 23, 14));
    EXPECT_FALSE(insideSelection(r, 59, 20));
}

TEST(Selection, ResizeFrameLimits) {
    const int p = 9;
    const PixelRect r = selectionRectFromBlock({2, 2, 5, 5}, p, p); // 23..59
    // Far to the right: at most twice the pattern width (the collapse past
    // the opposite edge is each handle's below).
    ResizeStep s = resizeFrame(r, ResizeHandle::BottomRight, 40 * p, 0, {400, 59}, 16, 16, p, p);
    EXPECT_EQ(r.left + 32 * p, s.rect.right);
    EXPECT_EQ(r.bottom, s.pointer.y); // bottom handle: y follows the bottom edge
    // Top-left corner pulled below the bottom.
    s = resizeFrame(r, ResizeHandle::TopLeft, 0, 10 * p, {23, 113}, 16, 16, p, p);
    EXPECT_EQ(r.bottom - p, s.rect.top);
    EXPECT_EQ(23, s.pointer.x);
    EXPECT_EQ(r.bottom - p, s.pointer.y);
    // Within the limits nothing is corrected.
    s = resizeFrame(r, ResizeHandle::Bottom, 0, 2 * p, {30, 77}, 16, 16, p, p);
    EXPECT_FALSE(s.limited);
    EXPECT_EQ(r.bottom + 2 * p, s.rect.bottom);
}

TEST(Selection, EachHandleMovesItsEdges) {
    const int p = 9;
    const PixelRect r = selectionRectFromBlock({2, 2, 5, 5}, p, p); // 23..59
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    // One cell right and down, and three cells back past the opposite edge
    // (a 4-dot block: its moving edge ends one dot from the other).
    struct Case {
        int handle;
        PixelRect grown;
        PixelRect collapsed;
        DotPoint pointer; // after the collapse; (100, 100) where nothing moved it
    };
    const Case cases[] = {
        {1, {L + p, T + p, R, B}, {R - p, B - p, R, B}, {R - p, B - p}},
        {2, {L + p, T, R, B}, {R - p, T, R, B}, {R - p, 100}},
        {3, {L + p, T, R, B + p}, {R - p, T, R, T + p}, {R - p, T + p}},
        {4, {L, T + p, R + p, B}, {L, B - p, L + p, B}, {L + p, B - p}},
        {5, {L, T, R + p, B}, {L, T, L + p, B}, {L + p, 100}},
        {6, {L, T, R + p, B + p}, {L, T, L + p, T + p}, {L + p, T + p}},
        {7, {L, T + p, R, B}, {L, B - p, R, B}, {100, B - p}},
        {8, {L, T, R, B + p}, {L, T, R, T + p}, {100, T + p}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.handle);
        ResizeStep s = resizeFrame(r, ResizeHandle(c.handle), p, p, {100, 100}, 16, 16, p, p);
        EXPECT_FALSE(s.limited);
        EXPECT_EQ(c.grown, s.rect);
        // Right/bottom edges move left/up and left/top edges right/down.
        const bool movesLeft = c.handle <= 3;
        const bool movesTop = c.handle == 1 || c.handle == 4 || c.handle == 7;
        s = resizeFrame(r, ResizeHandle(c.handle), (movesLeft ? 5 : -5) * p,
                        (movesTop ? 5 : -5) * p, {100, 100}, 16, 16, p, p);
        EXPECT_TRUE(s.limited);
        EXPECT_EQ(c.collapsed, s.rect);
        EXPECT_EQ(c.pointer, s.pointer);
    }
    EXPECT_EQ(r, resizeFrame(r, ResizeHandle::None, p, p, {1, 1}, 16, 16, p, p).rect);
}

// Rows of one line: each source dot goes into exactly one dot when shrinking
// (set when any merged dot is set), and a dot repeats when growing.
TEST(Selection, RescaleOfARow) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"00100", 4, "0100"}, {"010", 2, "10"},    {"0001", 2, "01"},
        {"1000", 1, "1"},     {"00000", 3, "000"}, {"10", 4, "1100"},
        {"011", 5, "00111"},  {"1111", 4, "1111"}, {"1000000001", 3, "101"},
    };
    for (const auto& [from, width, to] : cases) {
        const std::string in(from);
        const std::vector<uint8_t> out =
            rescaleDots({in.begin(), in.end()}, int(in.size()), 1, width, 1);
        EXPECT_EQ(std::string(to), std::string(out.begin(), out.end())) << from << " to " << width;
    }
    // Both ways at once: one set dot in a 4 x 4 block survives 2 x 2.
    std::vector<uint8_t> one(16, DOT_OFF);
    one[15] = DOT_ON;
    EXPECT_EQ((std::vector<uint8_t>{'0', '0', '0', '1'}), rescaleDots(one, 4, 4, 2, 2));
}
