#include <gtest/gtest.h>

#include "document/patternstore.h"
#include "panel/memoryimport.h"
#include "testsupport.h"

using namespace dedur;

namespace {

// Bytes written by hand, read through the address rule: SEG s owns the eight
// bytes from 8(s - 1), COM c is bit (c - 1) mod 8 of byte (c - 1) / 8.
TEST(MemoryImport, HandWrittenBytesGiveTheDots) {
    struct Case {
        PatternHeader header; // 3 x 2; its directions are the definition's too
        const char* text;
        const char* rows;
    };
    const Case cases[] = {
        // Rows down COM 3..1, the second row one SEG lower: bytes 32 and 24.
        {{3, 2, 5, 3, DecreaseCom, DecreaseSeg},
         ".DB $05 ; 2020h ~ 2020h\r\n.DB $02 ; 2018h ~ 2018h\r\n",
         "101010"},
        // Rows along SEG 3..1 at COM 48 and 47: bits 7 and 6 of bytes 21, 13, 5.
        {{3, 2, 3, 48, DecreaseSeg, DecreaseCom},
         ".DB $80 ; 2015h ~ 2015h\r\n.DB $40 ; 200Dh ~ 200Dh\r\n.DB $C0 ; 2005h ~ 2005h\r\n",
         "101011"},
    };
    for (const Case& c : cases) {
        LcdMemory memory;
        ASSERT_TRUE(readMemoryText(c.text, 0, memory).ok());
        PanelDefinition definition;
        definition.leftToRight = c.header.leftToRight;
        definition.topToBottom = c.header.topToBottom;
        std::vector<uint8_t> dots(6, 'x');
        const Outcome refused = dotsFromMemory(memory, c.header, definition, dots.data());
        ASSERT_TRUE(refused.ok()) << refused.message.text;
        EXPECT_EQ(std::string(c.rows), std::string(dots.begin(), dots.end())) << c.text;
    }
}

struct TextCase {
    const char* name;
    const char* text;
    int panel;
    const char* refusal; // nullptr: read
    int offset;          // a byte read, and its value
    int value;
};

const TextCase TextCases[] = {
    {"AddressComments", ".DB $01,$02 ; 2008h ~ 2009h\r\n", 0, nullptr, 9, 2},
    {"HeaderPlacesLinesWithoutComments",
     ";   LCD Memory Address : $2010 ~ $2011 [ Size=  2 Bytes (Dec) ]\r\n.DB $0A,$0B\r\n", 0,
     nullptr, 0x11, 0x0B},
    {"SecondPanel",
     ";   Panel No. 1\r\n.DB $01 ; 2000h ~ 2000h\r\n;   Panel No. 2\r\n.DB $07 ; 2000h ~ 2000h\r\n",
     2, nullptr, 0, 7},
    {"NoAddress", ".DB $01\r\n", 0, "Line 1 is not", 0, 0},
    {"AddressWithoutItsH", ".DB $01 ; 2008 ~ 2008h\r\n", 0, "Line 1 is not", 0, 0},
    {"AddressOfFiveDigits", ".DB $01 ; 20080h ~ 20080h\r\n", 0, "Line 1 is not", 0, 0},
    {"AddressBelowTheMemory", ".DB $01 ; 1FFFh ~ 1FFFh\r\n", 0, "Line 1 is not", 0, 0},
    {"PastTheEnd", ".DB $01,$02 ; 2300h ~ 2301h\r\n", 0, "Line 1 is not", 0, 0},
    {"MissingPanel", ";   Panel No. 1\r\n.DB $01 ; 2000h ~ 2000h\r\n", 4,
     "The file holds no Panel No. 4", 0, 0},
};

class MemoryText : public ::testing::TestWithParam<TextCase> {};

TEST_P(MemoryText, ReadsOrRefusesWithTheLine) {
    const TextCase& c = GetParam();
    LcdMemory memory;
    const Outcome refused = readMemoryText(c.text, c.panel, memory);
    if (c.refusal) {
        ASSERT_FALSE(refused.ok());
        EXPECT_EQ(0u, refused.message.text.find(c.refusal)) << refused.message.text;
        return;
    }
    ASSERT_TRUE(refused.ok()) << refused.message.text;
    EXPECT_TRUE(memory.known[static_cast<size_t>(c.offset)]);
    EXPECT_EQ(c.value, memory.bytes[static_cast<size_t>(c.offset)]);
}

INSTANTIATE_TEST_SUITE_P(Texts, MemoryText, ::testing::ValuesIn(TextCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MemoryImport, MissingBytesAndOffPanelPlacesAreRefused) {
    LcdMemory memory;
    ASSERT_TRUE(readMemoryBinary(std::string(8, '\xFF'), 0, memory).ok());
    uint8_t dots[16];
    const PanelDefinition definition;
    const Outcome missing =
        dotsFromMemory(memory, {2, 2, 1, 9, IncreaseSeg, IncreaseCom}, definition, dots);
    EXPECT_EQ("The memory holds no byte at $2009 (dot 1,0: SEG 2, COM 9)", missing.message.text);
    EXPECT_FALSE(
        dotsFromMemory(memory, {2, 2, 96, 1, IncreaseSeg, IncreaseCom}, definition, dots).ok());
}

} // namespace
