#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "clirun.h"
#include "document/patternfile.h"
#include "editor.h"
#include "fonts/big5.h"
#include "grid/drawingtools.h"
#include "image/imagefile.h"
#include "panel/tables.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::readBytes;
using dedur::test::TempDir;
using dedur::test::writeBytes;

using dedur::test::Cli;
using dedur::test::CliResult;
using dedur::test::Refusal;

TEST_F(Cli, HelpAndVersion) {
    EXPECT_EQ(0, run("--help").status);
    const CliResult help = run("export --help");
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.out.find("--binary"));
    EXPECT_EQ("dedur-cli " DEDUR_VERSION "\n", run("--version").out);
}

// Every refusal: the exit status, what stderr says, and no file touched.

const Refusal Refusals[] = {
    {"", 2, "usage:"},
    {"frobnicate", 2, "unknown command frobnicate"},
    {"info a.pat --bogus", 2, "unknown option --bogus"},
    {"new", 2, "wrong number of arguments"},
    {"new x.pat --size 12", 2, "--size must look like 12x12, each side 2..96"},
    {"new x.pat --size 1x8", 2, "--size must look like 12x12, each side 2..96"},
    {"new x.pat --count 3x", 2, "--count must be a whole number from 1"},
    {"new x.pat --seg 97", 2, "--seg must be a whole number from 1 to 96"},
    {"new x.pat --com 0", 2, "--com must be a whole number from 1 to 48"},
    {"new x.pat --lr 2 --tb 3", 1, "(Left to Right) and (Top to Bottom) attribute conflict !\n"},
    {"new x.pat --seg 96 --size 2x2", 1, "Width too large ! ( Max Seg=1, Begin Seg=96 )\n"},
    {"new a.pat", 1, "\"a.pat\" exists; give --force to replace it"},
    {"new x.pat --count 2000000000 --size 96x48", 1, "could not be loaded"},
    {"info bad.pat", 1, "No pattern in file\n"},
    {"info none.pat", 1, "none.pat\" not found"},
    {"info /dev/zero", 1, "\"/dev/zero\" is not a regular file"},
    {"info fifo/ASCFONT.15", 1, "is not a regular file"},
    {"info esc\x1b[2J.pat", 1, "Pattern file \"esc\\x1b[2J.pat\" not found"},
    {"draw a.pat --pattern 1 line 0,0 12,3", 1, "outside the 12x12 pattern"},
    {"draw a.pat --pattern 3 point 0,0", 1, ""},
    {"draw a.pat --pattern 1 point -1,0", 1, "outside"},
    {"draw a.pat --pattern 1 spray 0,0", 2, "unknown tool spray"},
    {"draw a.pat point 0,0", 2, "--pattern N is required"},
    {"export a.pat x.DAT --range 5-", 1, "ERROR: Invalid Panel No. Range ?\n"},
    {"export a.pat old.DAT", 1, "exists"},
    {"export a.pat x.DAT --pattern 3", 1, ""},
    {"export a.pat x.DAT --all --pattern 1", 2, "only one of"},
    {"export a.pat x.DAT --lr 0 --tb 1", 1, "attribute conflict"},
    {"export off.pat x.DAT", 1, "Panel No. 1 runs off the panel (SEG 1, COM 49)"},
    {"table a.pat old.DAT", 1, "\"old.DAT\" exists; give --force to replace it\n"},
    {"table a.pat ./a.pat --force", 1, "\"./a.pat\" is the input file"},
    {"table a.pat a.pat --force", 1, "\"a.pat\" is the input file; give another output"},
    {"transform wide.pat --pattern 1 rotate-left", 1,
     "Height too large ! ( Max Com=48, Begin Com=1 )\n"},
    {"transform a.pat --pattern 1 spin", 2, "unknown transform spin"},
    {"transform a.pat --pattern 1 shift", 2, "shift needs DX,DY"},
    {"transform a.pat --pattern 1 invert 1,1", 2, "only shift takes DX,DY"},
    {"transform a.pat --pattern 3 invert", 1, "Pattern 3 is not in \"a.pat\" (it holds 2)"},
    {"transform a.pat --pattern 1 shift 2147483647,0 --wrap", 2, "each -96..96"},
    {"transform a.pat --pattern 1x invert", 2, "--pattern must be a whole number"},
    {"import-panel a.pat asm.DAT --pattern 1", 1, "Line 3 is not a \".DB\" line"},
    {"import-panel a.pat old.DAT --append --size 97x2 --seg 1 --com 1", 2,
     "--size must look like 12x12, each side 1..96"},
    {"import-panel a.pat old.DAT --append --size 8x8 --seg 65537 --com 1", 2,
     "--seg must be a whole number from 1 to 96"},
    {"import-panel a.pat old.DAT --append --size 8x8 --seg 1 --com 65537", 2,
     "--com must be a whole number from 1 to 48"},
    {"import-panel a.pat /dev/zero --pattern 1", 1,
     "Could not read \"/dev/zero\": it is not a regular file"},
    {"import-panel a.pat none\x07.DAT --pattern 1", 1,
     "Could not read \"none\\x07.DAT\": there is no such file"},
    {"import-panel a.pat old.DAT", 2, "give either --pattern N or --append"},
    {"import-panel a.pat old.BIN --pattern 1 --offset 767", 1, "run past the display memory's end"},
    {"import-image a.pat text.png --append", 1, "is not a PNG, PBM, XBM, GIF, BMP or JPEG image"},
    {"import-image a.pat wide.pbm --append", 1, "\"wide.pbm\" is 97 x 1 pixels"},
    {"import-image a.pat /dev/zero --append", 1, "\"/dev/zero\": it is not a regular file"},
    {"import-image a.pat huge.png --append", 1,
     "\"huge.png\" has 5700 x 5700 pixels; an image of more than 16777216 pixels"},
    {"import-image a.pat wide.pbm --append --threshold 300", 2, "0..255"},
    {"import-image a.pat wide.pbm", 2, "give either --pattern N or --append"},
    {"render a.pat x.png --scale 0", 2, "--scale must be 1..64"},
    {"glyph font.bin --number 65", 2, ""},
    {"glyph ASCFONT.15 --code A440", 2, ""},
    {"glyph ASCFONT.15 --number 65 --c-array x", 2, ""},
    {"glyph ASCFONT.15 --number 128", 1, ""},
    {"glyph STD24.fon --code A440", 1, "STD24.fon Open Failure !"},
    {"glyph fifo/ASCFONT.15 --number 1", 1, "Open Failure !\n(it is not a regular file)"},
    {"make-fonts a.pat", 1, "is not a directory"},
    {"make-fonts", 2, "wrong number of arguments"},
};

