#include "grid/transform.h"

#include <algorithm>

#include "document/patternstore.h"
#include "grid/history.h"
#include "grid/resize.h"
#include "grid/selection.h"

namespace dedur {

namespace {

// Where the dot at (x, y) of a w x h block goes, and the new block's width.
struct Mapped {
    int x, y;
};

Mapped mapDot(TransformKind kind, int x, int y, int w, int h) {
    switch (kind) {
    case TransformKind::FlipHorizontal:
        return {w - 1 - x, y};
    case TransformKind::FlipVertical:
        return {x, h - 1 - y};
    case TransformKind::RotateRight:
        return {h - 1 - y, x};
    case TransformKind::RotateLeft:
        return {y, w - 1 - x};
    default:
        return {x, y};
    }
}

int wrapped(int value, int size) {
    return ((value % size) + size) % size;
}

} // namespace

DotGrid transformDots(const DotGrid& in, const Transform& t) {
    const bool turns = t.kind == TransformKind::RotateRight || t.kind == TransformKind::RotateLeft;
    DotGrid out{turns ? in.height : in.width, turns ? in.width : in.height, {}};
    out.dots.assign(static_cast<size_t>(out.width) * static_cast<size_t>(out.height), DOT_OFF);
    for (int y = 0; y < in.height; ++y) {
        for (int x = 0; x < in.width; ++x) {
            const uint8_t dot = in.dots[static_cast<size_t>(y * in.width + x)];
            Mapped to = mapDot(t.kind, x, y, in.width, in.height);
            if (t.kind == TransformKind::Invert) {
                out.dots[static_cast<size_t>(y * out.width + x)] = dot == DOT_ON ? DOT_OFF : DOT_ON;
                continue;
            }
            if (t.kind == TransformKind::Shift) {
                // Shifts reduced first: x + dx must not overflow, however far.
                const int dx =
                    t.wrap ? wrapped(t.dx, out.width) : std::clamp(t.dx, -out.width, out.width);
                const int dy =
                    t.wrap ? wrapped(t.dy, out.height) : std::clamp(t.dy, -out.height, out.height);
                to = {x + dx, y + dy};
                if (t.wrap) to = {wrapped(to.x, out.width), wrapped(to.y, out.height)};
                if (to.x < 0 || to.y < 0 || to.x >= out.width || to.y >= out.height) continue;
            }
            out.dots[static_cast<size_t>(to.y * out.width + to.x)] = dot;
        }
    }
    return out;
}

std::optional<TransformKind> transformNamed(std::string_view name) {
    static const std::pair<std::string_view, TransformKind> names[] = {
        {"flip-h", TransformKind::FlipHorizontal},
        {"flip-v", TransformKind::FlipVertical},
        {"rotate-right", TransformKind::RotateRight},
        {"rotate-left", TransformKind::RotateLeft},
        {"invert", TransformKind::Invert},
        {"shift", TransformKind::Shift}};
    for (const auto& [text, kind] : names) {
        if (text == name) return kind;
    }
    return std::nullopt;
}

namespace {

void transformBlock(Selection& sel, const Transform& t, int px, int py) {
    const DotRect r = sel.blockRect;
    if (t.kind == TransformKind::Shift && !t.wrap) {
        // The block itself moves, by whole cells, and stays on the grid as
        // after a drag.
        shiftSelection(sel, t.dx, t.dy, px, py);
        return;
    }
    const DotGrid turned =
        transformDots({r.right - r.left + 1, r.bottom - r.top + 1, sel.floatingBlock}, t);
    sel.floatingBlock = turned.dots;
    sel.blockRect = {r.left, r.top, r.left + turned.width - 1, r.top + turned.height - 1};
    sel.selectionRect = selectionRectFromBlock(sel.blockRect, px, py);
}

} // namespace

Outcome transformPattern(Document& doc, History& history, Selection& sel, const Transform& t,
                         int px, int py) {
    if (sel.selectionState != SelectionState::None) {
        pushUndo(history, doc, sel);
        transformBlock(sel, t, px, py);
        if (t.kind == TransformKind::Shift && !t.wrap) {
            clampAfterMove(sel, doc.patternWidth, doc.patternHeight, px, py);
        }
        doc.modifiedFlag = true;
        return {};
    }
    const int width = doc.patternWidth;
    const int height = doc.patternHeight;
    const DotGrid before{
        width, height, {doc.workDots.begin(), doc.workDots.begin() + width * height}};
    const DotGrid after = transformDots(before, t);
    if (after.width != width && doc.editType != EditMode::Pattern) {
        return Outcome::refused(
            {"Only a square glyph can be turned", " ", MessageButtons::Ok, MessageIcon::Question});
    }
    PatternHeader header;
    getHeader(doc, doc.currentPattern, header);
    // Only a pattern has a place on the panel to keep.
    if (after.width != width && doc.kind == DocumentKind::Patterns) {
        if (Outcome refused = checkPlacement(after.width, header.leftToRight, header.beginSeg,
                                             header.beginCom, "Width");
            !refused.ok()) {
            return refused;
        }
        if (Outcome refused = checkPlacement(after.height, header.topToBottom, header.beginSeg,
                                             header.beginCom, "Height");
            !refused.ok()) {
            return refused;
        }
    }
    pushUndo(history, doc, sel);
    if (after.width != width) {
        header.width = static_cast<int16_t>(after.width);
        header.height = static_cast<int16_t>(after.height);
        replaceCurrentRecord(doc, header);
    }
    std::copy(after.dots.begin(), after.dots.end(), doc.workDots.begin());
    storeWorkDots(doc);
    doc.modifiedFlag = true;
    return {};
}

} // namespace dedur
