// A user's own font as the source of font-export and font-subset (--from),
// through the real dedur-cli: the glyphs as the font places them, FreeType's
// strikes and outlines, the symbol files behind the 16x15 subsets, and the
// refusals of what cannot be read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
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

const char* const DejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const Unifont = "/usr/share/fonts/opentype/unifont/unifont.otf";

struct Glyph {
    long encoding = 0;
    int advance = -1;
    int width = 0, height = 0, x = 0, y = 0;
    std::vector<std::string> rows;
};

// A BDF font as written: its line and its glyphs by STARTCHAR name.
struct Font {
    int ascent = 0, descent = 0;
    long chars = -1;
    std::map<std::string, Glyph> glyphs;
};

Font parse(const std::string& text) {
    Font font;
    std::istringstream lines(text);
    std::string line, name;
    Glyph glyph;
    bool bitmap = false;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "ENDCHAR") {
            font.glyphs[name] = glyph;
            bitmap = false;
        } else if (bitmap) {
            glyph.rows.push_back(key);
        } else if (key == "FONT_ASCENT") {
            words >> font.ascent;
        } else if (key == "FONT_DESCENT") {
            words >> font.descent;
        } else if (key == "CHARS") {
            words >> font.chars;
        } else if (key == "STARTCHAR") {
            words >> name;
            glyph = {};
        } else if (key == "ENCODING") {
            words >> glyph.encoding;
        } else if (key == "DWIDTH") {
            words >> glyph.advance;
        } else if (key == "BBX") {
            words >> glyph.width >> glyph.height >> glyph.x >> glyph.y;
        } else if (key == "BITMAP") {
            bitmap = true;
        }
    }
    return font;
}

std::string bdfFont(const std::string& properties, int count, const std::string& glyphs) {
    const auto lines = std::count(properties.begin(), properties.end(), '\n');
    return "STARTFONT 2.1\nFONT src\nSIZE 12 72 72\nFONTBOUNDINGBOX 10 14 -2 -3\n"
           "STARTPROPERTIES " +
           std::to_string(lines) + "\n" + properties + "ENDPROPERTIES\nCHARS " +
           std::to_string(count) + "\n" + glyphs + "ENDFONT\n";
}

std::string bdfGlyph(const std::string& name, long encoding, const std::string& dwidth,
                     const std::string& bbx, const std::string& rows) {
    return "STARTCHAR " + name + "\nENCODING " + std::to_string(encoding) + "\n" + dwidth + "BBX " +
           bbx + "\nBITMAP\n" + rows + "ENDCHAR\n";
}

// A font with a descender (g), a box left of the origin (j), a glyph without
// DWIDTH (A), a space, code points above U+FFFF by name and by number, one
// code given twice, one glyph outside the encoding and a control code.
std::string sourceBdf() {
    std::string g;
    g += bdfGlyph("g", 103, "DWIDTH 7 0\n", "5 7 1 -3", "78\n88\n88\n78\n08\n88\n70\n");
    g += bdfGlyph("j", 106, "DWIDTH 4 0\n", "4 9 -2 -3", "10\n00\n10\n10\n10\n10\n10\n90\n60\n");
    g += bdfGlyph("A", 65, "", "3 2 2 0", "40\nA0\n");
    g += bdfGlyph("space", 32, "DWIDTH 4 0\n", "0 0 0 0", "");
    g += bdfGlyph("U+1F600", -1, "DWIDTH 10 0\n", "10 2 0 8", "FFC0\n8040\n");
    g += bdfGlyph("ext", 0x2008A, "DWIDTH 9 0\n", "2 1 3 4", "C0\n");
    g += bdfGlyph("again", 103, "DWIDTH 1 0\n", "1 1 0 0", "80\n");
    g += bdfGlyph("none", -1, "DWIDTH 1 0\n", "1 1 0 0", "80\n");
    g += bdfGlyph("nul", 0, "DWIDTH 1 0\n", "1 1 0 0", "80\n");
    return bdfFont("FONT_ASCENT 11\nFONT_DESCENT 3\nCHARSET_REGISTRY \"ISO10646\"\n", 9, g);
}