TEST_F(Cli, RefusalsSayWhyAndTouchNoFile) {
    ASSERT_EQ(0, run("new a.pat --count 2").status);
    ASSERT_EQ(0, run("new wide.pat --size 60x2").status);
    std::string rows;
    for (int i = 0; i < 12; ++i) rows += "000000000000\r\n";
    writeBytes(path("off.pat"), "PATTERN\r\n1\r\nSIZE 12 12 1 40 0 2\r\n" + rows);
    writeBytes(path("bad.pat"), "PATTERN\r\n1\r\n");
    writeBytes(path("old.DAT"), "old");
    writeBytes(path("old.BIN"), "old");
    writeBytes(path("asm.DAT"), "; ok\r\n.DB $01 ; 2000h ~ 2000h\r\n  LD A,1\r\n");
    writeBytes(path("text.png"), "not an image");
    writeBytes(path("wide.pbm"), "P1\n97 1\n" + std::string(97, '1') + "\n");
    // A PNG that claims 5700 x 5700 pixels: refused by its header alone.
    IndexedImage small{1, 1, {0}, {0, 0xFFFFFF}};
    std::string png = encodePng(small);
    png.replace(16, 8, std::string("\0\0\x16\x44\0\0\x16\x44", 8));
    writeBytes(path("huge.png"), png);
    // A pipe with a writer that never writes: a reader would wait for ever.
    std::filesystem::create_directory(path("fifo"));
    ::mkfifo(path("fifo/ASCFONT.15").c_str(), 0600);
    const int writer = ::open(path("fifo/ASCFONT.15").c_str(), O_RDWR | O_CLOEXEC);
    std::string ascii(128 * 15, '\0');
    writeBytes(path("ASCFONT.15"), ascii);
    writeBytes(path("font.bin"), ascii);
    const auto before = folderBytes();
    for (const Refusal& r : Refusals) {
        expectOutcome(r);
        EXPECT_EQ(before, folderBytes()) << r.line;
    }
    ::close(writer);
}

