#include <gtest/gtest.h>

#include "grid/drawingtools.h"
#include "grid/history.h"
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
        std::vector<DotPoint> path{press};
        if (move) path.push_back(*move);
        dragOnDots(gi, doc, history, sel, path, 9, 9);
    }
};

} // namespace

// Rows of a 6 x 4 pattern as "row/row/row/row".
std::vector<std::string> rowsFrom(const std::string& text) {
    std::vector<std::string> rows;
    for (size_t at = 0; at <= text.size(); at += 7) rows.push_back(text.substr(at, 6));
    return rows;
}

struct DragCase {
    const char* name;
    Tool tool;
    DotPoint press;
    std::optional<DotPoint> move;
    const char* before;
    const char* after;
    int undoSnapshots;
    bool modified;
};

class Drags : public ::testing::TestWithParam<DragCase> {};

TEST_P(Drags, SetExactlyTheToolsDots) {
    const DragCase& c = GetParam();
    Bench b;
    const std::vector<std::string> before = rowsFrom(c.before);
    for (size_t y = 0; y < before.size(); ++y) {
        for (size_t x = 0; x < 6; ++x)
            b.doc.workDots[y * 6 + x] = static_cast<uint8_t>(before[y][x]);
    }
    storeWorkDots(b.doc);
    b.drag(c.tool, c.press, c.move);
    EXPECT_EQ(rowsFrom(c.after), recordRows(b.doc, 0));
    EXPECT_EQ(c.undoSnapshots, b.history.undoCount());
    EXPECT_EQ(c.modified, b.doc.modifiedFlag);
    EXPECT_FALSE(b.gi.lists.active);
}

const char* const Blank = "000000/000000/000000/000000";

// clang-format off
const DragCase DragCases[] = {
    {"PointStrokeIsJoinedWithOneSnapshot", Tool::Point, {0, 0}, DotPoint{5, 3}, Blank, "100000/011000/000110/000001", 1, true},
    {"EraseStrokeIsJoined", Tool::Erase, {5, 2}, DotPoint{0, 2}, "000000/000000/111111/000000", Blank, 1, true},
    {"PointOnASetDotDoesNothing", Tool::Point, {1, 1}, std::nullopt, "000000/010000/000000/000000", "000000/010000/000000/000000", 0, false},
    {"EraseClearsWithOneSnapshot", Tool::Erase, {1, 1}, DotPoint{2, 1}, "000000/011000/000000/000000", Blank, 1, true},
    {"LineWithoutMovementSetsThePressedDot", Tool::Line, {3, 2}, std::nullopt, Blank, "000000/000000/000100/000000", 1, true},
    {"LineAcross", Tool::Line, {0, 0}, DotPoint{5, 3}, Blank, "100000/011000/000110/000001", 1, true},
    {"RectangleOnOneDotAppliesNothing", Tool::OutlineRectangle, {3, 2}, std::nullopt, Blank, Blank, 0, true},
    {"FilledRectangleKeepsSetDots", Tool::FilledRectangle, {4, 3}, DotPoint{1, 2}, "100000/000000/000000/000000", "100000/000000/011110/011110", 1, true},
    {"OutlineRectangle", Tool::OutlineRectangle, {0, 0}, DotPoint{5, 3}, Blank, "111111/100001/100001/111111", 1, true},
    {"NarrowEllipseAppliesNothing", Tool::OutlineEllipse, {0, 0}, DotPoint{2, 3}, Blank, Blank, 0, true},
    {"EllipseToTheColumnBeyond", Tool::FilledEllipse, {0, 0}, DotPoint{6, 4}, Blank, "011110/111111/111111/011110", 1, true},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Tools, Drags, ::testing::ValuesIn(DragCases),
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