// A glyph on one line: code, advance, box, offsets, then its rows.
std::string line(const Glyph& g) {
    std::string out = std::to_string(g.encoding) + " " + std::to_string(g.advance) + " " +
                      std::to_string(g.width) + " " + std::to_string(g.height) + " " +
                      std::to_string(g.x) + " " + std::to_string(g.y) + ":";
    for (const std::string& row : g.rows) out += " " + row;
    return out;
}

class FontSources : public Cli {
  protected:
    // make-fonts once per test that needs the glyph files.
    void makeGlyphFiles() { ASSERT_EQ(0, run("make-fonts .").status); }
};

} // namespace

// The glyphs of a BDF keep their boxes, offsets and advances, whatever their
// code point; what the font lacks is listed, and the line is the font's.
TEST_F(FontSources, BdfGlyphsAsTheFontPlacesThem) {
    writeBytes(path("src.bdf"), sourceBdf());
    writeBytes(path("text.txt"), "gjA \xF0\x9F\x98\x80\xF0\xA0\x82\x8Ax");
    const CliResult r = run("font-subset --text text.txt --from src.bdf --output out.bdf");
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("dedur-cli: no glyph for U+0078 x\n", r.err);
    const Font font = parse(readBytes(path("out.bdf")));
    EXPECT_EQ(std::tuple(11, 3, 6L), std::tuple(font.ascent, font.descent, font.chars));
    const std::pair<const char*, const char*> expected[] = {
        {"U+0067", "103 7 5 7 1 -3: 78 88 88 78 08 88 70"},
        {"U+006A", "106 4 4 9 -2 -3: 10 00 10 10 10 10 10 90 60"},
        {"U+0041", "65 5 3 2 2 0: 40 A0"}, // no DWIDTH: past its box
        {"U+0020", "32 4 0 0 0 0:"},
        // Above U+FFFF: outside the X11 tools' encoding, named by code point.
        {"U+1F600", "-1 10 10 2 0 8: FFC0 8040"},
        {"U+2008A", "-1 9 2 1 3 4: C0"},
    };
    for (const auto& [name, glyph] : expected) {
        ASSERT_EQ(1u, font.glyphs.count(name)) << name;
        EXPECT_EQ(glyph, line(font.glyphs.at(name)));
    }

    // The whole font: the same glyphs, the code given twice and the one
    // outside the encoding counted; read again, the same text.
    const CliResult all = run("font-export --from src.bdf all.bdf");
    ASSERT_EQ(0, all.status) << all.err;
    EXPECT_EQ("6 glyphs written, from its bitmaps; 3 control codes, codes without a Unicode "
              "character or repeats left out\n",
              all.err);
    ASSERT_EQ(0, run("font-export --from all.bdf again.bdf --name src").status);
    EXPECT_EQ(readBytes(path("all.bdf")), readBytes(path("again.bdf")));
    if (shell("command -v bdftopcf") == 0) {
        EXPECT_EQ(0, shell("bdftopcf -o all.pcf all.bdf"));
    }
}

