// font-export, font-import and font-subset through the real dedur-cli: the
// refusals, the BDF they write and read, and the subsets' characters.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

#include "clirun.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::Cli;
using dedur::test::CliResult;
using dedur::test::readBytes;
using dedur::test::Refusal;
using dedur::test::writeBytes;

namespace {

constexpr size_t Big5Bytes16 = 13094 * 30;

// A BDF font for the 16x15 file: its line is the cell's (13 over 2), so a
// glyph's box lands where its offsets say.
std::string bdf(const std::string& glyphs, int count) {
    return "STARTFONT 2.1\nFONT test\nSIZE 15 72 72\nFONTBOUNDINGBOX 16 15 0 -2\n"
           "STARTPROPERTIES 2\nFONT_ASCENT 13\nFONT_DESCENT 2\nENDPROPERTIES\nCHARS " +
           std::to_string(count) + "\n" + glyphs + "ENDFONT\n";
}

std::string glyph(const std::string& bbx, const std::string& rows, const char* encoding = "19968") {
    return std::string("STARTCHAR g\nENCODING ") + encoding + "\nDWIDTH 16 0\nBBX " + bbx +
           "\nBITMAP\n" + rows + "ENDCHAR\n";
}

class Fonts : public Cli {};

} // namespace

// Every refusal of the font commands: its status, what it says, and the glyph
// file as it was.
TEST_F(Fonts, Refusals) {
    std::string font(Big5Bytes16, '\0');
    font[0] = 0x12;
    writeBytes(path("STD16X15.fon"), font);
    std::filesystem::create_directory(path("long"));
    std::filesystem::create_directories(path("folder/STD16X15.fon"));
    std::filesystem::create_directory(path("fifo"));
    ASSERT_EQ(0, ::mkfifo(path("fifo/STD16X15.fon").c_str(), 0600));
    writeBytes(path("long/STD16X15.fon"), font + "x"); // one byte past its glyphs
    writeBytes(path("made.bdf"), "");
    writeBytes(path("bad.txt"), "ab\xE4\xB8");
    writeBytes(path("good.txt"), "ok");
    const Refusal cases[] = {
        {"font-export STD16X15.fon made.bdf", 1,
         "\"made.bdf\" exists; give --force to replace it\n"},
        {"font-export none.fon out.bdf --kind 16x15", 1,
         "Could not read \"none.fon\": there is no such file\n"},
        {"font-export STD16X15.fon out.bdf --kind 12x12", 2,
         "--kind must be 16x15, 24x24, 8x15 or symbol16x15"},
        {"font-export font.bin out.bdf", 2, "cannot tell the glyph kind from the file name"},
        {"font-export long/STD16X15.fon out.bdf", 1,
         "Could not read \"long/STD16X15.fon\": it holds 392821 bytes, more than the 392820 of "
         "its 13094 glyphs\n"},
        {"font-import long/STD16X15.fon one.bdf", 1,
         "Could not read \"long/STD16X15.fon\": it holds 392821 bytes, more than the 392820 of "
         "its 13094 glyphs\n"},
        {"font-import STD16X15.fon none.bdf", 1,
         "Could not read \"none.bdf\": there is no such file"},
        {"font-import fifo/STD16X15.fon one.bdf", 1,
         "Could not read \"fifo/STD16X15.fon\": it is not a regular file\n"},
        {"font-import folder/STD16X15.fon one.bdf", 1,
         "Could not read \"folder/STD16X15.fon\": it is not a regular file\n"},
        {"font-subset --text good.txt --fonts fifo", 1,
         "Could not read \"fifo/STD16X15.fon\": it is not a regular file\n"},
        {"font-import STD16X15.fon fifo/STD16X15.fon", 1, "it is not a regular file\n"},
        {"font-import STD16X15.fon tall.bdf", 1,
         "\"tall.bdf\" is not a BDF font this program reads (line 13: a glyph box larger than "
         "256 x 256)\n"},
        {"font-import STD16X15.fon wide.bdf", 1,
         "\"wide.bdf\" is not a BDF font this program reads (line 13: a glyph box larger than "
         "256 x 256)\n"},
        {"font-subset", 2, "give the strings with --text FILE"},
        {"font-subset --text good.txt --kind 8x15", 2, "--kind must be 16x15 or 24x24"},
        {"font-subset --text good.txt --format xml", 2,
         "--format must be c, bdf, json, lvgl, u8g2 or gfx"},
        {"font-subset --text good.txt --layout panel", 2,
         "--layout must be rows-msb, rows-lsb, pages-lsb or pages-msb"},
        {"font-subset --text good.txt --name 9lives", 2, "--name must be a C identifier"},
        {"font-subset --text good.txt --format c --template t.mustache", 2,
         "give --format or --template, not both"},
        {"font-subset --text good.txt --fonts long", 1,
         "it holds 392821 bytes, more than the 392820 of its 13094 glyphs\n"},
        {"font-subset --text good.txt --kind 24x24", 1,
         "Could not read \"./STD24.fon\": there is no such file\n"},
        {"font-subset --text good.txt bad.txt", 1, "\"bad.txt\" is not UTF-8 text (byte 2)\n"},
        {"font-subset --text good.txt --output STD16X15.fon --force", 1,
         "\"STD16X15.fon\" is the input file \"./STD16X15.fon\"; give another output file\n"},
        {"font-subset --text good.txt --output made.bdf", 1,
         "\"made.bdf\" exists; give --force to replace it\n"},
    };
    writeBytes(path("one.bdf"), bdf(glyph("1 1 0 0", "80\n"), 1));
    writeBytes(path("wide.bdf"), bdf(glyph("257 1 0 0", std::string(66, 'F') + "\n"), 1));
    std::string tallRows;
    for (int y = 0; y < 257; ++y) tallRows += "80\n";
    writeBytes(path("tall.bdf"), bdf(glyph("1 257 0 0", tallRows), 1));
    for (const Refusal& c : cases) {
        expectOutcome(c);
        EXPECT_EQ(font, readBytes(path("STD16X15.fon"))) << c.line;
        EXPECT_EQ(font + "x", readBytes(path("long/STD16X15.fon"))) << c.line;
        EXPECT_EQ("", readBytes(path("made.bdf"))) << c.line;
    }
}

