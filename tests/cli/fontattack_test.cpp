// Hostile inputs to the font and image commands through the real dedur-cli:
// names and file names that end up in C, text far larger than its
// characters, and images whose headers promise what their data lacks.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
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

// What the libraries' headers declare, as far as the fonts use it: written
// from their documentation, enough for a compiler to check the C.
const char* const LvglStandIn = R"(#pragma once
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#define LVGL_VERSION_MAJOR 9
#define LVGL_VERSION_MINOR 1
#define LV_ATTRIBUTE_LARGE_CONST
#define LV_FONT_DECLARE(name) extern const lv_font_t name
enum { LV_FONT_SUBPX_NONE };
typedef struct {
    uint32_t bitmap_index : 20;
    uint32_t adv_w : 12;
    uint8_t box_w, box_h;
    int8_t ofs_x, ofs_y;
} lv_font_fmt_txt_glyph_dsc_t;
typedef enum {
    LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL, LV_FONT_FMT_TXT_CMAP_SPARSE_FULL,
    LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY, LV_FONT_FMT_TXT_CMAP_SPARSE_TINY
} lv_font_fmt_txt_cmap_type_t;
typedef struct {
    uint32_t range_start;
    uint16_t range_length, glyph_id_start;
    const uint16_t *unicode_list;
    const void *glyph_id_ofs_list;
    uint16_t list_length;
    lv_font_fmt_txt_cmap_type_t type;
} lv_font_fmt_txt_cmap_t;
typedef struct _lv_font_t lv_font_t;
typedef struct _lv_draw_buf_t lv_draw_buf_t;
typedef struct {
    const lv_font_t *resolved_font;
    uint16_t adv_w, box_w, box_h;
    int16_t ofs_x, ofs_y;
    uint16_t stride;
    uint8_t format;
} lv_font_glyph_dsc_t;
struct _lv_font_t {
    bool (*get_glyph_dsc)(const lv_font_t *, lv_font_glyph_dsc_t *, uint32_t, uint32_t);
    const void *(*get_glyph_bitmap)(lv_font_glyph_dsc_t *, lv_draw_buf_t *);
    void (*release_glyph)(const lv_font_t *, lv_font_glyph_dsc_t *);
    int32_t line_height, base_line;
    uint8_t subpx : 2;
    uint8_t kerning : 1;
    int8_t underline_position, underline_thickness;
    const void *dsc;
    const lv_font_t *fallback;
    void *user_data;
};
typedef struct {
    const uint8_t *glyph_bitmap;
    const lv_font_fmt_txt_glyph_dsc_t *glyph_dsc;
    const lv_font_fmt_txt_cmap_t *cmaps;
    const void *kern_dsc;
    uint16_t kern_scale;
    uint16_t cmap_num : 9;
    uint16_t bpp : 4;
    uint16_t kern_classes : 1;
    uint16_t bitmap_format : 2;
} lv_font_fmt_txt_dsc_t;
bool lv_font_get_glyph_dsc_fmt_txt(const lv_font_t *, lv_font_glyph_dsc_t *, uint32_t, uint32_t);
const void *lv_font_get_bitmap_fmt_txt(lv_font_glyph_dsc_t *, lv_draw_buf_t *);
void lv_init(void);
)";

const char* const U8g2StandIn = "#include <stdint.h>\n#define U8G2_FONT_SECTION(name)\n";

const char* const GfxStandIn = R"(#include <stddef.h>
#include <stdint.h>
#define PROGMEM
typedef struct { uint16_t bitmapOffset; uint8_t width, height, xAdvance; int8_t xOffset, yOffset; } GFXglyph;
typedef struct { uint8_t *bitmap; GFXglyph *glyph; uint16_t first, last; uint8_t yAdvance; } GFXfont;
)";

