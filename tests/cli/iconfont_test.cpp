// dedur-cli code --format lvgl-font|u8g2-font|gfx-font through the real
// program: the icons' codes and UTF-8 strings compiled and printed by a C
// program (values worked out by hand), and the refusals, which leave the
// folder as it was.
#include <gtest/gtest.h>

#include <string>
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

// Three patterns: 8 x 5, 3 x 2 and 9 x 2; the first and the last named.
const char* const ThreeIcons = "PATTERN\r\n3\r\n"
                               "SIZE 8 5 1 1 0 2\r\n01111110\r\n11000011\r\n11011011\r\n"
                               "11000011\r\n01111110\r\n"
                               "SIZE 3 2 1 1 0 2\r\n101\r\n011\r\n"
                               "SIZE 9 2 1 1 0 2\r\n100000001\r\n011111110\r\n";

// Prints each icon's code and its string's bytes.
const char* const PrintCodes = "#include <stdio.h>\n"
                               "#define ICONS_ICONS_CODES_ONLY\n"
                               "#include \"icons.h\"\n"
                               "static void show(long code, const char *s) {\n"
                               "    printf(\"%lX\", code);\n"
                               "    for (; *s; ++s) printf(\" %02X\", (unsigned char)*s);\n"
                               "    printf(\"\\n\");\n"
                               "}\n"
                               "int main(void) {\n"
                               "    show(ICONS_ICON_BATTERY, ICONS_ICON_BATTERY_STR);\n"
                               "    show(ICONS_ICON_2, ICONS_ICON_2_STR);\n"
                               "    show(ICONS_ICON_WIFI, ICONS_ICON_WIFI_STR);\n"
                               "    return 0;\n"
                               "}\n";

class IconFont : public Cli {
  protected:
    void SetUp() override {
        writeBytes(path("icons.pat"), ThreeIcons);
        writeBytes(path("icons.pat.toml"), "[names]\n1 = 'battery'\n3 = 'wifi'\n");
        writeBytes(path("twins.pat"), ThreeIcons);
        writeBytes(path("twins.pat.toml"), "[names]\n1 = 'Wifi'\n3 = 'wifi'\n");
    }

    // Compiles the C files (warnings as errors) and runs the program: what it
    // prints, or the compiler's complaint.
    std::string compileAndRun(const std::string& sources) {
        const std::string command = "cd " + test::quote(dir.path().string()) +
                                    " && cc -std=c99 -Wall -Wextra -Wpedantic -Werror -o prog " +
                                    sources + " >cc.txt 2>&1 && ./prog >run.txt 2>&1";
        if (std::system(command.c_str()) != 0) return "failed: " + readBytes(path("cc.txt"));
        return readBytes(path("run.txt"));
    }
};

TEST_F(IconFont, CodesAndStringsCompile) {
    struct Row {
        const char* args;
        const char* printed;
    };
    // UTF-8 by hand: 0x7FF is two bytes, 0x800 the first of three; U+E000
    // is EE 80 80; U+10000 the first of four.
    const Row rows[] = {
        {"--format lvgl-font", "E000 EE 80 80\nE001 EE 80 81\nE002 EE 80 82\n"},
        {"--format lvgl-font --first 0x7FF", "7FF DF BF\n800 E0 A0 80\n801 E0 A0 81\n"},
        {"--format lvgl-font --first U+FFFF", "FFFF EF BF BF\n10000 F0 90 80 80\n"
                                              "10001 F0 90 80 81\n"},
        {"--format u8g2-font --first 124 --spacing 2 --baseline 1", "7C 7C\n7D 7D\n7E 7E\n"},
        {"--format u8g2-font --first 0xA1", "A1 C2 A1\nA2 C2 A2\nA3 C2 A3\n"},
        {"--format gfx-font --first 0x21", "21 21\n22 22\n23 23\n"},
        {"--format gfx-font --first 0xFD", "FD C3 BD\nFE C3 BE\nFF C3 BF\n"},
    };
    writeBytes(path("print.c"), PrintCodes);
    for (const Row& row : rows) {
        const CliResult r = run(std::string("code icons.pat --output icons.h --force ") + row.args);
        ASSERT_EQ(0, r.status) << row.args << "\n" << r.err;
        EXPECT_EQ(row.printed, compileAndRun("print.c")) << row.args;
    }
}

