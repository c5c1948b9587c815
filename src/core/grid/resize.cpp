#include "grid/resize.h"

#include <algorithm>
#include <vector>

#include "document/patternstore.h"
#include "grid/history.h"
#include "grid/selection.h"

namespace dedur {

Outcome checkPlacement(int value, int direction, int beginSeg, int beginCom, const char* name) {
    const char* segText = "%s too large ! ( Max Seg=%d, Begin Seg=%d )";
    const char* comText = "%s too large ! ( Max Com=%d, Begin Com=%d )";
    std::string text;
    switch (direction) {
    case IncreaseSeg:
        if (value > 97 - beginSeg) text = formatText(segText, name, 97 - beginSeg, beginSeg);
        break;
    case DecreaseSeg:
        if (value > beginSeg) text = formatText(segText, name, beginSeg, beginSeg);
        break;
    case IncreaseCom:
        if (value > 49 - beginCom) text = formatText(comText, name, 49 - beginCom, beginCom);
        break;
    case DecreaseCom:
        if (value > beginCom) text = formatText(comText, name, beginCom, beginCom);
        break;
    default:
        break;
    }
    if (text.empty()) return {};
    return Outcome::refused({text, " ", MessageButtons::Ok, MessageIcon::Question});
}

void resizePattern(Document& doc, int oldWidth, int oldHeight) {
    const int width = std::clamp<int>(doc.patternWidth, 0, doc.maxSide());
    const int height = std::clamp<int>(doc.patternHeight, 0, doc.maxSide());
    doc.patternDotCount = width * height;
    std::vector<uint8_t> dots(static_cast<size_t>(doc.patternDotCount), DOT_OFF);
    const int keepW = std::min(width, oldWidth);
    const int keepH = std::min(height, oldHeight);
    for (int y = 0; y < keepH; ++y) {
        for (int x = 0; x < keepW; ++x) {
            const int from = y * oldWidth + x;
            if (from >= 0 && static_cast<size_t>(from) < doc.workDots.size()) {
                dots[static_cast<size_t>(y * width + x)] = doc.workDots[static_cast<size_t>(from)];
            }
        }
    }
    PatternHeader header = headerFromDefinition(doc.panelDefinition);
    header.width = static_cast<int16_t>(width);
    header.height = static_cast<int16_t>(height);
    if (doc.patternCount == 1) {
        doc.store.assign(recordLength(header), 0);
        encodeHeader(header, doc.store.data());
        doc.currentPattern = 0;
        invalidateRecordIndex(doc);
    } else {
        replaceCurrentRecord(doc, header);
    }
    const size_t at = patternOffset(doc, doc.currentPattern) + HeaderSize;
    packDots(dots.data(), width, height, doc.store.data() + at);
    std::copy(dots.begin(), dots.end(), doc.workDots.begin());
    // A resized pattern differs from the file: leaving without a word would
    // lose it.
    doc.modifiedFlag = true;
}

void changePatternSize(Document& doc, History& history, const Selection& sel, int width,
                       int height) {
    if (width == doc.patternWidth && height == doc.patternHeight) return;
    const int oldWidth = doc.patternWidth;
    const int oldHeight = doc.patternHeight;
    pushUndo(history, doc, sel);
    doc.patternWidth = static_cast<int16_t>(width);
    doc.patternHeight = static_cast<int16_t>(height);
    doc.panelDefinition.width = static_cast<int16_t>(width);
    doc.panelDefinition.height = static_cast<int16_t>(height);
    resizePattern(doc, oldWidth, oldHeight);
}

} // namespace dedur
