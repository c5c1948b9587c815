// A BDF font as a document: what a save keeps, what it rewrites, and what
// the X11 font tools and FontForge make of a font saved after edits.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "fonts/bdf.h"
#include "fonts/bdfdocument.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::readBytes;
using dedur::test::TempDir;
using dedur::test::writeBytes;

namespace {

// Three glyphs on a 7 over 1 line at 8 points, 72 dpi: an advance of 6 is
// SWIDTH 750.
const std::string Font =
    "STARTFONT 2.1\nCOMMENT kept as it is\n"
    "FONT -Test-Dots-Medium-R-Normal--8-80-72-72-C-60-ISO10646-1\nSIZE 8 72 72\n"
    "FONTBOUNDINGBOX 6 8 0 -1\nSTARTPROPERTIES 4\nFONT_ASCENT 7\nFONT_DESCENT 1\n"
    "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\nENDPROPERTIES\nCHARS 3\n"
    "STARTCHAR A\nENCODING 65\nSWIDTH 751 0\nDWIDTH 6 0\nBBX 5 3 0 0\nBITMAP\n70\n88\nF8\n"
    "ENDCHAR\nCOMMENT between glyphs\n"
    "STARTCHAR B\nENCODING 66\nSWIDTH 750 0\nDWIDTH 6 0\nBBX 4 2 1 0\nBITMAP\nF0\n90\n"
    "ENDCHAR\n"
    "STARTCHAR C\nENCODING 67\nSWIDTH 750 0\nDWIDTH 6 0\nBBX 3 1 0 0\nBITMAP\nE0\nENDCHAR\n"
    "ENDFONT\n";

BdfDocument opened(const std::string& text) {
    BdfDocument doc;
    const Outcome read = parseBdfDocument(text, "t.bdf", doc);
    EXPECT_TRUE(read.ok()) << read.message.text;
    return doc;
}

// Rows of '1'/'0' packed as the store packs them.
BdfGlyphShape shape(int x, int y, int advance, std::vector<std::string> rows) {
    BdfGlyphShape s;
    s.width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    s.height = static_cast<int>(rows.size());
    s.xOffset = x;
    s.yOffset = y;
    s.advance = advance;
    const size_t stride = (static_cast<size_t>(s.width) + 7) / 8;
    s.rows.assign(stride * rows.size(), 0);
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            if (rows[r][c] == '1') s.rows[r * stride + c / 8] |= static_cast<uint8_t>(1 << (c % 8));
        }
    }
    return s;
}

// The lines of one glyph of a BDF text, STARTCHAR to ENDCHAR, found by its
// ENCODING line.
std::string glyphText(const std::string& bdf, const std::string& encodingLine) {
    const size_t at = bdf.find("\n" + encodingLine + "\n");
    if (at == std::string::npos) return "";
    const size_t start = bdf.rfind("STARTCHAR", at);
    const size_t end = bdf.find("ENDCHAR", at);
    return bdf.substr(start, end + 7 - start);
}

std::string runOutput(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[65536];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
        if (pclose(p) != 0) out = "FAILED: " + out;
    }
    return out;
}

bool haveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace

TEST(BdfDocument, SaveRewritesOnlyWhatAnEditChanged) {
    struct Row {
        const char* what;
        std::function<void(BdfDocument&)> edit;
        std::vector<std::string> present;
        std::vector<std::string> absent;
    };
    const Row rows[] = {
        {"dots redrawn, advance kept: SWIDTH as it was, even when it does not match",
         [](BdfDocument& d) {
             ASSERT_TRUE(d.setGlyph(0, shape(0, 0, 6, {"11", "01"})).ok());
         },
         {"SWIDTH 751 0\nDWIDTH 6 0\nBBX 2 2 0 0\nBITMAP\nC0\n40\nENDCHAR\nCOMMENT between",
          "CHARS 3\n", "FONTBOUNDINGBOX 6 8 0 -1\n"},
         {"70\n88\n"}},
        {"advance changed: SWIDTH from DWIDTH, point size and resolution",
         [](BdfDocument& d) { ASSERT_TRUE(d.setGlyph(2, shape(0, 0, 10, {"111"})).ok()); },
         {"STARTCHAR C\nENCODING 67\nSWIDTH 1250 0\nDWIDTH 10 0\nBBX 3 1 0 0\n"},
         {}},
        {"a glyph past the box widens it, on both sides it overflows",
         [](BdfDocument& d) {
             ASSERT_TRUE(d.setGlyph(1, shape(-2, -3, 6, {"100000001", "1"})).ok());
         },
         {"FONTBOUNDINGBOX 9 10 -2 -3\n", "BBX 9 2 -2 -3\nBITMAP\n8080\n8000\n"},
         {}},
        {"deleted: CHARS counts it, the comment before it stays",
         [](BdfDocument& d) { d.deleteGlyph(1); },
         {"CHARS 2\n", "ENDCHAR\nCOMMENT between glyphs\nSTARTCHAR C\n"},
         {"STARTCHAR B"}},
        {"added: in code order, named by its code point, blank in the font's box",
         [](BdfDocument& d) { ASSERT_EQ(0, d.addGlyph(0x30)); },
         {"CHARS 4\nSTARTCHAR uni0030\nENCODING 48\nSWIDTH 750 0\nDWIDTH 6 0\n"
          "BBX 6 8 0 -1\nBITMAP\n00\n00\n00\n00\n00\n00\n00\n00\nENDCHAR\nSTARTCHAR A\n"},
         {}},
        {"added past the last plane's first: u and five digits, after the others",
         [](BdfDocument& d) { ASSERT_EQ(3, d.addGlyph(0x20001)); },
         {"ENDCHAR\nSTARTCHAR u20001\nENCODING 131073\n", "ENDCHAR\nENDFONT\n"},
         {}},
    };
    for (const Row& row : rows) {
        BdfDocument doc = opened(Font);
        row.edit(doc);
        const std::string saved = bdfDocumentText(doc);
        for (const std::string& want : row.present)
            EXPECT_NE(std::string::npos, saved.find(want)) << row.what << "\n" << saved;
        for (const std::string& gone : row.absent)
            EXPECT_EQ(std::string::npos, saved.find(gone)) << row.what << "\n" << saved;
        EXPECT_EQ(0u, saved.rfind("STARTFONT 2.1\nCOMMENT kept as it is\nFONT -Test", 0))
            << row.what;
    }
}