// Characters at the edges of UTF-8's lengths are read; overlong forms,
// surrogates and code points past U+10FFFF are refused at their byte.
TEST_F(Fonts, Utf8OfTheStrings) {
    writeBytes(path("STD16X15.fon"), std::string(Big5Bytes16, '\0'));
    // U+07FF, U+0800, U+FFFF, U+10000: none has a glyph, each is listed.
    writeBytes(path("edges.txt"), "\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80");
    const CliResult edges = run("font-subset --text edges.txt --format json");
    EXPECT_EQ(0, edges.status) << edges.err;
    EXPECT_NE(std::string::npos, edges.out.find("\"missing\": [2047, 2048, 65535, 65536]"))
        << edges.out;
    // Each named with its character, encoded again in as many bytes as it came.
    EXPECT_EQ("dedur-cli: no glyph for U+07FF \xDF\xBF\n"
              "dedur-cli: no glyph for U+0800 \xE0\xA0\x80\n"
              "dedur-cli: no glyph for U+FFFF \xEF\xBF\xBF\n"
              "dedur-cli: no glyph for U+10000 \xF0\x90\x80\x80\n",
              edges.err);
    const struct {
        const char* bytes;
        const char* says;
    } bad[] = {
        {"a\xC0\x80", "(byte 1)"},          // NUL in two bytes
        {"ab\xC1\xBF", "(byte 2)"},         // U+007F in two
        {"\xE0\x9F\xBF", "(byte 0)"},       // U+07FF in three
        {"xy\xF0\x8F\xBF\xBF", "(byte 2)"}, // U+FFFF in four
        {"\xED\xA0\x80", "(byte 0)"},       // a surrogate
        {"\xF4\x90\x80\x80", "(byte 0)"},   // past U+10FFFF
        {"\xE4\xB8", "(byte 0)"},           // cut short
        {"\x80", "(byte 0)"},               // a lone continuation byte
    };
    for (const auto& b : bad) {
        writeBytes(path("bad.txt"), b.bytes);
        const CliResult r = run("font-subset --text bad.txt --format json");
        EXPECT_EQ(1, r.status);
        EXPECT_EQ(std::string("\"bad.txt\" is not UTF-8 text ") + b.says + "\n", r.err);
    }
}

