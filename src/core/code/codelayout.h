#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dedur {

struct PatternHeader;
struct PanelDefinition;

// How a pattern's dots become bytes for a display driver.
enum class CodeLayout {
    // Row after row from the top, each row padded to whole bytes; the
    // leftmost dot in bit 7 (RowsMsb) or bit 0 (RowsLsb).
    RowsMsb,
    RowsLsb,
    // 8-row pages from the top (the last one padded), one byte per column
    // from the left; the page's top dot in bit 0 (PagesLsb) or bit 7.
    PagesLsb,
    PagesMsb,
    // This program's panel: the display memory the binary export writes.
    Panel,
};

inline constexpr CodeLayout AllCodeLayouts[] = {CodeLayout::RowsMsb, CodeLayout::RowsLsb,
                                                CodeLayout::PagesLsb, CodeLayout::PagesMsb,
                                                CodeLayout::Panel};

// "rows-msb", "rows-lsb", "pages-lsb", "pages-msb", "panel".
const char* layoutName(CodeLayout layout);
std::optional<CodeLayout> layoutNamed(std::string_view name);
// One line on how the layout keeps the dots, for help texts and choosers:
// "rows from the top, leftmost dot in bit 7".
const char* layoutDescription(CodeLayout layout);

// The bytes of `width` x `height` dots ('1' set, row after row) in `layout`;
// `invert` swaps set and clear dots. The panel layout places the dots as
// `header` and `definition` say (a dot off the panel is left out).
std::vector<uint8_t> layoutBytes(const uint8_t* dots, int width, int height, CodeLayout layout,
                                 bool invert, const PatternHeader& header,
                                 const PanelDefinition& definition);

// The row layouts straight from a pattern's packed rows as the store keeps
// them (dot x of a row in bit x % 8 of byte x / 8): the same bytes as
// layoutBytes, made a byte at a time instead of a dot at a time.
std::vector<uint8_t> rowBytesFromPacked(const uint8_t* packed, int width, int height,
                                        CodeLayout layout, bool invert);

// The dots the bytes stand for, read back through the layout ('1'/'0', row
// after row; "" when the bytes are too few): what the display will show.
std::vector<uint8_t> dotsFromLayout(const std::vector<uint8_t>& bytes, int width, int height,
                                    CodeLayout layout, bool invert, const PatternHeader& header,
                                    const PanelDefinition& definition);

// What a display reading `layout` makes of bytes that may not be as many as
// it reads: the bytes there are are decoded, the missing ones read as clear
// and the extra ones are left. `read` is how many the layout reads.
struct DotsAsRead {
    std::vector<uint8_t> dots; // '1'/'0', row after row
    size_t read = 0;
};
DotsAsRead readDots(const std::vector<uint8_t>& bytes, int width, int height, CodeLayout layout,
                    const PatternHeader& header, const PanelDefinition& definition);

} // namespace dedur
