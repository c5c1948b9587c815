#include "grid/history.h"

#include <algorithm>
#include <cstring>

#include "document/patternstore.h"
#include "grid/selection.h"

namespace dedur {

namespace {

void push(std::vector<std::vector<uint8_t>>& buffer, std::vector<uint8_t> record) {
    if (static_cast<int>(buffer.size()) >= HistoryDepth) buffer.erase(buffer.begin());
    buffer.push_back(std::move(record));
}

void restore(std::vector<std::vector<uint8_t>>& from, Document& doc, Selection& sel) {
    const std::vector<uint8_t> record = std::move(from.back());
    from.pop_back();
    const PatternHeader header = decodeHeader(record.data());
    if (header.width != doc.patternWidth || header.height != doc.patternHeight) {
        // Undoing a size change: a blank pattern of the old size and
        // placement takes the current one's place.
        replaceCurrentRecord(doc, header);
    }
    const size_t count =
        std::min({record.size() - HeaderSize, static_cast<size_t>(std::max(doc.patternDotCount, 0)),
                  static_cast<size_t>(WorkDotsSize)});
    std::memcpy(doc.workDots.data(), record.data() + HeaderSize, count);
    storeWorkDots(doc);
    // The pattern no longer is what was saved (or opened).
    doc.modifiedFlag = true;
    endFloatingBlock(sel, true);
}

} // namespace

std::vector<uint8_t> takeSnapshot(const Document& doc, const Selection& sel) {
    PatternHeader header{doc.patternWidth, doc.patternHeight, 0, 0, 0, 0};
    getHeader(doc, -1, header);
    // The snapshot's size is always the size being edited.
    header.width = doc.patternWidth;
    header.height = doc.patternHeight;
    const int width = std::max<int>(doc.patternWidth, 0);
    const int height = std::max<int>(doc.patternHeight, 0);
    const size_t count = std::min(static_cast<size_t>(width) * static_cast<size_t>(height),
                                  static_cast<size_t>(WorkDotsSize));
    std::vector<uint8_t> record(HeaderSize + count);
    encodeHeader(header, record.data());
    uint8_t* dots = record.data() + HeaderSize;
    std::memcpy(dots, doc.workDots.data(), count);
    if (sel.selectionState != SelectionState::None) {
        const DotRect& b = sel.blockRect;
        for (int y = std::max(b.top, 0); y <= std::min(b.bottom, height - 1); ++y) {
            for (int x = std::max(b.left, 0); x <= std::min(b.right, width - 1); ++x) {
                const size_t i = static_cast<size_t>(y * width + x);
                if (i < count) dots[i] = blockDot(sel, x, y);
            }
        }
    }
    return record;
}

void pushUndo(History& history, const Document& doc, const Selection& sel) {
    push(history.undoBuffer, takeSnapshot(doc, sel));
}

void pushRedo(History& history, const Document& doc, const Selection& sel) {
    push(history.redoBuffer, takeSnapshot(doc, sel));
}

bool undo(History& history, Document& doc, Selection& sel) {
    if (history.undoBuffer.empty()) return false;
    pushRedo(history, doc, sel);
    restore(history.undoBuffer, doc, sel);
    return true;
}

bool redo(History& history, Document& doc, Selection& sel) {
    if (history.redoBuffer.empty()) return false;
    pushUndo(history, doc, sel);
    restore(history.redoBuffer, doc, sel);
    return true;
}

} // namespace dedur
