#pragma once

#include <string>

#include "base/safewrite.h"

namespace dedur {

struct Document;
struct History;
struct Selection;
struct PlatformBitmap;

struct PasteOutcome {
    bool pasted = false;
    Outcome record; // keeping the paste record; a failure does not stop the paste
};

// Pastes a bitmap as a floating block at the top left of the pattern, cut
// to its size: a block already floating is dropped first, the undo snapshot
// taken, the bitmap kept in "bitmap.dat" at `recordPath` (an imported image
// passes none). Nothing happens for a bitmap of a depth the paste does not
// read.
PasteOutcome pasteBitmapAsBlock(Document& doc, History& history, Selection& sel,
                                const PlatformBitmap& bitmap, int px, int py,
                                const std::string& recordPath);

// Cut and Clear after the copy: a floating block goes without being dropped
// (its dots were lifted); otherwise the whole pattern is cleared. Undoable.
void clearDots(Document& doc, History& history, Selection& sel);

} // namespace dedur
