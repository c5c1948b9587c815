#include "dotplace.h"

#include "editor.h"
#include "fonts/big5.h"
#include "panel/addressrule.h"

namespace dedur {

std::string dotPlaceText(const Editor& editor, int x, int y) {
    const Document& doc = editor.document;
    switch (doc.editType) {
    case EditMode::Pattern:
        break;
    case EditMode::Font16x15:
    case EditMode::Font24x24: {
        const unsigned code = doc.editType == EditMode::Font16x15 ? editor.fontEdit.currentCode16
                                                                  : editor.fontEdit.currentCode24;
        return formatText("Big5 %04X No. %d", code, big5GlyphIndex(code >> 8, code & 0xFF) + 1);
    }
    default:
        return formatText("No. %d", editor.currentNumber);
    }
    // The pattern's own place, the directions the export uses.
    PatternHeader header;
    getHeader(doc, doc.currentPattern, header);
    header.leftToRight = doc.panelDefinition.leftToRight;
    header.topToBottom = doc.panelDefinition.topToBottom;
    const SegCom at = mapDotToSegCom(header, x + 1, y + 1);
    if (!onPanel(at)) return formatText("SEG %d COM %d off the panel", at.seg, at.com);
    const MemoryBit bit = memoryBitOf(at);
    return formatText("SEG %d COM %d $%04X.%d", at.seg, at.com, LcdBaseAddress + bit.offset,
                      bit.bit);
}

} // namespace dedur