TEST(BdfDocument, LineEndsOfTheFileAreKept) {
    std::string crlf;
    for (char c : Font) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    BdfDocument doc = opened(crlf);
    EXPECT_EQ(crlf, bdfDocumentText(doc));
    ASSERT_TRUE(doc.setGlyph(0, shape(0, 0, 7, {"1"})).ok());
    doc.addGlyph(0x41 + 100);
    const std::string saved = bdfDocumentText(doc);
    EXPECT_NE(std::string::npos,
              saved.find("STARTCHAR A\r\nENCODING 65\r\nSWIDTH 875 0\r\nDWIDTH 7 0\r\n"
                         "BBX 1 1 0 0\r\nBITMAP\r\n80\r\nENDCHAR\r\n"))
        << saved;
    EXPECT_NE(std::string::npos, saved.find("STARTCHAR uni00A5\r\n"));
    size_t bare = 0;
    for (size_t i = 0; i < saved.size(); ++i) bare += saved[i] == '\n' && saved[i - 1] != '\r';
    EXPECT_EQ(0u, bare);
}

TEST(BdfDocument, LookupAndRefusedEdits) {
    std::string twice = Font;
    twice.replace(twice.find("ENCODING 67"), 11, "ENCODING 65");
    BdfDocument doc = opened(twice);
    EXPECT_EQ(0, doc.glyphIndexOf(65));
    EXPECT_EQ(1, doc.glyphIndexOf(66));
    EXPECT_EQ(-1, doc.glyphIndexOf(67));
    EXPECT_EQ(1, doc.duplicateEncodings);
    EXPECT_EQ(-1, doc.addGlyph(65));
    EXPECT_EQ(-1, doc.addGlyph(0x110000));
    EXPECT_EQ(-1, doc.addGlyph(-1));
    const BdfGlyphShape refused[] = {shape(0, 0, 6, std::vector<std::string>(257, "1")),
                                     shape(1001, 0, 6, {"1"}), shape(0, 0, -1001, {"1"})};
    for (const BdfGlyphShape& s : refused) EXPECT_FALSE(doc.setGlyph(0, s).ok());
    BdfGlyphShape wrongRows = shape(0, 0, 6, {"11111111", "1"});
    wrongRows.rows.pop_back();
    EXPECT_FALSE(doc.setGlyph(0, wrongRows).ok());
    EXPECT_FALSE(doc.changed());
    EXPECT_EQ(twice, bdfDocumentText(doc));
}

TEST(BdfDocument, TrimmedToDotsKeepsEveryDotInPlace) {
    using Box = std::vector<int>; // width, height, x, y, advance, then the packed rows
    const std::pair<BdfGlyphShape, Box> rows[] = {
        {shape(0, -2, 8, {"0000", "0110", "0100", "0000"}), {2, 2, 1, -1, 8, 3, 1}},
        {shape(3, 4, 8, {"000000001", "000000000"}), {1, 1, 11, 5, 8, 1}},
        {shape(0, 0, 8, {"000", "000"}), {0, 0, 0, 0, 8}},
    };
    for (const auto& [in, want] : rows) {
        const BdfGlyphShape t = trimmedToDots(in);
        Box got = {t.width, t.height, t.xOffset, t.yOffset, t.advance};
        got.insert(got.end(), t.rows.begin(), t.rows.end());
        EXPECT_EQ(want, got);
    }
}

