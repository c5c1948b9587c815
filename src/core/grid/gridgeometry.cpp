#include "grid/gridgeometry.h"

namespace dedur {

PixelRect GridGeometry::cellInterior(int column, int row) const {
    const int left = px() * column + 6;
    const int top = py() * row + 6;
    return {left, top, left + gridX, top + gridY};
}

std::optional<DotPoint> GridGeometry::dotForPoint(int x, int y) const {
    if (x <= GridOrigin || y <= GridOrigin || onVerticalLine(x) || onHorizontalLine(y))
        return std::nullopt;
    const int column = columnAt(x);
    const int row = rowAt(y);
    if (column > width - 1 || row > height - 1) return std::nullopt;
    return DotPoint{column, row};
}

std::optional<DotPoint> GridGeometry::dotForShape(int x, int y) const {
    if (x < GridOrigin || y < GridOrigin) return std::nullopt;
    const int column = columnAt(x);
    const int row = rowAt(y);
    if (column > width - 1 || row > height - 1) return std::nullopt;
    return DotPoint{column, row};
}

DotPoint GridGeometry::cellCentre(int column, int row) const {
    return {px() * column + 6 + gridX / 2, py() * row + 6 + gridY / 2};
}

} // namespace dedur
