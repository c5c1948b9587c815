#include <gtest/gtest.h>

#include "document/history.h"
#include "grid/drawingtools.h"
#include "grid/selection.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::documentOf;
using dedur::test::recordRows;

namespace {

struct Bench {
    Document doc = documentOf({{6, 4, 1, 1, 0, 2}});
    History history;
    Selection sel;
    GridInteraction gi;

    void drag(Tool tool, DotPoint press, std::optional<DotPoint> move = std::nullopt) {
        gi.tool = tool;
        dragOnDots(gi, doc, history, sel, press, move ? &*move : nullptr, 9, 9);
    }
};

} // namespace

struct DragCase {
    const char* name;
    Tool tool;
    DotPoint press;
    std::optional<DotPoint> move;
    std::vector<std::string> before;
    std::vector<std::string> after;
    int undoSnapshots;
    bool modified;
};

class Drags : public ::testing::TestWithParam<DragCase> {};

TEST_P(Drags, SetExactlyTheToolsDots) {
    const DragCase& c = GetParam();
    Bench b;
    for (size_t y = 0; y < c.before.size(); ++y) {
        for (size_t x = 0; x < c.before[y].size(); ++x)
            b.doc.workDots[y * 6 + x] = static_cast<uint8_t>(c.before[y][x]);
    }
    storeWorkDots(b.doc);
    b.drag(c.tool, c.press, c.move);
    EXPECT_EQ(c.after, recordRows(b.doc, 0));
    EXPECT_EQ(c.undoSnapshots, b.history.undoCount());
    EXPECT_EQ(c.modified, b.doc.modifiedFlag);
    EXPECT_FALSE(b.gi.lists.active);
}

const std::vector<std::string> Blank = {"000000", "000000", "000000", "000000"};

INSTANTIATE_TEST_SUITE_P(Tools, Drags,
                         ::testing::Values(DragCase{"PointTwoDotsOneSnapshot",
                                                    Tool::Point,
                                                    {0, 0},
                                                    DotPoint{5, 3},
                                                    Blank,
                                                    {"100000", "000000", "000000", "000001"},
                                                    1,
                                                    1},
                                           DragCase{"PointOnASetDotDoesNothing",
                                                    Tool::Point,
                                                    {1, 1},
                                                    std::nullopt,
                                                    {"000000", "010000", "000000", "000000"},
                                                    {"000000", "010000", "000000", "000000"},
                                                    0,
                                                    0},
                                           DragCase{"EraseClearsWithOneSnapshot",
                                                    Tool::Erase,
                                                    {1, 1},
                                                    DotPoint{2, 1},
                                                    {"000000", "011000", "000000", "000000"},
                                                    Blank,
                                                    1,
                                                    1},
                                           DragCase{"LineWithoutMovementSetsThePressedDot",
                                                    Tool::Line,
                                                    {3, 2},
                                                    std::nullopt,
                                                    Blank,
                                                    {"000000", "000000", "000100", "000000"},
                                                    1,
                                                    1},
                                           DragCase{"LineAcross",
                                                    Tool::Line,
                                                    {0, 0},
                                                    DotPoint{5, 3},
                                                    Blank,
                                                    {"100000", "011000", "000110", "000001"},
                                                    1,
                                                    1},
                                           DragCase{"RectangleOnOneDotAppliesNothing",
                                                    Tool::OutlineRectangle,
                                                    {3, 2},
                                                    std::nullopt,
                                                    Blank,
                                                    Blank,
                                                    0,
                                                    1},
                                           DragCase{"FilledRectangleKeepsSetDots",
                                                    Tool::FilledRectangle,
                                                    {4, 3},
                                                    DotPoint{1, 2},
                                                    {"100000", "000000", "000000", "000000"},
                                                    {"100000", "000000", "011110", "011110"},
                                                    1,
                                                    1},
                                           DragCase{"OutlineRectangle",
                                                    Tool::OutlineRectangle,
                                                    {0, 0},
                                                    DotPoint{5, 3},
                                                    Blank,
                                                    {"111111", "100001", "100001", "111111"},
                                                    1,
                                                    1},
                                           DragCase{"NarrowEllipseAppliesNothing",
                                                    Tool::OutlineEllipse,
                                                    {0, 0},
                                                    DotPoint{2, 3},
                                                    Blank,
                                                    Blank,
                                                    0,
                                                    1},
                                           DragCase{"EllipseToTheColumnBeyond",
                                                    Tool::FilledEllipse,
                                                    {0, 0},
                                                    DotPoint{6, 4},
                                                    Blank,
                                                    {"011110", "111111", "111111", "011110"},
                                                    1,
                                                    1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DrawingTools, SelectLiftsTheRubberBandWithoutSnapshot) {
    Bench b;
    dedur::test::setRows(b.doc, {"111111", "111111", "000000", "000000"});
    b.drag(Tool::Select, {1, 0}, DotPoint{3, 1});
    EXPECT_EQ(SelectionState::Floating, b.sel.selectionState);
    EXPECT_EQ((DotRect{1, 0, 3, 1}), b.sel.blockRect);
    EXPECT_EQ(std::vector<uint8_t>(6, DOT_ON), b.sel.floatingBlock);
    EXPECT_EQ("100011", std::string(b.doc.workDots.begin(), b.doc.workDots.begin() + 6));
    EXPECT_EQ(0, b.history.undoCount());
}

TEST(DrawingTools, SelectBackOnItsStartMakesNothing) {
    Bench b;
    dedur::test::setRows(b.doc, {"111111", "111111", "000000", "000000"});
    b.drag(Tool::Select, {1, 0}, DotPoint{1, 0});
    EXPECT_EQ(SelectionState::None, b.sel.selectionState);
    EXPECT_EQ("111111", std::string(b.doc.workDots.begin(), b.doc.workDots.begin() + 6));
}
