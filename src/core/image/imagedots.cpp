#include "image/imagedots.h"

#include <algorithm>
#include <string>

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

// Draws `dots` into `image` with its top-left pixel at (left, top).
void drawDots(IndexedImage& image, const DotGrid& dots, int left, int top, int scale, bool grid) {
    const int pitch = scale + (grid ? 1 : 0);
    const int width = dots.width * pitch + (grid ? 1 : 0);
    const int height = dots.height * pitch + (grid ? 1 : 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t colour = White;
            if (grid && (x % pitch == 0 || y % pitch == 0)) {
                colour = Grey;
            } else {
                const int dx = (x - (grid ? 1 : 0)) / pitch;
                const int dy = (y - (grid ? 1 : 0)) / pitch;
                if (dots.dots[static_cast<size_t>(dy * dots.width + dx)] == DOT_ON) colour = Black;
            }
            image.pixels[static_cast<size_t>((top + y) * image.width + left + x)] = colour;
        }
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

IndexedImage renderContactSheet(const std::vector<DotGrid>& patterns, int firstNumber, int scale,
                                bool grid, int columns) {
    int cellWidth = 0, cellHeight = 0;
    for (const DotGrid& p : patterns) {
        cellWidth = std::max(cellWidth, renderedSide(p.width, scale, grid));
        cellHeight = std::max(cellHeight, renderedSide(p.height, scale, grid));
    }
    const int digitSize = std::max(1, scale / 2);
    const int margin = 4 * digitSize;
    const int labelWidth =
        static_cast<int>(std::to_string(firstNumber + patterns.size()).size()) * 4 * digitSize;
    cellWidth = std::max(cellWidth, labelWidth) + 2 * margin;
    cellHeight += 5 * digitSize + 3 * margin;
    const int count = static_cast<int>(patterns.size());
    columns = std::max(1, std::min(columns, std::max(count, 1)));
    const int rows = (count + columns - 1) / columns;
    IndexedImage image{columns * cellWidth, std::max(rows, 1) * cellHeight, {}, Palette};
    if (!grid) image.palette.resize(2);
    image.pixels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height),
                        White);
    for (int i = 0; i < count; ++i) {
        const DotGrid& p = patterns[static_cast<size_t>(i)];
        const int left = (i % columns) * cellWidth;
        const int top = (i / columns) * cellHeight;
        const int width = renderedSide(p.width, scale, grid);
        drawDots(image, p, left + (cellWidth - width) / 2, top + margin, scale, grid);
        drawNumber(image, firstNumber + i, left + cellWidth / 2,
                   top + margin + renderedSide(p.height, scale, grid) + margin, digitSize);
    }
    return image;
}

} // namespace dedur
