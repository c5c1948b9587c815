#include <gtest/gtest.h>

#include "grid/selection.h"
#include "panel/lcdimage.h"
#include "panel/panelexport.h"
#include "testsupport.h"

using namespace dedur;

namespace {

std::vector<int> flagged(const PanelRange& r) {
    std::vector<int> panels;
    for (size_t i = 0; i < r.panelFlags.size(); ++i) {
        if (r.panelFlags[i]) panels.push_back(static_cast<int>(i) + 1);
    }
    return panels;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "text must end in CR LF";
    return lines;
}

} // namespace

struct RangeCase {
    const char* text;
    std::vector<int> panels; // empty: refused
};

TEST(PanelExport, RangeTextOfTenPanels) {
    // clang-format off
    const RangeCase cases[] = {
        {"2, 4-6", {2, 4, 5, 6}}, {"8-20", {8, 9, 10}}, {"0", {1}}, {"-3", {1}}, {"~4", {1}},
        {"5-", {}}, {"abc", {}}, {"", {}}, {"a1b", {1}}, {"5-3", {3, 4, 5}},
        {"3-5-7", {3, 4, 5, 6, 7, 8, 9, 10}}, {",,2,,", {2}}, {"2~4", {2, 3, 4}},
        {"No. 7 and 9", {10}},
    };
    // clang-format on
    for (const RangeCase& c : cases) {
        const PanelRange r = parsePanelRange(RangeChoice::Numbers, c.text, 10, 0);
        if (c.panels.empty()) {
            EXPECT_FALSE(r.ok()) << c.text;
            EXPECT_EQ("ERROR: Invalid Panel No. Range ?", r.outcome.message.text);
        } else {
            EXPECT_TRUE(r.ok()) << c.text;
            EXPECT_EQ(c.panels, flagged(r)) << c.text;
            EXPECT_EQ(12u, r.panelFlags.size());
        }
    }
}

TEST(PanelExport, CurrentAndAll) {
    EXPECT_EQ((std::vector<int>{4}), flagged(parsePanelRange(RangeChoice::Current, "", 5, 3)));
    EXPECT_EQ((std::vector<int>{4}),
              flagged(parsePanelRange(RangeChoice::CurrentSelection, "x", 5, 3)));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}),
              flagged(parsePanelRange(RangeChoice::All, "", 5, 3)));
}

TEST(PanelExport, TextOfATwelveByTwelvePattern) {
    Document doc;
    fillPattern(doc, DOT_ON);
    Selection sel;
    const ExportOutput out = buildPanelExport(doc, sel, {1, 0, 0}, false, EXPORT_TEXT);
    ASSERT_TRUE(out.outcome.ok());
    const std::vector<std::string> lines = linesOf(out.bytes);
    ASSERT_EQ(16u, lines.size());
    EXPECT_EQ(std::string(66, ';'), lines[0]);
    EXPECT_EQ(";   Panel No. 1", lines[1]);
    EXPECT_EQ(";   LCD Memory Address : $2000 ~ $2059 [ Size= 90 Bytes (Dec) ]", lines[2]);
    EXPECT_EQ(std::string(66, ';'), lines[3]);
    EXPECT_EQ(".DB $FF,$0F,$00,$00,$00,$00,$00,$00 ; 2000h ~ 2007h", lines[4]);
    EXPECT_EQ(".DB $FF,$0F,$00,$00,$00,$00,$00,$00 ; 2050h ~ 2057h", lines[14]);
    EXPECT_EQ(".DB $FF,$0F ; 2058h ~ 2059h", lines[15]);
}

TEST(PanelExport, BinaryAndSeveralPanelsInOrder) {
    Document doc =
        dedur::test::documentOf({{12, 12, 1, 1, 0, 2}, {2, 2, 30, 9, 0, 2}, {12, 12, 1, 1, 0, 2}});
    Selection sel;
    const ExportOutput bin = buildPanelExport(doc, sel, {1, 0, 0}, false, EXPORT_BINARY);
    EXPECT_EQ(90u, bin.bytes.size());
    const ExportOutput both = buildPanelExport(doc, sel, {0, 1, 1}, false, EXPORT_TEXT);
    const std::vector<std::string> lines = linesOf(both.bytes);
    ASSERT_EQ(6u + 16u, lines.size());
    EXPECT_EQ(";   Panel No. 2", lines[1]);
    EXPECT_EQ(";   LCD Memory Address : $20E9 ~ $20F1 [ Size=  9 Bytes (Dec) ]", lines[2]);
    EXPECT_EQ(".DB $00,$00,$00,$00,$00,$00,$00,$00 ; 20E9h ~ 20F0h", lines[4]);
    EXPECT_EQ(".DB $00 ; 20F1h ~ 20F1h", lines[5]);
    EXPECT_EQ(";   Panel No. 3", lines[7]);
}

TEST(PanelExport, SelectionExportsTheClippedBlockAndReportsIt) {
    Document doc;
    Selection sel;
    sel.selectionState = SelectionState::Floating;
    sel.blockRect = {10, 0, 13, 0};
    sel.floatingBlock = {'1', '1', '1', '1'};
    const ExportOutput out = buildPanelExport(doc, sel, {1}, true, EXPORT_BINARY);
    ASSERT_EQ(1u, out.notices.size());
    EXPECT_EQ("seg=11,com=1, left=10, top=0, right=11, bottom=0", out.notices[0].text);
    EXPECT_EQ(std::string("\x01\0\0\0\0\0\0\0\x01", 9), out.bytes);
}
