#include "image/imagedots.h"

#include <algorithm>
#include <memory>
#include <string>

#include "base/limits.h"
#include "base/numbertext.h"
#include "document/patternstore.h"

namespace dedur {

namespace {

constexpr uint8_t White = 0;
constexpr uint8_t Black = 1;
constexpr uint8_t Grey = 2;
const std::vector<uint32_t> Palette = {0xFFFFFF, 0x000000, 0xC0C0C0};

// Digits 0-9 in 3 x 5 pixels, a row of three bits per line.
constexpr uint8_t Digits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 3, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

// Row `y` of `dots` drawn, `scale` pixels a dot (and the grid's lines),
// into `row` from its first pixel on.
void drawRow(const DotGrid& dots, int scale, bool grid, int y, uint8_t* row) {
    const int pitch = scale + (grid ? 1 : 0);
    const int width = dots.width * pitch + (grid ? 1 : 0);
    if (grid && y % pitch == 0) {
        std::fill_n(row, width, Grey);
        return;
    }
    const uint8_t* line =
        dots.dots.data() + static_cast<size_t>((y - (grid ? 1 : 0)) / pitch) * dots.width;
    for (int x = 0; x < width; ++x) {
        if (grid && x % pitch == 0) {
            row[x] = Grey;
        } else {
            row[x] = line[(x - (grid ? 1 : 0)) / pitch] == DOT_ON ? Black : White;
        }
    }
}

// Draws `dots` into `image` with its top-left pixel at (left, top).
void drawDots(IndexedImage& image, const DotGrid& dots, int left, int top, int scale, bool grid) {
    const int height = dots.height * (scale + (grid ? 1 : 0)) + (grid ? 1 : 0);
    for (int y = 0; y < height; ++y) {
        drawRow(dots, scale, grid, y,
                image.pixels.data() + static_cast<size_t>(top + y) * image.width + left);
    }
}

int renderedSide(int dots, int scale, bool grid) {
    return dots * (scale + (grid ? 1 : 0)) + (grid ? 1 : 0);
}

void drawNumber(IndexedImage& image, int number, int centreX, int top, int size) {
    const std::string text = std::to_string(number);
    const int width = static_cast<int>(text.size()) * 4 * size - size;
    int left = centreX - width / 2;
    for (char c : text) {
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 3; ++column) {
                if (!((Digits[c - '0'][row] >> (2 - column)) & 1)) continue;
                for (int y = 0; y < size; ++y) {
                    for (int x = 0; x < size; ++x) {
                        const int px = left + column * size + x;
                        const int py = top + row * size + y;
                        if (px >= 0 && px < image.width && py >= 0 && py < image.height) {
                            image.pixels[static_cast<size_t>(py * image.width + px)] = Black;
                        }
                    }
                }
            }
        }
        left += 4 * size;
    }
}

} // namespace

DotGrid dotsFromImage(const RgbaImage& image, std::optional<int> threshold, bool invert) {
    DotGrid out{image.width, image.height, {}};
    const size_t count = static_cast<size_t>(std::max(image.width, 0)) *
                         static_cast<size_t>(std::max(image.height, 0));
    out.dots.assign(count, DOT_OFF);
    for (size_t i = 0; i < count && 4 * i + 3 < image.rgba.size(); ++i) {
        const uint8_t* p = image.rgba.data() + 4 * i;
        const int alpha = p[3];
        if (alpha == 0) continue; // clear, inverted or not
        // Laid over white, as a pasted image is.
        int c[3];
        for (int k = 0; k < 3; ++k) c[k] = (p[k] * alpha + 255 * (255 - alpha) + 127) / 255;
        const bool set = threshold ? 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2] < *threshold
                                   : c[0] < 127 && c[1] < 127 && c[2] < 127;
        if (set != invert) out.dots[i] = DOT_ON;
    }
    return out;
}

IndexedImage renderDots(const DotGrid& dots, int scale, bool grid) {
    IndexedImage image{
        renderedSide(dots.width, scale, grid), renderedSide(dots.height, scale, grid), {}, Palette};
    if (!grid) image.palette.resize(2);
    image.pixels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height),
                        White);
    drawDots(image, dots, 0, 0, scale, grid);
    return image;
}

