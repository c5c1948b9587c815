#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace dedur {

struct Document;
struct Selection;

inline constexpr int HistoryDepth = 12;

// A step that named a pattern: its number and the name to put back ("": none).
struct NameStep {
    int number = 0;
    std::string name;
};

// The patterns' names in code, by number.
using PatternNames = std::map<int, std::string>;

// Undo and redo stacks of whole-pattern snapshots, oldest first; each record
// has the store's layout (12-byte header + dots). Beside each record, the
// name it changes when the step named a pattern.
struct History {
    std::vector<std::vector<uint8_t>> undoBuffer;
    std::vector<std::vector<uint8_t>> redoBuffer;
    std::vector<std::optional<NameStep>> undoNames;
    std::vector<std::optional<NameStep>> redoNames;

    int undoCount() const { return static_cast<int>(undoBuffer.size()); }
    int redoCount() const { return static_cast<int>(redoBuffer.size()); }
};

// The current pattern as a record, with a floating block laid over it.
std::vector<uint8_t> takeSnapshot(const Document& doc, const Selection& sel);
void pushUndo(History& history, const Document& doc, const Selection& sel);
void pushRedo(History& history, const Document& doc, const Selection& sel);
// Naming pattern `number` (now named `before`, "" for none) as one step.
void pushNameUndo(History& history, const Document& doc, const Selection& sel, int number,
                  const std::string& before);
// Both end a floating block without dropping it. False when there was nothing.
// A step that named a pattern puts its name back into `names`.
bool undo(History& history, Document& doc, Selection& sel, PatternNames* names = nullptr);
bool redo(History& history, Document& doc, Selection& sel, PatternNames* names = nullptr);

} // namespace dedur
