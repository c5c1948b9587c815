#pragma once

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "grid/transform.h"
#include "image/gifanimation.h"
#include "image/imagefile.h"

namespace dedur {

// An image's pixels as dots. Without a threshold the paste rule decides: a
// pixel laid over white is set when its red, green and blue are all below
// 127. With one, a pixel is set when its grey (0.299 R + 0.587 G + 0.114 B)
// is below it. `invert` swaps set and clear; transparent pixels stay clear.
DotGrid dotsFromImage(const RgbaImage& image, std::optional<int> threshold, bool invert);

// One pattern as an image: each dot `scale` pixels square, set dots black on
// white; `grid` adds a grey line of one pixel around every dot.
IndexedImage renderDots(const DotGrid& dots, int scale, bool grid);

// Patterns as the frames of an animated GIF, each drawn as renderDots draws
// it (black and white: one bit a pixel; grey grid lines make it two).
struct DotFrames {
    std::vector<std::pair<int, int>> sizes; // each frame's width and height in dots
    std::vector<int> delaysMs;
    std::function<DotGrid(int index)> dots; // asked for while the frame is written
};
// Refused, with the numbers, when the frames on their screen would come to
// more than limits::RenderGifPixels pixels.
Outcome animateDots(const DotFrames& frames, int scale, bool grid, int loops, GifAnimation& out);

// Text drawn elsewhere (the caller's font), as ink: 1 = black, row after row.
struct InkBitmap {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;
};

// Patterns side by side, `columns` to a row, each framed by a thin grey line
// and with its label under it: `labels[i]` when it has ink, else the number
// (from `firstNumber`) in digits of a built-in size. In each row the patterns
// stand on one line, so that their labels line up.
IndexedImage renderContactSheet(const std::vector<DotGrid>& patterns, int firstNumber, int scale,
                                bool grid, int columns, const std::vector<InkBitmap>& labels = {});

} // namespace dedur
