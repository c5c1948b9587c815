#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

#include "document/patternfile.h"
#include "editor.h"
#include "fonts/big5.h"
#include "grid/drawingtools.h"
#include "image/imagefile.h"
#include "panel/panelexport.h"
#include "panel/tables.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::readBytes;
using dedur::test::TempDir;
using dedur::test::writeBytes;

namespace {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) {
        if (c == '\'') {
            q += "'\\''";
        } else {
            q.push_back(c);
        }
    }
    return q + "'";
}

class Cli : public ::testing::Test {
  protected:
    // `limit`: the shell's file size limit for the run, in blocks.
    CliResult run(const std::vector<std::string>& args, int limit = 0) {
        std::string command = "cd ";
        if (limit > 0) command = "ulimit -f " + std::to_string(limit) + " && cd ";
        command.append(quote(dir.path().string())).append(" && ").append(quote(DEDUR_CLI));
        for (const std::string& a : args) command.append(" ").append(quote(a));
        command.append(" >").append(quote(dir.file(".out")));
        command.append(" 2>").append(quote(dir.file(".err")));
        const int raw = std::system(command.c_str());
        CliResult r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readBytes(dir.file(".out"));
        r.err = readBytes(dir.file(".err"));
        return r;
    }

    std::string path(const std::string& name) const { return dir.file(name); }

    Document load(const std::string& name) {
        Document doc;
        EXPECT_TRUE(readPatternFile(doc, path(name)).ok());
        return doc;
    }

    TempDir dir;
};

} // namespace

