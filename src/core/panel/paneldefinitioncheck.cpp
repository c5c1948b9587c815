#include "panel/paneldefinitioncheck.h"

#include "document/patternstore.h"
#include "grid/history.h"
#include "grid/resize.h"

namespace dedur {

namespace {

bool isSegDirection(int code) {
    return code == IncreaseSeg || code == DecreaseSeg;
}
bool isComDirection(int code) {
    return code == IncreaseCom || code == DecreaseCom;
}

PanelDefinitionCheck failure(Message message, PanelField focus) {
    return {Outcome::refused(std::move(message)), focus};
}

} // namespace

PanelDefinitionCheck checkPanelDefinition(const PanelDefinitionFields& f) {
    const bool oneOfEach = (isSegDirection(f.leftToRight) && isComDirection(f.topToBottom)) ||
                           (isComDirection(f.leftToRight) && isSegDirection(f.topToBottom));
    if (!oneOfEach) {
        return failure({"(Left to Right) and (Top to Bottom) attribute conflict !", "",
                        MessageButtons::Ok, MessageIcon::None},
                       PanelField::None);
    }
    if (f.beginCom > PanelComLines) {
        return failure({formatText("COM max value must <= %d ", PanelComLines), "",
                        MessageButtons::Ok, MessageIcon::Question},
                       PanelField::Com);
    }
    if (f.beginSeg > PanelSegLines) {
        return failure({formatText("SEG max value must <= %d ", PanelSegLines), "",
                        MessageButtons::Ok, MessageIcon::Question},
                       PanelField::Seg);
    }
    if (Outcome m = checkPlacement(f.width, f.leftToRight, f.beginSeg, f.beginCom, "Width");
        !m.ok()) {
        return {m, PanelField::Width};
    }
    if (Outcome m = checkPlacement(f.height, f.topToBottom, f.beginSeg, f.beginCom, "Height");
        !m.ok()) {
        return {m, PanelField::Height};
    }
    return {};
}

void panelFieldRange(PanelField field, int& low, int& high) {
    switch (field) {
    case PanelField::Seg:
        low = 1;
        high = PanelSegLines;
        break;
    case PanelField::Com:
        low = 1;
        high = PanelComLines;
        break;
    case PanelField::Width:
    case PanelField::Height:
        low = 2;
        high = MaxPatternSide;
        break;
    default:
        low = 0;
        high = 0;
        break;
    }
}

PanelDefinition toPanelDefinition(const PanelDefinitionFields& f) {
    PanelDefinition d;
    d.beginSeg = static_cast<int16_t>(f.beginSeg);
    d.beginCom = static_cast<int16_t>(f.beginCom);
    d.width = static_cast<int16_t>(f.width);
    d.height = static_cast<int16_t>(f.height);
    d.leftToRight = static_cast<int16_t>(f.leftToRight);
    d.topToBottom = static_cast<int16_t>(f.topToBottom);
    return d;
}

void applyPanelDefinition(Document& doc, History& history, const Selection& sel,
                          const PanelDefinition& definition) {
    doc.panelDefinition = definition;
    pushUndo(history, doc, sel);
    const int oldWidth = doc.patternWidth;
    const int oldHeight = doc.patternHeight;
    doc.patternWidth = definition.width;
    doc.patternHeight = definition.height;
    resizePattern(doc, oldWidth, oldHeight);
}

} // namespace dedur