class FontAttack : public Cli {
  protected:
    // A shell line in the test's folder; its status.
    int shell(const std::string& line) {
        const std::string command = "cd " + test::quote(dir.path().string()) + " && " + line +
                                    " >" + test::quote(path(".out")) + " 2>" +
                                    test::quote(path(".err"));
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    // cc -Wall -Wextra -Werror on a written font, the stand-in included
    // first (LVGL's through the font's own #include "lvgl.h").
    bool compiles(const std::string& source, const std::string& format) {
        std::filesystem::create_directories(path("inc"));
        writeBytes(path("inc/lvgl.h"), LvglStandIn);
        writeBytes(path("inc/u8g2.h"), U8g2StandIn);
        writeBytes(path("inc/gfx.h"), GfxStandIn);
        const std::string first = format == "lvgl"   ? "-DLV_LVGL_H_INCLUDE_SIMPLE -I inc"
                                  : format == "u8g2" ? "-include inc/u8g2.h"
                                                     : "-include inc/gfx.h";
        return shell("cc -std=c99 -Wall -Wextra -Werror -pedantic " + first + " -c " +
                     test::quote(source) + " -o font.o") == 0;
    }
};

} // namespace

// lvgl.h declares lv_* functions and fonts and defines LV_* and LVGL*: a font
// named so would not compile (or link) beside it, whatever its case.
TEST_F(FontAttack, LvglFontNamesBesideLvglH) {
    writeBytes(path("small.bdf"), SmallBdf);
    for (const char* name : {"lv_init", "lv_font_montserrat_14", "Lv_thing", "LVGL", "lvglFont"}) {
        const CliResult r = run(
            {"font-export", "--from", "small.bdf", "font.c", "--format", "lvgl", "--name", name});
        EXPECT_EQ(1, r.status) << name << "\n" << r.err;
        EXPECT_NE(std::string::npos, r.err.find(std::string("\"") + name + "\" begins as LVGL"))
            << r.err;
        EXPECT_FALSE(std::filesystem::exists(path("font.c"))) << name;
    }
    const CliResult ok = run({"font-export", "--from", "small.bdf", "font.c", "--format", "lvgl",
                              "--name", "my_lv_font"});
    ASSERT_EQ(0, ok.status) << ok.err;
    EXPECT_TRUE(compiles("font.c", "lvgl"));
}

// The source's file name goes into the font's comment: "/*" and "*/" in it
// must neither end the comment nor warn, and a mark that turns the text's
// direction (U+202E) must not reach the compiler (-Wbidi-chars).
const char* const HostileSourceNames[] = {"a*/ #error x /*.bdf", "rtl\u202Eevil.bdf"};

TEST_F(FontAttack, SourceNamesInCommentsCompile) {
    std::filesystem::create_directories(path("a*/ #error x "));
    for (const char* source : HostileSourceNames) {
        writeBytes(path(source), SmallBdf);
        for (const char* format : {"lvgl", "gfx"}) {
            const CliResult r = run({"font-export", "--from", source, "font.c", "--format", format,
                                     "--name", "marks", "--force"});
            ASSERT_EQ(0, r.status) << format << "\n" << r.err;
            EXPECT_TRUE(compiles("font.c", format)) << source << " " << format << "\n"
                                                    << readBytes(path(".err"));
        }
    }
}

// u8g2's comment line breaks "*/" but leaves "/*" (-Wcomment) and U+202E
// (-Wbidi-chars) as they are, errors under -Werror.
TEST_F(FontAttack, U8g2SourceNamesInCommentsCompile) {
    std::filesystem::create_directories(path("a*/ #error x "));
    for (const char* source : HostileSourceNames) {
        writeBytes(path(source), SmallBdf);
        const CliResult r = run({"font-export", "--from", source, "font.c", "--format", "u8g2",
                                 "--name", "marks", "--force"});
        ASSERT_EQ(0, r.status) << r.err;
        EXPECT_TRUE(compiles("font.c", "u8g2")) << source << "\n" << readBytes(path(".err"));
    }
}

