#include <gtest/gtest.h>

#include "image/imagedots.h"

using namespace dedur;

namespace {

struct PixelCase {
    const char* name;
    uint8_t r, g, b, a;
    std::optional<int> threshold;
    bool invert;
    bool set;
};

// Grey of (100, 100, 100) is 100; of (0, 255, 0) it is 149.685.
const PixelCase Cases[] = {
    {"PasteRuleAllBelow127", 126, 126, 126, 255, std::nullopt, false, true},
    {"PasteRuleGreenAt127", 126, 127, 0, 255, std::nullopt, false, false},
    {"PasteRuleRedAt127", 127, 126, 126, 255, std::nullopt, false, false},
    {"PasteRuleBlueAt127", 126, 126, 127, 255, std::nullopt, false, false},
    {"PasteRuleHalfTransparentOverWhite", 0, 0, 0, 128, std::nullopt, false, false},
    {"PasteRuleMostlyOpaque", 0, 0, 0, 200, std::nullopt, false, true},
    {"GreyBelowThreshold", 100, 100, 100, 255, 101, false, true},
    {"GreyAtThreshold", 100, 100, 100, 255, 100, false, false},
    {"GreenWeighsMost", 0, 255, 0, 255, 150, false, true},
    {"GreenJustAbove", 0, 255, 0, 255, 149, false, false},
    {"Inverted", 255, 255, 255, 255, std::nullopt, true, true},
    {"TransparentStaysClearInverted", 0, 0, 0, 0, std::nullopt, true, false},
    {"TransparentBlackIsClear", 0, 0, 0, 0, 255, false, false},
};

class ImagePixel : public ::testing::TestWithParam<PixelCase> {};

TEST_P(ImagePixel, BecomesADotByTheRule) {
    const PixelCase& c = GetParam();
    const RgbaImage image{1, 1, {c.r, c.g, c.b, c.a}};
    EXPECT_EQ(c.set ? '1' : '0', dotsFromImage(image, c.threshold, c.invert).dots.at(0));
}

INSTANTIATE_TEST_SUITE_P(Pixels, ImagePixel, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
