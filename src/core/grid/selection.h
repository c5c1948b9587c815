#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "grid/gridgeometry.h"

namespace dedur {

struct Document;

enum class SelectionState { None, Floating, Moving };

// The floating block of the select tool.
// The eight handles of a floating block's frame, by their codes.
enum class ResizeHandle {
    None = 0,
    TopLeft = 1,
    Left = 2,
    BottomLeft = 3,
    TopRight = 4,
    Right = 5,
    BottomRight = 6,
    Top = 7,
    Bottom = 8,
};

struct Selection {
    SelectionState selectionState = SelectionState::None;
    bool resizing = false;
    PixelRect selectionRect;            // grid-line positions of the block's frame
    DotRect blockRect;                  // may reach beyond the pattern on any side
    std::vector<uint8_t> floatingBlock; // row-major, blockRect.width() per row
    PixelRect resizeRect;
    ResizeHandle handleCode = ResizeHandle::None;
    DotPoint lastPointer;
    bool moveUndoSaved = false;
    bool resizeUndoSaved = false;
};

PixelRect selectionRectFromBlock(const DotRect& block, int px, int py);

// Ends a floating block (dropped or not, the caller decides first): no block,
// no resize under way. Undo, redo and a press beside the block also forget
// that its move took a snapshot.
void endFloatingBlock(Selection& sel, bool forgetMoveSnapshot);
DotRect blockRectFromSelection(const PixelRect& rect, int px, int py);

// The block's dot at pattern position (x, y), if the block covers it.
bool blockCovers(const Selection& sel, int x, int y);
uint8_t blockDot(const Selection& sel, int x, int y);

// Lifts the dots inside the bounding box of `points` into a floating block
// and clears them in `workDots`. A single point (or none) makes nothing.
bool makeSelection(Selection& sel, Document& doc, const std::vector<DotPoint>& points, int px,
                   int py);
// ORs the block's set dots that lie inside the pattern into `workDots` and
// stores them. The caller ends the selection.
void dropSelection(Selection& sel, Document& doc, int px, int py);

// Move: cells from raw client coordinates (no grid origin).
DotPoint moveCell(DotPoint pointer, int px, int py);
void shiftSelection(Selection& sel, int dx, int dy, int px, int py);
// Release of a move: keeps the frame from leaving the grid past its edge.
void clampAfterMove(Selection& sel, int patternWidth, int patternHeight, int px, int py);

// Handle under a pointer, None for none.
ResizeHandle hitTestHandle(const PixelRect& rect, int x, int y);
bool insideSelection(const PixelRect& rect, int x, int y);

struct ResizeStep {
    PixelRect rect;
    bool limited = false;
    // Where the pointer goes when a limit applied (client pixels).
    DotPoint pointer;
};
// Moves the edges of `rect` that `handle` holds by (ex, ey) pixels and keeps
// the frame between one dot and twice the pattern's size.
ResizeStep resizeFrame(const PixelRect& rect, ResizeHandle handle, int ex, int ey, DotPoint pointer,
                       int patternWidth, int patternHeight, int px, int py);

// Nearest-neighbour rescale; a shrunk dot is set when any merged dot is set.
std::vector<uint8_t> rescaleDots(const std::vector<uint8_t>& dots, int w0, int h0, int w1, int h1);

struct History;

// Dragging a floating block: the pointer (client pixels) moved from
// sel.lastPointer to `pointer`. When it crossed a cell boundary the block
// moves by whole cells (the first move of a drag takes the undo snapshot)
// and true comes back; the block's old place is `from`.
bool dragBlock(Selection& sel, Document& doc, History& history, DotPoint pointer, int px, int py,
               DotRect& from);

// Dragging a handle of a floating block: the frame in sel.resizeRect follows
// the pointer cell by cell (the first step takes the undo snapshot). The new
// frame, or nothing while the pointer stays in its cell.
std::optional<ResizeStep> dragResizeFrame(Selection& sel, Document& doc, History& history,
                                          DotPoint pointer, int patternWidth, int patternHeight,
                                          int px, int py);

// Release of a resize: the block takes the new frame, its dots rescaled.
// The block as it was (to go to the clipboard), or nothing when the frame
// kept its size in dots.
struct BlockDots {
    std::vector<uint8_t> dots;
    int width = 0;
    int height = 0;
};
std::optional<BlockDots> finishResize(Selection& sel, int px, int py);

} // namespace dedur