// The subset's JSON: the last record of the Big5 file, a space drawn blank
// and a space the file has no record for, in code-point order.
TEST_F(Fonts, SubsetGlyphsAsJson) {
    std::string font(Big5Bytes16, '\0');
    std::string last;
    for (int i = 0; i < 30; ++i) last += static_cast<char>(i + 1);
    font.replace(Big5Bytes16 - 30, 30, last); // F9FE: U+2593 in code page 950
    writeBytes(path("STD16X15.fon"), font);
    std::string ascii(128 * 15, '\0');
    ascii[65 * 15 + 3] = '\x81'; // "A": one row
    writeBytes(path("ASCFONT.15"), ascii);
    writeBytes(path("s.txt"), "\xE2\x96\x93 A\xE3\x80\x80"); // ▓, space, A, U+3000
    const CliResult r = run("font-subset --text s.txt --format json");
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_EQ("", r.err);
    const std::string zeros15 = test::decimalList(std::string(15, '\0'));
    EXPECT_EQ("{\"width\": 16, \"height\": 15, \"layout\": \"rows-msb\", \"glyphs\": [\n"
              "  {\"codepoint\": 32, \"big5\": 32, \"width\": 8, \"bytes\": [" +
                  zeros15 +
                  "]},\n"
                  "  {\"codepoint\": 65, \"big5\": 65, \"width\": 8, \"bytes\": [0, 0, 0, 129, " +
                  test::decimalList(std::string(11, '\0')) +
                  "]},\n"
                  "  {\"codepoint\": 9619, \"big5\": 63998, \"width\": 16, \"bytes\": [" +
                  test::decimalList(last) +
                  "]},\n"
                  "  {\"codepoint\": 12288, \"big5\": 41280, \"width\": 16, \"bytes\": [" +
                  test::decimalList(std::string(30, '\0')) + "]}\n], \"missing\": []}\n",
              r.out);
}

// Standard input is read up to the limit of a text file, however long it
// goes on.
TEST_F(Fonts, EndlessStandardInputIsRefused) {
    writeBytes(path("STD16X15.fon"), std::string(Big5Bytes16, '\0'));
    const int status =
        shell("yes | timeout 60 " + test::quote(DEDUR_CLI) + " font-subset --text - --format json");
    EXPECT_EQ(1, status);
    EXPECT_EQ("The strings on standard input are longer than 64 MB\n", readBytes(path(".err")));
    EXPECT_EQ("", readBytes(path(".out")));
    // Reading stops at the limit: a writer that would go on to 300 MB has
    // sent 64 MB and a pipe's worth or two when the program gives up.
    const std::string writer = "import os\nsent = 0\ntry:\n    while sent < 300 << 20:\n"
                               "        sent += os.write(1, b'y\\n' * 32768)\n"
                               "except BrokenPipeError:\n    pass\n"
                               "open('sent', 'w').write(str(sent))\n";
    EXPECT_EQ(1, shell("python3 -c " + test::quote(writer) + " | " + test::quote(DEDUR_CLI) +
                       " font-subset --text - --format json"));
    EXPECT_LT(std::stoll("0" + readBytes(path("sent"))), 66 << 20);
    EXPECT_GT(std::stoll("0" + readBytes(path("sent"))), 64 << 20);
    // Short input from a pipe is read as before.
    EXPECT_EQ(
        0, shell("printf 'A' | " + test::quote(DEDUR_CLI) + " font-subset --text - --format json"));
    EXPECT_NE(std::string::npos, readBytes(path(".out")).find("\"missing\": [65]"));
}

