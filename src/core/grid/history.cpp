#include "grid/history.h"

#include <algorithm>
#include <cstring>

#include "document/patternstore.h"
#include "grid/selection.h"

namespace dedur {

namespace {

using Records = std::vector<std::vector<uint8_t>>;
using NameSteps = std::vector<std::optional<NameStep>>;

void push(Records& buffer, NameSteps& names, std::vector<uint8_t> record,
          std::optional<NameStep> step = std::nullopt) {
    // The two stand side by side: one short of the other (a history made
    // before names were kept) is filled first.
    names.resize(buffer.size());
    if (static_cast<int>(buffer.size()) >= HistoryDepth) {
        buffer.erase(buffer.begin());
        names.erase(names.begin());
    }
    buffer.push_back(std::move(record));
    names.push_back(std::move(step));
}

// The name the step puts back, and the step that would undo that.
std::optional<NameStep> applyName(const std::optional<NameStep>& step, PatternNames* names) {
    if (!step || !names) return std::nullopt;
    const auto now = names->find(step->number);
    NameStep reverse{step->number, now == names->end() ? std::string() : now->second};
    if (step->name.empty()) {
        names->erase(step->number);
    } else {
        (*names)[step->number] = step->name;
    }
    return reverse;
}

void restore(Records& from, NameSteps& fromNames, Document& doc, Selection& sel) {
    const std::vector<uint8_t> record = std::move(from.back());
    from.pop_back();
    fromNames.resize(from.size());
    const PatternHeader header = decodeHeader(record.data());
    PatternHeader now{};
    getHeader(doc, -1, now);
    // A font's glyph keeps its origin and advance in the header: a step that
    // moved them puts them back too.
    if (header.width != doc.patternWidth || header.height != doc.patternHeight ||
        (doc.kind == DocumentKind::Font && !(header == now))) {
        // Undoing a size change: a blank pattern of the old size and
        // placement takes the current one's place.
        replaceCurrentRecord(doc, header);
    }
    // Snapshots keep the dots packed as the store does: a step of a
    // 1024 x 1024 picture costs 128 KB, not a megabyte.
    if (record.size() == recordLength(header) &&
        static_cast<size_t>(std::max(doc.patternDotCount, 0)) <= doc.workDots.size()) {
        unpackDots(record.data() + HeaderSize, header.width, header.height, doc.workDots.data());
    }
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
    const size_t count =
        std::min(static_cast<size_t>(width) * static_cast<size_t>(height), doc.workDots.size());
    std::vector<uint8_t> dots(doc.workDots.begin(),
                              doc.workDots.begin() + static_cast<std::ptrdiff_t>(count));
    if (sel.selectionState != SelectionState::None) {
        const DotRect& b = sel.blockRect;
        for (int y = std::max(b.top, 0); y <= std::min(b.bottom, height - 1); ++y) {
            for (int x = std::max(b.left, 0); x <= std::min(b.right, width - 1); ++x) {
                const size_t i = static_cast<size_t>(y * width + x);
                if (i < count) dots[i] = blockDot(sel, x, y);
            }
        }
    }
    std::vector<uint8_t> record(recordLength(header), 0);
    encodeHeader(header, record.data());
    if (count == static_cast<size_t>(width) * static_cast<size_t>(height)) {
        packDots(dots.data(), width, height, record.data() + HeaderSize);
    }
    return record;
}

void pushUndo(History& history, const Document& doc, const Selection& sel) {
    push(history.undoBuffer, history.undoNames, takeSnapshot(doc, sel));
}

void pushRedo(History& history, const Document& doc, const Selection& sel) {
    push(history.redoBuffer, history.redoNames, takeSnapshot(doc, sel));
}

void pushNameUndo(History& history, const Document& doc, const Selection& sel, int number,
                  const std::string& before) {
    push(history.undoBuffer, history.undoNames, takeSnapshot(doc, sel), NameStep{number, before});
}

namespace {

// Undo and redo alike: the step's pattern (and name) come back, and what
// stood before goes onto the other stack.
bool step(Records& from, NameSteps& fromNames, Records& to, NameSteps& toNames, Document& doc,
          Selection& sel, PatternNames* names) {
    if (from.empty()) return false;
    fromNames.resize(from.size());
    const std::optional<NameStep> reverse = applyName(fromNames.back(), names);
    push(to, toNames, takeSnapshot(doc, sel), reverse);
    restore(from, fromNames, doc, sel);
    return true;
}

} // namespace

bool undo(History& history, Document& doc, Selection& sel, PatternNames* names) {
    return step(history.undoBuffer, history.undoNames, history.redoBuffer, history.redoNames, doc,
                sel, names);
}

bool redo(History& history, Document& doc, Selection& sel, PatternNames* names) {
    return step(history.redoBuffer, history.redoNames, history.undoBuffer, history.undoNames, doc,
                sel, names);
}

} // namespace dedur