// bdftopcf takes what we save after every kind of edit, and pcf2bdf reads
// back from its PCF the dots and metrics we set; FontForge counts the glyphs.
TEST(BdfDocument, EditedFontIsReadByTheX11ToolsAndFontForge) {
    if (!haveTool("bdftopcf") || !haveTool("pcf2bdf")) {
        GTEST_SKIP() << "bdftopcf (xfonts-utils) and pcf2bdf are not installed";
    }
    TempDir dir;
    const std::string in = dir.file("in.bdf"), out = dir.file("out.bdf");
    writeBytes(in, Font);
    BdfDocument doc;
    ASSERT_TRUE(readBdfDocument(in, doc).ok());
    ASSERT_TRUE(doc.setGlyph(0, shape(-1, 0, 10, {"100000001", "111111111"})).ok());
    doc.deleteGlyph(doc.glyphIndexOf(66));
    const int added = doc.addGlyph(0x4E00);
    ASSERT_TRUE(doc.setGlyph(added, shape(0, 3, 8, {"11111"})).ok());
    ASSERT_TRUE(doc.setGlyph(doc.glyphIndexOf(67), shape(0, 0, 7, {"111"})).ok());
    ASSERT_TRUE(saveBdfDocument(out, doc).ok());
    EXPECT_FALSE(doc.changed());
    EXPECT_EQ(readBytes(out), doc.text);

    const std::string back = runOutput("bdftopcf " + out + " | pcf2bdf");
    ASSERT_EQ(std::string::npos, back.find("FAILED")) << back;
    EXPECT_NE(std::string::npos, back.find("CHARS 3\n")) << back;
    EXPECT_EQ("", glyphText(back, "ENCODING 66"));
    struct Expect {
        const char* encoding;
        const char* metrics;
        const char* rows;
    } expects[] = {
        {"ENCODING 65", "DWIDTH 10 0\nBBX 9 2 -1 0\n", "BITMAP\n8080\nFF80\nENDCHAR"},
        {"ENCODING 19968", "DWIDTH 8 0\nBBX 5 1 0 3\n", "BITMAP\nF8\nENDCHAR"},
        {"ENCODING 67", "DWIDTH 7 0\nBBX 3 1 0 0\n", "BITMAP\nE0\nENDCHAR"},
    };
    for (const Expect& e : expects) {
        const std::string glyph = glyphText(back, e.encoding);
        EXPECT_NE(std::string::npos, glyph.find(e.metrics)) << e.encoding << "\n" << glyph;
        EXPECT_NE(std::string::npos, glyph.find(e.rows)) << e.encoding << "\n" << glyph;
    }
    if (!haveTool("fontforge")) {
        GTEST_SKIP() << "fontforge (fontforge-nox) is not installed";
    }
    const std::string count = runOutput(
        "fontforge -quiet -lang=ff -c 'Open($1); SelectWorthOutputting(); n = 0; foreach; n++; "
        "endloop; Print(n)' " +
        out + " 2>/dev/null");
    EXPECT_EQ("3\n", count);
}

// Every bitmap font Debian installs under /usr/share/fonts/X11, as pcf2bdf
// writes it: opened, saved byte for byte, and read to the same dots by the
// reader the imports and font-subset --from use.
TEST(BdfDocument, DebianBitmapFontsSaveUnchangedAndReadAlike) {
    namespace fs = std::filesystem;
    const fs::path root = "/usr/share/fonts/X11";
    std::vector<std::string> fonts;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->path().string().ends_with(".pcf.gz")) fonts.push_back(it->path().string());
    }
    if (fonts.empty() || !haveTool("pcf2bdf")) {
        GTEST_SKIP() << "no PCF fonts under " << root << " (xfonts-base, xfonts-unifont) or no "
                     << "pcf2bdf";
    }
    for (const std::string& pcf : fonts) {
        const std::string text = runOutput("gzip -dc '" + pcf + "' | pcf2bdf");
        BdfDocument doc;
        const Outcome read = parseBdfDocument(text, pcf, doc);
        ASSERT_TRUE(read.ok()) << read.message.text;
        ASSERT_EQ(text, bdfDocumentText(doc)) << pcf;
        BdfFont font;
        ASSERT_TRUE(parseBdf(text, pcf, font).ok()) << pcf;
        ASSERT_EQ(font.glyphs.size(), doc.glyphs.size()) << pcf;
        for (size_t i = 0; i < font.glyphs.size(); ++i) {
            const BdfGlyph& a = font.glyphs[i];
            const BdfDocGlyph& b = doc.glyphs[i];
            ASSERT_EQ(a.encoding, b.encoding) << pcf << " glyph " << i;
            ASSERT_EQ(std::make_pair(a.width, a.height), std::make_pair(b.width, b.height)) << pcf;
            for (int y = 0; y < a.height; ++y) {
                for (int x = 0; x < a.width; ++x) {
                    ASSERT_EQ(a.dots[static_cast<size_t>(y * a.width + x)] == '1', b.dot(x, y))
                        << pcf << " glyph " << i << " at " << x << "," << y;
                }
            }
        }
    }
}