TEST_F(Cli, HelpAndUsageErrors) {
    EXPECT_EQ(0, run({"--help"}).status);
    const CliResult help = run({"export", "--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.out.find("--binary"));
    EXPECT_EQ(2, run({}).status);
    EXPECT_EQ(2, run({"frobnicate"}).status);
    const CliResult unknown = run({"info", "a.pat", "--bogus"});
    EXPECT_EQ(2, unknown.status);
    EXPECT_NE(std::string::npos, unknown.err.find("unknown option --bogus"));
    EXPECT_EQ(2, run({"new"}).status);
    EXPECT_EQ(2, run({"new", "a.pat", "--size", "12"}).status);
}

TEST_F(Cli, NewWritesWhatTheEditorWrites) {
    ASSERT_EQ(0, run({"new", "a.pat", "--count", "2", "--size", "16x8", "--seg", "20", "--com",
                      "10", "--lr", "1", "--tb", "3"})
                     .status);
    Document doc;
    doc.panelDefinition = {20, 10, 16, 8, 1, 3};
    makeBlankDocument(doc);
    appendPattern(doc, nullptr);
    EXPECT_EQ(formatPatternFile(doc), readBytes(path("a.pat")));
    const CliResult info = run({"info", "a.pat"});
    EXPECT_EQ(0, info.status);
    EXPECT_EQ("1 16x8 seg=20 com=10 lr=1 tb=3\n2 16x8 seg=20 com=10 lr=1 tb=3\n", info.out);
}

TEST_F(Cli, NewRefusesWhatDoesNotFitAndKeepsFiles) {
    const CliResult conflict = run({"new", "a.pat", "--lr", "2", "--tb", "3"});
    EXPECT_EQ(1, conflict.status);
    EXPECT_EQ("(Left to Right) and (Top to Bottom) attribute conflict !\n", conflict.err);
    const CliResult wide = run({"new", "a.pat", "--seg", "96", "--size", "2x2"});
    EXPECT_EQ(1, wide.status);
    EXPECT_EQ("Width too large ! ( Max Seg=1, Begin Seg=96 )\n", wide.err);
    EXPECT_FALSE(std::filesystem::exists(path("a.pat")));
    writeBytes(path("b.pat"), "keep");
    EXPECT_EQ(1, run({"new", "b.pat"}).status);
    EXPECT_EQ("keep", readBytes(path("b.pat")));
    EXPECT_EQ(0, run({"new", "b.pat", "--force"}).status);
    EXPECT_EQ(1, run({"new", "c.pat", "--count", "2000000000", "--size", "96x48"}).status);
    EXPECT_FALSE(std::filesystem::exists(path("c.pat")));
}

TEST_F(Cli, InfoReportsReaderMessages) {
    writeBytes(path("bad.pat"), "PATTERN\r\n1\r\n");
    const CliResult r = run({"info", "bad.pat"});
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("No pattern in file\n", r.err);
    const CliResult missing = run({"info", "none.pat"});
    EXPECT_EQ(1, missing.status);
    EXPECT_NE(std::string::npos, missing.err.find("none.pat\" not found"));
}

// Each stroke as the editor's tool makes it: the erase tool clears where it
// is pressed and where it moves to, the ellipse may reach one past the edge.
TEST_F(Cli, DrawAppliesTheEditorsStrokes) {
    ASSERT_EQ(0, run({"new", "a.pat", "--size", "8x6", "--count", "2"}).status);
    const std::vector<std::vector<std::string>> strokes = {
        {"1", "ellipse", "0,0", "8,6"}, {"1", "fill-rect", "3,2", "4,3"},
        {"2", "rect", "1,0", "6,4"},    {"2", "fill-ellipse", "2,1", "6,4"},
        {"2", "line", "0,5", "7,2"},    {"2", "erase", "6,0", "6,4"},
        {"2", "point", "0,0"},
    };
    for (const auto& stroke : strokes) {
        std::vector<std::string> args = {"draw", "a.pat", "--pattern"};
        args.insert(args.end(), stroke.begin(), stroke.end());
        ASSERT_EQ(0, run(args).status) << stroke[1];
    }
    Document doc = load("a.pat");
    EXPECT_EQ((std::vector<std::string>{"00111100", "01000010", "10011001", "10011001", "01000010",
                                        "00111100"}),
              test::recordRows(doc, 0));
    EXPECT_EQ((std::vector<std::string>{"11111100", "01011010", "01111111", "01111110", "01111100",
                                        "11000000"}),
              test::recordRows(doc, 1));
}

TEST_F(Cli, DrawRefusesDotsOutsideAndKeepsTheFile) {
    ASSERT_EQ(0, run({"new", "a.pat", "--size", "8x8"}).status);
    const std::string before = readBytes(path("a.pat"));
    EXPECT_EQ(1, run({"draw", "a.pat", "--pattern", "1", "line", "0,0", "8,3"}).status);
    EXPECT_EQ(1, run({"draw", "a.pat", "--pattern", "2", "point", "0,0"}).status);
    EXPECT_EQ(1, run({"draw", "a.pat", "--pattern", "1", "point", "-1,0"}).status);
    EXPECT_EQ(2, run({"draw", "a.pat", "--pattern", "1", "spray", "0,0"}).status);
    EXPECT_EQ(2, run({"draw", "a.pat", "point", "0,0"}).status);
    EXPECT_EQ(before, readBytes(path("a.pat")));
    EXPECT_EQ(0, run({"draw", "a.pat", "--pattern", "1", "ellipse", "0,0", "8,8"}).status);
}

TEST_F(Cli, TransformTurnsShiftsAndRefuses) {
    const auto rows = [this] {
        Document doc = load("a.pat");
        return test::recordRows(doc, 0);
    };
    ASSERT_EQ(0, run({"new", "a.pat", "--size", "3x2"}).status);
    ASSERT_EQ(0, run({"draw", "a.pat", "--pattern", "1", "point", "0,0"}).status);
    ASSERT_EQ(0, run({"transform", "a.pat", "--pattern", "1", "rotate-right"}).status);
    EXPECT_EQ((std::vector<std::string>{"01", "00", "00"}), rows());
    ASSERT_EQ(0, run({"transform", "a.pat", "--pattern", "1", "shift", "-1,2", "--wrap"}).status);
    EXPECT_EQ((std::vector<std::string>{"00", "00", "10"}), rows());
    ASSERT_EQ(0, run({"new", "wide.pat", "--size", "60x2"}).status);
    const std::string before = readBytes(path("wide.pat"));
    const CliResult offPanel = run({"transform", "wide.pat", "--pattern", "1", "rotate-left"});
    EXPECT_EQ(1, offPanel.status);
    EXPECT_EQ("Height too large ! ( Max Com=48, Begin Com=1 )\n", offPanel.err);
    EXPECT_EQ(2, run({"transform", "wide.pat", "--pattern", "1", "spin"}).status);
    EXPECT_EQ(2, run({"transform", "wide.pat", "--pattern", "1", "shift"}).status);
    EXPECT_EQ(2, run({"transform", "wide.pat", "--pattern", "1", "invert", "1,1"}).status);
    EXPECT_EQ(1, run({"transform", "wide.pat", "--pattern", "2", "invert"}).status);
    EXPECT_EQ(before, readBytes(path("wide.pat")));
}

TEST_F(Cli, ImportPanelReadsBackWhatExportWrote) {
    ASSERT_EQ(0, run({"new", "a.pat", "--size", "16x8", "--seg", "90", "--com", "40", "--lr", "1",
                      "--tb", "3"})
                     .status);
    ASSERT_EQ(0, run({"draw", "a.pat", "--pattern", "1", "ellipse", "0,0", "16,8"}).status);
    for (const char* out : {"a.DAT", "a.BIN"}) {
        const std::string name = out;
        std::vector<std::string> exported = {"export", "a.pat", out, "--lr", "1", "--tb", "3"};
        if (name == "a.BIN") exported.push_back("--binary");
        ASSERT_EQ(0, run(exported).status);
        ASSERT_EQ(0, run({"new", "b.pat", "--size", "16x8", "--seg", "90", "--com", "40", "--lr",
                          "1", "--tb", "3", "--force"})
                         .status);
        const CliResult r =
            run({"import-panel", "b.pat", out, "--pattern", "1", "--lr", "1", "--tb", "3"});
        ASSERT_EQ(0, r.status) << r.err;
        Document a = load("a.pat");
        Document b = load("b.pat");
        EXPECT_EQ(test::recordRows(a, 0), test::recordRows(b, 0)) << out;
    }
    writeBytes(path("asm.DAT"), "; ok\r\n.DB $01 ; 2000h ~ 2000h\r\n  LD A,1\r\n");
    const std::string before = readBytes(path("b.pat"));
    const CliResult text = run({"import-panel", "b.pat", "asm.DAT", "--pattern", "1"});
    EXPECT_EQ(1, text.status);
    EXPECT_NE(std::string::npos, text.err.find("Line 3 is not a \".DB\" line")) << text.err;
    EXPECT_EQ(2, run({"import-panel", "b.pat", "a.BIN", "--append", "--size", "97x2", "--seg", "1",
                      "--com", "1"})
                     .status);
    EXPECT_EQ(2, run({"import-panel", "b.pat", "a.BIN"}).status);
    EXPECT_EQ(1,
              run({"import-panel", "b.pat", "a.BIN", "--pattern", "1", "--offset", "700"}).status);
    EXPECT_EQ(before, readBytes(path("b.pat")));
}

TEST_F(Cli, RenderAndImportImageRoundTripAndRefuse) {
    ASSERT_EQ(0, run({"new", "a.pat", "--size", "9x5", "--count", "2"}).status);
    ASSERT_EQ(0, run({"draw", "a.pat", "--pattern", "2", "ellipse", "0,0", "9,5"}).status);
    ASSERT_EQ(0, run({"render", "a.pat", "two.png", "--pattern", "2", "--scale", "3"}).status);
    RgbaImage image;
    ASSERT_FALSE(readImageFile(path("two.png"), image));
    EXPECT_EQ(27, image.width);
    EXPECT_EQ(15, image.height);
    ASSERT_EQ(0, run({"render", "a.pat", "one.png", "--pattern", "2", "--scale", "1"}).status);
    ASSERT_EQ(0, run({"import-image", "a.pat", "one.png", "--append"}).status);
    ASSERT_EQ(0, run({"import-image", "a.pat", "one.png", "--pattern", "1", "--invert"}).status);
    Document doc = load("a.pat");
    ASSERT_EQ(3, doc.patternCount);
    EXPECT_EQ(test::recordRows(doc, 1), test::recordRows(doc, 2));
    std::vector<std::string> inverted = test::recordRows(doc, 1);
    for (std::string& row : inverted) {
        for (char& c : row) c = c == '1' ? '0' : '1';
    }
    EXPECT_EQ(inverted, test::recordRows(doc, 0));
    ASSERT_EQ(0, run({"render", "a.pat", "all.png", "--all", "--grid"}).status);

    const std::string before = readBytes(path("a.pat"));
    writeBytes(path("text.png"), "not an image");
    const CliResult bad = run({"import-image", "a.pat", "text.png", "--append"});
    EXPECT_EQ(1, bad.status);
    EXPECT_NE(std::string::npos, bad.err.find("is not a PNG or PBM image")) << bad.err;
    writeBytes(path("wide.pbm"), "P1\n97 1\n" + std::string(97, '1') + "\n");
    const CliResult wide = run({"import-image", "a.pat", "wide.pbm", "--append"});
    EXPECT_EQ(1, wide.status);
    EXPECT_NE(std::string::npos, wide.err.find("97 x 1 pixels")) << wide.err;
    EXPECT_EQ(2,
              run({"import-image", "a.pat", "one.png", "--append", "--threshold", "300"}).status);
    EXPECT_EQ(2, run({"import-image", "a.pat", "one.png"}).status);
    EXPECT_EQ(before, readBytes(path("a.pat")));
    EXPECT_EQ(2, run({"render", "a.pat", "x.png", "--scale", "0"}).status);
    EXPECT_EQ(1, run({"render", "a.pat", "two.png"}).status); // exists, no --force
}

TEST_F(Cli, ExportMatchesTheCoreByteForByte) {
    ASSERT_EQ(0, run({"new", "a.pat", "--count", "4", "--size", "12x12"}).status);
    ASSERT_EQ(0, run({"draw", "a.pat", "--pattern", "3", "fill-rect", "0,0", "11,11"}).status);
    Document doc = load("a.pat");
    const Selection none;
    struct Case {
        std::vector<std::string> options;
        std::vector<uint8_t> flags;
        int type;
        int leftToRight;
        int topToBottom;
    };
    const Case cases[] = {
        {{}, {1, 0, 0, 0}, EXPORT_TEXT, 0, 2},
        {{"--pattern", "3", "--binary"}, {0, 0, 1, 0}, EXPORT_BINARY, 0, 2},
        {{"--all", "--lr", "2", "--tb", "0"}, {1, 1, 1, 1}, EXPORT_TEXT, 2, 0},
        {{"--range", "4, 2-3"}, {0, 1, 1, 1}, EXPORT_TEXT, 0, 2},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"export", "a.pat", "out", "--force"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        ASSERT_EQ(0, run(args).status);
        doc.panelDefinition.leftToRight = static_cast<int16_t>(c.leftToRight);
        doc.panelDefinition.topToBottom = static_cast<int16_t>(c.topToBottom);
        const ExportOutput expected = buildPanelExport(doc, none, c.flags, false, c.type);
        EXPECT_EQ(expected.bytes, readBytes(path("out")));
    }
    EXPECT_EQ(std::string(";;;"), readBytes(path("out")).substr(0, 3));
}

TEST_F(Cli, ExportRefusals) {
    ASSERT_EQ(0, run({"new", "a.pat", "--count", "2"}).status);
    const CliResult range = run({"export", "a.pat", "out", "--range", "5-"});
    EXPECT_EQ(1, range.status);
    EXPECT_EQ("ERROR: Invalid Panel No. Range ?\n", range.err);
    EXPECT_FALSE(std::filesystem::exists(path("out")));
    writeBytes(path("out"), "old");
    EXPECT_EQ(1, run({"export", "a.pat", "out"}).status);
    EXPECT_EQ("old", readBytes(path("out")));
    EXPECT_EQ(1, run({"export", "a.pat", "out", "--pattern", "3", "--force"}).status);
    EXPECT_EQ(2, run({"export", "a.pat", "out", "--all", "--pattern", "1"}).status);
    EXPECT_EQ(1, run({"export", "a.pat", "out", "--lr", "0", "--tb", "1", "--force"}).status);
    // A placement running off the panel is refused with a message.
    writeBytes(
        path("off.pat"), "PATTERN\r\n1\r\nSIZE 12 12 1 40 0 2\r\n" + [] {
            std::string rows;
            for (int i = 0; i < 12; ++i) rows += "000000000000\r\n";
            return rows;
        }());
    const CliResult off = run({"export", "off.pat", "out", "--force"});
    EXPECT_EQ(1, off.status);
    EXPECT_NE(std::string::npos, off.err.find("runs off the panel"));
    EXPECT_EQ("old", readBytes(path("out")));
}

TEST_F(Cli, TableWritesHexTable) {
    ASSERT_EQ(0, run({"new", "a.pat", "--size", "12x2"}).status);
    ASSERT_EQ(0, run({"draw", "a.pat", "--pattern", "1", "line", "0,0", "3,0"}).status);
    ASSERT_EQ(0, run({"table", "a.pat"}).status);
    EXPECT_EQ("F0,00\r\n00,00\r\n\r\n", readBytes(path("HEX.TAB")));
    ASSERT_EQ(0, run({"table", "a.pat", "other.tab"}).status);
    EXPECT_EQ(readBytes(path("HEX.TAB")), readBytes(path("other.tab")));
}

TEST_F(Cli, TableReplacesOnlyWithForceAndNeverItsInput) {
    ASSERT_EQ(0, run({"new", "a.pat", "--size", "8x2"}).status);
    const std::string pattern = readBytes(path("a.pat"));
    writeBytes(path("HEX.TAB"), "keep");
    const CliResult kept = run({"table", "a.pat"});
    EXPECT_EQ(1, kept.status);
    EXPECT_EQ("HEX.TAB exists; give --force to replace it\n", kept.err);
    EXPECT_EQ("keep", readBytes(path("HEX.TAB")));
    EXPECT_EQ(0, run({"table", "a.pat", "--force"}).status);
    EXPECT_EQ("00\r\n00\r\n\r\n", readBytes(path("HEX.TAB")));
    for (const char* self : {"a.pat", "./a.pat"}) {
        const CliResult same = run({"table", "a.pat", self, "--force"});
        EXPECT_EQ(1, same.status);
        EXPECT_EQ(std::string(self) + " is the input file; give another output file\n", same.err);
        EXPECT_EQ(pattern, readBytes(path("a.pat")));
    }
}

// Files that cannot be written or read: the old bytes stay, the reason is told.
TEST_F(Cli, FailedWritesKeepTheOldFile) {
    ASSERT_EQ(0, run({"new", "a.pat", "--size", "96x48", "--count", "3"}).status);
    const std::string pattern = readBytes(path("a.pat"));
    std::filesystem::permissions(path("a.pat"), std::filesystem::perms(0444));
    const CliResult locked = run({"draw", "a.pat", "--pattern", "1", "point", "0,0"});
    EXPECT_EQ(1, locked.status);
    EXPECT_EQ("a.pat\nfile open error !\n(the file is read-only)\n", locked.err);
    EXPECT_EQ(pattern, readBytes(path("a.pat")));

    writeBytes(path("out.DAT"), "old");
    const CliResult full = run({"export", "a.pat", "out.DAT", "--all", "--force"}, 1);
    EXPECT_EQ(1, full.status);
    EXPECT_NE(std::string::npos, full.err.find("out.DAT\nfile open error !\n(File too large)"))
        << full.err;
    EXPECT_EQ("old", readBytes(path("out.DAT")));
    EXPECT_EQ(4u,
              std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator())); // a.pat, out.DAT, .out, .err
}

TEST_F(Cli, FilesTooLargeOrOddAreRefusedWithAClearMessage) {
    writeBytes(path("huge.pat"), "PATTERN\r\n");
    std::filesystem::resize_file(path("huge.pat"), uint64_t{40} << 30);
    const CliResult huge = run({"info", "huge.pat"});
    EXPECT_EQ(1, huge.status);
    EXPECT_EQ("Pattern file \"huge.pat\" holds more patterns than can be loaded\n", huge.err);
    writeBytes(path("escape.pat"), "\x1b[2J\x1b]0;owned\x07\r\n");
    const CliResult escape = run({"info", "escape.pat"});
    EXPECT_EQ(1, escape.status);
    EXPECT_EQ("Pattern file head (\\x1b[2J\\x1b]0;owned\\x07)(PATTERN) error\n", escape.err);
}

TEST_F(Cli, GlyphPrintsAndAppendsArrays) {
    // A 16x15 file whose record for A441 has its first row 0x80 0x01.
    std::string font(13094 * 30, '\0');
    font[30] = static_cast<char>(0x80);
    font[31] = 0x01;
    writeBytes(path("STD16X15.fon"), font);
    const CliResult printed = run({"glyph", "STD16X15.fon", "--code", "A441"});
    EXPECT_EQ(0, printed.status);
    EXPECT_EQ(
        "1000000000000001\n" +
            [] {
                std::string rows;
                for (int i = 0; i < 14; ++i) rows += std::string(16, '0') + "\n";
                return rows;
            }(),
        printed.out);
    EXPECT_EQ(printed.out, run({"glyph", "STD16X15.fon", "--number", "2", "--print"}).out);
    ASSERT_EQ(0, run({"glyph", "STD16X15.fon", "--code", "a441", "--c-array", "16X15.TAB"}).status);
    ASSERT_EQ(0, run({"glyph", "STD16X15.fon", "--number", "1", "--c-array", "16X15.TAB"}).status);
    Document doc;
    doc.editType = EditMode::Font16x15;
    uint8_t record[30] = {0x80, 0x01};
    glyphToDots(doc, EditMode::Font16x15, record);
    std::string expected = glyphCArray(doc, 0xA441, 16, 15);
    uint8_t blank[30] = {};
    glyphToDots(doc, EditMode::Font16x15, blank);
    expected += glyphCArray(doc, 0xA440, 16, 15);
    EXPECT_EQ(expected, readBytes(path("16X15.TAB")));
}

TEST_F(Cli, GlyphKindsAndRefusals) {
    std::string ascii(128 * 15, '\0');
    ascii[65 * 15] = 0x18;
    writeBytes(path("ASCFONT.15"), ascii);
    writeBytes(path("font.bin"), ascii);
    const CliResult a = run({"glyph", "ASCFONT.15", "--number", "65"});
    EXPECT_EQ(0, a.status);
    EXPECT_EQ("00011000\n", a.out.substr(0, 9));
    EXPECT_EQ(a.out, run({"glyph", "font.bin", "--kind", "8x15", "--number", "65"}).out);
    EXPECT_EQ(2, run({"glyph", "font.bin", "--number", "65"}).status);
    EXPECT_EQ(2, run({"glyph", "ASCFONT.15", "--code", "A440"}).status);
    EXPECT_EQ(2, run({"glyph", "ASCFONT.15", "--number", "65", "--c-array", "x"}).status);
    EXPECT_EQ(1, run({"glyph", "ASCFONT.15", "--number", "128"}).status);
    const CliResult refused = run({"glyph", "STD24.fon", "--code", "C67F"});
    EXPECT_EQ(1, refused.status);
    const CliResult missing = run({"glyph", "STD24.fon", "--code", "A440"});
    EXPECT_EQ(1, missing.status);
    EXPECT_NE(std::string::npos, missing.err.find("STD24.fon Open Failure !"));
}

TEST_F(Cli, MakeFontsWritesFiveFilesAndKeepsEditedOnes) {
    const CliResult made = run({"make-fonts", "."});
    ASSERT_EQ(0, made.status) << made.err;
    const std::pair<const char*, size_t> files[] = {{"STD16X15.fon", 13094 * 30},
                                                    {"STD24.fon", 13094 * 72},
                                                    {"ASCFONT.15", 128 * 15},
                                                    {"SPCFONT.15", 408 * 30},
                                                    {"SPCFSUPP.15", 365 * 30}};
    for (const auto& [name, size] : files) {
        EXPECT_EQ(size, readBytes(path(name)).size()) << name;
        EXPECT_NE(std::string::npos, made.out.find(std::string(name) + ": ")) << made.out;
    }
    // An edited file stays unless --force is given.
    writeBytes(path("ASCFONT.15"), "edited");
    const CliResult again = run({"make-fonts", "."});
    EXPECT_EQ(0, again.status);
    EXPECT_NE(std::string::npos, again.out.find("ASCFONT.15: kept")) << again.out;
    EXPECT_EQ("edited", readBytes(path("ASCFONT.15")));
    EXPECT_EQ(0, run({"make-fonts", ".", "--force"}).status);
    EXPECT_EQ(size_t{128 * 15}, readBytes(path("ASCFONT.15")).size());
    // A file in the place of the folder is refused; no folder is a usage error.
    const CliResult notDir = run({"make-fonts", "ASCFONT.15"});
    EXPECT_EQ(1, notDir.status);
    EXPECT_NE(std::string::npos, notDir.err.find("is not a directory")) << notDir.err;
    EXPECT_EQ(2, run({"make-fonts"}).status);
}