// An error after a line of 50 MB names its own line, 22.
TEST_F(Fonts, ErrorLineAfterAHugeLine) {
    std::string text = "STARTFONT 2.1\nFONT test\nSIZE 15 72 72\nFONTBOUNDINGBOX 16 15 0 -2\n"
                       "STARTPROPERTIES 2\nFONT_ASCENT 13\nFONT_DESCENT 2\nENDPROPERTIES\n"
                       "CHARS 1\nSTARTCHAR a\nENCODING 19968\nCOMMENT ";
    text.append(size_t{50} << 20, 'x');
    text += "\nBBX 16 1 0 12\nBITMAP\nFFFF\nENDCHAR\n";
    for (int line = 17; line <= 21; ++line) text += "COMMENT " + std::to_string(line) + "\n";
    text += "STARTCHAR b\n";
    writeBytes(path("long.bdf"), text);
    const CliResult r = run("font-import STD16X15.fon long.bdf");
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("\"long.bdf\" is not a BDF font this program reads (line 22: more glyphs than CHARS "
              "says)\n",
              r.err);
}

// Glyphs placed by their boxes: one wider than the cell is cut at its right,
// a box of 256 is taken, --only-blank leaves a drawn record alone.
TEST_F(Fonts, ImportPlacesAndCuts) {
    const struct {
        std::string glyphs;
        int count;
        bool onlyBlank;
        std::string record; // A440 afterwards
        const char* summary;
    } cases[] = {
        // 17 dots from the left edge of row 0 (top 13 - (12 + 1) = 0): the 17th is cut.
        {glyph("17 1 0 12", "FFFF80\n"), 1, false, "\xFF\xFF" + std::string(28, '\0'),
         "1 glyph placed, 0 skipped, 1 cut to the cell\n"},
        // A tight box two dots wide at offset 3, rows 2..3 above the baseline
        // (rows 9 and 10 from the top).
        {glyph("2 2 3 2", "C0\n40\n"), 1, false,
         std::string(18, '\0') + "\x18" + std::string(1, '\0') + "\x08" + std::string(9, '\0'),
         "1 glyph placed, 0 skipped, 0 cut to the cell\n"},
        {glyph("256 1 0 12", std::string(64, 'F') + "\n"), 1, false,
         "\xFF\xFF" + std::string(28, '\0'), "1 glyph placed, 0 skipped, 1 cut to the cell\n"},
        {glyph("1 1 0 0", "80\n"), 1, true, "\x5A" + std::string(29, '\x5A'),
         "0 glyphs placed, 1 skipped, 0 cut to the cell\n"},
    };
    for (const auto& c : cases) {
        std::string font(Big5Bytes16, '\0');
        if (c.onlyBlank) font.replace(0, 30, std::string(30, '\x5A'));
        writeBytes(path("STD16X15.fon"), font);
        writeBytes(path("in.bdf"), bdf(c.glyphs, c.count));
        const CliResult r = run(std::string("font-import STD16X15.fon in.bdf") +
                                (c.onlyBlank ? " --only-blank" : ""));
        EXPECT_EQ(0, r.status) << r.err;
        EXPECT_EQ(c.summary, r.err);
        const std::string after = readBytes(path("STD16X15.fon"));
        EXPECT_EQ(c.record, after.substr(0, 30)) << c.summary;
        EXPECT_EQ(font.substr(30), after.substr(30));
    }
}