// A Big5-encoded BDF stands by Unicode; a code without a character is left
// out. A font without a line gets one from its boxes.
TEST_F(FontSources, Big5BdfTurnedIntoUnicode) {
    std::string g;
    g += bdfGlyph("A440", 0xA440, "DWIDTH 16 0\n", "2 3 1 -2", "C0\n40\n80\n");
    g += bdfGlyph("low", 5, "DWIDTH 16 0\n", "1 1 0 0", "80\n");
    writeBytes(path("big5.bdf"),
               "STARTFONT 2.1\nFONT big5\nCHARSET_REGISTRY \"Big5.ETen\"\nCHARS 2\n" + g +
                   "ENDFONT\n");
    writeBytes(path("text.txt"), "\xE4\xB8\x80"); // U+4E00, Big5 A440
    const CliResult r = run("font-subset --text text.txt --from big5.bdf --output out.bdf");
    ASSERT_EQ(0, r.status) << r.err;
    const Font font = parse(readBytes(path("out.bdf")));
    ASSERT_EQ(1u, font.glyphs.count("U+4E00"));
    EXPECT_EQ("19968 16 2 3 1 -2: C0 40 80", line(font.glyphs.at("U+4E00")));
    EXPECT_EQ(std::tuple(1, 2), std::tuple(font.ascent, font.descent));
    const CliResult all = run("font-export --from big5.bdf all.bdf");
    EXPECT_NE(std::string::npos, all.err.find("; 1 control codes, codes without a Unicode"))
        << all.err;
}

// Outlines through FreeType: unifont's are its pixels, so its 16-pixel
// glyphs are the bitmaps of its hex source (A: 0000000018242442427E424242420000,
// 14 rows above the baseline); DejaVu Sans at 16 pixels has the line of its
// ascender 1901 and descender 483 of 2048 units rounded out (15 and 4).
TEST_F(FontSources, OutlinesDrawnAtTheSize) {
    if (!std::filesystem::exists(Unifont) || !std::filesystem::exists(DejaVu))
        GTEST_SKIP() << "fonts-unifont or DejaVu missing";
    writeBytes(path("text.txt"), "A gl\xE4\xB8\xAD");
    CliResult r = run(
        std::string("font-subset --text text.txt --size 16 --output uni.bdf --from ") + Unifont);
    ASSERT_EQ(0, r.status) << r.err;
    Font font = parse(readBytes(path("uni.bdf")));
    EXPECT_EQ(std::tuple(14, 2), std::tuple(font.ascent, font.descent));
    ASSERT_EQ(1u, font.glyphs.count("U+0041"));
    EXPECT_EQ("65 8 6 10 1 0: 30 48 48 84 84 FC 84 84 84 84", line(font.glyphs.at("U+0041")));
    EXPECT_EQ(1u, font.glyphs.count("U+4E2D"));

    r = run(std::string("font-subset --text text.txt --size 16 --output dv.bdf --from ") + DejaVu);
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("dedur-cli: no glyph for U+4E2D \xE4\xB8\xAD\n", r.err);
    font = parse(readBytes(path("dv.bdf")));
    EXPECT_EQ(std::tuple(15, 4), std::tuple(font.ascent, font.descent));
    const Glyph& space = font.glyphs.at("U+0020");
    EXPECT_EQ(std::tuple(5, 0), std::tuple(space.advance, space.width)); // 651 units
    // l is one bar cut to its dots, standing on the baseline; g goes below it.
    const Glyph& l = font.glyphs.at("U+006C");
    EXPECT_EQ(std::tuple(1, 0), std::tuple(l.width, l.y));
    EXPECT_EQ(std::vector<std::string>(static_cast<size_t>(l.height), "80"), l.rows);
    EXPECT_LT(font.glyphs.at("U+0067").y, 0);
}