TEST_F(Cli, NewWritesWhatTheEditorWrites) {
    ASSERT_EQ(0, run("new a.pat --count 2 --size 16x8 --seg 20 --com 10 --lr 1 --tb 3").status);
    EXPECT_EQ(0u, readBytes(path("a.pat")).find("PATTERN\r\n2\r\nSIZE 16 8 20 10 1 3\r\n"));
    const CliResult info = run("info a.pat");
    EXPECT_EQ(0, info.status);
    EXPECT_EQ("1 16x8 seg=20 com=10 lr=1 tb=3\n2 16x8 seg=20 com=10 lr=1 tb=3\n", info.out);
    EXPECT_EQ(0, run("new a.pat --force").status); // refused without --force
    EXPECT_EQ("1 12x12 seg=1 com=1 lr=0 tb=2\n", run("info a.pat").out);
    // The smallest size, written with a capital X.
    EXPECT_EQ(0, run("new a.pat --size 2X2 --seg 2 --force").status);
    EXPECT_EQ("1 2x2 seg=2 com=1 lr=0 tb=2\n", run("info a.pat").out);
    // --lr 1 alone: rows run down from SEG 2 to SEG 1, so the left-top dot is
    // bit 0 of SEG 2's first byte, the last of the nine bytes from 2000h.
    ASSERT_EQ(0, run("draw a.pat --pattern 1 point 0,0").status);
    ASSERT_EQ(0, run("export a.pat a.BIN --binary --lr 1").status);
    EXPECT_EQ(std::string(8, '\0') + "\x01", readBytes(path("a.BIN")));
}

// Each stroke as the editor's tool makes it: the erase tool clears where it
// is pressed and where it moves to, the ellipse may reach one past the edge.
TEST_F(Cli, DrawAppliesTheEditorsStrokes) {
    ASSERT_EQ(0, run("new a.pat --size 8x6 --count 2").status);
    const char* strokes[] = {
        "1 ellipse 0,0 8,6", "1 fill-rect 3,2 4,3", "2 rect 1,0 6,4", "2 fill-ellipse 2,1 6,4",
        "2 line 0,5 7,2",    "2 erase 6,0 6,4",     "2 point 0,0",    "2 point 7,5 4,5 4,4"};
    for (const char* stroke : strokes) {
        ASSERT_EQ(0, run(std::string("draw a.pat --pattern ") + stroke).status) << stroke;
    }
    using Rows = std::vector<std::string>;
    EXPECT_EQ((Rows{"00111100", "01000010", "10011001", "10011001", "01000010", "00111100"}),
              rows("a.pat", 0));
    EXPECT_EQ((Rows{"11111100", "01011000", "01111101", "01111100", "01111100", "11001111"}),
              rows("a.pat", 1));
}