// LVGL's glyph comments show each character: the direction marks are given
// by their code points alone.
TEST_F(FontAttack, LvglGlyphsOfDirectionMarksCompile) {
    const long marks[] = {0x061C, 0x200E, 0x200F, 0x202A, 0x202B, 0x202C,
                          0x202D, 0x202E, 0x2066, 0x2067, 0x2068, 0x2069};
    std::string glyphs;
    for (long c : marks) {
        glyphs += "STARTCHAR m\nENCODING " + std::to_string(c) +
                  "\nDWIDTH 8 0\nBBX 8 1 0 0\nBITMAP\n18\nENDCHAR\n";
    }
    writeBytes(path("marks.bdf"),
               "STARTFONT 2.1\nFONT m\nSIZE 16 72 72\nFONTBOUNDINGBOX 8 16 0 -2\n"
               "STARTPROPERTIES 2\nFONT_ASCENT 14\nFONT_DESCENT 2\nENDPROPERTIES\nCHARS 12\n" +
                   glyphs + "ENDFONT\n");
    const CliResult r =
        run({"font-export", "--from", "marks.bdf", "font.c", "--format", "lvgl", "--name", "m"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, readBytes(path("font.c")).find("/* U+202E */"));
    EXPECT_TRUE(compiles("font.c", "lvgl")) << readBytes(path(".err"));
}

// A name of the C library (a compiler built-in) is accepted, and the font
// then fails to compile: "built-in function 'memcpy' declared as
// non-function" in every format.
TEST_F(FontAttack, LibraryFunctionNamesAreRefused) {
    writeBytes(path("small.bdf"), SmallBdf);
    for (const char* format : {"lvgl", "u8g2", "gfx"}) {
        for (const char* name : {"memcpy", "printf", "abs"}) {
            const CliResult r = run({"font-export", "--from", "small.bdf", "font.c", "--format",
                                     format, "--name", name, "--force"});
            if (r.status == 0) {
                EXPECT_TRUE(compiles("font.c", format)) << format << " " << name;
            } else {
                EXPECT_NE(std::string::npos, r.err.find(name)) << r.err;
            }
        }
    }
}

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

// An 8 x 8 grey JPEG (ImageMagick's, a dot at 1,1); its SOF0 marker is at
// byte 89, the height at 94.
const unsigned char TinyJpeg[] = {
    0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x03, 0x02, 0x02, 0x03, 0x02, 0x02, 0x03,
    0x03, 0x03, 0x03, 0x04, 0x03, 0x03, 0x04, 0x05, 0x08, 0x05, 0x05, 0x04, 0x04, 0x05, 0x0a, 0x07,
    0x07, 0x06, 0x08, 0x0c, 0x0a, 0x0c, 0x0c, 0x0b, 0x0a, 0x0b, 0x0b, 0x0d, 0x0e, 0x12, 0x10, 0x0d,
    0x0e, 0x11, 0x0e, 0x0b, 0x0b, 0x10, 0x16, 0x10, 0x11, 0x13, 0x14, 0x15, 0x15, 0x15, 0x0c, 0x0f,
    0x17, 0x18, 0x16, 0x14, 0x18, 0x12, 0x14, 0x15, 0x14, 0xff, 0xc0, 0x00, 0x0b, 0x08, 0x00, 0x08,
    0x00, 0x08, 0x01, 0x01, 0x11, 0x00, 0xff, 0xc4, 0x00, 0x14, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0xff, 0xc4, 0x00, 0x19,
    0x10, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x02, 0x01, 0x03, 0x04, 0x05, 0x12, 0xff, 0xda, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3f,
    0x00, 0x52, 0x3c, 0xcf, 0x33, 0x1f, 0x27, 0x99, 0xe1, 0x83, 0xe8, 0x61, 0xed, 0xb7, 0x45, 0xbd,
    0x3d, 0x3a, 0x6e, 0xbe, 0xb4, 0xd1, 0x68, 0xa4, 0x5a, 0x25, 0x61, 0x89, 0xd8, 0x44, 0xbf, 0x20,
    0xc2, 0x0c, 0x24, 0x93, 0x3f, 0xff, 0xd9};

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
    const std::string jpeg(reinterpret_cast<const char*>(TinyJpeg), sizeof TinyJpeg);
    std::string tall = jpeg;
    tall[95] = 16; // 16 rows declared, the scan ends after 8
    writeBytes(path("whole.jpg"), jpeg);
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
