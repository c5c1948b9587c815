#pragma once

#include <random>
#include <vector>

#include "document/patternstore.h"

namespace dedur::bench {

// `count` patterns of width x height with about half their dots set.
inline Document randomDocument(int count, int width, int height) {
    Document doc;
    PatternHeader header{static_cast<int16_t>(width), static_cast<int16_t>(height), 1, 1, 0, 2};
    const size_t length = recordLength(header);
    doc.store.assign(length * static_cast<size_t>(count), 0);
    std::mt19937 random(12345);
    std::vector<uint8_t> dots(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int i = 0; i < count; ++i) {
        uint8_t* record = doc.store.data() + length * static_cast<size_t>(i);
        encodeHeader(header, record);
        for (uint8_t& dot : dots) dot = (random() & 1) ? DOT_ON : DOT_OFF;
        packDots(dots.data(), width, height, record + HeaderSize);
    }
    doc.patternCount = count;
    invalidateRecordIndex(doc);
    doc.currentPattern = 0;
    reloadWorkDots(doc);
    return doc;
}

} // namespace dedur::bench
