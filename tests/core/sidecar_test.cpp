#include <gtest/gtest.h>

#include "code/codejob.h"
#include "code/sidecar.h"

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
