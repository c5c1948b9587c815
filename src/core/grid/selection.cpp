#include "grid/selection.h"

#include <algorithm>

#include "document/patternstore.h"
#include "grid/history.h"

namespace dedur {

namespace {

int floorDiv(int a, int b) {
    const int q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

using H = ResizeHandle;

bool handleMovesRight(H h) {
    return h == H::TopRight || h == H::Right || h == H::BottomRight;
}
bool handleMovesLeft(H h) {
    return h == H::TopLeft || h == H::Left || h == H::BottomLeft;
}
bool handleMovesBottom(H h) {
    return h == H::BottomLeft || h == H::BottomRight || h == H::Bottom;
}
bool handleMovesTop(H h) {
    return h == H::TopLeft || h == H::TopRight || h == H::Top;
}

} // namespace

PixelRect selectionRectFromBlock(const DotRect& b, int px, int py) {
    return {px * b.left + GridOrigin, py * b.top + GridOrigin, px * (b.right + 1) + GridOrigin,
            py * (b.bottom + 1) + GridOrigin};
}

DotRect blockRectFromSelection(const PixelRect& r, int px, int py) {
    DotRect b;
    b.left = floorDiv(r.left - GridOrigin, px);
    b.top = floorDiv(r.top - GridOrigin, py);
    b.right = b.left + (r.right - r.left) / px - 1;
    b.bottom = b.top + (r.bottom - r.top) / py - 1;
    return b;
}

bool blockCovers(const Selection& sel, int x, int y) {
    const DotRect& b = sel.blockRect;
    return x >= b.left && x <= b.right && y >= b.top && y <= b.bottom;
}

uint8_t blockDot(const Selection& sel, int x, int y) {
    if (!blockCovers(sel, x, y)) return DOT_OFF;
    const size_t index =
        static_cast<size_t>(y - sel.blockRect.top) * static_cast<size_t>(sel.blockRect.width()) +
        static_cast<size_t>(x - sel.blockRect.left);
    return index < sel.floatingBlock.size() ? sel.floatingBlock[index] : DOT_OFF;
}

bool makeSelection(Selection& sel, Document& doc, const std::vector<DotPoint>& points, int px,
                   int py) {
    if (points.size() < 2) return false;
    DotRect box{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const DotPoint& p : points) {
        box.left = std::min(box.left, p.x);
        box.right = std::max(box.right, p.x);
        box.top = std::min(box.top, p.y);
        box.bottom = std::max(box.bottom, p.y);
    }
    sel.selectionRect = selectionRectFromBlock(box, px, py);
    sel.blockRect = box;
    sel.selectionState = SelectionState::Floating;
    sel.floatingBlock.assign(static_cast<size_t>(box.width()) * static_cast<size_t>(box.height()),
                             DOT_OFF);
    size_t k = 0;
    for (int y = box.top; y <= box.bottom; ++y) {
        for (int x = box.left; x <= box.right; ++x, ++k) {
            if (x < 0 || y < 0 || x >= doc.patternWidth || y >= doc.patternHeight) continue;
            uint8_t& dot = doc.workDots[static_cast<size_t>(y * doc.patternWidth + x)];
            sel.floatingBlock[k] = dot;
            dot = DOT_OFF;
        }
    }
    return true;
}

void dropSelection(Selection& sel, Document& doc, int px, int py) {
    sel.blockRect = blockRectFromSelection(sel.selectionRect, px, py);
    const DotRect& b = sel.blockRect;
    for (int y = std::max(b.top, 0); y <= std::min<int>(b.bottom, doc.patternHeight - 1); ++y) {
        for (int x = std::max(b.left, 0); x <= std::min<int>(b.right, doc.patternWidth - 1); ++x) {
            if (blockDot(sel, x, y) == DOT_ON) {
                doc.workDots[static_cast<size_t>(y * doc.patternWidth + x)] = DOT_ON;
            }
        }
    }
    storeWorkDots(doc);
}

void endFloatingBlock(Selection& sel, bool forgetMoveSnapshot) {
    sel.selectionState = SelectionState::None;
    sel.resizing = false;
    sel.resizeUndoSaved = false;
    if (forgetMoveSnapshot) sel.moveUndoSaved = false;
}

DotPoint moveCell(DotPoint pointer, int px, int py) {
    return {pointer.x / px, pointer.y / py};
}

void shiftSelection(Selection& sel, int dx, int dy, int px, int py) {
    sel.selectionRect.left += dx * px;
    sel.selectionRect.right += dx * px;
    sel.selectionRect.top += dy * py;
    sel.selectionRect.bottom += dy * py;
    sel.blockRect.left += dx;
    sel.blockRect.right += dx;
    sel.blockRect.top += dy;
    sel.blockRect.bottom += dy;
}

void clampAfterMove(Selection& sel, int patternWidth, int patternHeight, int px, int py) {
    PixelRect& r = sel.selectionRect;
    const int lx = px * patternWidth + 4;
    const int ly = py * patternHeight + 4;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (r.left > lx) {
        r.left = lx + 1;
        r.right = r.left + width;
    }
    if (r.right < GridOrigin) {
        r.right = GridOrigin;
        r.left = GridOrigin - width;
    }
    if (r.top > ly) {
        r.top = ly + 1;
        r.bottom = r.top + height;
    }
    if (r.bottom < GridOrigin) {
        r.bottom = GridOrigin;
        r.top = GridOrigin - height;
    }
    sel.blockRect = blockRectFromSelection(r, px, py);
}

ResizeHandle hitTestHandle(const PixelRect& r, int x, int y) {
    if (r.right <= x && x <= r.right + 2 && r.top < y && y < r.bottom) return ResizeHandle::Right;
    if (r.left - 2 <= x && x <= r.left && r.top < y && y < r.bottom) return ResizeHandle::Left;
    if (r.left + 2 <= x && x <= r.right - 2 && r.top - 2 <= y && y <= r.top)
        return ResizeHandle::Top;
    if (r.left + 2 <= x && x <= r.right - 2 && r.bottom <= y && y <= r.bottom + 2)
        return ResizeHandle::Bottom;
    if (r.left - 2 <= x && x <= r.left && r.top - 2 <= y && y <= r.top)
        return ResizeHandle::TopLeft;
    if (r.right <= x && x <= r.right + 2 && r.bottom <= y && y <= r.bottom + 2)
        return ResizeHandle::BottomRight;
    if (r.left - 2 <= x && x <= r.left && r.bottom <= y && y <= r.bottom + 2)
        return ResizeHandle::BottomLeft;
    if (r.right <= x && x <= r.right + 2 && r.top - 2 <= y && y <= r.top)
        return ResizeHandle::TopRight;
    return ResizeHandle::None;
}

bool insideSelection(const PixelRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

ResizeStep resizeFrame(const PixelRect& rect, ResizeHandle handle, int ex, int ey, DotPoint pointer,
                       int patternWidth, int patternHeight, int px, int py) {
    ResizeStep step{rect, false, pointer};
    PixelRect& r = step.rect;
    switch (handle) {
    case ResizeHandle::TopLeft:
        r.left += ex;
        r.top += ey;
        break;
    case ResizeHandle::Left:
        r.left += ex;
        break;
    case ResizeHandle::BottomLeft:
        r.left += ex;
        r.bottom += ey;
        break;
    case ResizeHandle::TopRight:
        r.right += ex;
        r.top += ey;
        break;
    case ResizeHandle::Right:
        r.right += ex;
        break;
    case ResizeHandle::BottomRight:
        r.right += ex;
        r.bottom += ey;
        break;
    case ResizeHandle::Top:
        r.top += ey;
        break;
    case ResizeHandle::Bottom:
        r.bottom += ey;
        break;
    default:
        return step;
    }
    const int w = (r.right - r.left) / px;
    const int h = (r.bottom - r.top) / py;
    const int maxW = 2 * patternWidth;
    const int maxH = 2 * patternHeight;
    bool verticalCorrected = false;
    int correctedX = 0;
    if (handleMovesRight(handle)) {
        if (r.right <= r.left) {
            r.right = r.left + px;
            verticalCorrected = true;
        } else if (w > maxW) {
            r.right = r.left + maxW * px;
            verticalCorrected = true;
        }
        correctedX = r.right;
    }
    if (handleMovesLeft(handle)) {
        if (r.left >= r.right) {
            r.left = r.right - px;
            verticalCorrected = true;
        } else if (w > maxW) {
            r.left = r.right - maxW * px;
            verticalCorrected = true;
        }
        correctedX = r.left;
    }
    bool horizontalCorrected = false;
    if (handleMovesBottom(handle)) {
        if (r.bottom <= r.top) {
            r.bottom = r.top + py;
            horizontalCorrected = true;
        } else if (h > maxH) {
            r.bottom = r.top + maxH * py;
            horizontalCorrected = true;
        }
    }
    if (handleMovesTop(handle)) {
        if (r.top >= r.bottom) {
            r.top = r.bottom - py;
            horizontalCorrected = true;
        } else if (h > maxH) {
            r.top = r.bottom - maxH * py;
            horizontalCorrected = true;
        }
    }
    step.limited = verticalCorrected || horizontalCorrected;
    if (step.limited) {
        if (verticalCorrected) step.pointer.x = correctedX;
        if (handleMovesTop(handle)) step.pointer.y = r.top;
        if (handleMovesBottom(handle)) step.pointer.y = r.bottom;
    }
    return step;
}

std::vector<uint8_t> rescaleDots(const std::vector<uint8_t>& dots, int w0, int h0, int w1, int h1) {
    std::vector<uint8_t> out(
        static_cast<size_t>(std::max(w1, 0)) * static_cast<size_t>(std::max(h1, 0)), DOT_OFF);
    if (w0 <= 0 || h0 <= 0 || w1 <= 0 || h1 <= 0) return out;
    // Growing, a dot takes the source dot it falls on; shrinking, each source
    // dot goes into exactly one dot (s * to / from), so no set dot spreads.
    auto source = [](int j, int from, int to) {
        const long long a = j, f = from, t = to;
        if (to >= from) {
            const int at = static_cast<int>(a * f / t);
            return std::pair<int, int>{at, at};
        }
        return std::pair<int, int>{static_cast<int>((a * f + t - 1) / t),
                                   static_cast<int>(((a + 1) * f + t - 1) / t) - 1};
    };
    for (int y = 0; y < h1; ++y) {
        const auto [sy0, sy1] = source(y, h0, h1);
        for (int x = 0; x < w1; ++x) {
            const auto [sx0, sx1] = source(x, w0, w1);
            bool set = false;
            for (int sy = sy0; sy <= sy1 && !set; ++sy) {
                for (int sx = sx0; sx <= sx1 && !set; ++sx) {
                    const size_t i =
                        static_cast<size_t>(sy) * static_cast<size_t>(w0) + static_cast<size_t>(sx);
                    set = i < dots.size() && dots[i] == DOT_ON;
                }
            }
            if (set)
                out[static_cast<size_t>(y) * static_cast<size_t>(w1) + static_cast<size_t>(x)] =
                    DOT_ON;
        }
    }
    return out;
}

bool dragBlock(Selection& sel, Document& doc, History& history, DotPoint pointer, int px, int py,
               DotRect& from) {
    const DotPoint a = moveCell(sel.lastPointer, px, py);
    const DotPoint b = moveCell(pointer, px, py);
    if (a == b) return false;
    if (!sel.moveUndoSaved) {
        sel.moveUndoSaved = true;
        pushUndo(history, doc, sel);
    }
    from = sel.blockRect;
    shiftSelection(sel, b.x - a.x, b.y - a.y, px, py);
    sel.lastPointer = pointer;
    doc.modifiedFlag = true;
    return true;
}

std::optional<ResizeStep> dragResizeFrame(Selection& sel, Document& doc, History& history,
                                          DotPoint pointer, int patternWidth, int patternHeight,
                                          int px, int py) {
    const DotPoint a = moveCell(sel.lastPointer, px, py);
    const DotPoint b = moveCell(pointer, px, py);
    if (a == b) return std::nullopt;
    if (!sel.resizeUndoSaved) {
        sel.resizeUndoSaved = true;
        pushUndo(history, doc, sel);
    }
    const ResizeStep step =
        resizeFrame(sel.resizeRect, sel.handleCode, (b.x - a.x) * px, (b.y - a.y) * py, pointer,
                    patternWidth, patternHeight, px, py);
    sel.resizeRect = step.rect;
    sel.lastPointer = step.limited ? step.pointer : pointer;
    return step;
}

std::optional<BlockDots> finishResize(Selection& sel, int px, int py) {
    sel.resizing = false;
    sel.resizeUndoSaved = false;
    const DotRect before = blockRectFromSelection(sel.selectionRect, px, py);
    sel.selectionRect = sel.resizeRect;
    const DotRect after = blockRectFromSelection(sel.selectionRect, px, py);
    if (after.width() == before.width() && after.height() == before.height()) {
        return std::nullopt;
    }
    BlockDots old{sel.floatingBlock, before.width(), before.height()};
    sel.floatingBlock = rescaleDots(sel.floatingBlock, before.width(), before.height(),
                                    after.width(), after.height());
    sel.blockRect = after;
    return old;
}

} // namespace dedur
