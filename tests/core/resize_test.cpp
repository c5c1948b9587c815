#include <gtest/gtest.h>

#include "grid/history.h"
#include "grid/resize.h"
#include "grid/selection.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::documentOf;
using dedur::test::recordRows;

struct PlacementCase {
    int value, direction, beginSeg, beginCom;
    const char* expected; // empty when it fits
};

TEST(Resize, PlacementOnThePanel) {
    const PlacementCase cases[] = {
        {90, 0, 10, 1, "Width too large ! ( Max Seg=87, Begin Seg=10 )"},
        {87, 0, 10, 1, ""},
        {40, 2, 1, 10, "Width too large ! ( Max Com=39, Begin Com=10 )"},
        {6, 1, 5, 1, "Width too large ! ( Max Seg=5, Begin Seg=5 )"},
        {5, 1, 5, 1, ""},
        {11, 3, 1, 10, "Width too large ! ( Max Com=10, Begin Com=10 )"},
        {500, 7, 1, 1, ""},
    };
    for (const PlacementCase& c : cases) {
        const Outcome m = checkPlacement(c.value, c.direction, c.beginSeg, c.beginCom, "Width");
        EXPECT_EQ(!*c.expected, m.ok()) << c.value;
        EXPECT_EQ(c.expected, m.message.text);
        if (*c.expected) {
            EXPECT_EQ(" ", m.message.caption);
        }
    }
}

TEST(Resize, KeepsTheTopLeftAndTakesTheDefinitionsPlacement) {
    Document doc = documentOf({{4, 3, 9, 9, 1, 3}, {4, 3, 9, 9, 1, 3}});
    History h;
    Selection sel;
    doc.currentPattern = 1;
    reloadWorkDots(doc);
    dedur::test::setRows(doc, {"1001", "0110", "1111"});
    doc.modifiedFlag = false;
    changePatternSize(doc, h, sel, 2, 2);
    EXPECT_EQ((std::vector<std::string>{"10", "01"}), recordRows(doc, 1));
    PatternHeader header;
    getHeader(doc, 1, header);
    EXPECT_EQ((PatternHeader{2, 2, 1, 1, 0, 2}), header);
    EXPECT_EQ(2, doc.panelDefinition.width);
    EXPECT_TRUE(doc.modifiedFlag); // or leaving would not offer to save it
    changePatternSize(doc, h, sel, 5, 3);
    EXPECT_EQ((std::vector<std::string>{"10000", "01000", "00000"}), recordRows(doc, 1));
    EXPECT_EQ(4, recordRows(doc, 0)[0].size());
    ASSERT_TRUE(undo(h, doc, sel));
    ASSERT_TRUE(undo(h, doc, sel));
    EXPECT_EQ((std::vector<std::string>{"1001", "0110", "1111"}), recordRows(doc, 1));
    getHeader(doc, 1, header);
    EXPECT_EQ((PatternHeader{4, 3, 9, 9, 1, 3}), header);
}

TEST(Resize, SinglePatternIsReplacedWhole) {
    Document doc = documentOf({{3, 3, 5, 5, 0, 2}});
    dedur::test::setRows(doc, {"111", "111", "111"});
    doc.patternWidth = 96;
    doc.patternHeight = 96;
    resizePattern(doc, 3, 3);
    EXPECT_EQ(12u + 12u * 96u, doc.store.size());
    EXPECT_EQ("1110", recordRows(doc, 0)[2].substr(0, 4));
    EXPECT_EQ(std::string(96, '0'), recordRows(doc, 0)[3]);
}
