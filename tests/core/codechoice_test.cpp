// The code export's choices: ranges past the last pattern, the last
// choices as the settings keep them, and bytes read by a display whose
// layout wants another count.

#include <gtest/gtest.h>

#include "code/codejob.h"
#include "code/codelayout.h"
#include "code/sidecar.h"
#include "document/patternstore.h"

using namespace dedur;

TEST(CodeChoice, ARangePastTheLastPatternIsNamed) {
    const struct {
        const char* text;
        int count;
        const char* says;
    } rows[] = {
        {"1-5", 5, ""},
        {"5", 5, ""},
        {"2, 4~5", 5, ""},
        {"0", 5, ""}, // taken as the first
        {"", 5, ""},
        {"9-4", 5, "9-4: the file has 5 patterns"},
        {"2,6", 1, "2: the file has 1 pattern"},
        {" 1 - 12 ", 3, "1-12: the file has 3 patterns"},
        // Numbers that do not fit an int are still past the last.
        {"99999999999999999999999", 5, "99999999999999999999999: the file has 5 patterns"},
        // Letters and blanks are dropped, as the range reader drops them.
        {"6a", 5, "6: the file has 5 patterns"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.says, rangePastLast(row.text, row.count)) << row.text;
    }
    EXPECT_EQ("3: \"a.pat\" has 2 patterns", rangePastLast("3", 2, "\"a.pat\""));
    EXPECT_EQ(std::string(40, '9') + "...: the file has 2 patterns",
              rangePastLast(std::string(1 << 20, '9'), 2));
}

TEST(CodeChoice, TheLastChoicesComeBackFromTheirLine) {
    CodeProfile chosen;
    chosen.layout = "pages-msb";
    chosen.invert = true;
    chosen.templateFile = "/home/me/my templates/c struct.h.mustache";
    CodeProfile back;
    parseCodeChoices(codeChoicesText(chosen), back);
    EXPECT_EQ(chosen.layout, back.layout);
    EXPECT_TRUE(back.invert);
    EXPECT_FALSE(back.progmem);
    EXPECT_EQ(chosen.templateFile, back.templateFile);

    // A line edited by hand: what is not understood leaves the default.
    const struct {
        const char* line;
        const char* layout;
        bool invert;
        const char* format;
        const char* templateFile;
    } rows[] = {
        {"", "rows-msb", false, "c", ""},
        {"layout=sideways invert=yes format=rust", "rows-msb", false, "rust", ""},
        {"invert=1 layout=rows-lsb", "rows-lsb", true, "c", ""},
        {"format= layout=panel", "panel", false, "c", ""},
        {"template=/a b.mustache layout=panel", "rows-msb", false, "c",
         "/a b.mustache layout=panel"},
        {"noise = = layout=pages-lsb", "pages-lsb", false, "c", ""},
        {"template=", "rows-msb", false, "c", ""},
    };
    for (const auto& row : rows) {
        CodeProfile p;
        parseCodeChoices(row.line, p);
        EXPECT_EQ(row.layout, p.layout) << row.line;
        EXPECT_EQ(row.invert, p.invert) << row.line;
        EXPECT_EQ(row.format, p.format) << row.line;
        EXPECT_EQ(row.templateFile, p.templateFile) << row.line;
    }
}

// Dots worked out by hand from each layout's definition.
TEST(CodeChoice, ADisplayReadsTheBytesThereAre) {
    const struct {
        CodeLayout layout;
        int width, height;
        std::vector<uint8_t> bytes;
        size_t read;
        const char* dots;
    } rows[] = {
        {CodeLayout::RowsLsb, 3, 2, {0x05}, 2, "101000"},             // the second row missing
        {CodeLayout::RowsLsb, 3, 2, {0x05, 0x02, 0xFF}, 2, "101010"}, // the third byte left
        {CodeLayout::RowsMsb, 10, 1, {0x80, 0x40}, 2, "1000000001"},
        {CodeLayout::PagesMsb, 3, 2, {0x80, 0x40}, 3, "100010"},
        {CodeLayout::PagesLsb, 2, 9, {0x01, 0x00, 0x01}, 4, "100000000000000010"},
        {CodeLayout::PagesLsb, 2, 2, {}, 2, "0000"},
    };
    PatternHeader header;
    for (const auto& row : rows) {
        const DotsAsRead got = readDots(row.bytes, row.width, row.height, row.layout, header, {});
        EXPECT_EQ(row.read, got.read) << layoutName(row.layout);
        EXPECT_EQ(row.dots, std::string(got.dots.begin(), got.dots.end()))
            << layoutName(row.layout);
    }
    EXPECT_TRUE(readDots({1}, 0, 4, CodeLayout::RowsMsb, header, {}).dots.empty());
}
