#include <gtest/gtest.h>

#include "grid/history.h"
#include "grid/selection.h"
#include "panel/paneldefinitioncheck.h"
#include "testsupport.h"

using namespace dedur;

struct DefinitionCase {
    const char* name;
    PanelDefinitionFields fields;
    const char* message; // empty: accepted
    PanelField focus;
};

class PanelDefinitionChecks : public ::testing::TestWithParam<DefinitionCase> {};

TEST_P(PanelDefinitionChecks, RefuseWithTheFirstFailure) {
    const DefinitionCase& c = GetParam();
    const PanelDefinitionCheck check = checkPanelDefinition(c.fields);
    EXPECT_EQ(*c.message == 0, check.outcome.ok());
    EXPECT_EQ(c.message, check.outcome.message.text);
    EXPECT_EQ(c.focus, check.focus);
}

// clang-format off
const DefinitionCase DefinitionCases[] = {
    {"BothCom", {1, 1, 12, 12, 2, 3}, "(Left to Right) and (Top to Bottom) attribute conflict !", PanelField::None},
    {"BothSeg", {1, 1, 12, 12, 0, 1}, "(Left to Right) and (Top to Bottom) attribute conflict !", PanelField::None},
    {"ConflictComesFirst", {200, 200, 12, 12, 1, 1}, "(Left to Right) and (Top to Bottom) attribute conflict !", PanelField::None},
    {"ComBeforeSeg", {200, 49, 12, 12, 0, 2}, "COM max value must <= 48 ", PanelField::Com},
    {"SegTooLarge", {97, 1, 12, 12, 0, 2}, "SEG max value must <= 96 ", PanelField::Seg},
    {"LastSegHasNoRoom", {96, 1, 2, 12, 0, 2}, "Width too large ! ( Max Seg=1, Begin Seg=96 )", PanelField::Width},
    {"DecreasingSegFits", {10, 1, 10, 12, 1, 2}, "", PanelField::None},
    {"DecreasingSegOneTooMany", {10, 1, 11, 12, 1, 2}, "Width too large ! ( Max Seg=10, Begin Seg=10 )", PanelField::Width},
    {"AllCommons", {1, 1, 12, 48, 0, 2}, "", PanelField::None},
    {"OneCommonTooMany", {1, 1, 12, 49, 0, 2}, "Height too large ! ( Max Com=48, Begin Com=1 )", PanelField::Height},
    {"RowsAlongCommons", {1, 1, 48, 96, 2, 0}, "", PanelField::None},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, PanelDefinitionChecks, ::testing::ValuesIn(DefinitionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PanelDefinition, ApplyResizesTheCurrentPatternAndCanBeUndone) {
    Document doc;
    History h;
    Selection sel;
    dedur::test::setRows(doc, {"111111111111"});
    PanelDefinitionFields fields{5, 6, 4, 2, 1, 3};
    ASSERT_TRUE(checkPanelDefinition(fields).outcome.ok());
    applyPanelDefinition(doc, h, sel, toPanelDefinition(fields));
    PatternHeader header;
    getHeader(doc, 0, header);
    EXPECT_EQ((PatternHeader{4, 2, 5, 6, 1, 3}), header);
    EXPECT_EQ((std::vector<std::string>{"1111", "0000"}), dedur::test::recordRows(doc, 0));
    ASSERT_TRUE(undo(h, doc, sel));
    EXPECT_EQ("111111111111", dedur::test::recordRows(doc, 0)[0]);
}
