// Hostile inputs to the font, image and code commands through the real
// dedur-cli: text far larger than its characters, images whose headers
// promise what their data lacks, file names that end up in comments. (The
// fonts' names and source names are compiled by the Python font tests.)
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "clirun.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::Cli;
using dedur::test::CliResult;
using dedur::test::readBytes;
using dedur::test::writeBytes;

namespace {

// Two small glyphs on a 14 over 2 line.
const std::string SmallBdf =
    "STARTFONT 2.1\nFONT t\nSIZE 16 72 72\nFONTBOUNDINGBOX 8 16 0 -2\n"
    "STARTPROPERTIES 2\nFONT_ASCENT 14\nFONT_DESCENT 2\nENDPROPERTIES\nCHARS 2\n"
    "STARTCHAR A\nENCODING 65\nDWIDTH 8 0\nBBX 8 2 0 0\nBITMAP\nFF\n81\nENDCHAR\n"
    "STARTCHAR B\nENCODING 66\nDWIDTH 8 0\nBBX 8 2 0 0\nBITMAP\n81\nFF\nENDCHAR\nENDFONT\n";

class FontAttack : public Cli {};

} // namespace

// The distinct characters of a large text of one letter: bounded by the
// text, not by four bytes a character (a 32 MB text once needed 200 MB).
TEST_F(FontAttack, LargeTextOfFewCharactersInBoundedMemory) {
    writeBytes(path("small.bdf"), SmallBdf);
    writeBytes(path("big.txt"), std::string(size_t{32} << 20, 'A') + "B");
    // Held at 37 MB here (91 MB under AddressSanitizer); 200 MB before.
    const long peak =
        test::peakKilobytes({DEDUR_CLI, "font-subset", "--text", path("big.txt"), "--from",
                             path("small.bdf"), "--format", "bdf", "--output", path("sub.bdf")});
    ASSERT_GT(peak, 0);
    EXPECT_LT(peak, 160 * 1024);
    const std::string bdf = readBytes(path("sub.bdf"));
    EXPECT_NE(std::string::npos, bdf.find("CHARS 2\n")) << bdf;
}

namespace {

// A BMP's 54 bytes of headers: BITMAPINFOHEADER, 24 bits, no pixels after.
std::string bmpHeader(int32_t width, int32_t height) {
    std::string b = "BM";
    auto put = [&b](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b += static_cast<char>(v >> (8 * i) & 0xFF);
    };
    put(54, 4), put(0, 4), put(54, 4);
    put(40, 4), put(static_cast<uint32_t>(width), 4), put(static_cast<uint32_t>(height), 4);
    put(1, 2), put(24, 2), put(0, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4);
    return b;
}

} // namespace

// Images whose headers promise what the data lacks: refused as damaged,
// the pattern file as it was (a 0 x 0 pattern once made it unreadable).
TEST_F(FontAttack, ImagesShortOfTheirHeaders) {
    // ImageMagick's baseline JPEG, its height told in the SOF0 marker.
    ASSERT_EQ(0, shell("convert -size 8x8 xc:white -fill black -draw 'point 1,1' -colorspace Gray "
                       "whole.jpg"));
    std::string tall = readBytes(path("whole.jpg"));
    const size_t frame = tall.find("\xFF\xC0");
    ASSERT_NE(std::string::npos, frame);
    tall[frame + 6] = 16; // 16 rows declared, the scan ends after 8
    writeBytes(path("tall.jpg"), tall);
    writeBytes(path("empty.bmp"), bmpHeader(0, 0));
    writeBytes(path("lowest.bmp"), bmpHeader(16, INT32_MIN));
    ASSERT_EQ(0, run("new p.pat --size 8x8").status);
    const auto before = readBytes(path("p.pat"));
    for (const char* image : {"tall.jpg", "empty.bmp", "lowest.bmp"}) {
        const CliResult r = run({"import-image", "p.pat", image, "--append"});
        EXPECT_EQ(1, r.status) << image << "\n" << r.err;
        EXPECT_EQ(std::string("\"") + image + "\" is a damaged " +
                      (std::string(image).ends_with(".jpg") ? "JPEG" : "BMP") + " image\n",
                  r.err);
        EXPECT_EQ(before, readBytes(path("p.pat"))) << image;
    }
    const CliResult whole = run("import-image p.pat whole.jpg --append");
    EXPECT_EQ(0, whole.status) << whole.err;
    EXPECT_EQ(2, load("p.pat").patternCount);
}

// Every scan of a progressive JPEG is a pass over all its blocks and may take
// a few bytes: the scans are counted (2,000 once took 20 s from 180 KB).
// ImageMagick writes the JPEG; its last scan (a Huffman table and the scan,
// no 0xFF 0xC4 inside the stuffed data) is repeated.
TEST_F(FontAttack, JpegOfManyScansIsRefused) {
    ASSERT_EQ(0, shell("convert -size 32x32 xc:white -colorspace Gray -fill black -draw "
                       "'rectangle 8,8 20,20' -interlace JPEG prog.jpg"));
    const std::string jpeg = readBytes(path("prog.jpg"));
    const size_t table = jpeg.rfind("\xFF\xC4");
    ASSERT_NE(std::string::npos, table);
    ASSERT_EQ(jpeg.size() - 2, jpeg.rfind("\xFF\xD9"));
    const std::string scan = jpeg.substr(table, jpeg.size() - 2 - table);
    std::string many = jpeg.substr(0, jpeg.size() - 2);
    for (int i = 0; i < 150; ++i) many += scan;
    writeBytes(path("many.jpg"), many + "\xFF\xD9");
    ASSERT_EQ(0, run("new p.pat --size 32x32").status);
    const std::string before = readBytes(path("p.pat"));
    const CliResult r = run("import-image p.pat many.jpg --pattern 1");
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("\"many.jpg\" is a JPEG image of more than 100 scans; it is not imported\n", r.err);
    EXPECT_EQ(before, readBytes(path("p.pat")));
    const CliResult plain = run("import-image p.pat prog.jpg --pattern 1");
    EXPECT_EQ(0, plain.status) << plain.err;
    EXPECT_NE(before, readBytes(path("p.pat")));
}

// The pattern file's name goes into the comment at the top of "code"
// output as it is: a direction mark in it (U+202E) makes cc -Werror
// (-Wbidi-chars) and rustc (a deny-by-default lint) refuse the file. The C
// and u8g2-font outputs carry it; lvgl-font and gfx-font do not.
TEST_F(FontAttack, CodeCommentsKeepDirectionMarksOut) {
    const std::string pattern = "rtl\u202Eevil.pat";
    ASSERT_EQ(0, run({"new", pattern, "--size", "8x8"}).status);
    ASSERT_EQ(0, run({"draw", pattern, "--pattern", "1", "line", "0,0", "7,7"}).status);
    for (const char* format : {"c", "u8g2-font", "lvgl", "rust"}) {
        const CliResult r = run({"code", pattern, "--format", format, "--name", "icons"});
        ASSERT_EQ(0, r.status) << format << "\n" << r.err;
        EXPECT_EQ(std::string::npos, r.out.find("\u202E")) << format;
    }
}
