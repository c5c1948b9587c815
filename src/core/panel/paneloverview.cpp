#include "panel/paneloverview.h"

#include <algorithm>

#include "document/patternstore.h"
#include "panel/lcdimage.h"
#include "panel/panelexport.h"

namespace dedur {

PatternOutline patternOutline(const Document& doc, int index) {
    PatternHeader header;
    getHeader(doc, index, header);
    PatternOutline outline;
    outline.number = index + 1;
    PatternHeader placed = header;
    placed.leftToRight = doc.panelDefinition.leftToRight;
    placed.topToBottom = doc.panelDefinition.topToBottom;
    // The mapping is linear: two opposite corners bound the pattern.
    const SegCom a = mapDotToSegCom(placed, 1, 1);
    const SegCom b = mapDotToSegCom(placed, header.width, header.height);
    outline.segFirst = std::max(std::min(a.seg, b.seg), 1);
    outline.segLast = std::min(std::max(a.seg, b.seg), PanelSegLines);
    outline.comFirst = std::max(std::min(a.com, b.com), 1);
    outline.comLast = std::min(std::max(a.com, b.com), PanelComLines);
    outline.visible = outline.segFirst <= outline.segLast && outline.comFirst <= outline.comLast;
    if (const auto off = firstDotOffPanel(header, doc.panelDefinition)) {
        outline.offPanel = offPanelMessage(index + 1, *off).text;
    }
    return outline;
}

std::vector<PatternOutline> patternOutlines(const Document& doc) {
    std::vector<PatternOutline> outlines;
    outlines.reserve(static_cast<size_t>(std::max(doc.patternCount, 0)));
    for (int i = 0; i < doc.patternCount; ++i) outlines.push_back(patternOutline(doc, i));
    return outlines;
}

} // namespace dedur
