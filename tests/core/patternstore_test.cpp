#include <gtest/gtest.h>

#include <algorithm>

#include <random>

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
    ASSERT_EQ(doc.store.size(), 12u + 12u * 2u); // two bytes a row
    EXPECT_EQ((PatternHeader{12, 12, 1, 1, 0, 2}), decodeHeader(doc.store.data()));
    EXPECT_EQ(std::vector<std::string>(12, std::string(12, '0')), recordRows(doc, 0));
}

TEST(PatternStore, OffsetsWalkTheRecords) {
    Document doc = documentOf({{4, 2, 1, 1, 0, 2}, {3, 3, 1, 1, 0, 2}, {2, 5, 1, 1, 0, 2}});
    EXPECT_EQ(0u, patternOffset(doc, 0));
    EXPECT_EQ(14u, patternOffset(doc, 1));
    EXPECT_EQ(29u, patternOffset(doc, 2));
    EXPECT_EQ(doc.store.size(), patternOffset(doc, 3));
    EXPECT_EQ(doc.store.size(), patternOffset(doc, -1));
}

TEST(PatternStore, FontModesLeaveTheStoreAlone) {
    Document doc;
    doc.editType = EditMode::Font16x15;
    std::fill(doc.workDots.begin(), doc.workDots.end(), DOT_ON);
    storeWorkDots(doc);
    EXPECT_EQ(std::vector<std::string>(12, std::string(12, '0')), recordRows(doc, 0));
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

// (Adding, inserting and deleting are the model test's: it checks the store
// and the working copy after every command.)
TEST(PatternStore, FillSetsEveryDotOfTheCurrentRecordAndTheWorkingCopy) {
    Document doc = threeMarked();
    doc.currentPattern = 1;
    fillPattern(doc, DOT_ON);
    EXPECT_EQ((std::vector<std::string>{"1111", "1111"}), recordRows(doc, 1));
    EXPECT_EQ((std::vector<std::string>{"1111", "1111"}), dedur::test::rowsOf(doc));
    EXPECT_EQ("0010", recordRows(doc, 2)[0]);
    EXPECT_TRUE(doc.modifiedFlag);
}

// The packer reads eight and sixteen characters at a time; every width,
// length and kind of character must give what one character at a time does.
TEST(PatternStore, PackingAgreesWithOneCharacterAtATime) {
    const char kinds[] = {'0', '1', '1', static_cast<char>(0xB1), '2', '\0', 'q'};
    std::mt19937 random(7);
    for (int width = 1; width <= MaxPatternSide; ++width) {
        for (int length = 0; length <= width + 20; ++length) {
            std::string text(static_cast<size_t>(length) + 16, '1'); // '1's beyond the length
            for (int x = 0; x < length; ++x) text[static_cast<size_t>(x)] = kinds[random() % 7];
            std::vector<uint8_t> packed(packedRowBytes(width) + 1, 0xEE);
            packTextRow(text.data(), static_cast<size_t>(length), width, packed.data());
            std::vector<uint8_t> expected(packedRowBytes(width), 0);
            for (int x = 0; x < std::min(length, width); ++x) {
                if (text[static_cast<size_t>(x)] == '1') expected[x / 8] |= uint8_t(1u << (x % 8));
            }
            EXPECT_EQ(0xEE, packed.back()) << width << " " << length;
            packed.pop_back();
            ASSERT_EQ(expected, packed) << width << " " << length;
            std::string back(static_cast<size_t>(width), '?');
            unpackRow(packed.data(), width, back.data());
            for (int x = 0; x < width; ++x) {
                const bool set = x < length && text[static_cast<size_t>(x)] == '1';
                ASSERT_EQ(set ? '1' : '0', back[static_cast<size_t>(x)]) << width << " " << x;
            }
        }
    }
}
