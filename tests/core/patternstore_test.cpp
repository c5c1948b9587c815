#include <gtest/gtest.h>

#include "document/patternstore.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::documentOf;
using dedur::test::recordRows;

namespace {

// Three patterns whose first dot tells them apart.
Document threeMarked() {
    Document doc = documentOf({{4, 2, 1, 1, 0, 2}, {4, 2, 1, 1, 0, 2}, {4, 2, 1, 1, 0, 2}});
    for (int i = 0; i < 3; ++i) {
        doc.currentPattern = i;
        reloadWorkDots(doc);
        doc.workDots[static_cast<size_t>(i)] = DOT_ON;
        storeWorkDots(doc);
    }
    return doc;
}

} // namespace

TEST(PatternStore, NewDocumentIsOneBlankPatternFromTheDefinition) {
    Document doc;
    ASSERT_EQ(doc.store.size(), 12u + 144u);
    EXPECT_EQ((PatternHeader{12, 12, 1, 1, 0, 2}), decodeHeader(doc.store.data()));
    EXPECT_EQ(std::string(144, '0'), std::string(doc.store.begin() + 12, doc.store.end()));
}

TEST(PatternStore, OffsetsWalkTheRecords) {
    Document doc = documentOf({{4, 2, 1, 1, 0, 2}, {3, 3, 1, 1, 0, 2}, {2, 5, 1, 1, 0, 2}});
    EXPECT_EQ(0u, patternOffset(doc, 0));
    EXPECT_EQ(20u, patternOffset(doc, 1));
    EXPECT_EQ(41u, patternOffset(doc, 2));
    EXPECT_EQ(doc.store.size(), patternOffset(doc, 3));
    EXPECT_EQ(doc.store.size(), patternOffset(doc, -1));
}

TEST(PatternStore, DeletingKeepsTheOthersInOrder) {
    Document doc = threeMarked();
    doc.currentPattern = 0;
    ASSERT_TRUE(deletePattern(doc));
    EXPECT_EQ(0, doc.currentPattern);
    EXPECT_EQ("0100", recordRows(doc, 0)[0]);
    EXPECT_EQ("0010", recordRows(doc, 1)[0]);
    doc.currentPattern = 1; // the last: the new last becomes current
    ASSERT_TRUE(deletePattern(doc));
    EXPECT_EQ(1, doc.patternCount);
    EXPECT_EQ(0, doc.currentPattern);
    EXPECT_TRUE(doc.modifiedFlag);
    EXPECT_EQ(doc.store.size(), 20u);
    EXPECT_FALSE(deletePattern(doc)); // the only one stays
    EXPECT_EQ(1, doc.patternCount);
}

TEST(PatternStore, AppendTakesTheDefinitionSize) {
    Document doc = documentOf({{20, 10, 3, 4, 0, 2}});
    appendPattern(doc, nullptr);
    EXPECT_EQ(2, doc.patternCount);
    EXPECT_EQ(1, doc.currentPattern);
    EXPECT_EQ(12, doc.patternWidth);
    EXPECT_EQ(12, doc.patternHeight);
    EXPECT_EQ(144, doc.patternDotCount);
    PatternHeader h;
    getHeader(doc, 1, h);
    EXPECT_EQ((PatternHeader{12, 12, 1, 1, 0, 2}), h);
    EXPECT_EQ(std::vector<std::string>(12, std::string(12, '0')), recordRows(doc, 1));
}

TEST(PatternStore, InsertKeepsTheIndexAndPushesTheCurrentDown) {
    Document doc = threeMarked();
    doc.currentPattern = 1;
    insertPattern(doc, nullptr);
    EXPECT_EQ(4, doc.patternCount);
    EXPECT_EQ(1, doc.currentPattern);
    EXPECT_EQ(std::string(12, '0'), recordRows(doc, 1)[0]);
    EXPECT_EQ("0100", recordRows(doc, 2)[0]);
    EXPECT_EQ("0010", recordRows(doc, 3)[0]);
}

TEST(PatternStore, FontModesLeaveTheStoreAlone) {
    Document doc;
    doc.editType = EditMode::Font16x15;
    doc.workDots.fill(DOT_ON);
    storeWorkDots(doc);
    EXPECT_EQ(std::string(144, '0'), std::string(doc.store.begin() + 12, doc.store.end()));
    PatternHeader untouched{1, 2, 3, 4, 5, 6};
    getHeader(doc, 0, untouched);
    EXPECT_EQ((PatternHeader{1, 2, 3, 4, 5, 6}), untouched);
}

TEST(PatternStore, SelectPatternRefusesIndicesOutsideTheList) {
    Document doc;
    PatternHeader h;
    EXPECT_FALSE(selectPattern(doc, -1, h, false));
    EXPECT_FALSE(selectPattern(doc, 1, h, false));
    auto dots = selectPattern(doc, 0, h, false);
    ASSERT_TRUE(dots);
    EXPECT_EQ(9216u, dots->size());
}

TEST(PatternStore, FillSetsEveryDotOfTheCurrentRecord) {
    Document doc = threeMarked();
    doc.currentPattern = 1;
    fillPattern(doc, DOT_ON);
    EXPECT_EQ((std::vector<std::string>{"1111", "1111"}), recordRows(doc, 1));
    EXPECT_EQ("0010", recordRows(doc, 2)[0]);
    EXPECT_TRUE(doc.modifiedFlag);
}
