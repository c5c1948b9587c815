#include <gtest/gtest.h>

#include "grid/history.h"
#include "grid/selection.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::documentOf;

namespace {

// One drawing action: snapshot, then set dot i.
void draw(History& h, Document& doc, const Selection& sel, int i) {
    pushUndo(h, doc, sel);
    doc.workDots[static_cast<size_t>(i)] = DOT_ON;
    storeWorkDots(doc);
}

int setDots(const Document& doc) {
    int n = 0;
    for (int i = 0; i < doc.patternDotCount; ++i)
        n += doc.workDots[static_cast<size_t>(i)] == DOT_ON;
    return n;
}

} // namespace

TEST(History, KeepsTwelveStepsAndForgetsTheOldest) {
    Document doc;
    History h;
    Selection sel;
    for (int i = 0; i < 13; ++i) draw(h, doc, sel, i);
    EXPECT_EQ(12, h.undoCount());
    for (int i = 12; i >= 1; --i) {
        EXPECT_TRUE(undo(h, doc, sel));
        EXPECT_EQ(i, setDots(doc));
    }
    EXPECT_FALSE(undo(h, doc, sel)); // nothing left: nothing changes
    EXPECT_EQ(1, setDots(doc));      // the state before the first action is gone
    EXPECT_EQ(12, h.redoCount());
}

TEST(History, SnapshotLaysTheFloatingBlockOver) {
    Document doc = documentOf({{4, 3, 1, 1, 0, 2}});
    History h;
    Selection sel;
    dedur::test::setRows(doc, {"1111", "1111", "1111"});
    // A 3 x 2 block at columns 2..4, rows -1..0: only (2,0) and (3,0) lie inside.
    sel.selectionState = SelectionState::Floating;
    sel.blockRect = {2, -1, 4, 0};
    sel.selectionRect = selectionRectFromBlock(sel.blockRect, 9, 9);
    sel.floatingBlock = {'1', '1', '1', '0', '1', '1'};
    doc.workDots[0] = DOT_OFF;
    pushUndo(h, doc, sel);
    ASSERT_TRUE(undo(h, doc, sel));
    const std::vector<uint8_t>& redoRecord = h.redoBuffer.back();
    std::string redoDots(12, ' ');
    unpackDots(redoRecord.data() + 12, 4, 3, reinterpret_cast<uint8_t*>(redoDots.data()));
    EXPECT_EQ("010111111111", redoDots);
    EXPECT_EQ(SelectionState::None, sel.selectionState);
}