// The pattern list edited from the command line: the dots and the names go
// with their patterns through add, delete and move; place is checked as the
// panel definition is.
TEST_F(Cli, AddDeleteMoveAndPlaceKeepPatternsAndNamesTogether) {
    ASSERT_EQ(0, run("new l.pat --count 4 --size 3x2").status);
    for (const char* dot : {"1 point 0,0", "2 point 1,0", "3 point 2,0", "4 point 0,1"}) {
        ASSERT_EQ(0, run(std::string("draw l.pat --pattern ") + dot).status);
    }
    ASSERT_EQ(0, run("names l.pat --pattern 2 two").status);
    ASSERT_EQ(0, run("names l.pat --pattern 4 four").status);
    const auto state = [&] { return run("info l.pat").out + run("names l.pat").out; };

    ASSERT_EQ(0, run("add l.pat --at 2 --count 2 --size 2x2 --seg 5").status);
    EXPECT_EQ("1 3x2 seg=1 com=1 lr=0 tb=2\n2 2x2 seg=5 com=1 lr=0 tb=2\n"
              "3 2x2 seg=5 com=1 lr=0 tb=2\n4 3x2 seg=1 com=1 lr=0 tb=2\n"
              "5 3x2 seg=1 com=1 lr=0 tb=2\n6 3x2 seg=1 com=1 lr=0 tb=2\n4 two\n6 four\n",
              state());
    ASSERT_EQ(0, run({"delete", "l.pat", "--range", "1, 3"}).status);
    ASSERT_EQ(0, run("move l.pat --pattern 4 --to 1").status);
    EXPECT_EQ("1 3x2 seg=1 com=1 lr=0 tb=2\n2 2x2 seg=5 com=1 lr=0 tb=2\n"
              "3 3x2 seg=1 com=1 lr=0 tb=2\n4 3x2 seg=1 com=1 lr=0 tb=2\n1 four\n3 two\n",
              state());
    using Rows = std::vector<std::string>;
    EXPECT_EQ((Rows{"000", "100"}), rows("l.pat", 0)); // "four"
    EXPECT_EQ((Rows{"010", "000"}), rows("l.pat", 2)); // "two"
    EXPECT_EQ((Rows{"001", "000"}), rows("l.pat", 3));

    // Refusals change nothing.
    const std::string before = state();
    const Refusal refusals[] = {
        {"place l.pat --range 1-2 --seg 95", 1,
         "Pattern 1: Width too large ! ( Max Seg=2, Begin Seg=95 )"},
        {"place l.pat --all --lr 2", 1, "attribute conflict"},
        {"delete l.pat --range 1-9", 1, "keeps at least one pattern"},
        {"move l.pat --pattern 5 --to 1", 1, "Pattern 5 is not in"},
        {"add l.pat --at 9", 1, "past the end"},
        {"delete l.pat", 2, "give one of --pattern and --range"},
    };
    for (const Refusal& r : refusals) expectOutcome(r);
    EXPECT_EQ(before, state());
    ASSERT_EQ(0, run("place l.pat --all --seg 20 --com 4 --lr 1").status);
    EXPECT_EQ("1 3x2 seg=20 com=4 lr=1 tb=2\n2 2x2 seg=20 com=4 lr=1 tb=2\n"
              "3 3x2 seg=20 com=4 lr=1 tb=2\n4 3x2 seg=20 com=4 lr=1 tb=2\n1 four\n3 two\n",
              state());
}

// Block K of a binary export of several patterns comes back into a file
// that --append makes; an appended image takes the place it is given.
TEST_F(Cli, ImportsAppendWhereTheyAreToldTo) {
    ASSERT_EQ(0, run("new s.pat --size 4x2 --count 3").status);
    ASSERT_EQ(0, run("draw s.pat --pattern 2 point 0,0 3,1").status);
    ASSERT_EQ(0, run("export s.pat all.BIN --all --binary").status);
    ASSERT_EQ(0, run("import-panel made.pat all.BIN --append --size 4x2 --seg 1 --com 1 "
                     "--panel 2")
                     .status);
    EXPECT_EQ("PATTERN\r\n1\r\nSIZE 4 2 1 1 0 2\r\n1100\r\n0011\r\n", readBytes(path("made.pat")));
    const CliResult past =
        run("import-panel made.pat all.BIN --append --size 4x2 --seg 1 --com 1 --panel 4");
    EXPECT_EQ(1, past.status);
    EXPECT_NE(std::string::npos, past.err.find("holds 75 bytes, not 4 or more blocks of 25"));

    writeBytes(path("dot.pbm"), "P1\n3 2\n1 0 0\n0 0 0\n");
    ASSERT_EQ(0, run("import-image made.pat dot.pbm --append --seg 90 --com 2 --lr 1").status);
    EXPECT_EQ("1 4x2 seg=1 com=1 lr=0 tb=2\n2 3x2 seg=90 com=2 lr=1 tb=2\n",
              run("info made.pat").out);
    const CliResult off = run("import-image made.pat dot.pbm --append --seg 95");
    EXPECT_EQ(1, off.status);
    EXPECT_NE(std::string::npos, off.err.find("Width too large ! ( Max Seg=2, Begin Seg=95 )"));
}

TEST_F(Cli, TransformTurnsAndShifts) {
    ASSERT_EQ(0, run("new a.pat --size 3x2").status);
    ASSERT_EQ(0, run("draw a.pat --pattern 1 point 0,0").status);
    ASSERT_EQ(0, run("transform a.pat --pattern 1 rotate-right").status);
    EXPECT_EQ((std::vector<std::string>{"01", "00", "00"}), rows("a.pat", 0));
    ASSERT_EQ(0, run("transform a.pat --pattern 1 shift -1,2 --wrap").status);
    EXPECT_EQ((std::vector<std::string>{"00", "00", "10"}), rows("a.pat", 0));
}

