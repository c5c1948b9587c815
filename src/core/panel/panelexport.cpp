#include "panelexport.h"

#include <algorithm>
#include <climits>

#include "../document/patternstore.h"
#include "../grid/selection.h"
#include "lcdimage.h"

namespace dedur {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

Message rangeError() {
    return {"ERROR: Invalid Panel No. Range ?", " ", MessageButtons::Ok, MessageIcon::Question};
}

// atoi with saturation.
long long readNumber(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<long long>(value * 10 + (text[i] - '0'), INT_MAX);
    }
    return negative ? -value : value;
}

std::string digitsOf(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c >= '0' && c <= '9') digits.push_back(c);
    }
    return digits;
}

void putHex(std::string& out, unsigned value, int digits) {
    for (int i = digits - 1; i >= 0; --i) out.push_back(HexDigits[(value >> (4 * i)) & 0xF]);
}

Message offPanelMessage(int panel, const LcdImage& image) {
    return {formatText("Panel No. %d runs off the panel (SEG %d, COM %d): its dots must stay on "
                       "SEG 1..96 and COM 1..48",
                       panel, image.offSeg, image.offCom),
            " ", MessageButtons::Ok, MessageIcon::Question};
}

} // namespace

PanelRange parsePanelRange(RangeChoice choice, const std::string& text, int patternCount,
                           int currentPattern) {
    PanelRange range;
    range.panelFlags.assign(static_cast<size_t>(std::max(patternCount, 0)) + 2, 0);
    auto flag = [&](long long number) {
        const long long n = std::clamp<long long>(number, 1, std::max(patternCount, 1));
        range.panelFlags[static_cast<size_t>(n - 1)] = 1;
    };
    if (choice == RangeChoice::CurrentSelection || choice == RangeChoice::Current) {
        flag(currentPattern + 1);
        return range;
    }
    if (choice == RangeChoice::All) {
        std::fill_n(range.panelFlags.begin(), std::max(patternCount, 0), 1);
        return range;
    }
    std::string kept;
    for (char c : text.substr(0, 127)) {
        if (c == '-' || c == '~' || c == ',' || (c >= '0' && c <= '9')) kept.push_back(c);
    }
    if (digitsOf(kept).empty()) {
        range.panelFlags.clear();
        range.error = rangeError();
        return range;
    }
    size_t start = 0;
    while (start <= kept.size()) {
        size_t end = kept.find(',', start);
        if (end == std::string::npos) end = kept.size();
        const std::string piece = kept.substr(start, end - start);
        start = end + 1;
        if (piece.empty()) continue;
        const size_t dash = piece.find_first_of("-~");
        if (dash == std::string::npos || dash == 0) {
            flag(piece[0] == '~' ? 0 : readNumber(piece));
            continue;
        }
        const std::string second = digitsOf(piece.substr(dash + 1));
        if (second.empty()) {
            range.panelFlags.clear();
            range.error = rangeError();
            return range;
        }
        const long long first = readNumber(piece.substr(0, dash));
        const long long last = readNumber(second);
        const long long low =
            std::clamp<long long>(std::min(first, last), 1, std::max(patternCount, 1));
        const long long high =
            std::clamp<long long>(std::max(first, last), 1, std::max(patternCount, 1));
        for (long long n = low; n <= high; ++n) flag(n);
    }
    return range;
}

void appendPanelText(std::string& out, const LcdImage& image, int panelNumber) {
    static const std::string rule = std::string(66, ';') + "\r\n";
    const int lo = image.lowOffset;
    const int hi = image.highOffset;
    out += rule;
    out += formatText(";   Panel No. %d\r\n", panelNumber);
    out += formatText(";   LCD Memory Address : $%04X ~ $%04X [ Size=%3d Bytes (Dec) ]\r\n",
                      LcdBaseAddress + lo, LcdBaseAddress + hi, hi - lo + 1);
    out += rule;
    for (int start = lo; start <= hi; start += 8) {
        const int end = std::min(start + 7, hi);
        out += ".DB ";
        for (int k = start; k <= end; ++k) {
            if (k > start) out.push_back(',');
            out.push_back('$');
            putHex(out, image.bytes[static_cast<size_t>(k)], 2);
        }
        out += " ; ";
        putHex(out, static_cast<unsigned>(LcdBaseAddress + start), 4);
        out += "h ~ ";
        putHex(out, static_cast<unsigned>(LcdBaseAddress + end), 4);
        out += "h\r\n";
    }
}

void appendPanelBinary(std::string& out, const LcdImage& image) {
    if (image.highOffset < image.lowOffset) return;
    out.append(reinterpret_cast<const char*>(image.bytes.data()) + image.lowOffset,
               static_cast<size_t>(image.highOffset - image.lowOffset + 1));
}

ExportOutput buildPanelExport(const Document& doc, const Selection& sel,
                              const std::vector<uint8_t>& panelFlags, bool selection, int type) {
    ExportOutput output;
    auto emit = [&](const uint8_t* dots, const PatternHeader& header, int panel) {
        const LcdImage image = buildLcdImage(dots, header, doc.panelDefinition);
        if (image.offPanel) {
            output.error = offPanelMessage(panel, image);
            return false;
        }
        if (type == EXPORT_TEXT) {
            appendPanelText(output.bytes, image, panel);
        } else {
            appendPanelBinary(output.bytes, image);
        }
        return true;
    };
    size_t offset = 0;
    for (int i = 0; i < doc.patternCount && offset + HeaderSize <= doc.store.size(); ++i) {
        const PatternHeader header = decodeHeader(doc.store.data() + offset);
        const size_t length = recordLength(header);
        const bool wanted =
            static_cast<size_t>(i) < panelFlags.size() && panelFlags[static_cast<size_t>(i)] == 1;
        if (wanted && offset + length <= doc.store.size()) {
            if (selection) {
                PatternHeader blockHeader = header;
                if (auto block = fetchSelectionBlock(doc, sel, blockHeader)) {
                    output.notices.push_back(block->message);
                    if (!emit(block->dots.data(), blockHeader, doc.currentPattern + 1)) break;
                }
            } else if (!emit(doc.store.data() + offset + HeaderSize, header, i + 1)) {
                break;
            }
        }
        offset += length;
    }
    if (!output.error.empty()) output.bytes.clear();
    return output;
}

} // namespace dedur
