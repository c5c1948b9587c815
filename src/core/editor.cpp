#include "editor.h"

#include <array>
#include <cstring>

namespace dedur {

namespace {

// Bits past a row's width must stay clear, or equal patterns would differ.
const char* setPaddingBit(const uint8_t* packed, const PatternHeader& h) {
    if (h.width % 8 == 0) return nullptr;
    const auto padding = static_cast<uint8_t>(0xFFu << (h.width % 8));
    const size_t rowBytes = packedRowBytes(h.width);
    for (int y = 0; y < h.height; ++y) {
        if (packed[(static_cast<size_t>(y) + 1) * rowBytes - 1] & padding) {
            return "a bit past a row's width is set";
        }
    }
    return nullptr;
}

bool sideInRange(const Document& doc, int side) {
    // A font's glyph may be blank with no box at all (a space).
    const int least = doc.kind == DocumentKind::Font ? 0 : 1;
    return side >= least && side <= doc.maxSide();
}

// Walks the records: each whole, of a size in range, with clear padding, and
// as the record index says when it claims to fit. `current` is where the
// current pattern's record starts.
const char* brokenStore(const Document& doc, size_t& current) {
    const std::vector<size_t>& cached = doc.recordOffsets;
    const bool cachedValid = cached.size() == static_cast<size_t>(doc.patternCount) + 1 &&
                             cached.back() == doc.store.size();
    size_t offset = 0;
    for (int i = 0; i < doc.patternCount; ++i) {
        if (offset + HeaderSize > doc.store.size()) return "the store ends inside a header";
        if (cachedValid && cached[static_cast<size_t>(i)] != offset) {
            return "the record index is out of date";
        }
        const PatternHeader h = decodeHeader(doc.store.data() + offset);
        if (!sideInRange(doc, h.width) || !sideInRange(doc, h.height))
            return "a record's size is out of range";
        if (i == doc.currentPattern) current = offset;
        if (offset + recordLength(h) > doc.store.size()) return "the store ends inside a record";
        if (const char* padding = setPaddingBit(doc.store.data() + offset + HeaderSize, h)) {
            return padding;
        }
        offset += recordLength(h);
    }
    if (offset != doc.store.size()) return "the store does not end with its last record";
    return nullptr;
}

} // namespace

const char* brokenInvariant(const Editor& e) {
    const Document& doc = e.document;
    if (doc.patternCount < 1) return "no pattern";
    if (!sideInRange(doc, doc.patternWidth) || !sideInRange(doc, doc.patternHeight)) {
        return "the pattern size is out of range";
    }
    if (doc.patternDotCount != doc.patternWidth * doc.patternHeight) {
        return "the dot count is not width x height";
    }
    for (int i = 0; i < doc.patternDotCount; ++i) {
        const uint8_t dot = doc.workDots[static_cast<size_t>(i)];
        if (dot != DOT_ON && dot != DOT_OFF) return "a working dot is neither '0' nor '1'";
    }
    size_t current = 0;
    if (const char* broken = brokenStore(doc, current)) return broken;
    if (doc.currentPattern < 0 || doc.currentPattern >= doc.patternCount) {
        return "the current pattern is not in the store";
    }
    const Selection& sel = e.selection;
    if (sel.selectionState != SelectionState::None) {
        const DotRect& r = sel.blockRect;
        if (r.width() < 1 || r.height() < 1) return "the floating block is empty";
        if (sel.floatingBlock.size() != static_cast<size_t>(r.width()) * r.height()) {
            return "the floating block's dots do not fit its rectangle";
        }
    }
    if (doc.editType == EditMode::Pattern) {
        const PatternHeader h = decodeHeader(doc.store.data() + current);
        if (h.width != doc.patternWidth || h.height != doc.patternHeight) {
            return "the working size is not the current record's";
        }
        if (doc.workDots.size() != static_cast<size_t>(doc.maxSide()) * doc.maxSide()) {
            return "the working copy is not sized for the document's kind";
        }
        std::vector<uint8_t> stored(doc.workDots.size());
        recordDots(doc, doc.currentPattern, stored.data());
        if (sel.selectionState == SelectionState::None &&
            std::memcmp(doc.workDots.data(), stored.data(),
                        static_cast<size_t>(doc.patternDotCount)) != 0) {
            return "an edit was not stored in the current record";
        }
    }
    if (e.history.undoCount() > HistoryDepth || e.history.redoCount() > HistoryDepth) {
        return "the history is deeper than it may be";
    }
    return nullptr;
}

} // namespace dedur
