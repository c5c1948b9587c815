#include <gtest/gtest.h>

#include <climits>

#include "grid/history.h"
#include "grid/selection.h"
#include "grid/transform.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::documentOf;
using dedur::test::rowsOf;
using dedur::test::setRows;

namespace {

using Rows = std::vector<std::string>;

DotGrid gridOf(const Rows& rows) {
    DotGrid g{static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), {}};
    for (const std::string& r : rows) g.dots.insert(g.dots.end(), r.begin(), r.end());
    return g;
}

Rows rowsOfGrid(const DotGrid& g) {
    Rows rows;
    for (int y = 0; y < g.height; ++y) {
        rows.emplace_back(g.dots.begin() + y * g.width, g.dots.begin() + (y + 1) * g.width);
    }
    return rows;
}

struct TransformCase {
    const char* name;
    Transform transform;
    Rows expected; // of the 3 x 2 block "110" / "001"
};

const TransformCase Cases[] = {
    {"FlipH", {TransformKind::FlipHorizontal}, {"011", "100"}},
    {"FlipV", {TransformKind::FlipVertical}, {"001", "110"}},
    {"RotateRight", {TransformKind::RotateRight}, {"01", "01", "10"}},
    {"RotateLeft", {TransformKind::RotateLeft}, {"01", "10", "10"}},
    {"Invert", {TransformKind::Invert}, {"001", "110"}},
    {"ShiftLosesDots", {TransformKind::Shift, 1, 1}, {"000", "011"}},
    {"ShiftBackLosesDots", {TransformKind::Shift, -2, 0}, {"000", "100"}},
    {"ShiftWraps", {TransformKind::Shift, 1, 1, true}, {"100", "011"}},
    {"ShiftWrapsBackwards", {TransformKind::Shift, -4, -3, true}, {"010", "101"}},
    {"ShiftWrapsFarWithoutOverflow",
     {TransformKind::Shift, INT_MAX, INT_MIN, true},
     {"011", "100"}},
    {"ShiftFarLosesEveryDot", {TransformKind::Shift, INT_MAX, 0}, {"000", "000"}},
};

class Transforms : public ::testing::TestWithParam<TransformCase> {};

TEST_P(Transforms, OfABlock) {
    EXPECT_EQ(GetParam().expected,
              rowsOfGrid(transformDots(gridOf({"110", "001"}), GetParam().transform)));
}

INSTANTIATE_TEST_SUITE_P(All, Transforms, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Transform, RotationOffThePanelIsRefusedWithTheSizeMessage) {
    Document doc = documentOf({{60, 2, 1, 1, IncreaseSeg, IncreaseCom}});
    History history;
    Selection none;
    const Outcome refused = transformPattern(doc, history, none, {TransformKind::RotateLeft}, 9, 9);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ("Height too large ! ( Max Com=48, Begin Com=1 )", refused.message.text);
    EXPECT_EQ(60, doc.patternWidth);
    EXPECT_EQ(0, history.undoCount());
}

TEST(Transform, AFloatingBlockIsTransformedAndMovedInsteadOfThePattern) {
    const auto lifted = [](Document& doc, Selection& sel) {
        setRows(doc, {"000000", "011000", "000100", "000000"});
        ASSERT_TRUE(makeSelection(sel, doc, {{1, 1}, {3, 2}}, 9, 9));
    };
    Document doc = documentOf({{6, 4, 1, 1, 0, 2}});
    History history;
    Selection sel;
    lifted(doc, sel);
    ASSERT_TRUE(transformPattern(doc, history, sel, {TransformKind::RotateRight}, 9, 9).ok());
    EXPECT_EQ((DotRect{1, 1, 2, 3}), sel.blockRect);
    EXPECT_EQ((PixelRect{14, 14, 32, 41}), sel.selectionRect);
    EXPECT_EQ((std::vector<uint8_t>{'0', '1', '0', '1', '1', '0'}), sel.floatingBlock);
    EXPECT_EQ(6, doc.patternWidth); // the pattern keeps its size
    ASSERT_TRUE(undo(history, doc, sel));
    EXPECT_EQ((Rows{"000000", "011000", "000100", "000000"}), rowsOf(doc));
    EXPECT_EQ(SelectionState::None, sel.selectionState);

    // Arrows move the block a cell and keep it touching the grid as a drag does.
    lifted(doc, sel);
    for (int i = 0; i < 9; ++i)
        transformPattern(doc, history, sel, {TransformKind::Shift, 1}, 9, 9);
    EXPECT_EQ((DotRect{6, 1, 8, 2}), sel.blockRect);
    EXPECT_EQ(9, history.undoCount()); // one step per arrow
}

} // namespace