Outcome animateDots(const DotFrames& frames, int scale, bool grid, int loops, GifAnimation& out) {
    out = GifAnimation{};
    const int count = static_cast<int>(frames.sizes.size());
    if (count < 1) {
        return Outcome::refused({"An animation needs at least one pattern", " ", MessageButtons::Ok,
                                 MessageIcon::Question});
    }
    for (const auto& [width, height] : frames.sizes) {
        out.width = std::max(out.width, renderedSide(width, scale, grid));
        out.height = std::max(out.height, renderedSide(height, scale, grid));
    }
    // A reader draws every frame on a whole screen.
    const uint64_t pixels = uint64_t(count) * uint64_t(out.width) * uint64_t(out.height);
    if (out.width > 65535 || out.height > 65535 || pixels > limits::RenderGifPixels) {
        return Outcome::refused(
            {formatText("An animation of %d frames of %d x %d pixels would have %llu pixels; at "
                        "most %llu are written (fewer patterns or a smaller scale)",
                        count, out.width, out.height, static_cast<unsigned long long>(pixels),
                        static_cast<unsigned long long>(limits::RenderGifPixels)),
             " ", MessageButtons::Ok, MessageIcon::Question});
    }
    out.palette = Palette;
    if (!grid) out.palette.resize(2);
    out.loops = loops;
    out.frames = count;
    out.frame = [frames, scale, grid](int i) {
        const auto& [width, height] = frames.sizes[static_cast<size_t>(i)];
        GifFrameSource source{renderedSide(width, scale, grid), renderedSide(height, scale, grid),
                              static_cast<size_t>(i) < frames.delaysMs.size()
                                  ? frames.delaysMs[static_cast<size_t>(i)]
                                  : 100,
                              nullptr};
        // The dots are read when the frame is written, and only then.
        auto dots = std::make_shared<DotGrid>(frames.dots(i));
        dots->width = width;
        dots->dots.resize(static_cast<size_t>(width) * static_cast<size_t>(height), DOT_OFF);
        source.row = [dots, scale, grid](int y, uint8_t* row) {
            drawRow(*dots, scale, grid, y, row);
        };
        return source;
    };
    return {};
}

IndexedImage renderContactSheet(const std::vector<DotGrid>& patterns, int firstNumber, int scale,
                                bool grid, int columns, const std::vector<InkBitmap>& labels) {
    const int count = static_cast<int>(patterns.size());
    const auto labelOf = [&labels](int i) -> const InkBitmap* {
        const size_t at = static_cast<size_t>(i);
        return at < labels.size() && labels[at].width > 0 ? &labels[at] : nullptr;
    };
    const int digitSize = std::max(2, scale / 2);
    const int margin = std::max(6, 2 * scale);
    // Room for the pattern with its frame, and for the widest and tallest label.
    int dotsWidth = 0, labelWidth = 0, labelHeight = 0;
    for (int i = 0; i < count; ++i) {
        const DotGrid& p = patterns[static_cast<size_t>(i)];
        dotsWidth = std::max(dotsWidth, renderedSide(p.width, scale, grid) + 2);
        const InkBitmap* label = labelOf(i);
        labelWidth =
            std::max(labelWidth, label ? label->width
                                       : static_cast<int>(std::to_string(firstNumber + i).size()) *
                                             4 * digitSize);
        labelHeight = std::max(labelHeight, label ? label->height : 5 * digitSize);
    }
    const int cellWidth = std::max(dotsWidth, labelWidth) + 2 * margin;
    columns = std::max(1, std::min(columns, std::max(count, 1)));
    const int rows = (count + columns - 1) / columns;
    // Each row as tall as its tallest pattern: the others stand on its bottom.
    std::vector<int> rowTop(static_cast<size_t>(rows) + 1, 0);
    std::vector<int> rowDots(static_cast<size_t>(std::max(rows, 1)), 0);
    for (int i = 0; i < count; ++i) {
        int& tallest = rowDots[static_cast<size_t>(i / columns)];
        tallest = std::max(tallest,
                           renderedSide(patterns[static_cast<size_t>(i)].height, scale, grid) + 2);
    }
    for (int r = 0; r < rows; ++r) {
        rowTop[static_cast<size_t>(r) + 1] = rowTop[static_cast<size_t>(r)] + margin +
                                             rowDots[static_cast<size_t>(r)] + margin / 2 +
                                             labelHeight + margin;
    }
    IndexedImage image{columns * cellWidth, std::max(rowTop.back(), 1), {}, Palette};
    image.pixels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height),
                        White);
    const auto put = [&image](int x, int y, uint8_t colour) {
        if (x >= 0 && y >= 0 && x < image.width && y < image.height) {
            image.pixels[static_cast<size_t>(y * image.width + x)] = colour;
        }
    };
    for (int i = 0; i < count; ++i) {
        const DotGrid& p = patterns[static_cast<size_t>(i)];
        const int row = i / columns;
        const int left = (i % columns) * cellWidth;
        const int width = renderedSide(p.width, scale, grid);
        const int height = renderedSide(p.height, scale, grid);
        const int baseline =
            rowTop[static_cast<size_t>(row)] + margin + rowDots[static_cast<size_t>(row)];
        const int x0 = left + (cellWidth - width) / 2;
        const int y0 = baseline - 1 - height;
        drawDots(image, p, x0, y0, scale, grid);
        // The frame, a pixel outside the dots.
        for (int x = x0 - 1; x <= x0 + width; ++x) {
            put(x, y0 - 1, Grey);
            put(x, y0 + height, Grey);
        }
        for (int y = y0 - 1; y <= y0 + height; ++y) {
            put(x0 - 1, y, Grey);
            put(x0 + width, y, Grey);
        }
        const int labelTop = baseline + margin / 2;
        if (const InkBitmap* label = labelOf(i)) {
            const int lx = left + (cellWidth - label->width) / 2;
            for (int y = 0; y < label->height; ++y) {
                for (int x = 0; x < label->width; ++x) {
                    if (label->ink[static_cast<size_t>(y * label->width + x)]) {
                        put(lx + x, labelTop + y, Black);
                    }
                }
            }
        } else {
            drawNumber(image, firstNumber + i, left + cellWidth / 2, labelTop, digitSize);
        }
    }
    return image;
}

} // namespace dedur
