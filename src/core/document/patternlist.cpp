#include "document/patternlist.h"

#include <algorithm>

namespace dedur {

namespace {

void afterListChange(Document& doc) {
    invalidateRecordIndex(doc);
    doc.currentPattern = 0;
    reloadWorkDots(doc);
    doc.modifiedFlag = true;
}

} // namespace

void insertBlankPatterns(Document& doc, int at, int count, const PatternHeader& header) {
    if (count <= 0) return;
    at = std::clamp(at, 0, doc.patternCount);
    const size_t offset =
        at == doc.patternCount ? doc.store.size() : recordIndex(doc)[static_cast<size_t>(at)];
    std::vector<uint8_t> record(recordLength(header), 0);
    encodeHeader(header, record.data());
    std::vector<uint8_t> records;
    records.reserve(record.size() * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) records.insert(records.end(), record.begin(), record.end());
    doc.store.insert(doc.store.begin() + static_cast<std::ptrdiff_t>(offset), records.begin(),
                     records.end());
    doc.patternCount += count;
    afterListChange(doc);
}

bool deletePatterns(Document& doc, const std::vector<uint8_t>& flags) {
    const std::vector<size_t>& offsets = recordIndex(doc);
    const auto flagged = [&flags](size_t i) { return i < flags.size() && flags[i] == 1; };
    int kept = 0;
    for (size_t i = 0; i + 1 < offsets.size(); ++i) kept += !flagged(i);
    if (kept == 0) return false;
    std::vector<uint8_t> store;
    store.reserve(doc.store.size());
    for (size_t i = 0; i + 1 < offsets.size(); ++i) {
        if (flagged(i)) continue;
        store.insert(store.end(), doc.store.begin() + static_cast<std::ptrdiff_t>(offsets[i]),
                     doc.store.begin() + static_cast<std::ptrdiff_t>(offsets[i + 1]));
    }
    doc.store = std::move(store);
    doc.patternCount = kept;
    afterListChange(doc);
    return true;
}

void movePattern(Document& doc, int from, int to) {
    const std::vector<size_t>& offsets = recordIndex(doc);
    const int count = static_cast<int>(offsets.size()) - 1;
    if (from < 0 || to < 0 || from >= count || to >= count || from == to) return;
    const auto at = [&](int i) {
        return doc.store.begin() + static_cast<std::ptrdiff_t>(offsets[static_cast<size_t>(i)]);
    };
    if (from < to) {
        std::rotate(at(from), at(from + 1), at(to + 1));
    } else {
        std::rotate(at(to), at(from), at(from + 1));
    }
    afterListChange(doc);
}

void placePattern(Document& doc, int index, int seg, int com, int leftToRight, int topToBottom) {
    const std::vector<size_t>& offsets = recordIndex(doc);
    if (index < 0 || static_cast<size_t>(index) + 1 >= offsets.size()) return;
    uint8_t* record = doc.store.data() + offsets[static_cast<size_t>(index)];
    PatternHeader h = decodeHeader(record);
    h.beginSeg = static_cast<int16_t>(seg);
    h.beginCom = static_cast<int16_t>(com);
    h.leftToRight = static_cast<int16_t>(leftToRight);
    h.topToBottom = static_cast<int16_t>(topToBottom);
    encodeHeader(h, record);
    doc.modifiedFlag = true;
}

} // namespace dedur