// Display memory written by hand: SEG 2..4 at COM 9 and 10 are bits 0 and 1
// of bytes 9, 17 and 25, as .DB lines or as raw bytes from byte 9.
TEST_F(Cli, ImportPanelReadsHandWrittenMemory) {
    writeBytes(path("m.DAT"), ".DB $01 ; 2009h ~ 2009h\r\n.DB $02 ; 2011h ~ 2011h\r\n"
                              ".DB $03 ; 2019h ~ 2019h\r\n");
    std::string bytes(17, '\0');
    bytes[0] = 1, bytes[8] = 2, bytes[16] = 3;
    writeBytes(path("m.BIN"), bytes);
    for (const std::string memory : {"m.DAT", "m.BIN --offset 9"}) {
        ASSERT_EQ(0, run("new b.pat --size 3x2 --seg 2 --com 9 --force").status);
        const CliResult r = run("import-panel b.pat " + memory + " --pattern 1");
        ASSERT_EQ(0, r.status) << r.err;
        EXPECT_EQ((std::vector<std::string>{"101", "011"}), rows("b.pat", 0)) << memory;
    }
}

TEST_F(Cli, RenderAndImportImageRoundTrip) {
    ASSERT_EQ(0, run("new a.pat --size 9x5 --count 2").status);
    ASSERT_EQ(0, run("draw a.pat --pattern 2 ellipse 0,0 9,5").status);
    ASSERT_EQ(0, run("render a.pat two.png --pattern 2 --scale 3").status);
    RgbaImage image;
    ASSERT_TRUE(readImageFile(path("two.png"), image).ok());
    EXPECT_EQ(27, image.width);
    EXPECT_EQ(15, image.height);
    ASSERT_EQ(0, run("render a.pat one.png --pattern 2 --scale 1").status);
    ASSERT_EQ(0, run("import-image a.pat one.png --append").status);
    ASSERT_EQ(0, run("import-image a.pat one.png --pattern 1 --invert").status);
    EXPECT_EQ(rows("a.pat", 1), rows("a.pat", 2));
    std::vector<std::string> inverted = rows("a.pat", 1);
    for (std::string& row : inverted) {
        for (char& c : row) c = c == '1' ? '0' : '1';
    }
    EXPECT_EQ(inverted, rows("a.pat", 0));
    ASSERT_EQ(0, run("render a.pat all.png --all --grid").status);

    // PBM and XBM, as ImageMagick reads them: the dots, one pixel each.
    for (const char* out : {"two.pbm", "two.xbm"}) {
        ASSERT_EQ(0, run(std::string("render a.pat ") + out + " --pattern 2 --scale 1").status);
        const std::string plain = path(std::string(out) + ".txt");
        ASSERT_EQ(0,
                  std::system(("convert " + path(out) + " -compress none pbm:" + plain).c_str()));
        std::istringstream words(readBytes(plain));
        std::string magic, bit;
        int width = 0, height = 0;
        words >> magic >> width >> height;
        ASSERT_EQ(9, width) << out;
        std::vector<std::string> read(static_cast<size_t>(height));
        for (std::string& row : read) {
            for (int x = 0; x < width && words >> bit; ++x) row += bit;
        }
        EXPECT_EQ(rows("a.pat", 1), read) << out;
    }
    // The XBM comes back in as the same dots.
    ASSERT_EQ(0, run("import-image a.pat two.xbm --append").status);
    EXPECT_EQ(rows("a.pat", 1), rows("a.pat", 3));
}

// A datasheet sheet: patterns of different heights stand on one line, each in
// a grey frame, and their labels are black ink under them.
TEST_F(Cli, SheetFramesThePatternsOnOneLine) {
    ASSERT_EQ(0, run("new s.pat --size 2x2").status);
    ASSERT_EQ(0, run("add s.pat --size 2x6").status);
    ASSERT_EQ(0, run("render s.pat sheet.png --all --scale 1").status);
    RgbaImage sheet;
    ASSERT_TRUE(readImageFile(path("sheet.png"), sheet).ok());
    const auto grey = [&](int x, int y) {
        const uint8_t* p = sheet.rgba.data() + 4 * (static_cast<size_t>(y) * sheet.width + x);
        return p[0] == 0xC0 && p[1] == 0xC0 && p[2] == 0xC0;
    };
    // The lowest grey row in each half of the sheet: the frames' bottoms.
    int bottom[2] = {-1, -1};
    int black = 0;
    for (int y = 0; y < sheet.height; ++y) {
        for (int x = 0; x < sheet.width; ++x) {
            if (grey(x, y)) bottom[x * 2 / sheet.width] = y;
            black += sheet.rgba[4 * (static_cast<size_t>(y) * sheet.width + x)] == 0;
        }
    }
    EXPECT_GE(bottom[0], 0);
    EXPECT_EQ(bottom[0], bottom[1]);
    EXPECT_GT(black, 100); // the labels' ink
}

