#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/message.h"
#include "panel/addressrule.h"

namespace dedur {

struct Document;
struct Selection;
struct PatternHeader;
struct PanelDefinition;

inline constexpr int SELECTION_BLOCK = -9999;

// Display memory, laid out by the address rule (addressrule.h).
struct LcdImage {
    std::array<uint8_t, LcdImageSize> bytes{};
    int lowOffset = 65535;
    int highOffset = -1;
    // First dot that fell off the panel (SEG outside 1..96 or COM outside 1..48).
    bool offPanel = false;
    int offSeg = 0;
    int offCom = 0;
};

// Places every dot; the directions come from the panel definition. Dots off
// the panel are left out and reported through `offPanel`.
LcdImage buildLcdImage(const uint8_t* dots, const PatternHeader& header,
                       const PanelDefinition& definition);

// The same image from a pattern's packed rows as the store keeps them.
LcdImage buildLcdImageFromPacked(const uint8_t* packed, const PatternHeader& header,
                                 const PanelDefinition& definition);

// The first dot, in row order, that the definition's directions put off
// the panel; nothing when every dot is on it (decided by the corners).
std::optional<SegCom> firstDotOffPanel(const PatternHeader& header,
                                       const PanelDefinition& definition);

struct SelectionBlock {
    std::vector<uint8_t> dots;
    Message message; // "seg=%d,com=%d, left=..." shown when it is fetched
};

// The floating block clipped to the pattern; width, height, beginSeg and
// beginCom of `header` are overwritten. Nothing without a floating block or
// when the block lies wholly outside the pattern.
std::optional<SelectionBlock> fetchSelectionBlock(const Document& doc, const Selection& sel,
                                                  PatternHeader& header);

} // namespace dedur