// A range starts the codes at its first pattern; the font comes after the
// codes and compiles beside them (u8g2's needs only its section macro).
TEST_F(IconFont, RangeTakesTheFirstCode) {
    const CliResult r = run("code icons.pat --format u8g2-font --range 2-3 --first 0x41");
    ASSERT_EQ(0, r.status) << r.err;
    const size_t codes = r.out.find("#define ICONS_ICON_2 0x0041\n"
                                    "#define ICONS_ICON_2_STR \"\\x41\"\n"
                                    "#define ICONS_ICON_WIFI 0x0042\n"
                                    "#define ICONS_ICON_WIFI_STR \"\\x42\"\n");
    EXPECT_NE(std::string::npos, codes) << r.out;
    EXPECT_EQ(std::string::npos, r.out.find("BATTERY"));
    EXPECT_LT(codes, r.out.find("U8G2_FONT_SECTION(\"icons\")"));
    writeBytes(path("icons.h"), r.out);
    writeBytes(path("font.c"), "#include <stdint.h>\n#include <stdio.h>\n"
                               "#define U8G2_FONT_SECTION(name)\n#include \"icons.h\"\n"
                               "int main(void) {\n"
                               "    printf(\"%u %X\\n\", (unsigned)icons[0], ICONS_ICON_WIFI);\n"
                               "    return 0;\n}\n");
    // The font's first byte is its glyph count.
    EXPECT_EQ("2 42\n", compileAndRun("font.c"));
}

const Refusal Refusals[] = {
    // --first that is no code point; the core's own test has the rest.
    {"code icons.pat --format lvgl-font --first 0x110000", 2, "--first must be a code point"},
    {"code icons.pat --format lvgl-font --first 99999999999999999999", 2,
     "--first must be a code point"},
    {"code icons.pat --format lvgl-font --first battery", 2, "--first must be a code point"},
    {"code icons.pat --format lvgl-font --first 0x", 2, "--first must be a code point"},
    {"code icons.pat --format lvgl-font --first -1", 2, "--first must be a code point"},
    // Each format's own reach, as the command line words it.
    {"code icons.pat --format gfx-font", 1,
     "Adafruit GFX draws codes 0x00 to 0xFF only, and the 3 icons from 0xE000 reach 0xE002; "
     "give --first 0x21"},
    {"code icons.pat --format u8g2-font --first 0x10000", 1, "U+FFFF"},
    // Bounds of the spacing and the baseline.
    {"code icons.pat --format lvgl-font --spacing 97", 2,
     "--spacing must be a whole number from 0 to 96"},
    {"code icons.pat --format lvgl-font --spacing -1", 2,
     "--spacing must be a whole number from 0 to 96"},
    {"code icons.pat --format lvgl-font --baseline 97", 2,
     "--baseline must be a whole number from 0 to 96"},
    {"code icons.pat --format lvgl-font --baseline x", 2, "--baseline must be a whole number"},
    // Names that would define one thing twice.
    {"code twins.pat --format u8g2-font", 1,
     "The names of patterns 1 and 3 would both define \"TWINS_ICON_WIFI\"; rename one"},
    {"code icons.pat --format lvgl-font --name int", 1, "\"int\" is a keyword"},
    // A range past the last pattern would shift the codes.
    {"code icons.pat --format lvgl-font --range 4", 1, "4: \"icons.pat\" has 3 patterns"},
    {"code icons.pat --format lvgl-font --range 2-9", 1, "2-9: \"icons.pat\" has 3 patterns"},
    // Options of other formats.
    {"code icons.pat --first 0x41", 2, "--first, --spacing and --baseline go with --format"},
    {"code icons.pat --format lvgl --baseline 1", 2, "go with --format lvgl-font"},
    {"code icons.pat --format u8g2-font --colors black,white", 2,
     "--lvgl and --colors go with --format lvgl"},
    {"code icons.pat --format bdf-font", 2, "lvgl-font, u8g2-font or gfx-font"},
    // The output never replaces an input.
    {"code icons.pat --format lvgl-font --output icons.pat.toml --force", 1,
     "\"icons.pat.toml\" is the input file"},
};

TEST_F(IconFont, RefusesAndChangesNothing) {
    const auto before = folderBytes();
    for (const Refusal& row : Refusals) {
        const CliResult r = expectOutcome(row);
        EXPECT_EQ("", r.out) << row.line;
        EXPECT_EQ(before, folderBytes()) << row.line;
    }
}

} // namespace