TEST_F(Cli, ExportWritesTheChosenPatternsInTheChosenDirections) {
    ASSERT_EQ(0, run("new a.pat --count 4 --size 2x2").status);
    ASSERT_EQ(0, run("draw a.pat --pattern 2 line 0,0 1,0").status);
    const std::pair<const char*, const char*> choices[] = {
        {"", "1"}, {"--all", "1234"}, {"--range 4,2-3", "234"}, {"--pattern 3", "3"}};
    for (const auto& [options, panels] : choices) {
        ASSERT_EQ(0, run(std::string("export a.pat out --force ") + options).status);
        const std::string text = readBytes(path("out"));
        std::string exported;
        for (size_t at = 0; (at = text.find("Panel No. ", at)) != std::string::npos; at += 10)
            exported += text[at + 10];
        EXPECT_EQ(panels, exported) << options;
    }
    // Pattern 2's top row: along SEG by default, along COM with --lr 2 --tb 0.
    ASSERT_EQ(0, run("export a.pat out --force --pattern 2 --binary").status);
    EXPECT_EQ(std::string("\x01\0\0\0\0\0\0\0\x01", 9), readBytes(path("out")));
    ASSERT_EQ(0, run("export a.pat out --force --pattern 2 --binary --lr 2 --tb 0").status);
    EXPECT_EQ(std::string("\x03\0\0\0\0\0\0\0\0", 9), readBytes(path("out")));

    // A pattern stored at SEG 96 running leftwards fits by its own directions;
    // --lr 0 for all of them sends it off the panel.
    writeBytes(path("left.pat"), "PATTERN\r\n1\r\nSIZE 2 1 96 1 1 2\r\n11\r\n");
    ASSERT_EQ(0, run("export left.pat out --force --binary").status);
    EXPECT_EQ(std::string("\x01\0\0\0\0\0\0\0\x01", 9), readBytes(path("out")));
    const CliResult refused = run("export left.pat out --force --binary --lr 0");
    EXPECT_EQ(1, refused.status);
    EXPECT_NE(std::string::npos, refused.err.find("runs off the panel (SEG 97, COM 1)"));
    EXPECT_EQ(1, run("export left.pat out --force --tb 1").status); // both along SEG
}

// One screen: three patterns' dots in one display memory. Pattern 1's dot is
// SEG 1 COM 1 (byte 0, bit 0), pattern 3's SEG 2 COM 2 (byte 8, bit 1) and
// pattern 2, placed at SEG 2, has its dot on SEG 3 COM 1 (byte 16, bit 0).
TEST_F(Cli, ExportScreenCombinesThePatterns) {
    ASSERT_EQ(0, run("new s.pat --size 2x2 --count 3").status);
    ASSERT_EQ(0, run("place s.pat --pattern 2 --seg 2").status);
    for (const char* dot : {"1 point 0,0", "2 point 1,0", "3 point 1,1"}) {
        ASSERT_EQ(0, run(std::string("draw s.pat --pattern ") + dot).status);
    }
    ASSERT_EQ(0, run("export s.pat s.DAT --screen --all").status);
    EXPECT_EQ(std::string(66, ';') +
                  "\r\n;   Screen of Panel No. 1-3\r\n"
                  ";   LCD Memory Address : $2000 ~ $2010 [ Size= 17 Bytes (Dec) ]\r\n" +
                  std::string(66, ';') +
                  "\r\n.DB $01,$00,$00,$00,$00,$00,$00,$00 ; 2000h ~ 2007h\r\n"
                  ".DB $02,$00,$00,$00,$00,$00,$00,$00 ; 2008h ~ 200Fh\r\n"
                  ".DB $01 ; 2010h ~ 2010h\r\n",
              readBytes(path("s.DAT")));
    ASSERT_EQ(0,
              run({"export", "s.pat", "s.BIN", "--screen", "--binary", "--range", "1, 2"}).status);
    std::string expected(17, '\0');
    expected[0] = 1, expected[16] = 1;
    EXPECT_EQ(expected, readBytes(path("s.BIN")));
}

