#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/outcome.h"
#include "panel/lcdimage.h"

namespace dedur {

struct PatternHeader;
struct PanelDefinition;

// Display memory read back from an export: the byte at each offset from
// $2000, and whether the file gave it.
struct LcdMemory {
    std::array<uint8_t, LcdImageSize> bytes{};
    std::array<bool, LcdImageSize> known{};
};

// Raw bytes as the binary export writes them; the first lies at `offset`
// from $2000 (0 for a whole memory image).
Outcome readMemoryBinary(std::string_view data, int offset, LcdMemory& out);

// ".DB" lines as the text export writes them: each line's address comment
// ("; 2000h ~ 2007h") places its bytes; comment lines and blank lines are
// skipped. `panel` picks the block of "Panel No. N" in a file of several
// (0: the first). Any other text is refused with its line number.
Outcome readMemoryText(std::string_view text, int panel, LcdMemory& out);

// The dots of a pattern of `header`'s size and place, read through the
// export's mapping (the definition's directions). Refused when a dot falls
// off the panel or its byte is not in the memory.
Outcome dotsFromMemory(const LcdMemory& memory, const PatternHeader& header,
                       const PanelDefinition& definition, uint8_t* dots);

// The whole import of a file's bytes: text (".DB" lines) or raw bytes; raw
// bytes start at `offset`, or, without one, at $2000 for a whole memory
// image (769 bytes) and at the pattern's own first byte for anything shorter
// (the export of that pattern alone).
Outcome importPanelData(std::string_view data, bool text, const PatternHeader& header,
                        const PanelDefinition& definition, std::optional<int> offset, int panel,
                        uint8_t* dots);

} // namespace dedur