// A bitmap font's own strike: a BDF made into PCF by the X11 tools, read
// back through FreeType with the dots and places it was written with.
TEST_F(FontSources, BitmapStrikeOfThePcfTools) {
    if (shell("command -v bdftopcf") != 0) GTEST_SKIP() << "bdftopcf missing";
    std::string g;
    g += bdfGlyph("g", 103, "SWIDTH 500 0\nDWIDTH 7 0\n", "5 7 1 -3",
                  "78\n88\n88\n78\n08\n88\n70\n");
    g += bdfGlyph("j", 106, "SWIDTH 333 0\nDWIDTH 4 0\n", "4 9 -2 -3",
                  "10\n00\n10\n10\n10\n10\n10\n90\n60\n");
    writeBytes(path("strike.bdf"),
               bdfFont("PIXEL_SIZE 12\nFONT_ASCENT 9\nFONT_DESCENT 3\nCHARSET_REGISTRY "
                       "\"ISO10646\"\nCHARSET_ENCODING \"1\"\n",
                       2, g));
    ASSERT_EQ(0, shell("bdftopcf -o strike.pcf strike.bdf"));
    CliResult r = run("font-export --from strike.pcf out.bdf");
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("from its 12-pixel bitmap strike")) << r.err;
    const Font font = parse(readBytes(path("out.bdf")));
    EXPECT_EQ(std::tuple(9, 3), std::tuple(font.ascent, font.descent));
    EXPECT_EQ("106 4 4 9 -2 -3: 10 00 10 10 10 10 10 90 60", line(font.glyphs.at("U+006A")));
    EXPECT_EQ(0, run("font-export --from strike.pcf sized.bdf --size 12").status);
    EXPECT_EQ(readBytes(path("out.bdf")), readBytes(path("sized.bdf")));
    r = run("font-export --from strike.pcf other.bdf --size 13");
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("it has no 13-pixel bitmaps, only 12")) << r.err;
}

// A TrueType collection's own bitmaps: WenQuanYi's third face has a
// 15-pixel strike, whose 中 is the glyph of STD16X15.fon (made from it) two
// dots further left: 11 x 14, one row below the baseline.
TEST_F(FontSources, BitmapStrikeOfACollection) {
    const char* const wqy = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc";
    if (!std::filesystem::exists(wqy)) GTEST_SKIP() << "fonts-wqy-zenhei missing";
    writeBytes(path("text.txt"), "\xE4\xB8\xAD");
    const CliResult r = run(std::string("font-subset --text text.txt --face 2 --size 15 --from ") +
                            wqy + " --output out.bdf");
    ASSERT_EQ(0, r.status) << r.err;
    const Font font = parse(readBytes(path("out.bdf")));
    ASSERT_EQ(1u, font.glyphs.count("U+4E2D"));
    EXPECT_EQ("20013 15 11 14 2 -1: 0400 0400 0400 FFE0 8420 8420 8420 8420 FFE0 8420 0400 "
              "0400 0400 0400",
              line(font.glyphs.at("U+4E2D")));
}

// What the 16x15 Big5 file leaves blank or has no record for comes from the
// symbol files: ° (Big5 A258, SPCFONT.15 record 182: A140 is record 1, then
// 63 + 94 codes of A1, 24 past A240) and ① (C6A1, SPCFSUPP.15 record 1).
TEST_F(FontSources, SymbolFilesBehindTheBig5File) {
    makeGlyphFiles();
    const std::string symbols = readBytes(path("SPCFONT.15"));
    const std::string supp = readBytes(path("SPCFSUPP.15"));
    const std::string degree = symbols.substr(182 * 30, 30);
    const std::string circled = supp.substr(1 * 30, 30);
    ASSERT_NE(std::string(30, '\0'), degree);
    ASSERT_NE(std::string(30, '\0'), circled);
    writeBytes(path("text.txt"), "\xC2\xB0\xE2\x91\xA0");
    const CliResult r = run("font-subset --text text.txt --format json --output out.json");
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("", r.err);
    const std::string json = readBytes(path("out.json"));
    EXPECT_NE(std::string::npos, json.find("\"codepoint\": 176, \"big5\": 41560, \"width\": 16, "
                                           "\"bytes\": [" +
                                           test::decimalList(degree) + "]"))
        << json;
    EXPECT_NE(std::string::npos, json.find("\"codepoint\": 9312, \"big5\": 50849, \"width\": 16, "
                                           "\"bytes\": [" +
                                           test::decimalList(circled) + "]"))
        << json;

    // The BDF names them by their Big5 codes and holds their rows.
    ASSERT_EQ(0, run("font-subset --text text.txt --format bdf --output out.bdf").status);
    const Font font = parse(readBytes(path("out.bdf")));
    ASSERT_EQ(1u, font.glyphs.count("U+00B0_BIG5_A258"));
    std::string rows;
    for (const std::string& row : font.glyphs.at("U+00B0_BIG5_A258").rows) rows += row;
    std::string hex;
    for (unsigned char b : degree) {
        hex += "0123456789ABCDEF"[b >> 4];
        hex += "0123456789ABCDEF"[b & 15];
    }
    EXPECT_EQ(hex, rows);
    EXPECT_EQ(1u, font.glyphs.count("U+2460_BIG5_C6A1"));

    // Without the symbol files they are missing, as before.
    std::filesystem::remove(path("SPCFONT.15"));
    std::filesystem::remove(path("SPCFSUPP.15"));
    const CliResult without = run("font-subset --text text.txt --format c");
    EXPECT_EQ("dedur-cli: no glyph for U+00B0 \xC2\xB0\ndedur-cli: no glyph for U+2460 "
              "\xE2\x91\xA0\n",
              without.err);
}

