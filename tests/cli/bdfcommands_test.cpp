// BDF fonts through the real dedur-cli: glyph, info and render's specimen
// sheet, and hostile fonts refused by name, line and reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "clirun.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::Cli;
using dedur::test::CliResult;
using dedur::test::Refusal;
using dedur::test::writeBytes;

namespace {

// B before A in the file: the sheet must put them in code order.
std::string font(const std::string& registry = "ISO10646", const std::string& b = "66",
                 const std::string& a = "65") {
    return "STARTFONT 2.1\nFONT -T-D-M-R-N--8-80-72-72-C-60-" + registry +
           "-1\nSIZE 8 72 72\nFONTBOUNDINGBOX 6 8 0 -1\n"
           "STARTPROPERTIES 2\nFONT_ASCENT 7\nFONT_DESCENT 1\nENDPROPERTIES\nCHARS 2\n"
           "STARTCHAR B\nENCODING " +
           b +
           "\nSWIDTH 750 0\nDWIDTH 6 0\nBBX 4 2 1 0\nBITMAP\nF0\n90\nENDCHAR\n"
           "STARTCHAR A\nENCODING " +
           a + "\nSWIDTH 750 0\nDWIDTH 6 0\nBBX 5 3 0 0\nBITMAP\n70\n88\nF8\nENDCHAR\nENDFONT\n";
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

// A plain PBM (P1) read into rows of '1'/'0'.
std::vector<std::string> plainPbm(const std::string& text) {
    std::istringstream in(text);
    std::string magic;
    int w = 0, h = 0;
    in >> magic >> w >> h;
    std::vector<std::string> rows(static_cast<size_t>(h));
    for (auto& row : rows) {
        for (int x = 0; x < w; ++x) {
            char c = 0;
            in >> c;
            row += c;
        }
    }
    return rows;
}

// The left x of the first place `glyph` stands in `rows` with white around
// it; -1 when nowhere.
int findGlyph(const std::vector<std::string>& rows, const std::vector<std::string>& glyph) {
    for (size_t y = 1; y + glyph.size() < rows.size(); ++y) {
        for (size_t x = 1; x + glyph[0].size() < rows[y].size(); ++x) {
            bool match = true;
            for (size_t r = 0; r < glyph.size() && match; ++r)
                match = rows[y + r].compare(x - 1, glyph[r].size() + 2, "0" + glyph[r] + "0") == 0;
            if (match) return static_cast<int>(x);
        }
    }
    return -1;
}

class BdfCli : public Cli {};

} // namespace

TEST_F(BdfCli, GlyphIsFoundByCharacterCodePointOrEncoding) {
    writeBytes(path("u.bdf"), font());
    writeBytes(path("b.bdf"), font("Big5.ETen", "42049", "42048")); // A440 is U+4E00
    const std::string a = "U+0041 A BBX 5 3 0 0 DWIDTH 6\n01110\n10001\n11111\n";
    const std::string yi = "A440 A BBX 5 3 0 0 DWIDTH 6\n01110\n10001\n11111\n";
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string out; // stdout, or part of stderr on failure
    } rows[] = {
        {{"u.bdf", "A"}, 0, a},
        {{"u.bdf", "U+41"}, 0, a},
        {{"u.bdf", "0x41"}, 0, a},
        {{"u.bdf", "65"}, 0, a},
        {{"b.bdf", "\xE4\xB8\x80"}, 0, yi},
        {{"b.bdf", "U+4E00"}, 0, yi},
        {{"b.bdf", "0xA440"}, 0, yi},
        {{"u.bdf", "\xE4\xB8\x80"}, 1, "\"u.bdf\" has no glyph for U+4E00"},
        {{"u.bdf", "U+110000"}, 2, "give a character, U+XXXX"},
        {{"u.bdf", "AB"}, 2, "give a character, U+XXXX"},
        {{"u.bdf", "A", "--code", "A440"}, 2, "are for the glyph files"},
        {{"u.bdf"}, 2, "a BDF font takes the glyph as"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = {"glyph"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const CliResult r = run(args);
        EXPECT_EQ(row.status, r.status) << row.args[1] << "\n" << r.err;
        if (row.status == 0)
            EXPECT_EQ(row.out, r.out) << row.args[1];
        else
            EXPECT_NE(std::string::npos, r.err.find(row.out)) << r.err;
    }
}

TEST_F(BdfCli, InfoSaysCountBoxLineAndEncoding) {
    writeBytes(path("u.bdf"), font());
    writeBytes(path("b.bdf"), font("Big5.ETen", "-1"));
    const std::pair<const char*, const char*> rows[] = {
        {"info u.bdf", "BDF glyphs=2 box=6x8 offset=0,-1 ascent=7 descent=1 "
                       "encoding=\"ISO10646-1 (Unicode)\"\n"},
        {"info b.bdf", "BDF glyphs=2 box=6x8 offset=0,-1 ascent=7 descent=1 "
                       "encoding=\"Big5.ETen-1\" unencoded=1\n"},
    };
    for (const auto& [line, says] : rows) {
        const CliResult r = run(line);
        EXPECT_EQ(0, r.status) << line << r.err;
        EXPECT_NE(std::string::npos, r.out.find(says)) << line << "\n" << r.out;
    }
}

TEST_F(BdfCli, SpecimenDrawsEveryGlyphInCodeOrder) {
    writeBytes(path("u.bdf"), font());
    for (const char* out : {"s.png", "s.pbm"}) {
        ASSERT_EQ(0, run({"render", "u.bdf", out, "--scale", "1"}).status) << out;
        ASSERT_EQ(0, shell(std::string("convert ") + out + " -compress none pbm:-")) << out;
        const auto rows = plainPbm(test::readBytes(path(".out")));
        ASSERT_FALSE(rows.empty()) << out;
        const int a = findGlyph(rows, {"01110", "10001", "11111"});
        const int b = findGlyph(rows, {"1111", "1001"});
        EXPECT_GT(a, 0) << out;
        EXPECT_GT(b, a) << out;
        EXPECT_EQ(std::string(rows[0].size(), '0'), rows[0]) << out;
        EXPECT_EQ(std::string(rows.back().size(), '0'), rows.back()) << out;
    }
    ASSERT_EQ(0, run("render u.bdf r.pbm --scale 1 --range U+0042-U+0042").status);
    ASSERT_EQ(0, shell("convert r.pbm -compress none pbm:-"));
    const auto only = plainPbm(test::readBytes(path(".out")));
    EXPECT_EQ(-1, findGlyph(only, {"01110", "10001", "11111"}));
    EXPECT_GT(findGlyph(only, {"1111", "1001"}), 0);
}

TEST_F(BdfCli, SpecimenRefusalsWriteNothing) {
    writeBytes(path("u.bdf"), font());
    writeBytes(path("big.bdf"),
               replaced(font(), "FONTBOUNDINGBOX 6 8 0 -1", "FONTBOUNDINGBOX 256 256 0 0"));
    const Refusal rows[] = {
        {"render big.bdf s.png --scale 64", 1, "pixels, more than the 67108864 a sheet may have"},
        {"render u.bdf s.gif", 2, "PNG, PBM or XBM"},
        {"render u.bdf s.png --scale 0", 2, "--scale"},
        {"render u.bdf s.png --pattern 1", 2, "--pattern is not for a BDF font"},
        {"render u.bdf s.png --range U+0042", 2, "FIRST-LAST"},
        {"render u.bdf u.bdf --force", 1, "is the input file"},
    };
    const auto before = folderBytes();
    for (const Refusal& row : rows) {
        expectOutcome(row);
        EXPECT_EQ(before, folderBytes()) << row.line;
    }
}

TEST_F(BdfCli, HostileFontsAreRefusedByLineAndReason) {
    const std::string good = font();
    struct Row {
        std::string text;
        const char* says;
    } rows[] = {
        {replaced(good, "CHARS 2", "CHARS 1000000"), "line 9: CHARS 1000000, more than 70000"},
        {replaced(good, "BBX 4 2 1 0", "BBX 65535 65535 0 0"),
         "line 14: a glyph box of 65535 x 65535; at most 256 x 256"},
        {replaced(good, "BBX 4 2 1 0", "BBX -4 2 1 0"), "a glyph box of -4 x 2"},
        {replaced(good, "BBX 4 2 1 0", "BBX 4 2 1 99999999999999999999"), "a glyph offset of"},
        {replaced(good, "DWIDTH 6 0", "DWIDTH 99999 0"), "an advance of 99999"},
        {replaced(good, "FONTBOUNDINGBOX 6 8 0 -1", "FONTBOUNDINGBOX 6 -8 0 -1"),
         "a bounding box of 6 x -8"},
        {replaced(good, "F0\n90", "F0\n" + std::string(5000, '0')),
         "line 17: a bitmap row longer than 4096"},
        {replaced(good, "F0\n90", "F\n90"), "line 16: a bitmap row of 1 hex digits, 2 needed"},
        {replaced(good, "F0\n90", "F0\nZ0"), "a bitmap row is not hexadecimal"},
        {replaced(good, "F0\n90\n", "F0\n"), "line 17: 1 bitmap rows missing"},
        {replaced(good, "F0\n90\n", "F0\n90\n00\n"), "more bitmap rows than BBX says (2)"},
        {replaced(good, "ENDFONT\n", ""), "it ends before ENDFONT"},
        {replaced(good, "STARTCHAR A", "STARTCHAR A\n" + std::string(1, '\0')),
         "a NUL byte at byte"},
        {replaced(good, "CHARS 2", "CHARS 1"), "more glyphs than CHARS says (1)"},
        {replaced(good, "ENCODING 66", "ENCODING -7"), "ENCODING needs a number from -1 up"},
        {replaced(good, "ENDFONT", "FONTBOUNDINGBOX 6 8 0 -1\nENDFONT"),
         "line 29: FONTBOUNDINGBOX after the first glyph"},
        {replaced(good, "FONTBOUNDINGBOX 6 8 0 -1", "FONTBOUNDINGBOX 6 8 65533 0"),
         "a bounding box of 6 x 8 at 65533, 0"},
        {"P4\n1 1\n", "line 1: it does not begin with STARTFONT"},
    };
    for (const Row& row : rows) {
        writeBytes(path("h.bdf"), row.text);
        for (const char* command : {"info h.bdf", "glyph h.bdf A", "render h.bdf h.png"}) {
            const CliResult r = run(command);
            EXPECT_EQ(1, r.status) << command << ": " << row.says;
            EXPECT_NE(std::string::npos,
                      r.err.find("\"h.bdf\" is not a BDF font this program reads"))
                << r.err;
            EXPECT_NE(std::string::npos, r.err.find(row.says)) << command << "\n" << r.err;
        }
        EXPECT_FALSE(std::filesystem::exists(path("h.png")));
    }
    // Glyphs repeating an encoding are read; the first is the one found.
    writeBytes(path("d.bdf"), font("ISO10646", "65"));
    EXPECT_NE(std::string::npos, run("info d.bdf").out.find(" duplicates=1\n"));
    EXPECT_EQ(0u, run("glyph d.bdf A").out.rfind("U+0041 B BBX 4 2 1 0", 0));
}

// A 100 MB line (a sparse file) is refused by the file's size before a byte
// is read.
TEST_F(BdfCli, FontLargerThanTheLimitIsNotRead) {
    writeBytes(path("long.bdf"), "STARTFONT 2.1\nCOMMENT ");
    ASSERT_EQ(0, truncate(path("long.bdf").c_str(), off_t{100} << 20));
    expectOutcome({"info long.bdf", 1, "Could not read \"long.bdf\": it is too large"});
    const long peak = test::peakKilobytes({DEDUR_CLI, "info", path("long.bdf")});
    ASSERT_GT(peak, 0);
    EXPECT_LT(peak, 64 * 1024);
}
