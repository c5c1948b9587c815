#include <gtest/gtest.h>

#include <algorithm>

#include "fonts/glyphfile.h"
#include "panel/tables.h"
#include "testsupport.h"

using namespace dedur;

TEST(Tables, HexRows) {
    const std::pair<const char*, const char*> cases[] = {
        {"11110000", "F0"},       {"111100001111", "F0,0F"},
        {"110011", "C3"},         {"1000000000000001", "80,01"},
        {"1111", ",0F"},          {"11", ",03"},
        {"10100101101", "A5,05"}, {"111111111111111111111111", "FF,FF,FF"},
    };
    for (const auto& [dots, row] : cases) {
        const std::string d(dots);
        EXPECT_EQ(row,
                  hexRow(reinterpret_cast<const uint8_t*>(d.data()), static_cast<int>(d.size())))
            << dots;
    }
}

TEST(Tables, HexTableHasAnEmptyLineAfterEachPattern) {
    Document doc = dedur::test::documentOf({{8, 2, 1, 1, 0, 2}, {4, 1, 1, 1, 0, 2}});
    dedur::test::setRows(doc, {"11110000", "00000001"});
    EXPECT_EQ("F0\r\n01\r\n\r\n,00\r\n\r\n", hexTable(doc));
}

TEST(Tables, CArrayOfA16x15Glyph) {
    Document doc;
    std::fill(doc.workDots.begin(), doc.workDots.end(), DOT_OFF);
    doc.workDots[0] = DOT_ON;
    std::string expected = "unsigned char _szA440[]={\r\n0x80,0x00, ";
    for (int i = 1; i < 15; ++i) expected += "0x00,0x00, ";
    expected += " };\r\n";
    EXPECT_EQ(expected, glyphCArray(doc, 0xA440, 16, 15));
}

TEST(Tables, CArrayOfA24x24GlyphTakesEightLines) {
    Document doc;
    std::fill(doc.workDots.begin(), doc.workDots.end(), DOT_OFF);
    doc.workDots[23] = DOT_ON;      // row 0, last column
    doc.workDots[24 * 23] = DOT_ON; // row 23, first column
    const std::string text = glyphCArray(doc, 0xB0A1, 24, 24);
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    ASSERT_EQ(8u, lines.size());
    EXPECT_EQ("unsigned char _szB0A1[]={", lines[0]);
    EXPECT_EQ("0x00,0x00,0x01, 0x00,0x00,0x00, 0x00,0x00,0x00, 0x00,0x00,0x00, ", lines[1]);
    EXPECT_EQ("0x00,0x00,0x00, 0x00,0x00,0x00, 0x00,0x00,0x00, 0x80,0x00,0x00, ", lines[6]);
    EXPECT_EQ(" };", lines[7]);
}

TEST(Tables, AFailedWriteNamesTheTableNotThePath) {
    const Outcome failure = writeTableFile("/nonexistent/HEX.TAB", "x", false);
    EXPECT_FALSE(failure.ok());
    EXPECT_EQ("HEX.TAB file Open Failure", failure.message.text);
}

TEST(Tables, ExportFollowsTheMode) {
    Document doc;
    FontEdit fe;
    fe.currentCode16 = 0xA441;
    fe.currentCode24 = 0xB0A1;
    std::fill(doc.workDots.begin(), doc.workDots.end(), DOT_OFF);
    doc.workDots[0] = DOT_ON;
    struct Case {
        EditMode mode;
        int height;
        const char* file;
        bool append;
        const char* start;
    };
    // clang-format off
    const Case cases[] = {
        {EditMode::Font16x15, 15, "16X15.TAB", true, "unsigned char _szA441[]={\r\n0x80,0x00, 0x00,0x00, "},
        {EditMode::Font24x24, 24, "24X24.TAB", true, "unsigned char _szB0A1[]={\r\n0x80,0x00,0x00, "},
        {EditMode::Ascii8x15, 15, "8X15.TAB", true, "unsigned char _szASC065[]={\r\n0x80, 0x00, "},
        {EditMode::Special16x15, 15, "SPCFONT.TAB", true, "unsigned char _szSPC065[]={\r\n0x80,0x00, "},
        {EditMode::SpecialSupp16x15, 15, "SPCFSUPP.TAB", true, "unsigned char _szSUP065[]={\r\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        doc.editType = c.mode;
        doc.patternHeight = static_cast<int16_t>(c.height);
        const TableExport t = tableExportFor(doc, fe, 65);
        EXPECT_EQ(c.file, t.fileName);
        EXPECT_EQ(c.append, t.append);
        EXPECT_EQ(0u, t.bytes.find(c.start)) << t.bytes;
        EXPECT_EQ(" };\r\n", t.bytes.substr(t.bytes.size() - 5));
    }
    doc = Document();
    const TableExport hex = tableExportFor(doc, fe, 1);
    EXPECT_EQ("HEX.TAB", hex.fileName);
    EXPECT_FALSE(hex.append);
}
