// GIF in and out through the real dedur-cli: GIFs written here byte by byte
// come in as the frames a viewer shows, hostile ones are refused from their
// headers with the sizes named, and render refuses what it cannot write.
// (What render writes is read back by ImageMagick in the animation tests.)
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "clirun.h"
#include "gifbytes.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::Cli;
using dedur::test::CliResult;
using dedur::test::gifFile;
using dedur::test::GifFrameBytes;
using dedur::test::lzwPlain;
using dedur::test::lzwZeros;
using dedur::test::peakKilobytes;
using dedur::test::readBytes;
using dedur::test::writeBytes;

namespace {

using Rows = std::vector<std::string>;

// A pattern file of the given patterns, each at SEG 1, COM 1.
std::string patternText(const std::vector<Rows>& patterns) {
    std::string text = "PATTERN\r\n" + std::to_string(patterns.size()) + "\r\n";
    for (const Rows& rows : patterns) {
        text += "SIZE " + std::to_string(rows[0].size()) + " " + std::to_string(rows.size()) +
                " 1 1 0 2\r\n";
        for (const std::string& row : rows) text += row + "\r\n";
    }
    return text;
}

// A frame of the given rows: '1' black (index 1), '0' white (0), '.' index 2,
// 't' index 3.
GifFrameBytes frame(int left, int top, const Rows& rows, int disposal = 0, int transparent = -1,
                    int delay = 0) {
    std::vector<uint8_t> pixels;
    for (const std::string& row : rows) {
        for (char c : row) pixels.push_back(c == '1' ? 1 : c == '.' ? 2 : c == 't' ? 3 : 0);
    }
    GifFrameBytes f;
    f.left = left;
    f.top = top;
    f.width = int(rows[0].size());
    f.height = int(rows.size());
    f.lzw = lzwPlain(pixels);
    f.disposal = disposal;
    f.transparent = transparent;
    f.delayHundredths = delay;
    return f;
}

// A frame cleared after it shows, its rows stored interlaced.
GifFrameBytes interlaced(const Rows& rows) {
    Rows stored;
    for (int y : test::interlacedRows(int(rows.size()))) stored.push_back(rows[size_t(y)]);
    GifFrameBytes f = frame(0, 0, stored, 2);
    f.interlaced = true;
    return f;
}

struct FramesCase {
    const char* name;
    int width, height;
    std::vector<GifFrameBytes> frames;
    std::vector<Rows> patterns; // the patterns appended, in order
};

// Expected rows worked out by hand: the screen starts clear (transparent),
// a frame's transparent pixels leave what is under them, disposal 2 clears
// the frame's area after it shows, 3 puts back what was there before it.
// clang-format off
const FramesCase FramesCases[] = {
    {"DisposalNoneKeepsTheFrameUnderTheNext", 4, 2, {frame(0, 0, {"1100", "0000"}, 1), frame(0, 0, {"tt1t", "tttt"}, 0, 3)},
     {{"1100", "0000"}, {"1110", "0000"}}},
    {"RestoreToBackgroundClearsOnlyItsArea", 4, 2, {frame(0, 0, {"1111", "1111"}, 1), frame(2, 0, {"11", "11"}, 2), frame(0, 0, {"tttt", "t1tt"}, 0, 3)},
     {{"1111", "1111"}, {"1111", "1111"}, {"1100", "1100"}}},
    {"RestoreToPreviousPutsBackTheScreen", 4, 2, {frame(0, 0, {"1000", "0000"}, 1), frame(0, 0, {"0111", "1111"}, 3), frame(0, 0, {"tttt", "ttt1"}, 0, 3)},
     {{"1000", "0000"}, {"0111", "1111"}, {"1000", "0001"}}},
    {"AFrameOverhangingTheRightEdgeIsCut", 4, 2, {frame(0, 0, {"0000", "0001"}, 1), frame(2, 0, {"1111", "1001"}, 1)},
     {{"0000", "0001"}, {"0011", "0010"}}},
    {"AFrameBelowTheScreenLeavesIt", 3, 2, {frame(0, 0, {"100", "001"}, 1), frame(0, 1, {"111", "111"}, 1)},
     {{"100", "001"}, {"100", "111"}}},
    {"InterlacedRowsComeInTheirPlaces", 2, 10, {interlaced({"10", "01", "11", "00", "10", "10", "01", "11", "01", "00"}), frame(0, 0, {"11"})},
     {{"10", "01", "11", "00", "10", "10", "01", "11", "01", "00"}, {"11", "00", "00", "00", "00", "00", "00", "00", "00", "00"}}},
    {"GreyIsClearAndRedIsBlackByThePasteRule", 4, 1, {frame(0, 0, {"1.0t"}), frame(0, 0, {"t.01"})},
     {{"1000"}, {"0001"}}},
};
// clang-format on

class GifFrames : public Cli, public ::testing::WithParamInterface<FramesCase> {};

TEST_P(GifFrames, ComeInAsTheScreenShowsThem) {
    const FramesCase& c = GetParam();
    writeBytes(path("a.pat"), patternText({{"00", "00"}}));
    writeBytes(path("in.gif"), gifFile(c.width, c.height, c.frames));
    const CliResult r = run("import-image a.pat in.gif --append");
    ASSERT_EQ(0, r.status) << r.err;
    Document doc = load("a.pat");
    ASSERT_EQ(int(c.patterns.size()) + 1, int(doc.patternCount));
    for (size_t i = 0; i < c.patterns.size(); ++i) {
        EXPECT_EQ(c.patterns[i], test::recordRows(doc, int(i) + 1)) << "pattern " << i + 2;
    }
}

INSTANTIATE_TEST_SUITE_P(Gif, GifFrames, ::testing::ValuesIn(FramesCases),
                         [](const auto& info) { return std::string(info.param.name); });

std::vector<GifFrameBytes> dots(int count) {
    return std::vector<GifFrameBytes>(size_t(count), frame(0, 0, {"1"}, 0, -1, 10));
}

struct GifRefusal {
    const char* name;
    std::string gif;
    const char* says; // the whole of stderr
};

std::string withoutColours() {
    std::string gif = gifFile(1, 1, dots(2));
    gif[10] = 0; // no global colour table: the frames have none
    return gif.substr(0, 13) + gif.substr(25);
}

const GifRefusal GifRefusals[] = {
    {"ScreenOneByNinetySeven", gifFile(1, 97, dots(2)),
     "\"in.gif\" is 1 x 97 pixels; a pattern side must be 1 to 96\n"},
    {"ScreenNinetySevenByOne", gifFile(97, 1, dots(2)),
     "\"in.gif\" is 97 x 1 pixels; a pattern side must be 1 to 96\n"},
    {"ScreenZeroWide", gifFile(0, 1, dots(2)),
     "\"in.gif\" is 0 x 1 pixels; a pattern side must be 1 to 96\n"},
    {"LastFrameTooTall",
     gifFile(4, 4, {frame(0, 0, {"1"}), frame(0, 0, std::vector<std::string>(97, "1"))}),
     "\"in.gif\" holds a frame of 1 x 97 pixels; a pattern side must be 1 to 96\n"},
    {"LastFrameTooWide", gifFile(4, 4, {frame(0, 0, {"1"}), frame(0, 0, {std::string(97, '1')})}),
     "\"in.gif\" holds a frame of 97 x 1 pixels; a pattern side must be 1 to 96\n"},
    {"ThousandAndOneFrames", gifFile(1, 1, dots(1001)),
     "\"in.gif\" holds more than 1000 frames; at most 1000 are taken\n"},
    {"CutInAFrame", gifFile(2, 1, {frame(0, 0, {"11"}), frame(0, 0, {"11"})}).substr(0, 40),
     "\"in.gif\" is a damaged GIF image (Failed to read from given file)\n"},
    {"FramesWithoutColours", withoutColours(),
     "\"in.gif\" is a damaged GIF image (a frame without colours)\n"},
};

class GifRefused : public Cli, public ::testing::WithParamInterface<GifRefusal> {};

TEST_P(GifRefused, ChangesNothing) {
    const GifRefusal& c = GetParam();
    const std::string before = patternText({{"00", "00"}});
    writeBytes(path("a.pat"), before);
    writeBytes(path("in.gif"), c.gif);
    const CliResult r = run("import-image a.pat in.gif --append");
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(c.says, r.err);
    EXPECT_EQ(before, readBytes(path("a.pat")));
    EXPECT_FALSE(std::filesystem::exists(path("a.pat.toml")));
}

INSTANTIATE_TEST_SUITE_P(Gif, GifRefused, ::testing::ValuesIn(GifRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Cli, GifOfAThousandFramesIsTaken) {
    writeBytes(path("a.pat"), patternText({{"00", "00"}}));
    std::vector<GifFrameBytes> frames = dots(1000);
    frames.back() = frame(0, 0, {"0"}, 0, -1, 7);
    writeBytes(path("in.gif"), gifFile(1, 1, frames));
    ASSERT_EQ(0, run("import-image a.pat in.gif --append").status);
    Document doc = load("a.pat");
    ASSERT_EQ(1001, int(doc.patternCount));
    EXPECT_EQ(Rows{"1"}, test::recordRows(doc, 999));
    EXPECT_EQ(Rows{"0"}, test::recordRows(doc, 1000));
    const std::string listed = run("frames a.pat").out;
    EXPECT_EQ("999 100\n1000 100\n1001 70\n", listed.substr(listed.size() - 25));
}

TEST_F(Cli, AnimatedGifAsAPictureIsItsFirstFrame) {
    writeBytes(path("a.pat"), patternText({{"000", "000"}}));
    writeBytes(path("in.gif"),
               gifFile(3, 2, {frame(0, 0, {"101", "010"}), frame(0, 0, {"111", "111"})}));
    const CliResult r = run("import-image a.pat in.gif --pattern 1");
    ASSERT_EQ(0, r.status) << r.err;
    Document doc = load("a.pat");
    EXPECT_EQ((Rows{"101", "010"}), test::recordRows(doc, 0));
}

// Frames declaring 8192 x 8192 on a small screen, their zeros packed into
// some 150 KB: refused from the first frame's header, naming its size, in
// a moment and without the 64 M pixels of a frame ever being drawn.
TEST_F(Cli, GifFramesLargerThanAPatternAreRefusedBeforeDecoding) {
    GifFrameBytes huge;
    huge.width = huge.height = 8192;
    huge.lzw = lzwZeros(uint64_t{8192} * 8192);
    writeBytes(path("in.gif"), gifFile(16, 16, {huge, huge, huge}));
    ASSERT_GT(readBytes(path("in.gif")).size(), size_t{100000});
    const std::string before = patternText({{"00", "00"}});
    writeBytes(path("a.pat"), before);
    const CliResult r = run("import-image a.pat in.gif --append");
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("\"in.gif\" holds a frame of 8192 x 8192 pixels; a pattern side must be 1 to 96\n",
              r.err);
    EXPECT_EQ(before, readBytes(path("a.pat")));
    // Drawn, the frames would take hundreds of megabytes.
    EXPECT_LT(peakKilobytes({DEDUR_CLI, "import-image", path("a.pat"), path("in.gif"), "--append"}),
              100 * 1024);
    // As a picture laid over a pattern the frame is too many pixels.
    const CliResult over = run("import-image a.pat in.gif --pattern 1");
    EXPECT_EQ(1, over.status);
    EXPECT_EQ("\"in.gif\" holds a frame of 8192 x 8192 pixels; an image of more than 16777216 "
              "pixels is not imported\n",
              over.err);
    // A screen of more pixels than a picture may have, a one-pixel frame on
    // it: refused from the screen's size.
    writeBytes(path("screen.gif"), gifFile(4097, 4097, {frame(0, 0, {"1"})}));
    const CliResult screen = run("import-image a.pat screen.gif --pattern 1");
    EXPECT_EQ(1, screen.status);
    EXPECT_EQ("\"screen.gif\" has 4097 x 4097 pixels; an image of more than 16777216 pixels is "
              "not imported\n",
              screen.err);
    EXPECT_EQ(before, readBytes(path("a.pat")));
}

// Three patterns of three sizes.
class GifOut : public Cli {
  protected:
    void SetUp() override {
        writeBytes(path("a.pat"),
                   patternText({{"101", "010"}, {"1111", "0000", "1001"}, {"1", "1"}}));
    }
};

// Each row's stderr: the whole of it for status 1, how it starts for 2.
const test::Refusal RenderRefusals[] = {
    {"render a.pat old.gif", 1, "\"old.gif\" exists; give --force to replace it\n"},
    {"render a.pat a.pat --force", 1, "\"a.pat\" is the input file; give another output file\n"},
    {"render a.pat a.pat.toml --force", 1,
     "\"a.pat.toml\" is the input file; give another output file\n"},
    {"render a.pat x.gif --pattern 4", 1, "Pattern 4 is not in \"a.pat\" (it holds 3)\n"},
    {"render a.pat x.gif --range x", 1, "ERROR: Invalid Panel No. Range ?\n"},
    {"render a.pat x.gif --loop 65536", 2,
     "dedur-cli render: --loop must be a whole number from 0 to 65535\n"},
    {"render a.pat x.gif --scale 65", 2, "dedur-cli render: --scale must be 1..64\n"},
    {"render a.pat x.gif --all --pattern 1", 2,
     "dedur-cli render: give only one of --pattern and --all\n"},
};

class RenderGifRefused : public GifOut, public ::testing::WithParamInterface<test::Refusal> {};

TEST_P(RenderGifRefused, WritesNothing) {
    const test::Refusal& c = GetParam();
    writeBytes(path("old.gif"), "old");
    writeBytes(path("a.pat.toml"), "[delays]\n1 = 50\n"); // read for the delays
    const std::string before = readBytes(path("a.pat"));
    const CliResult r = run(c.line);
    EXPECT_EQ(c.status, r.status) << r.err;
    // A refusal's whole message; a usage error's first line, the usage after it.
    if (c.status == 1) {
        EXPECT_EQ(c.says, r.err);
    } else {
        EXPECT_EQ(0u, r.err.find(c.says)) << r.err;
    }
    EXPECT_EQ("old", readBytes(path("old.gif")));
    EXPECT_EQ("[delays]\n1 = 50\n", readBytes(path("a.pat.toml")));
    EXPECT_EQ(before, readBytes(path("a.pat")));
    EXPECT_FALSE(std::filesystem::exists(path("x.gif")));
}

INSTANTIATE_TEST_SUITE_P(Gif, RenderGifRefused, ::testing::ValuesIn(RenderRefusals));

// Eight patterns of 96 x 96 at 64 pixels a dot: 8 x 6144 x 6144 pixels.
TEST_F(Cli, RenderGifRefusesMorePixelsThanItsCap) {
    writeBytes(path("big.pat"), patternText(std::vector<Rows>(8, Rows(96, std::string(96, '1')))));
    const CliResult r = run("render big.pat x.gif --scale 64");
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("An animation of 8 frames of 6144 x 6144 pixels would have 301989888 pixels; at "
              "most 268435456 are written (fewer patterns or a smaller scale)\n",
              r.err);
    EXPECT_FALSE(std::filesystem::exists(path("x.gif")));
    EXPECT_EQ(0, run("render big.pat x.gif --scale 64 --range 1-2").status);
}

} // namespace

// BMP and JPEG as ImageMagick writes them come in as the dots drawn into
// them; files cut short or declaring a vast size are refused and the
// pattern is left as it was.
TEST_F(Cli, BmpAndJpegFromImageMagickComeInAsTheirDots) {
    const std::string draw = "convert -size 12x8 xc:white -fill black -draw 'rectangle 2,2 5,5' "
                             "-draw 'point 10,1' ";
    // ImageMagick's options and the type and name of the file it writes.
    const std::pair<const char*, const char*> kinds[] = {
        {"", "a.bmp"},
        {"", "BMP3:b1.bmp"},
        {"-type bilevel", "BMP3:b2.bmp"},
        {"-colors 2 -compress RLE", "BMP3:b3.bmp"},
        {"-quality 100", "c.jpg"},
        {"-quality 100 -colorspace Gray", "d.jpg"}};
    const Rows drawn{"000000000000", "000000000010", "001111000000", "001111000000",
                     "001111000000", "001111000000", "000000000000", "000000000000"};
    for (const auto& [options, target] : kinds) {
        const std::string name = target;
        const size_t colon = name.find(':') + 1;
        const std::string file = name.substr(colon);
        const std::string made = draw + options + " '" + name.substr(0, colon) + path(file) + "'";
        ASSERT_EQ(0, std::system(made.c_str())) << made;
        writeBytes(path("a.pat"), patternText({Rows(8, std::string(12, '0'))}));
        const CliResult r = run("import-image a.pat " + file + " --pattern 1");
        ASSERT_EQ(0, r.status) << made << "\n" << r.err;
        Document doc = load("a.pat");
        EXPECT_EQ(drawn, test::recordRows(doc, 0)) << made;
    }
    // Cut short: an uncompressed BMP's rows, a JPEG's scan.
    const std::string bmp = readBytes(path("b1.bmp"));
    writeBytes(path("short.bmp"), bmp.substr(0, bmp.size() - 4));
    ASSERT_EQ(
        0,
        std::system(
            ("convert -size 96x48 plasma:fractal -quality 90 '" + path("big.jpg") + "'").c_str()));
    const std::string jpeg = readBytes(path("big.jpg"));
    writeBytes(path("short.jpg"), jpeg.substr(0, jpeg.size() / 2));
    // A header declaring 2^30 x 2^30 pixels.
    std::string vast = bmp;
    vast.replace(18, 8, std::string("\0\0\0\x40\0\0\0\x40", 8));
    writeBytes(path("vast.bmp"), vast);
    writeBytes(path("a.pat"), patternText({Rows(8, std::string(12, '0'))}));
    const std::string before = readBytes(path("a.pat"));
    for (const char* bad : {"short.bmp", "short.jpg", "vast.bmp"}) {
        const CliResult r = run(std::string("import-image a.pat ") + bad + " --pattern 1");
        EXPECT_EQ(1, r.status) << bad;
        EXPECT_NE(std::string::npos, r.err.find(bad)) << r.err;
        EXPECT_EQ(before, readBytes(path("a.pat"))) << bad;
    }
}
