#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "document/patternfile.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::documentOf;
using dedur::test::recordRows;
using dedur::test::TempDir;
using dedur::test::writeBytes;

namespace {

Outcome readText(Document& doc, const std::string& text) {
    return readPatternText(doc, text, "a.pat");
}

} // namespace

TEST(PatternFile, WritesTheExactBytes) {
    Document doc = documentOf({{3, 2, 1, 1, 0, 2}});
    dedur::test::setRows(doc, {"101", "010"});
    EXPECT_EQ("PATTERN\r\n1\r\nSIZE 3 2 1 1 0 2\r\n101\r\n010\r\n", formatPatternFile(doc));
}

TEST(PatternFile, WriterStopsAtASideAboveNinetySix) {
    Document doc = documentOf({{2, 1, 1, 1, 0, 2}, {2, 1, 1, 1, 0, 2}});
    doc.store.resize(14 + 12 + 97, DOT_OFF);
    encodeHeader({97, 1, 1, 1, 0, 2}, doc.store.data() + 14);
    EXPECT_EQ("PATTERN\r\n2\r\nSIZE 2 1 1 1 0 2\r\n00\r\n", formatPatternFile(doc));
}

TEST(PatternFile, RoundTripKeepsEveryRecord) {
    TempDir dir;
    Document doc = documentOf({{5, 3, 7, 9, 1, 3}, {96, 96, 1, 1, 2, 0}, {2, 2, -4, 300, 0, 2}});
    doc.currentPattern = 1;
    reloadWorkDots(doc);
    for (int i = 0; i < 96 * 96; i += 7) doc.workDots[static_cast<size_t>(i)] = DOT_ON;
    storeWorkDots(doc);
    const std::string path = dir.file("round.pat");
    writeBytes(path, "old contents");
    doc.modifiedFlag = true;
    ASSERT_TRUE(writePatternFile(doc, path).ok());
    EXPECT_FALSE(doc.modifiedFlag);
    Document back;
    ASSERT_TRUE(readPatternFile(back, path).ok());
    EXPECT_EQ(3, back.patternCount);
    EXPECT_EQ(doc.store, back.store);
}

TEST(PatternFile, FailedWriteKeepsStateAndNamesThePath) {
    Document doc;
    doc.modifiedFlag = true;
    const Outcome r = writePatternFile(doc, "/nonexistent-dir/x.pat");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ("/nonexistent-dir/x.pat\nfile open error !", r.message.text);
    EXPECT_EQ("Open error", r.message.caption);
    EXPECT_TRUE(doc.modifiedFlag);
}

struct ReaderCase {
    const char* name;
    std::string text;
    std::vector<PatternHeader> headers;
    std::vector<std::vector<std::string>> rows;
};

class PatternFileReader : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(PatternFileReader, ReadsRecords) {
    const ReaderCase& c = GetParam();
    Document doc;
    ASSERT_TRUE(readText(doc, c.text).ok());
    ASSERT_EQ(static_cast<int>(c.headers.size()), doc.patternCount);
    for (int i = 0; i < doc.patternCount; ++i) {
        PatternHeader h;
        getHeader(doc, i, h);
        EXPECT_EQ(c.headers[static_cast<size_t>(i)], h) << "pattern " << i;
        EXPECT_EQ(c.rows[static_cast<size_t>(i)], recordRows(doc, i)) << "pattern " << i;
    }
}

