#include "panel/panelexport.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <memory>

#include "base/numbertext.h"
#include "document/patternstore.h"
#include "grid/selection.h"
#include "panel/lcdimage.h"

namespace dedur {

namespace {

Message rangeError() {
    return {"ERROR: Invalid Panel No. Range ?", " ", MessageButtons::Ok, MessageIcon::Question};
}

std::string digitsOf(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c >= '0' && c <= '9') digits.push_back(c);
    }
    return digits;
}

void appendPanel(std::string& out, const LcdImage& image, int panel, int type) {
    if (type == EXPORT_TEXT) {
        appendPanelText(out, image, panel);
    } else {
        appendPanelBinary(out, image);
    }
}

bool wanted(const std::vector<uint8_t>& panelFlags, int index) {
    return static_cast<size_t>(index) < panelFlags.size() &&
           panelFlags[static_cast<size_t>(index)] == 1;
}

} // namespace

Message offPanelMessage(int panel, SegCom off) {
    return {formatText("Panel No. %d runs off the panel (SEG %d, COM %d): its dots must stay on "
                       "SEG 1..96 and COM 1..48",
                       panel, off.seg, off.com),
            " ", MessageButtons::Ok, MessageIcon::Question};
}

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
        range.outcome = Outcome::refused(rangeError());
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
            flag(piece[0] == '~' ? 0 : leadingDecimal(piece, INT_MAX));
            continue;
        }
        const std::string second = digitsOf(piece.substr(dash + 1));
        if (second.empty()) {
            range.panelFlags.clear();
            range.outcome = Outcome::refused(rangeError());
            return range;
        }
        const long long first = leadingDecimal(piece.substr(0, dash), INT_MAX);
        const long long last = leadingDecimal(second, INT_MAX);
        const long long low =
            std::clamp<long long>(std::min(first, last), 1, std::max(patternCount, 1));
        const long long high =
            std::clamp<long long>(std::max(first, last), 1, std::max(patternCount, 1));
        for (long long n = low; n <= high; ++n) flag(n);
    }
    return range;
}

void appendPanelText(std::string& out, const LcdImage& image, int panelNumber) {
    appendPanelText(out, image, formatText("Panel No. %d", panelNumber));
}

void appendPanelText(std::string& out, const LcdImage& image, const std::string& title) {
    static const std::string rule = std::string(66, ';') + "\r\n";
    const int lo = image.lowOffset;
    const int hi = image.highOffset;
    out += rule;
    out += ";   " + title + "\r\n";
    out += formatText(";   LCD Memory Address : $%04X ~ $%04X [ Size=%3d Bytes (Dec) ]\r\n",
                      LcdBaseAddress + lo, LcdBaseAddress + hi, hi - lo + 1);
    out += rule;
    // ".DB $XX,...,$XX ; AAAAh ~ AAAAh\r\n": at most 4 + 8 * 4 - 1 + 19 characters.
    constexpr size_t LongestLine = 54;
    const size_t lines = hi >= lo ? static_cast<size_t>(hi - lo) / 8 + 1 : 0;
    size_t used = out.size();
    out.resize(used + lines * LongestLine);
    char* p = out.data() + used;
    const auto hex = [&p](unsigned value, int digits) {
        for (int i = digits - 1; i >= 0; --i) *p++ = HexDigits[(value >> (4 * i)) & 0xF];
    };
    for (int start = lo; start <= hi; start += 8) {
        const int end = std::min(start + 7, hi);
        std::memcpy(p, ".DB ", 4);
        p += 4;
        for (int k = start; k <= end; ++k) {
            if (k > start) *p++ = ',';
            *p++ = '$';
            hex(image.bytes[static_cast<size_t>(k)], 2);
        }
        std::memcpy(p, " ; ", 3);
        p += 3;
        hex(static_cast<unsigned>(LcdBaseAddress + start), 4);
        std::memcpy(p, "h ~ ", 4);
        p += 4;
        hex(static_cast<unsigned>(LcdBaseAddress + end), 4);
        std::memcpy(p, "h\r\n", 3);
        p += 3;
    }
    out.resize(static_cast<size_t>(p - out.data()));
}

void appendPanelBinary(std::string& out, const LcdImage& image) {
    if (image.highOffset < image.lowOffset) return;
    out.append(reinterpret_cast<const char*>(image.bytes.data()) + image.lowOffset,
               static_cast<size_t>(image.highOffset - image.lowOffset + 1));
}

