#pragma once

#include <random>

#include "document/patternstore.h"

namespace dedur::bench {

// `count` patterns of width x height with about half their dots set.
inline Document randomDocument(int count, int width, int height) {
    Document doc;
    PatternHeader header{static_cast<int16_t>(width), static_cast<int16_t>(height), 1, 1, 0, 2};
    const size_t length = recordLength(header);
    doc.store.assign(length * static_cast<size_t>(count), DOT_OFF);
    std::mt19937 random(12345);
    for (int i = 0; i < count; ++i) {
        uint8_t* record = doc.store.data() + length * static_cast<size_t>(i);
        encodeHeader(header, record);
        for (size_t k = HeaderSize; k < length; ++k) record[k] = (random() & 1) ? DOT_ON : DOT_OFF;
    }
    doc.patternCount = count;
    invalidateRecordIndex(doc);
    doc.currentPattern = 0;
    reloadWorkDots(doc);
    return doc;
}

} // namespace dedur::bench