// 70,000 glyphs, the most a font may have, are read and written whole; the
// subset picks its few.
TEST_F(FontSources, SeventyThousandGlyphs) {
    std::string glyphs;
    for (long c = 0x10000; c < 0x10000 + 70000; ++c) {
        glyphs += "STARTCHAR c\nENCODING " + std::to_string(c) +
                  "\nDWIDTH 2 0\nBBX 1 1 0 0\nBITMAP\n80\nENDCHAR\n";
    }
    writeBytes(path("big.bdf"),
               bdfFont("FONT_ASCENT 1\nFONT_DESCENT 0\nCOMMENT x\n", 70000, glyphs));
    CliResult r = run("font-export --from big.bdf all.bdf");
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("70000 glyphs written, from its bitmaps\n", r.err);
    EXPECT_EQ(70000, parse(readBytes(path("all.bdf"))).chars);
    writeBytes(path("text.txt"), "\xF0\x90\x80\x80\xF0\x91\x85\xAF"); // U+10000, U+1116F
    r = run("font-subset --text text.txt --from big.bdf --output some.bdf");
    ASSERT_EQ(0, r.status) << r.err;
    const Font some = parse(readBytes(path("some.bdf")));
    EXPECT_EQ(2, some.chars);
    EXPECT_EQ(1u, some.glyphs.count("U+1116F"));
}

