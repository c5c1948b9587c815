#include <gtest/gtest.h>

#include <climits>

#include "base/limits.h"
#include "code/codejob.h"
#include "code/sidecar.h"
#include "document/patternfile.h"
#include "testsupport.h"

namespace dedur {
namespace {

TEST(Sidecar, WhatIsWrittenIsReadBack) {
    Sidecar kept;
    kept.names = {{1, "battery_empty"}, {12, "bell"}};
    kept.panel = PanelDefinition{10, 4, 8, 5, DecreaseSeg, IncreaseCom};
    CodeProfile oled;
    oled.format = "rust";
    oled.layout = "pages-lsb";
    oled.invert = true;
    oled.name = "icons";
    oled.patterns = "1-3";
    CodeProfile custom;
    custom.templateFile = "lcd.mustache";
    custom.progmem = true;
    kept.profiles = {{"oled", oled}, {"custom lcd", custom}};
    Sidecar read;
    const Outcome parsed = parseSidecar(formatSidecar(kept), "a.pat", read);
    ASSERT_TRUE(parsed.ok()) << parsed.message.text << "\n" << formatSidecar(kept);
    EXPECT_EQ(kept, read);
}

// Zero is a place and a direction like any other (SEG 0, Increase Seg);
// 255 is the largest place.
TEST(Sidecar, APanelFromZeroIsReadAsWritten) {
    const std::string text =
        "[panel]\ncom = 255\nheight = 48\nlr = 0\nseg = 0\ntb = 0\nwidth = 96\n";
    Sidecar read;
    ASSERT_TRUE(parseSidecar(text, "a.pat", read).ok());
    EXPECT_EQ((PanelDefinition{0, 255, 96, 48, 0, 0}), read.panel);
    const std::string written = formatSidecar(read);
    EXPECT_EQ(text, written.substr(written.find('\n') + 1));
}

TEST(Sidecar, MalformedTextIsRefusedAndLeavesNothing) {
    struct Case {
        const char* text;
        const char* says;
    } const cases[] = {
        {"[names\n", "line 1"},
        {"[names]\n1 = \"2bad\"\n", "C identifier"},
        {"[names]\none = \"x\"\n", "pattern number"},
        {"[panel]\nseg = 1\n", "panel.com"},
        {"[profiles.a]\ninvert = \"yes\"\n", "true or false"},
        {"[profiles.a]\ncolour = \"red\"\n", "unknown profile key colour"},
        {"[elsewhere]\n", "unknown table elsewhere"},
        {"names = 3\n", "must be a table"},
    };
    for (const Case& c : cases) {
        Sidecar read;
        read.names[1] = "stale";
        const Outcome parsed = parseSidecar(c.text, "/x/a.pat", read);
        EXPECT_FALSE(parsed.ok()) << c.text;
        EXPECT_NE(std::string::npos, parsed.message.text.find(c.says)) << parsed.message.text;
        EXPECT_NE(std::string::npos, parsed.message.text.find("\"/x/a.pat.toml\""));
        EXPECT_TRUE(read.empty()) << c.text;
    }
}

using test::repeated;

// Nesting is told from the raw text, before the parser (which recurses once
// a level) could run out of stack: eight levels are taken, nine refused,
// whichever way the text nests; what strings and comments hold does not count.
TEST(Sidecar, NestingIsBoundedBeforeParsing) {
    struct Case {
        std::string text;
        const char* says; // nullptr: read, though perhaps refused for its contents
    } const cases[] = {
        {"x = " + repeated("{a = ", 30000) + "1" + repeated("}", 30000), "nested deeper"},
        {"x = " + repeated("[", 30000) + repeated("]", 30000), "nested deeper"},
        {"[a.a.a]\n" + repeated("a.", 6) + "a = 1\n", "nested deeper than 8, line 2"},
        {"[a.a.a]\n" + repeated("a.", 5) + "a = 1\n", "unknown table a"},
        {"[" + repeated("a.", 7) + "a]\n", "unknown table a"},
        {"[" + repeated("a.", 8) + "a]\n", "nested deeper"},
        {"[profiles.\"" + repeated("[{.", 3000) + "\"]\nformat = 'c'\n", nullptr},
        {"[profiles.'x']\nname = \"\"\"\n" + repeated("[{.\\\"\n", 3000) + "\"\"\"\n", nullptr},
        {"# " + repeated("[[[", 3000) + "\n[names]\n", nullptr},
        // A string left open ends with its line.
        {"[names]\nx = \"" + repeated("[", 20) + "\n[" + repeated("a.", 9) + "a]\n",
         "nested deeper than 8, line 3"},
        {repeated("a=1\n", limits::SidecarEntries + 1), "more than 100000 entries"},
    };
    for (const Case& c : cases) {
        Sidecar read;
        const Outcome parsed = parseSidecar(c.text, "a.pat", read);
        const std::string shown = c.text.substr(0, 60);
        if (!c.says) {
            EXPECT_TRUE(parsed.ok()) << shown << "\n" << parsed.message.text;
            continue;
        }
        EXPECT_FALSE(parsed.ok()) << shown;
        EXPECT_NE(std::string::npos, parsed.message.text.find(c.says)) << shown << "\n"
                                                                       << parsed.message.text;
    }
}

// A number of [names] or [delays] outside the file's patterns cannot be
// right (and INT_MAX would overflow when patterns are inserted before it).
TEST(Sidecar, NumbersAreThePatternFilesOwn) {
    struct Case {
        const char* text;
        const char* says; // nullptr: taken
    } const cases[] = {
        {"[names]\n3 = 'c'\n", nullptr},
        {"[names]\n0 = 'z'\n", "names.0 must be"},
        {"[names]\n-1 = 'z'\n", "names.-1 must be"},
        {"[delays]\n3 = 655350\n", nullptr},
        {"[delays]\n3 = 1\n", nullptr},
        {"[delays]\n3 = 0\n", "delays.3 must be a pattern number from 1 to 3 given 1 to "
                              "655350 milliseconds"},
        {"[delays]\n3 = 655351\n", "delays.3 must be"},
        {"[delays]\n3 = 100.5\n", "delays.3 must be"},
        {"[delays]\n4 = 100\n", "delays.4 must be"},
    };
    for (const Case& c : cases) {
        Sidecar read;
        const Outcome parsed = parseSidecar(c.text, "a.pat", read, 3);
        if (!c.says) {
            EXPECT_TRUE(parsed.ok()) << c.text << parsed.message.text;
            EXPECT_FALSE(read.empty()) << c.text;
            continue;
        }
        EXPECT_FALSE(parsed.ok()) << c.text;
        EXPECT_NE(std::string::npos, parsed.message.text.find(c.says)) << parsed.message.text;
    }
}

// The panel definition alone makes no file; beside names it is kept.
TEST(Sidecar, APanelAloneMakesNoFile) {
    test::TempDir dir;
    const std::string pat = dir.file("a.pat");
    Sidecar panelOnly;
    panelOnly.panel = PanelDefinition{1, 1, 12, 12, IncreaseSeg, IncreaseCom};
    ASSERT_TRUE(writeSidecar(pat, panelOnly).ok());
    EXPECT_FALSE(fileExists(pat + ".toml"));

    Sidecar named = panelOnly;
    named.names[1] = "bell";
    ASSERT_TRUE(writeSidecar(pat, named).ok());
    EXPECT_EQ("# Kept by dedur beside the pattern file: what the pattern format cannot hold.\n"
              "[names]\n1 = 'bell'\n\n"
              "[panel]\ncom = 1\nheight = 12\nlr = 0\nseg = 1\ntb = 2\nwidth = 12\n",
              test::readBytes(pat + ".toml"));
}

TEST(Sidecar, NamesStayWithTheirPatterns) {
    struct Case {
        int number;
        int count;
        std::map<int, std::string> after;
    } const cases[] = {
        {2, 1, {{1, "a"}, {3, "b"}, {5, "c"}}},  // one inserted before pattern 2
        {5, 2, {{1, "a"}, {2, "b"}, {4, "c"}}},  // appended after the last named
        {2, -1, {{1, "a"}, {3, "c"}}},           // pattern 2 (named b) deleted
        {1, -3, {{1, "c"}}},                     // patterns 1..3 deleted
        {3, -1, {{1, "a"}, {2, "b"}, {3, "c"}}}, // an unnamed pattern deleted
    };
    for (const Case& c : cases) {
        Sidecar s;
        s.names = {{1, "a"}, {2, "b"}, {4, "c"}};
        shiftNames(s, c.number, c.count);
        EXPECT_EQ(c.after, s.names) << c.number << " " << c.count;
    }
}

TEST(CodeNames, IdentifiersAndNamesFromFiles) {
    for (const char* good : {"a", "_", "battery_empty", "A9_"}) EXPECT_TRUE(isIdentifier(good));
    for (const char* bad : {"", "9a", "a-b", "a b", "\xa4\x40"}) EXPECT_FALSE(isIdentifier(bad));
    EXPECT_EQ("battery_icons", identifierFromFileName("/d/battery-icons.pat"));
    EXPECT_EQ("_8x8", identifierFromFileName("8x8.pat"));
    EXPECT_EQ("_pat", identifierFromFileName(".pat"));
}

} // namespace
} // namespace dedur
