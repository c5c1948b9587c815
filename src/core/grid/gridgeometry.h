#pragma once

#include <optional>

namespace dedur {

struct DotPoint {
    int x = 0;
    int y = 0;
    bool operator==(const DotPoint&) const = default;
};

// Rectangles in client pixels; right and bottom as each user states.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PixelRect&) const = default;
};

// Rectangle of dots, all four edges inclusive.
struct DotRect {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    bool operator==(const DotRect&) const = default;
};

// Where the grid's top-left line runs, in client pixels, both ways.
inline constexpr int GridOrigin = 5;

// The magnified grid: cells of gridX x gridY pixels between one-pixel lines,
// the top-left grid line at (GridOrigin, GridOrigin), the actual-size
// thumbnail to the right.
struct GridGeometry {
    int gridX = 8;
    int gridY = 8;
    int width = 12;  // dots
    int height = 12; // dots

    int px() const { return gridX + 1; }
    int py() const { return gridY + 1; }
    int lineX(int k) const { return px() * k + GridOrigin; }
    int lineY(int k) const { return py() * k + GridOrigin; }
    // Interior of a cell; right and bottom exclusive.
    PixelRect cellInterior(int column, int row) const;
    // Last pixel that still counts as inside the grid.
    int lastX() const { return px() * width + 4; }
    int lastY() const { return py() * height + 4; }
    // Dot column or row under a pixel (division truncating toward zero).
    int columnAt(int x) const { return (x - GridOrigin) / px(); }
    int rowAt(int y) const { return (y - GridOrigin) / py(); }
    bool onVerticalLine(int x) const { return (x - GridOrigin) % px() == 0; }
    bool onHorizontalLine(int y) const { return (y - GridOrigin) % py() == 0; }
    bool insideGrid(int x, int y) const { return x >= 5 && x <= lastX() && y >= 5 && y <= lastY(); }
    // The dot the point and erase tools act on, or none for a pixel on a grid
    // line, left of or above the grid, or beyond its last cell.
    std::optional<DotPoint> dotForPoint(int x, int y) const;
    // The dot a shape tool starts on, or none outside the pattern's cells.
    std::optional<DotPoint> dotForShape(int x, int y) const;
    // Pixel at the centre of a dot's cell.
    DotPoint cellCentre(int column, int row) const;
    int thumbX() const { return px() * width + 7; }
    int thumbY() const { return (py() * height) / 2 - height / 2; }
};

} // namespace dedur