// A font that says less: its line from FONTBOUNDINGBOX (ascent 6 over
// descent 1, centred on 15 rows: baseline at row 10), or none at all (the
// file's baseline, row 13, and the box centred across when no advance is
// given).
TEST_F(Fonts, ImportWithLessMetrics) {
    const struct {
        const char* text;
        size_t at; // the one byte set in record A440
        char byte;
    } cases[] = {
        // Row 10 - (0 + 1) = 9, column (16 - 8) / 2 + 0 = 4.
        {"STARTFONT 2.1\nFONTBOUNDINGBOX 8 7 0 -1\nCHARS 1\nSTARTCHAR g\nENCODING 19968\n"
         "DWIDTH 8 0\nBBX 1 1 0 0\nBITMAP\n80\nENDCHAR\nENDFONT\n",
         9 * 2, '\x08'},
        // Row 13 - (0 + 1) = 12, columns (16 - 2) / 2 = 7 and 8.
        {"STARTFONT 2.1\nCHARS 1\nSTARTCHAR g\nENCODING 19968\nBBX 2 1 0 0\nBITMAP\nC0\n"
         "ENDCHAR\nENDFONT\n",
         12 * 2, '\x01'},
    };
    for (const auto& c : cases) {
        writeBytes(path("STD16X15.fon"), std::string(Big5Bytes16, '\0'));
        writeBytes(path("in.bdf"), c.text);
        const CliResult r = run("font-import STD16X15.fon in.bdf");
        EXPECT_EQ(0, r.status) << r.err;
        std::string record(30, '\0');
        record[c.at] = c.byte;
        if (c.byte == '\x01') record[c.at + 1] = '\x80';
        EXPECT_EQ(record, readBytes(path("STD16X15.fon")).substr(0, 30)) << c.text;
    }
}

// The head of an exported font, every line worked out by hand: 72 dots per
// inch, so SIZE and POINT_SIZE say the pixel size; SWIDTH is the advance in
// thousandths of it (8 / 15 -> 533). The tab to carriage return and the space
// are written blank; other blank records are left out.
TEST_F(Fonts, ExportedFontText) {
    std::string ascii(128 * 15, '\0');
    ascii[65 * 15 + 14] = '\x80';
    writeBytes(path("ASCFONT.15"), ascii);
    const CliResult r = run("font-export ASCFONT.15 a.bdf");
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_EQ("7 glyphs written; 120 blank and 0 without a Unicode character left out\n", r.err);
    const std::string text = readBytes(path("a.bdf"));
    const std::string head = "STARTFONT 2.1\n"
                             "FONT -dedur-ASCFONT-Medium-R-Normal--15-150-72-72-C-80-ISO10646-1\n"
                             "SIZE 15 72 72\n"
                             "FONTBOUNDINGBOX 8 15 0 -3\n"
                             "STARTPROPERTIES 10\n"
                             "PIXEL_SIZE 15\n"
                             "POINT_SIZE 150\n"
                             "RESOLUTION_X 72\n"
                             "RESOLUTION_Y 72\n"
                             "AVERAGE_WIDTH 80\n"
                             "FONT_ASCENT 12\n"
                             "FONT_DESCENT 3\n"
                             "CHARSET_REGISTRY \"ISO10646\"\n"
                             "CHARSET_ENCODING \"1\"\n"
                             "SPACING \"C\"\n"
                             "ENDPROPERTIES\n"
                             "CHARS 7\n";
    EXPECT_EQ(head, text.substr(0, head.size()));
    std::string blankRows, aRows;
    for (int y = 0; y < 15; ++y) {
        blankRows += "00\n";
        aRows += y == 14 ? "80\n" : "00\n";
    }
    const std::string metrics = "SWIDTH 533 0\nDWIDTH 8 0\nBBX 8 15 0 -3\nBITMAP\n";
    std::string glyphs;
    for (int c : {9, 10, 11, 12, 13, 32}) {
        char name[32];
        std::snprintf(name, sizeof name, "STARTCHAR U+%04X\nENCODING %d\n", c, c);
        glyphs += name + metrics + blankRows + "ENDCHAR\n";
    }
    glyphs += "STARTCHAR U+0041\nENCODING 65\n" + metrics + aRows + "ENDCHAR\n";
    EXPECT_EQ(head + glyphs + "ENDFONT\n", text);
}
