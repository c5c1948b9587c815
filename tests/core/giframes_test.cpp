#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "gifbytes.h"
#include "image/gifanimation.h"
#include "image/giframes.h"

namespace dedur {
namespace {

// Rows of a picture: '0' to '3' are colours, '.' is clear.
SharedRows picture(const std::vector<std::string>& rows) {
    SharedRows out(int(rows[0].size()), int(rows.size()));
    for (size_t y = 0; y < rows.size(); ++y) {
        std::vector<uint8_t> line;
        for (char c : rows[y]) line.push_back(c == '.' ? ClearPixel : uint8_t(c - '0'));
        out.setRow(int(y), line.data());
    }
    return out;
}

struct PlanCase {
    const char* what;
    std::vector<std::string> screen, frame;
    int frameWidth, frameHeight, nextWidth, nextHeight;
    FrameRect rect;
    bool clearAfter;
};

// clang-format off
const PlanCase PlanCases[] = {
    {"first frame on a clear screen, smaller than it", {"....", "....", "...."}, {"01..", "10..", "...."}, 2, 2, 2, 2, {0, 0, 2, 2}, false},
    {"one pixel changed at the far corner", {"0101", "1010", "0101"}, {"0101", "1010", "0100"}, 4, 3, 4, 3, {3, 2, 1, 1}, false},
    {"two changes span their rectangle", {"0000", "0000", "0000"}, {"0100", "0000", "0010"}, 4, 3, 4, 3, {1, 0, 2, 3}, false},
    {"nothing changed", {"01", "10"}, {"01", "10"}, 2, 2, 2, 2, {0, 0, 0, 0}, false},
    {"next frame narrower: the columns it leaves are cleared", {"0000", "0000"}, {"0100", "0000"}, 4, 2, 2, 2, {1, 0, 3, 2}, true},
    {"next frame shorter: the rows it leaves are cleared", {"00", "00", "00"}, {"00", "00", "00"}, 2, 3, 2, 1, {0, 1, 2, 2}, true},
    {"next frame smaller both ways: the whole frame is cleared", {"000", "000", "000"}, {"000", "000", "000"}, 3, 3, 2, 2, {0, 0, 3, 3}, true},
    {"next frame larger: kept", {"00.", "00.", "..."}, {"01.", "00.", "..."}, 2, 2, 3, 3, {1, 0, 1, 1}, false},
    {"repeated rows differ where the first of them does", {"0000", "0000", "0000", "0000"}, {"0000", "0110", "0110", "0000"}, 4, 4, 4, 4, {1, 1, 2, 2}, false},
};
// clang-format on

TEST(FramePlans, CoverWhatChangedAndWhatTheNextFrameLeavesClear) {
    for (const PlanCase& c : PlanCases) {
        const FramePlan p = planFrame(picture(c.screen), picture(c.frame), c.frameWidth,
                                      c.frameHeight, c.nextWidth, c.nextHeight);
        EXPECT_EQ(std::tuple(c.rect.left, c.rect.top, c.rect.width, c.rect.height, c.clearAfter),
                  std::tuple(p.rect.left, p.rect.top, p.rect.width, p.rect.height, p.clearAfter))
            << c.what;
    }
}

IndexedImage image(const std::vector<std::string>& rows) {
    IndexedImage out{int(rows[0].size()), int(rows.size()), {}, {0xFFFFFF, 0x000000}};
    for (const std::string& r : rows) {
        for (char c : r) out.pixels.push_back(uint8_t(c - '0'));
    }
    return out;
}

TEST(GifWriter, UnchangedPixelsGoTransparentInAColourNoChangeNeeds) {
    // Diagonal stripes, then two dots changed at far corners: the rectangle
    // is nearly the whole picture, nearly all of it unchanged.
    std::vector<std::string> rows(40, std::string(40, '0'));
    for (size_t y = 0; y < rows.size(); ++y) {
        for (size_t x = y % 3; x < rows[y].size(); x += 3) rows[y][x] = '1';
    }
    struct Case {
        const char* what;
        int x0, y0, x1, y1;
        int control;
    };
    // (0,0) is black, (1,0) and (38,39) white.
    const Case cases[] = {
        {"a dot cleared and a dot set need both colours: written whole", 0, 0, 38, 39, 4},
        {"two dots set leave white for the unchanged pixels", 1, 0, 38, 39, 4 | 1},
    };
    for (const Case& c : cases) {
        std::vector<std::string> changed = rows;
        for (const auto& [x, y] : {std::pair{c.x0, c.y0}, std::pair{c.x1, c.y1}}) {
            changed[size_t(y)][size_t(x)] = changed[size_t(y)][size_t(x)] == '1' ? '0' : '1';
        }
        const test::GifBlocks g =
            test::gifBlocks(encodeGif({image(rows), image(changed)}, {100, 100}, 3));
        ASSERT_TRUE(g.ok) << c.what;
        EXPECT_EQ((std::vector<int>{40, 38 - c.x0 + 1}), g.frameWidths) << c.what;
        EXPECT_EQ(c.control, g.controls[1]) << c.what;
        EXPECT_EQ(2, g.loops); // repeats after the first play
    }
}

// Random animations written and read back: every frame as a reader shows
// it (disposal and transparency applied) is the frame given.
TEST(GifWriter, RandomAnimationsReadBackAsTheirFrames) {
    std::mt19937 random(32);
    const auto below = [&random](int n) { return int(random() % uint32_t(n)); };
    for (int round = 0; round < 300; ++round) {
        const int count = 1 + below(8);
        std::vector<IndexedImage> frames;
        const int colours = 2 + below(2);
        for (int i = 0; i < count; ++i) {
            const int kind = below(4);
            IndexedImage f;
            if (i > 0 && kind == 0) {
                f = frames.back(); // the same again
            } else if (i > 0 && kind == 1) {
                f = frames.back(); // one pixel at a corner
                f.pixels.back() = uint8_t((f.pixels.back() + 1) % colours);
            } else {
                f.width = 1 + below(12);
                f.height = 1 + below(12);
                for (int p = 0; p < f.width * f.height; ++p) {
                    f.pixels.push_back(uint8_t(below(5) ? 0 : below(colours)));
                }
            }
            f.palette = colours == 2 ? std::vector<uint32_t>{0xFFFFFF, 0x000000}
                                     : std::vector<uint32_t>{0xFFFFFF, 0x000000, 0xC0C0C0};
            frames.push_back(f);
        }
        const std::string gif = encodeGif(frames, std::vector<int>(size_t(count), 100), 0);
        std::vector<GifFrame> shown;
        ASSERT_TRUE(decodeGifFrames(gif, "x.gif", 65535, 100, shown).ok()) << round;
        // Equal frames in a row are shown as one.
        std::vector<const IndexedImage*> distinct;
        for (const IndexedImage& f : frames) {
            if (distinct.empty() || distinct.back()->width != f.width ||
                distinct.back()->height != f.height || distinct.back()->pixels != f.pixels) {
                distinct.push_back(&f);
            }
        }
        ASSERT_EQ(distinct.size(), shown.size()) << round;
        for (size_t i = 0; i < shown.size(); ++i) {
            const IndexedImage& want = *distinct[i];
            const RgbaImage& got = shown[i].image;
            for (int y = 0; y < got.height; ++y) {
                for (int x = 0; x < got.width; ++x) {
                    const uint8_t* p = got.rgba.data() + 4 * (size_t(y) * got.width + x);
                    const bool inside = x < want.width && y < want.height;
                    ASSERT_EQ(inside ? 255 : 0, p[3]) << round << " " << i << " " << x << "," << y;
                    if (!inside) continue;
                    const uint32_t colour = want.palette[want.pixels[size_t(y) * want.width + x]];
                    ASSERT_EQ(colour >> 16 & 0xFF, p[0]) << round << " " << i;
                    ASSERT_EQ(colour & 0xFF, p[2]) << round << " " << i;
                }
            }
        }
    }
}

} // namespace
} // namespace dedur
