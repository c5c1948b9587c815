#pragma once

#include <cstdint>
#include <vector>

namespace dedur {

struct Document;
struct Selection;

inline constexpr int HistoryDepth = 12;

// Undo and redo stacks of whole-pattern snapshots, oldest first; each record
// has the store's layout (12-byte header + dots).
struct History {
    std::vector<std::vector<uint8_t>> undoBuffer;
    std::vector<std::vector<uint8_t>> redoBuffer;

    int undoCount() const { return static_cast<int>(undoBuffer.size()); }
    int redoCount() const { return static_cast<int>(redoBuffer.size()); }
};

// The current pattern as a record, with a floating block laid over it.
std::vector<uint8_t> takeSnapshot(const Document& doc, const Selection& sel);
void pushUndo(History& history, const Document& doc, const Selection& sel);
void pushRedo(History& history, const Document& doc, const Selection& sel);
// Both end a floating block without dropping it. False when there was nothing.
bool undo(History& history, Document& doc, Selection& sel);
bool redo(History& history, Document& doc, Selection& sel);

} // namespace dedur