TEST_F(FontSources, HostileFontsRefused) {
    writeBytes(path("src.bdf"), sourceBdf());
    const std::string source = sourceBdf();
    writeBytes(path("cut.bdf"), source.substr(0, source.size() / 2));
    writeBytes(path("many.bdf"), bdfFont("", 70001, ""));
    std::string junk;
    for (int i = 0; i < 4000; ++i) junk += static_cast<char>((i * 7919) >> 3);
    writeBytes(path("junk.ttf"), junk);
    writeBytes(path("text.txt"), "Ax");
    writeBytes(path("emoji.txt"), "g\xF0\x9F\x98\x80");
    // Beside the folder the table compares: read whole once per row, it
    // would be most of the test's time.
    std::filesystem::create_directory(path("big"));
    writeBytes(path("big/huge.otf"), "");
    std::filesystem::resize_file(path("big/huge.otf"), (size_t{64} << 20) + 1);
    std::filesystem::create_directory(path("folder.ttf"));
    const bool dejaVu = std::filesystem::exists(DejaVu), unifont = std::filesystem::exists(Unifont);
    if (dejaVu) writeBytes(path("short.ttf"), readBytes(DejaVu).substr(0, 2000));
    const std::string dv = std::string(" --from ") + DejaVu;
    const std::vector<Refusal> rows = {
        {"font-export --from cut.bdf out.bdf", 1, "is not a BDF font this program reads (line"},
        {"font-export --from many.bdf out.bdf", 1, "(line 7: more than 70000 glyphs)"},
        {"font-export --from junk.ttf out.bdf --size 12", 1,
         "\"junk.ttf\" cannot be used as a font: it is not a font FreeType reads"},
        {"font-export --from big/huge.otf out.bdf --size 12", 1,
         "Could not read \"big/huge.otf\": it is too large"},
        {"font-export --from folder.ttf out.bdf --size 12", 1, "Could not read \"folder.ttf\""},
        {"font-export --from none.ttf out.bdf --size 12", 1,
         "Could not read \"none.ttf\": there is no such file"},
        {"font-export --from src.bdf out.bdf --size 300", 2,
         "--size must be a whole number from 4 to 256"},
        {"font-export --from src.bdf out.bdf --size 3", 2,
         "--size must be a whole number from 4 to 256"},
        {"font-export --from src.bdf out.bdf --face -1", 2, "--face must be a whole number"},
        {"font-export --from src.bdf src.bdf --force", 1, "\"src.bdf\" is the input file"},
        {"font-export --from src.bdf a.bdf b.bdf", 2, "with --from give only OUT"},
        {"font-export --from src.bdf out.bdf --kind 16x15", 2, "--kind is for glyph files"},
        {"font-export STD16X15.fon out.bdf --size 12", 2, "--size and --face go with --from"},
        {"font-export --from src.bdf out.c --format xml", 2, "--format must be bdf, lvgl"},
        {"font-subset --text text.txt --from src.bdf --format c", 2,
         "boxes of their own sizes, not one cell"},
        {"font-subset --text text.txt --from src.bdf --format json", 2, "not one cell"},
        {"font-subset --text text.txt --from src.bdf --layout rows-lsb", 2, "not one cell"},
        {"font-subset --text text.txt --from src.bdf --kind 24x24", 2, "--kind and --fonts are"},
        {"font-subset --text text.txt --from src.bdf --fonts .", 2, "--kind and --fonts are"},
        {"font-export --from src.bdf out.bdf --size 16", 1,
         "\"src.bdf\" cannot be used as a font: a BDF font has its one size; leave out --size"},
        {"font-export --from src.bdf out.bdf --face 1", 1, "a BDF font has one face"},
        {"font-subset --text text.txt --size 12", 2, "--size and --face go with --from"},
        {"font-subset --text text.txt --from src.bdf --output text.txt --force", 1,
         "\"text.txt\" is the input file"},
        {"font-subset --text text.txt --from src.bdf --output src.bdf --force", 1,
         "\"src.bdf\" is the input file"},
        // The display libraries' writers check the font first: nothing is written.
        {"font-subset --text emoji.txt --from src.bdf --format gfx --output o.h", 1,
         "Adafruit GFX draws codes 0 to 255 only"},
        {"font-export --from src.bdf o.c --format u8g2", 1, "not U+1F600"},
        {"font-subset --text text.txt --from src.bdf --output o.bdf --strict", 1,
         "dedur-cli: no glyph for U+0078 x\n1 characters have no glyph"},
    };
    std::vector<Refusal> all = rows;
    // Lines made here live as long as the table.
    const std::string noSize = "font-export out.bdf" + dv;
    const std::string noFace = "font-export out.bdf --size 12 --face 1" + dv;
    const std::string enormous = std::string("font-export out.bdf --size 256 --from ") + Unifont;
    if (dejaVu) {
        all.push_back({"font-export --from short.ttf out.bdf --size 12", 1,
                       "it is not a font FreeType reads"});
        all.push_back({noSize.c_str(), 1, "give the size in pixels to draw its outlines at"});
        all.push_back({noFace.c_str(), 1, "it holds 1 face, there is no face 1"});
    }
    // Each glyph at 256 pixels is most of 256 x 256 dots: past the font's
    // dots long before its last.
    if (unifont) {
        all.push_back(
            {enormous.c_str(), 1, "its glyphs hold more than 134217728 dots at this size"});
    }
    const auto before = folderBytes();
    for (const Refusal& row : all) {
        expectOutcome(row);
        EXPECT_EQ(before, folderBytes()) << row.line;
    }
}
