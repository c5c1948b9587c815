#include "grid/drawingtools.h"

#include "document/patternstore.h"
#include "grid/history.h"
#include "grid/selection.h"

namespace dedur {

bool isShapeTool(Tool tool) {
    return tool != Tool::Point && tool != Tool::Erase && tool != Tool::Select;
}

bool isEllipseTool(Tool tool) {
    return tool == Tool::OutlineEllipse || tool == Tool::FilledEllipse;
}

void beginPress(GridInteraction& gi) {
    gi.buttonDown = true;
    gi.strokeUndoSaved = false;
    gi.shapeStarted = false;
    gi.strokeStarted = false;
}

void endPress(GridInteraction& gi) {
    gi.buttonDown = false;
    gi.strokeUndoSaved = false;
    gi.shapeStarted = false;
    gi.strokeStarted = false;
    gi.lists.clear();
}

bool pointOrErase(GridInteraction& gi, Document& doc, History& history, const Selection& sel,
                  DotPoint dot) {
    if (dot.x < 0 || dot.y < 0 || dot.x >= doc.patternWidth || dot.y >= doc.patternHeight) {
        return false;
    }
    const size_t index = static_cast<size_t>(dot.y * doc.patternWidth + dot.x);
    const bool set = doc.workDots[index] == DOT_ON;
    if (gi.tool == Tool::Point ? set : !set) return false;
    if (!gi.strokeUndoSaved) {
        gi.strokeUndoSaved = true;
        pushUndo(history, doc, sel);
    }
    doc.workDots[index] = gi.tool == Tool::Point ? DOT_ON : DOT_OFF;
    storeWorkDots(doc);
    doc.modifiedFlag = true;
    return true;
}

int strokeTo(GridInteraction& gi, Document& doc, History& history, const Selection& sel,
             DotPoint dot, std::vector<DotPoint>* changed) {
    ToolLists line;
    const DotPoint from = gi.strokeStarted ? gi.strokeEnd : dot;
    computeLine(line, from.x, from.y, dot.x, dot.y);
    gi.strokeStarted = true;
    gi.strokeEnd = dot;
    int count = 0;
    for (const DotPoint& p : line.current) {
        if (!pointOrErase(gi, doc, history, sel, p)) continue;
        ++count;
        if (changed) changed->push_back(p);
    }
    return count;
}

void startShape(GridInteraction& gi, Document& doc, DotPoint dot) {
    gi.anchor = gi.current = dot;
    switch (gi.tool) {
    case Tool::Line:
        computeLine(gi.lists, dot.x, dot.y, dot.x, dot.y);
        break;
    case Tool::OutlineRectangle:
    case Tool::FilledRectangle:
        computeRectangle(gi.lists, dot.x, dot.y, dot.x, dot.y,
                         gi.tool == Tool::OutlineRectangle ? ShapeOutline : ShapeFilled);
        break;
    case Tool::OutlineEllipse:
    case Tool::FilledEllipse: {
        const int mode = gi.tool == Tool::OutlineEllipse ? ShapeOutline : ShapeFilled;
        computeEllipse(gi.lists, doc.patternWidth, doc.patternHeight, dot.x, dot.y, dot.x, dot.y,
                       mode, &gi.statusText);
        computeRectangle(gi.lists, dot.x, dot.y, dot.x, dot.y, mode);
        break;
    }
    default:
        return; // select: no list until the pointer moves
    }
    doc.modifiedFlag = true;
}

void trackShape(GridInteraction& gi, const Document& doc, DotPoint dot) {
    gi.current = dot;
    const DotPoint a = gi.anchor;
    switch (gi.tool) {
    case Tool::Line:
        computeLine(gi.lists, a.x, a.y, dot.x, dot.y);
        break;
    case Tool::OutlineRectangle:
    case Tool::Select:
        computeRectangle(gi.lists, a.x, a.y, dot.x, dot.y, ShapeOutline);
        break;
    case Tool::FilledRectangle:
        computeRectangle(gi.lists, a.x, a.y, dot.x, dot.y, ShapeFilled);
        break;
    case Tool::OutlineEllipse:
        computeEllipse(gi.lists, doc.patternWidth, doc.patternHeight, a.x, a.y, dot.x, dot.y,
                       ShapeOutline, &gi.statusText);
        break;
    case Tool::FilledEllipse:
        computeEllipse(gi.lists, doc.patternWidth, doc.patternHeight, a.x, a.y, dot.x, dot.y,
                       ShapeFilled, &gi.statusText);
        break;
    default:
        break;
    }
}

bool applyShape(GridInteraction& gi, Document& doc, History& history, const Selection& sel) {
    bool applied = false;
    if (gi.lists.active && !gi.lists.current.empty() &&
        (gi.tool == Tool::Line || gi.lists.current.size() >= 2)) {
        pushUndo(history, doc, sel);
        for (const DotPoint& p : gi.lists.current) {
            if (p.x >= 0 && p.y >= 0 && p.x < doc.patternWidth && p.y < doc.patternHeight) {
                doc.workDots[static_cast<size_t>(p.y * doc.patternWidth + p.x)] = DOT_ON;
            }
        }
        storeWorkDots(doc);
        applied = true;
    }
    gi.lists.clear();
    return applied;
}

void dragOnDots(GridInteraction& gi, Document& doc, History& history, Selection& sel,
                const std::vector<DotPoint>& path, int px, int py) {
    if (path.empty()) return;
    beginPress(gi);
    if (gi.tool == Tool::Point || gi.tool == Tool::Erase) {
        for (const DotPoint& dot : path) strokeTo(gi, doc, history, sel, dot);
    } else {
        startShape(gi, doc, path.front());
        for (size_t i = 1; i < path.size(); ++i) trackShape(gi, doc, path[i]);
        if (gi.tool == Tool::Select) {
            if (gi.lists.active) makeSelection(sel, doc, gi.lists.current, px, py);
            gi.lists.clear();
        } else {
            applyShape(gi, doc, history, sel);
        }
    }
    endPress(gi);
}

} // namespace dedur
