#pragma once

#include <string>
#include <vector>

#include "grid/gridgeometry.h"

namespace dedur {

// The point lists of a shape drag: the current list and the one before the
// last recomputation (the preview repaints the difference).
struct ToolLists {
    std::vector<DotPoint> current;
    std::vector<DotPoint> previous;
    bool active = false; // a current list exists

    void clear() {
        current.clear();
        previous.clear();
        active = false;
    }
};

enum ShapeMode { ShapeOutline = 1, ShapeFilled = 2 };

// Bresenham walk from the anchor (x0, y0) to (x1, y1); returns the count.
int computeLine(ToolLists& lists, int x0, int y0, int x1, int y1);
void computeRectangle(ToolLists& lists, int x0, int y0, int x1, int y1, int mode);
// Ellipse in the box of the two corners on a pattern of W x H dots. A box
// with a zero side leaves both lists alone; a box of two dots or less keeps
// the current list. The filled form leaves its status text in `status`.
void computeEllipse(ToolLists& lists, int patternWidth, int patternHeight, int x0, int y0, int x1,
                    int y1, int mode, std::string* status);

} // namespace dedur
