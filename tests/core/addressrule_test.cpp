#include <gtest/gtest.h>

#include "panel/addressrule.h"

using namespace dedur;

namespace {

// Dot (3, 2), counted from 1, of a pattern whose left-top dot is at SEG 10,
// COM 20, in all 16 direction pairs; the pairs that run both ways along SEG
// (or COM) step as the first code says and take the second as "down".
TEST(AddressRule, EveryDirectionPair) {
    struct Row {
        int lr, tb;
        SegCom at;
        MemoryBit bit;
    };
    // clang-format off
    const Row rows[] = {
        {0, 0, {12, 19}, {90, 2}}, {0, 1, {12, 19}, {90, 2}}, {0, 2, {12, 21}, {90, 4}}, {0, 3, {12, 19}, {90, 2}},
        {1, 0, {8, 19}, {58, 2}},  {1, 1, {8, 19}, {58, 2}},  {1, 2, {8, 21}, {58, 4}},  {1, 3, {8, 19}, {58, 2}},
        {2, 0, {11, 22}, {82, 5}}, {2, 1, {9, 22}, {66, 5}},  {2, 2, {9, 22}, {66, 5}},  {2, 3, {9, 22}, {66, 5}},
        {3, 0, {11, 18}, {82, 1}}, {3, 1, {9, 18}, {66, 1}},  {3, 2, {9, 18}, {66, 1}},  {3, 3, {9, 18}, {66, 1}},
    };
    // clang-format on
    for (const Row& r : rows) {
        const PatternHeader h{12, 12, 10, 20, int16_t(r.lr), int16_t(r.tb)};
        const SegCom at = mapDotToSegCom(h, 3, 2);
        EXPECT_EQ(r.at, at) << r.lr << "/" << r.tb;
        EXPECT_EQ(r.at, segComOfDot(10, 20, dotSteps(r.lr, r.tb), 2, 1)) << r.lr << "/" << r.tb;
        EXPECT_EQ(r.bit, memoryBitOf(at)) << r.lr << "/" << r.tb;
        EXPECT_EQ(r.at, segComOf(r.bit)) << r.lr << "/" << r.tb;
    }
}

TEST(AddressRule, TheCornersOfThePanel) {
    const std::pair<SegCom, MemoryBit> corners[] = {
        {{1, 1}, {0, 0}},  {{1, 8}, {0, 7}},     {{1, 9}, {1, 0}},
        {{1, 48}, {5, 7}}, {{96, 48}, {765, 7}},
    };
    for (const auto& [at, bit] : corners) {
        EXPECT_EQ(bit, memoryBitOf(at));
        EXPECT_EQ(at, segComOf(bit));
    }
    EXPECT_TRUE(onPanel({96, 48}));
    for (const SegCom off : {SegCom{0, 1}, SegCom{97, 1}, SegCom{1, 0}, SegCom{1, 49}})
        EXPECT_FALSE(onPanel(off));
}

} // namespace
