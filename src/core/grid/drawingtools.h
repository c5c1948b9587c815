#pragma once

#include <string>

#include "grid/toolpoints.h"

namespace dedur {

struct Document;
struct History;
struct Selection;

// Tools, identified by the command that makes them current.
enum class Tool {
    Point,
    Erase,
    Line,
    OutlineRectangle,
    FilledRectangle,
    Select,
    OutlineEllipse,
    FilledEllipse,
};

bool isShapeTool(Tool tool); // line, rectangles, ellipses
bool isEllipseTool(Tool tool);

// State of one press-drag-release on the grid, in dots.
struct GridInteraction {
    Tool tool = Tool::Point;
    bool buttonDown = false;
    DotPoint anchor;
    DotPoint current;
    bool strokeUndoSaved = false;
    bool shapeStarted = false; // a shape or select drag began on a dot
    // The last dot a point or erase stroke reached: the next is joined to it.
    bool strokeStarted = false;
    DotPoint strokeEnd;
    ToolLists lists;
    std::string statusText; // left by the filled ellipse
};

// A press of the left button begins, and its release ends: the only places
// the press's state is set and cleared.
void beginPress(GridInteraction& gi);
void endPress(GridInteraction& gi);

// Point and erase: changes dot (x, y) if it is not already as the tool makes
// it; the first change of a press takes the undo snapshot. True if changed.
bool pointOrErase(GridInteraction& gi, Document& doc, History& history, const Selection& sel,
                  DotPoint dot);

// Press of a shape or select tool on a dot of the pattern: the first list.
void startShape(GridInteraction& gi, Document& doc, DotPoint dot);
// Pointer moved to `dot` during a shape or select drag.
void trackShape(GridInteraction& gi, const Document& doc, DotPoint dot);
// Release of a line, rectangle or ellipse tool: sets the listed dots (lines
// always, the others from two points up). True when dots were applied.
bool applyShape(GridInteraction& gi, Document& doc, History& history, const Selection& sel);

// Point and erase: the stroke reaches `dot`. The dots of the line from the
// dot it reached last (none at the press) to this one change as pointOrErase
// changes them, so that a fast drag leaves no gaps; the changed dots are
// added to `changed`. The count of changed dots.
int strokeTo(GridInteraction& gi, Document& doc, History& history, const Selection& sel,
             DotPoint dot, std::vector<DotPoint>* changed = nullptr);
// A whole press, moves and release on dots (`path`: the press, then each
// move), as the editor runs them. Select makes a floating block from the
// rubber band.
void dragOnDots(GridInteraction& gi, Document& doc, History& history, Selection& sel,
                const std::vector<DotPoint>& path, int px, int py);

} // namespace dedur
