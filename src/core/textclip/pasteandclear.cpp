#include "textclip/pasteandclear.h"

#include <algorithm>

#include "document/patternstore.h"
#include "grid/history.h"
#include "grid/selection.h"
#include "textclip/platformbitmap.h"

namespace dedur {

PasteOutcome pasteBitmapAsBlock(Document& doc, History& history, Selection& sel,
                                const PlatformBitmap& bitmap, int px, int py,
                                const std::string& recordPath) {
    PasteOutcome outcome;
    int width = 0;
    int height = 0;
    auto dots = pasteBitmapDots(bitmap, doc.patternWidth, doc.patternHeight, width, height);
    if (!dots) return outcome;
    // Dropped, but still counted as floating for the snapshot below.
    if (sel.selectionState != SelectionState::None) dropSelection(sel, doc, px, py);
    pushUndo(history, doc, sel);
    if (!recordPath.empty()) {
        outcome.record = writeFileSafely(recordPath, pasteRecord(bitmap), FileRole::Program);
    }
    sel.blockRect = {0, 0, width - 1, height - 1};
    sel.selectionRect = selectionRectFromBlock(sel.blockRect, px, py);
    sel.selectionState = SelectionState::Floating;
    sel.floatingBlock = std::move(*dots);
    doc.modifiedFlag = true;
    outcome.pasted = true;
    return outcome;
}

void clearDots(Document& doc, History& history, Selection& sel) {
    pushUndo(history, doc, sel);
    if (sel.selectionState == SelectionState::None) {
        std::fill_n(
            doc.workDots.begin(),
            std::min(static_cast<size_t>(std::max(doc.patternDotCount, 0)), doc.workDots.size()),
            DOT_OFF);
    }
    endFloatingBlock(sel, false);
    storeWorkDots(doc);
    doc.modifiedFlag = true;
}

} // namespace dedur