TEST_F(Cli, TableWritesHexTable) {
    ASSERT_EQ(0, run("new a.pat --size 12x2").status);
    ASSERT_EQ(0, run("draw a.pat --pattern 1 line 0,0 3,0").status);
    ASSERT_EQ(0, run("table a.pat").status);
    EXPECT_EQ("F0,00\r\n00,00\r\n\r\n", readBytes(path("HEX.TAB")));
    writeBytes(path("other.tab"), "old");
    ASSERT_EQ(0, run("table a.pat other.tab --force").status);
    EXPECT_EQ(readBytes(path("HEX.TAB")), readBytes(path("other.tab")));
}

TEST_F(Cli, FailedWritesKeepTheOldFile) {
    ASSERT_EQ(0, run("new a.pat --size 96x48 --count 3").status);
    const std::string pattern = readBytes(path("a.pat"));
    std::filesystem::permissions(path("a.pat"), std::filesystem::perms(0444));
    const CliResult locked = run("draw a.pat --pattern 1 point 0,0");
    EXPECT_EQ(1, locked.status);
    EXPECT_EQ("a.pat\nfile open error !\n(the file is read-only)\n", locked.err);
    EXPECT_EQ(pattern, readBytes(path("a.pat")));

    writeBytes(path("out.DAT"), "old");
    const CliResult full = run("export a.pat out.DAT --all --force", 1);
    EXPECT_EQ(1, full.status);
    EXPECT_NE(std::string::npos, full.err.find("out.DAT\nfile open error !\n(File too large)"))
        << full.err;
    EXPECT_EQ("old", readBytes(path("out.DAT")));
    EXPECT_EQ(4u,
              std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator())); // a.pat, out.DAT, .out, .err
}

TEST_F(Cli, GlyphPrintsAndAppendsArrays) {
    // A 16x15 file whose record for A441 has its first row 0x80 0x01.
    std::string font(13094 * 30, '\0');
    font[30] = static_cast<char>(0x80);
    font[31] = 0x01;
    writeBytes(path("STD16X15.fon"), font);
    const CliResult printed = run("glyph STD16X15.fon --code A441");
    EXPECT_EQ(0, printed.status);
    std::string expectedRows = "1000000000000001\n";
    for (int i = 0; i < 14; ++i) expectedRows += std::string(16, '0') + "\n";
    EXPECT_EQ(expectedRows, printed.out);
    EXPECT_EQ(printed.out, run("glyph STD16X15.fon --number 2 --print").out);
    ASSERT_EQ(0, run("glyph STD16X15.fon --code a441 --c-array 16X15.TAB").status);
    ASSERT_EQ(0, run("glyph STD16X15.fon --number 1 --c-array 16X15.TAB").status);
    const std::string arrays = readBytes(path("16X15.TAB"));
    EXPECT_EQ(0u, arrays.find("unsigned char _szA441[]={\r\n0x80,0x01, 0x00,0x00, ")) << arrays;
    EXPECT_NE(std::string::npos, arrays.find(" };\r\nunsigned char _szA440[]={\r\n0x00,0x00, "));
    // The kind comes from the name, or from --kind.
    std::string ascii(128 * 15, '\0');
    ascii[65 * 15] = 0x18;
    writeBytes(path("ASCFONT.15"), ascii);
    writeBytes(path("font.bin"), ascii);
    const CliResult a = run("glyph ASCFONT.15 --number 65");
    EXPECT_EQ("00011000\n", a.out.substr(0, 9));
    EXPECT_EQ(a.out, run("glyph font.bin --kind 8x15 --number 65").out);
}

TEST_F(Cli, MakeFontsWritesFiveFilesAndKeepsEditedOnes) {
    const CliResult made = run("make-fonts .");
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
    const CliResult again = run("make-fonts .");
    EXPECT_EQ(0, again.status);
    EXPECT_NE(std::string::npos, again.out.find("ASCFONT.15: kept")) << again.out;
    EXPECT_EQ("edited", readBytes(path("ASCFONT.15")));
    EXPECT_EQ(0, run("make-fonts . --force").status);
    EXPECT_EQ(size_t{128 * 15}, readBytes(path("ASCFONT.15")).size());
}
