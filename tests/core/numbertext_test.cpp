#include <gtest/gtest.h>

#include <climits>

#include "base/numbertext.h"

using namespace dedur;

namespace {

TEST(NumberText, LeadingDecimalReadsAsAtoiAndSaturates) {
    const std::pair<const char*, long long> cases[] = {
        {"12", 12},     {"  \t-7x", -7}, {"+3 4", 3},           {"", 0},
        {"x1", 0},      {"- 1", 0},      {"99999999999", 1000}, {"-99999999999", -1000},
        {"1000", 1000},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(value, leadingDecimal(text, 1000)) << text;
}

TEST(NumberText, UncheckedHexValueIsPlainArithmetic) {
    EXPECT_EQ(0u, uncheckedHexValue(""));
    EXPECT_EQ(0xA440u, uncheckedHexValue("a440"));
    EXPECT_EQ(0xFFFFFFFFu, uncheckedHexValue("FFFFFFFF"));
    // 'G' counts 16, 'z' counts 122 - 55 = 67: no validation.
    EXPECT_EQ(16u * 16 + 0u, uncheckedHexValue("G0"));
    EXPECT_EQ(67u, uncheckedHexValue("z"));
    EXPECT_EQ(-1, hexDigitValue('g'));
    EXPECT_EQ(15, hexDigitValue('f'));
}

TEST(NumberText, WholeNumberTakesTheWholeTextOnly) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"3", 3},
        {"-12", -12},
        {"+5", 5},
        {"3x", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"", std::nullopt},
        {"+-5", std::nullopt},
        {"2147483647", INT_MAX},
        {"2147483648", std::nullopt},
        {"-2147483648", INT_MIN},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(value, wholeNumber(text)) << text;
}

} // namespace
