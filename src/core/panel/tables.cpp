#include "panel/tables.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>

#include "base/numbertext.h"
#include "document/patternstore.h"
#include "fonts/glyphfile.h"

namespace dedur {

std::string hexRow(const uint8_t* dots, int width) {
    // Groups of four dots from the left; a short last group is padded on the
    // left, so two set dots read 0011.
    std::string digits;
    for (int x = 0; x < width; x += 4) {
        const int n = std::min(4, width - x);
        int value = 0;
        for (int i = 0; i < n; ++i) value = value << 1 | (dots[x + i] == DOT_ON);
        digits.push_back(HexDigits[value]);
    }
    std::string row;
    size_t i = 0;
    for (; i + 1 < digits.size(); i += 2) {
        if (!row.empty()) row.push_back(',');
        row += digits.substr(i, 2);
    }
    if (i < digits.size()) {
        // The odd digit always comes after a ",", even as the row's only byte.
        row.push_back(',');
        row.push_back('0');
        row.push_back(digits[i]);
    }
    return row;
}

std::string hexTable(const Document& doc) {
    std::string out;
    std::array<uint8_t, WorkDotsSize> dots;
    forEachRecord(doc, [&](int, const PatternHeader& h, const uint8_t* packed) {
        if (h.width > MaxPatternSide || h.height > MaxPatternSide) return false;
        unpackDots(packed, h.width, h.height, dots.data());
        for (int y = 0; y < h.height; ++y) {
            out += hexRow(dots.data() + static_cast<size_t>(y) * static_cast<size_t>(h.width),
                          h.width);
            out += "\r\n";
        }
        out += "\r\n";
        return true;
    });
    return out;
}

std::string glyphCArray(const Document& doc, uint32_t code, int glyphWidth, int rows) {
    return namedCArray(doc, formatText("_sz%04X", code), glyphWidth, rows);
}

std::string namedCArray(const Document& doc, const std::string& name, int glyphWidth, int rows) {
    std::string out = "unsigned char " + name + "[]={\r\n";
    rows = std::clamp(rows, 0, MaxPatternSide);
    for (int r = 0; r < rows; ++r) {
        uint32_t value = 0;
        for (int x = 0; x < glyphWidth; ++x) {
            const size_t i = static_cast<size_t>(r * glyphWidth + x);
            value = value << 1 | (i < doc.workDots.size() && doc.workDots[i] == DOT_ON);
        }
        if (glyphWidth == 24) {
            out += formatText("0x%02X,0x%02X,0x%02X, ", value >> 16 & 0xFF, value >> 8 & 0xFF,
                              value & 0xFF);
            if ((r + 1) % 4 == 0) out += "\r\n";
        } else if (glyphWidth == 16) {
            out += formatText("0x%02X,0x%02X, ", value >> 8 & 0xFF, value & 0xFF);
        } else {
            out += formatText("0x%02X, ", value & 0xFF);
        }
    }
    out += " };\r\n";
    return out;
}

TableExport tableExportFor(const Document& doc, const FontEdit& fontEdit, int glyphNumber) {
    const GlyphKind kind = glyphKind(doc.editType);
    switch (doc.editType) {
    case EditMode::Pattern:
        return {HexTableFileName, hexTable(doc), false};
    case EditMode::Font16x15:
        return {Table16x15FileName, glyphCArray(doc, fontEdit.currentCode16, 16, doc.patternHeight),
                true};
    case EditMode::Font24x24:
        return {Table24x24FileName, glyphCArray(doc, fontEdit.currentCode24, 24, doc.patternHeight),
                true};
    case EditMode::Ascii8x15:
        return {"8X15.TAB", namedCArray(doc, formatText("_szASC%03d", glyphNumber), 8, kind.height),
                true};
    case EditMode::Special16x15:
        return {"SPCFONT.TAB",
                namedCArray(doc, formatText("_szSPC%03d", glyphNumber), 16, kind.height), true};
    case EditMode::SpecialSupp16x15:
        return {"SPCFSUPP.TAB",
                namedCArray(doc, formatText("_szSUP%03d", glyphNumber), 16, kind.height), true};
    default:
        return {};
    }
}

Outcome writeTableFile(const std::string& path, const std::string& bytes, bool append,
                       FileRole role) {
    Outcome outcome = append ? appendToFile(path, bytes) : writeFileSafely(path, bytes, role);
    if (outcome.ok()) return outcome;
    // A file that would not open gets the table export's own message; a link
    // left alone or a failed write says what happened.
    if (outcome.failedToOpen() && outcome.error != PlantedLink) {
        const std::string name = std::filesystem::path(path).filename().string();
        outcome.message = {formatText("%s file Open Failure", printable(name).c_str()), "",
                           MessageButtons::Ok, MessageIcon::Question};
    }
    return outcome;
}

} // namespace dedur
