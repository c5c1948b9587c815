#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/message.h"
#include "base/outcome.h"
#include "base/safewrite.h"

namespace dedur {

struct Document;
struct Selection;
struct LcdImage;

enum ExportType { EXPORT_TEXT = 1, EXPORT_BINARY = 2 };
enum class RangeChoice { CurrentSelection, Current, All, Numbers };

struct PanelRange {
    std::vector<uint8_t> panelFlags; // patternCount + 2 bytes, 1 = export
    Outcome outcome;                 // a refused range text says why

    bool ok() const { return outcome.ok(); }
};

// Which patterns to export; `text` is the "No. " field (1-based numbers,
// pieces separated by ',', ranges with '-' or '~').
PanelRange parsePanelRange(RangeChoice choice, const std::string& text, int patternCount,
                           int currentPattern);

struct SegCom;
// "Panel No. N runs off the panel (SEG s, COM c): ...": why an export stops.
Message offPanelMessage(int panel, SegCom off);

// One panel's part of the file: ".DB" lines (line ends "\r\n") or raw bytes.
void appendPanelText(std::string& out, const LcdImage& image, int panelNumber);
// The same block under another title than "Panel No. N".
void appendPanelText(std::string& out, const LcdImage& image, const std::string& title);
void appendPanelBinary(std::string& out, const LcdImage& image);

struct ExportOutput {
    std::string bytes;
    std::vector<Message> notices; // the selection block's report
    Outcome outcome;              // a placement off the panel stops the export
};

struct ExportStream {
    ByteStream bytes; // made while they are written
    std::vector<Message> notices;
    Outcome outcome;
};

// Everything the export writes for the flagged patterns (or the floating
// block when `selection` is set), in ascending pattern order: as a stream
// for the writer (it reads `doc` while it is written), or all at once. The
// patterns are placed by the panel definition's directions (the editor), or
// with `ownDirections` each by those of its own header (the command line).
ExportStream panelExportStream(const Document& doc, const Selection& sel,
                               const std::vector<uint8_t>& panelFlags, bool selection, int type,
                               bool ownDirections = false);
ExportOutput buildPanelExport(const Document& doc, const Selection& sel,
                              const std::vector<uint8_t>& panelFlags, bool selection, int type);

// One screen: the display memory with the flagged patterns all in it, each
// at its place, their dots combined (a dot set by any of them is set).
// Refused like the export when one runs off the panel.
Outcome screenImage(const Document& doc, const std::vector<uint8_t>& panelFlags, bool ownDirections,
                    LcdImage& out);
// "Screen of Panel No. 2, 5-7": the title of such a block.
std::string screenTitle(const std::vector<uint8_t>& panelFlags);

} // namespace dedur