ExportStream panelExportStream(const Document& doc, const Selection& sel,
                               const std::vector<uint8_t>& panelFlags, bool selection, int type,
                               bool ownDirections) {
    ExportStream output;
    // The definition a pattern is placed by.
    const auto placing = [definition = doc.panelDefinition,
                          ownDirections](const PatternHeader& header) {
        PanelDefinition d = definition;
        if (ownDirections) {
            d.leftToRight = header.leftToRight;
            d.topToBottom = header.topToBottom;
        }
        return d;
    };
    if (selection) {
        // The floating block of the current pattern, when it is among those wanted.
        auto bytes = std::make_shared<std::string>();
        forEachRecord(doc, [&](int i, const PatternHeader& header, const uint8_t*) {
            if (!wanted(panelFlags, i)) return true;
            PatternHeader blockHeader = header;
            if (auto block = fetchSelectionBlock(doc, sel, blockHeader)) {
                output.notices.push_back(block->message);
                const LcdImage image =
                    buildLcdImage(block->dots.data(), blockHeader, doc.panelDefinition);
                if (image.offPanel) {
                    output.outcome = Outcome::refused(
                        offPanelMessage(doc.currentPattern + 1, {image.offSeg, image.offCom}));
                    return false;
                }
                appendPanel(*bytes, image, doc.currentPattern + 1, type);
            }
            return true;
        });
        output.bytes = {bytes->size(), [bytes](const ByteStream::Put& put) { put(*bytes); }};
        return output;
    }
    // A placement off the panel refuses the whole export before a byte is made.
    forEachRecord(doc, [&](int i, const PatternHeader& header, const uint8_t*) {
        if (!wanted(panelFlags, i)) return true;
        if (const auto off = firstDotOffPanel(header, placing(header))) {
            output.outcome = Outcome::refused(offPanelMessage(i + 1, *off));
            return false;
        }
        return true;
    });
    if (!output.outcome.ok()) return output;
    output.bytes.produce = [&doc, panelFlags, type, placing](const ByteStream::Put& put) {
        constexpr size_t Piece = size_t{1} << 20;
        std::string buffer;
        buffer.reserve(Piece + 8 * LcdImageSize);
        bool going = true;
        forEachRecord(doc, [&](int i, const PatternHeader& header, const uint8_t* packed) {
            if (!wanted(panelFlags, i)) return true;
            if (header.width > MaxPatternSide || header.height > MaxPatternSide) return true;
            appendPanel(buffer, buildLcdImageFromPacked(packed, header, placing(header)), i + 1,
                        type);
            if (buffer.size() >= Piece) {
                going = put(buffer);
                buffer.clear();
            }
            return going;
        });
        if (going && !buffer.empty()) put(buffer);
    };
    return output;
}

ExportOutput buildPanelExport(const Document& doc, const Selection& sel,
                              const std::vector<uint8_t>& panelFlags, bool selection, int type) {
    ExportStream stream = panelExportStream(doc, sel, panelFlags, selection, type);
    ExportOutput output{{}, std::move(stream.notices), std::move(stream.outcome)};
    if (output.outcome.ok()) {
        stream.bytes.produce([&output](std::string_view piece) {
            output.bytes.append(piece);
            return true;
        });
    }
    return output;
}

Outcome screenImage(const Document& doc, const std::vector<uint8_t>& panelFlags, bool ownDirections,
                    LcdImage& out) {
    out = LcdImage{};
    Outcome outcome;
    forEachRecord(doc, [&](int i, const PatternHeader& header, const uint8_t* packed) {
        if (!wanted(panelFlags, i)) return true;
        if (header.width > MaxPatternSide || header.height > MaxPatternSide) return true;
        PanelDefinition d = doc.panelDefinition;
        if (ownDirections) {
            d.leftToRight = header.leftToRight;
            d.topToBottom = header.topToBottom;
        }
        if (const auto off = firstDotOffPanel(header, d)) {
            outcome = Outcome::refused(offPanelMessage(i + 1, *off));
            return false;
        }
        const LcdImage image = buildLcdImageFromPacked(packed, header, d);
        for (size_t k = 0; k < out.bytes.size(); ++k) out.bytes[k] |= image.bytes[k];
        out.lowOffset = std::min(out.lowOffset, image.lowOffset);
        out.highOffset = std::max(out.highOffset, image.highOffset);
        return true;
    });
    return outcome;
}

std::string screenTitle(const std::vector<uint8_t>& panelFlags) {
    std::string numbers;
    for (size_t i = 0; i < panelFlags.size(); ++i) {
        if (panelFlags[i] != 1 || (i > 0 && panelFlags[i - 1] == 1)) continue;
        size_t last = i;
        while (last + 1 < panelFlags.size() && panelFlags[last + 1] == 1) ++last;
        if (!numbers.empty()) numbers += ", ";
        numbers += std::to_string(i + 1);
        if (last > i) {
            numbers += '-';
            numbers += std::to_string(last + 1);
        }
    }
    return "Screen of Panel No. " + numbers;
}

} // namespace dedur