// clang-format off
const ReaderCase ReaderCases[] = {
    {"LowerCaseHeader", "PATTERN\r\n1\r\nsize 4 1 1 1 0 2\r\n1001\r\n", {{4, 1, 1, 1, 0, 2}}, {{"1001"}}},
    {"ShortRowIsPaddedWithClearDots", "PATTERN\n1\nSIZE 4 2 1 1 0 2\n1\n0110\n", {{4, 2, 1, 1, 0, 2}}, {{"1000", "0110"}}},
    {"MissingRowsAtTheEndAreClear", "PATTERN\r\n1\r\nSIZE 2 4 1 1 0 2\r\n11\r\n11", {{2, 4, 1, 1, 0, 2}}, {{"11", "11", "00", "00"}}},
    {"CountLineIsIgnored", "PATTERN\r\n7\r\nSIZE 1 1 1 1 0 2\r\n1\r\nSIZE 1 1 2 1 0 2\r\n0\r\n", {{1, 1, 1, 1, 0, 2}, {1, 1, 2, 1, 0, 2}}, {{"1"}, {"0"}}},
    {"EqualsAndStarSeparateTwoNumbers", "PATTERN\r\n1\r\nSIZE=3*2\r\n111\r\n101\r\n", {{3, 2, 0, 0, 0, 0}}, {{"111", "101"}}},
    {"SignatureMayBeLonger", "PATTERNS of mine\r\nSIZE 2 1 5 6 1 3\r\n1x\r\n", {{2, 1, 5, 6, 1, 3}}, {{"10"}}},
    {"ExtraLinesBetweenPatterns", "PATTERN\r\n2\r\n\r\ncomment\r\nSIZE 2 1 1 1 0 2\r\n01\r\n\r\nSIZE 2 1 1 1 0 2\r\n10\r\n", {{2, 1, 1, 1, 0, 2}, {2, 1, 1, 1, 0, 2}}, {{"01"}, {"10"}}},
    {"SidesAreTakenModulo16Bits", "PATTERN\r\nSIZE 65538 65537 -1 70000 0 2\r\n10\r\n", {{2, 1, -1, 4464, 0, 2}}, {{"10"}}},
    {"ShortPatternSwallowsTheNextHeader", "PATTERN\r\n2\r\nSIZE 1 2 1 1 0 2\r\n1\r\nSIZE 1 1 1 1 0 2\r\n1\r\n", {{1, 2, 1, 1, 0, 2}}, {{"1", "0"}}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Quirks, PatternFileReader, ::testing::ValuesIn(ReaderCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Texts that are no pattern file: the editor's message and caption, the
// document as it was. The last has a first line without a line end, whose
// only header lies at character 31, where the first pass's pieces begin but
// the second's do not.
TEST(PatternFile, TextsWithoutPatternsLeaveTheDocument) {
    const struct {
        std::string text;
        const char* message;
        const char* caption;
    } cases[] = {
        {"PATTERN", "Pattern file head (PATTER)(PATTERN) error", "Format error"},
        {"PATTERX" + std::string(35, '-') + "\r\n",
         "Pattern file head (PATTERX-----------------------)(PATTERN) error", "Format error"},
        {"PATTERN\r\n1\r\n0101\r\n", "No pattern in file", "error"},
        {"PATTERN" + std::string(24, '-') + "SIZE 2 2 1 1 0 2", "No pattern in file", "error"},
    };
    for (const auto& c : cases) {
        Document doc = documentOf({{3, 3, 1, 1, 0, 2}, {3, 3, 1, 1, 0, 2}});
        const std::vector<uint8_t> before = doc.store;
        const Outcome r = readText(doc, c.text);
        EXPECT_EQ(std::tuple(Failure::BadContent, std::string(c.message), std::string(c.caption)),
                  std::tuple(r.failure, r.message.text, r.message.caption));
        EXPECT_EQ(before, doc.store) << c.text;
        EXPECT_EQ(2, doc.patternCount) << c.text;
    }
}

TEST(PatternFile, SideOutsideTheRangeIsRefusedNamingFileAndPattern) {
    for (const char* header : {"SIZE 97 2 1 1 0 2", "SIZE 2 0 1 1 0 2", "SIZE 4", "SIZE -3 3"}) {
        Document doc;
        const std::vector<uint8_t> before = doc.store;
        const std::string text =
            std::string("PATTERN\r\n2\r\nSIZE 1 1 1 1 0 2\r\n1\r\n") + header + "\r\n";
        const Outcome r = readText(doc, text);
        EXPECT_EQ(Failure::BadContent, r.failure) << header;
        EXPECT_NE(std::string::npos, r.message.text.find("Pattern 2 in file \"a.pat\""))
            << r.message.text;
        EXPECT_EQ(before, doc.store);
        EXPECT_EQ(1, doc.patternCount);
    }
}

TEST(PatternFile, MissingFileAsksRetryOrCancel) {
    Document doc;
    const Outcome r = readPatternFile(doc, "/nonexistent/x.pat");
    EXPECT_EQ(std::tuple(Failure::NotFound,
                         std::string("Pattern file \"/nonexistent/x.pat\" not found"),
                         std::string("Can't Open File"), MessageButtons::RetryCancel),
              std::tuple(r.failure, r.message.text, r.message.caption, r.message.buttons));
}

TEST(PatternFile, ReadKeepsTheCurrentSize) {
    Document doc;
    doc.currentPattern = 3;
    ASSERT_TRUE(readText(doc, "PATTERN\r\nSIZE 2 2 1 1 0 2\r\n11\r\n11\r\n").ok());
    EXPECT_EQ(3, doc.currentPattern);
    EXPECT_EQ(12, doc.patternWidth);
}

TEST(PatternFile, OverlongLinesComeInPiecesOf255) {
    // A row of 300 characters: the first 255 are one row, the rest the next.
    const std::string longRow = "1" + std::string(254, '0') + "1" + std::string(44, '0');
    Document doc;
    ASSERT_TRUE(readText(doc, "PATTERN\r\nSIZE 2 3 1 1 0 2\r\n" + longRow + "\r\n11\r\n").ok());
    EXPECT_EQ((std::vector<std::string>{"10", "10", "11"}), recordRows(doc, 0));
}

TEST(PatternFile, DeclaredDotsUpToTheLimitLoad) {
    // 232,712 headers of 96 x 96 and two more declare 2^31 bytes exactly
    // (every header counts, those read as another pattern's rows too).
    std::string text = "PATTERN\r\n";
    for (int i = 0; i < 232712; ++i) text += "SIZE 96 96\r\n";
    text += "SIZE 96 93\r\nSIZE 88 95\r\n";
    Document doc;
    ASSERT_TRUE(readText(doc, text).ok());
    // One dot more is refused before the document is touched.
    doc = Document();
    const std::vector<uint8_t> before = doc.store;
    const Outcome r = readText(doc, text + "SIZE 1 1\r\n");
    EXPECT_EQ(Failure::TooLarge, r.failure);
    EXPECT_EQ("Pattern file \"a.pat\" holds more patterns than can be loaded", r.message.text);
    EXPECT_EQ(before, doc.store);
}
