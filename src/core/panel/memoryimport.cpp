#include "panel/memoryimport.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <string>
#include <vector>

#include "base/numbertext.h"
#include "base/textlines.h"
#include "document/patternstore.h"

namespace dedur {

namespace {

Outcome refusal(const std::string& text) {
    return Outcome::refused({text, " ", MessageButtons::Ok, MessageIcon::Question});
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

// Hexadecimal digits of `s` from `at`, at most `most`; -1 for none.
long hexAt(std::string_view s, size_t& at, int most) {
    long value = 0;
    int digits = 0;
    for (; at < s.size() && digits < most && hexDigitValue(s[at]) >= 0; ++at, ++digits) {
        value = value * 16 + hexDigitValue(s[at]);
    }
    return digits == 0 ? -1 : value;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// ".DB $XX,$XX ; AAAAh ~ BBBBh": the bytes, placed at AAAA, or at `next`
// (where the line before ended, or the block's "$AAAA ~" header) when the
// line has no address. False when the line is not of that form.
bool readDbLine(std::string_view line, long& next, LcdMemory& out) {
    if (!startsWith(line, ".DB ")) return false;
    const size_t semicolon = line.find(';');
    const std::string_view values = trimmed(line.substr(
        4, semicolon == std::string_view::npos ? std::string_view::npos : semicolon - 4));
    long address = next;
    if (semicolon != std::string_view::npos) {
        const std::string_view comment = trimmed(line.substr(semicolon + 1));
        size_t at = 0;
        address = hexAt(comment, at, 4);
        if (comment.substr(at, 1) != "h") return false;
    }
    if (address < LcdBaseAddress) return false;
    const long first = address;
    for (size_t i = 0; i < values.size();) {
        if (values[i++] != '$') return false;
        const long byte = hexAt(values, i, 2);
        if (byte < 0 || address - LcdBaseAddress >= LcdImageSize) return false;
        out.bytes[static_cast<size_t>(address - LcdBaseAddress)] = static_cast<uint8_t>(byte);
        out.known[static_cast<size_t>(address - LcdBaseAddress)] = true;
        ++address;
        if (i < values.size() && values[i++] != ',') return false;
    }
    next = address;
    return address > first;
}

} // namespace

Outcome readMemoryBinary(std::string_view data, int offset, LcdMemory& out) {
    if (offset < 0 || offset >= LcdImageSize) {
        return refusal(formatText("The offset %d lies outside the display memory (0 to %d)", offset,
                                  LcdImageSize - 1));
    }
    if (data.size() > static_cast<size_t>(LcdImageSize - offset)) {
        return refusal(formatText("%zu bytes from offset %d run past the display memory's end "
                                  "($%04X)",
                                  data.size(), offset, LcdBaseAddress + LcdImageSize - 1));
    }
    for (size_t i = 0; i < data.size(); ++i) {
        out.bytes[static_cast<size_t>(offset) + i] = static_cast<uint8_t>(data[i]);
        out.known[static_cast<size_t>(offset) + i] = true;
    }
    return {};
}

Outcome readMemoryText(std::string_view text, int panel, LcdMemory& out) {
    LineReader reader(text);
    LinePiece piece;
    int lineNumber = 0;
    int block = 0;        // the "Panel No." blocks seen so far
    bool inWanted = true; // lines before any header belong to the first block
    bool any = false;
    long next = -1; // where a .DB line without an address goes
    while (reader.next(piece, 1 << 16)) {
        ++lineNumber;
        const std::string_view line = trimmed(piece.text);
        if (line.empty()) continue;
        if (line.front() == ';') {
            if (const size_t dollar = line.find("Address :"); dollar != std::string_view::npos) {
                size_t at = line.find('$', dollar);
                if (at != std::string_view::npos) next = hexAt(line, ++at, 4);
            }
            const size_t at = line.find("Panel No.");
            if (at != std::string_view::npos) {
                ++block;
                const long long number = leadingDecimal(line.substr(at + 9), INT_MAX);
                inWanted = panel == 0 ? block == 1 : number == panel;
            }
            continue;
        }
        if (!inWanted) continue;
        if (!readDbLine(line, next, out)) {
            return refusal(formatText("Line %d is not a \".DB\" line of a panel export: %s",
                                      lineNumber,
                                      printable(std::string(line.substr(0, 60))).c_str()));
        }
        any = true;
    }
    if (!any) {
        return refusal(panel == 0 ? std::string("The file holds no \".DB\" lines")
                                  : formatText("The file holds no Panel No. %d", panel));
    }
    return {};
}

Outcome dotsFromMemory(const LcdMemory& memory, const PatternHeader& h,
                       const PanelDefinition& definition, uint8_t* dots) {
    if (const auto off = firstDotOffPanel(h, definition)) {
        return refusal(formatText("The pattern runs off the panel (SEG %d, COM %d): its dots must "
                                  "stay on SEG 1..96 and COM 1..48",
                                  off->seg, off->com));
    }
    PatternHeader placed = h;
    placed.leftToRight = definition.leftToRight;
    placed.topToBottom = definition.topToBottom;
    for (int y = 0; y < h.height; ++y) {
        for (int x = 0; x < h.width; ++x) {
            const SegCom at = mapDotToSegCom(placed, x + 1, y + 1);
            const MemoryBit bit = memoryBitOf(at);
            if (!memory.known[static_cast<size_t>(bit.offset)]) {
                return refusal(formatText("The memory holds no byte at $%04X (dot %d,%d: SEG %d, "
                                          "COM %d)",
                                          LcdBaseAddress + bit.offset, x, y, at.seg, at.com));
            }
            const bool set = (memory.bytes[static_cast<size_t>(bit.offset)] >> bit.bit) & 1;
            dots[static_cast<size_t>(y * h.width + x)] = set ? DOT_ON : DOT_OFF;
        }
    }
    return {};
}

Outcome importPanelData(std::string_view data, bool text, const PatternHeader& header,
                        const PanelDefinition& definition, std::optional<int> offset, int panel,
                        uint8_t* dots) {
    LcdMemory memory;
    Outcome refused;
    if (text) {
        refused = readMemoryText(data, panel, memory);
    } else {
        const std::vector<uint8_t> blank(
            static_cast<size_t>(std::max(header.width * header.height, 0)), DOT_OFF);
        const int low = buildLcdImage(blank.data(), header, definition).lowOffset;
        const int start = offset.value_or(data.size() == LcdImageSize ? 0 : std::max(low, 0));
        refused = readMemoryBinary(data, start, memory);
    }
    if (!refused.ok()) return refused;
    return dotsFromMemory(memory, header, definition, dots);
}

} // namespace dedur
