#include <iostream>

#include "base/safewrite.h"
#include "commands.h"
#include "document/patternfile.h"
#include "document/patternlist.h"
#include "grid/selection.h"
#include "panel/lcdimage.h"
#include "panel/panelexport.h"

namespace dedur::cli {

namespace {

int runExport(const ParsedArgs& args) {
    const Command& self = exportCommand();
    const std::string& source = args.positional[0];
    const std::string& target = args.positional[1];
    const int choices = args.has("pattern") + args.has("all") + args.has("range");
    if (choices > 1) return usageError(self, "give only one of --pattern, --all and --range");
    std::string error;
    // Each pattern is placed by its own directions unless --lr/--tb say
    // otherwise for all of them.
    const bool override = args.has("lr") || args.has("tb");
    int leftToRight = 0;
    int topToBottom = 2;
    if (!readDirection(args, "lr", 0, leftToRight, error) ||
        !readDirection(args, "tb", 2, topToBottom, error)) {
        return usageError(self, error);
    }
    int number = 1;
    if (!numberOption(args, "pattern", 1, INT_MAX, number, error)) return usageError(self, error);

    Document doc;
    if (!loadPatternFile(source, doc)) return 1;
    if (!selectPatternNumber(doc, number, source)) return 1;
    if (override) {
        // One pair for every pattern: the one not given stays as each has it,
        // so the pair is checked pattern by pattern.
        forEachRecord(doc, [&](int i, const PatternHeader& h, const uint8_t*) {
            placePattern(doc, i, h.beginSeg, h.beginCom,
                         args.has("lr") ? leftToRight : h.leftToRight,
                         args.has("tb") ? topToBottom : h.topToBottom);
            return true;
        });
    }

    RangeChoice choice = RangeChoice::Current;
    if (args.has("all")) choice = RangeChoice::All;
    if (args.has("range")) choice = RangeChoice::Numbers;
    const PanelRange range = parsePanelRange(choice, args.value("range").value_or(""),
                                             doc.patternCount, doc.currentPattern);
    if (!range.ok()) return failure(range.outcome.message.text);
    // One direction along the SEG lines and the other along the COM lines.
    bool conflict = false;
    forEachRecord(doc, [&](int i, const PatternHeader& h, const uint8_t*) {
        const bool chosen = static_cast<size_t>(i) < range.panelFlags.size() &&
                            range.panelFlags[static_cast<size_t>(i)] == 1;
        conflict = chosen && (h.leftToRight <= 1) == (h.topToBottom <= 1);
        return !conflict;
    });
    if (conflict) return failure("(Left to Right) and (Top to Bottom) attribute conflict !");

    if (!outputAllowed(source, target, args.has("force"))) return 1;
    if (args.has("screen")) {
        // One display-memory image with every chosen pattern in it.
        LcdImage screen;
        if (const Outcome placed = screenImage(doc, range.panelFlags, true, screen); !placed.ok()) {
            return failure(placed.message.text);
        }
        std::string bytes;
        if (args.has("binary")) {
            appendPanelBinary(bytes, screen);
        } else if (screen.highOffset >= screen.lowOffset) {
            appendPanelText(bytes, screen, screenTitle(range.panelFlags));
        }
        if (const Outcome written = writeFileSafely(target, bytes); !written.ok()) {
            return failure(printable(target) + "\nfile open error !\n(" + written.reason() + ")");
        }
        return 0;
    }
    const Selection none;
    const ExportStream output = panelExportStream(
        doc, none, range.panelFlags, false, args.has("binary") ? EXPORT_BINARY : EXPORT_TEXT, true);
    if (!output.outcome.ok()) return failure(output.outcome.message.text);
    if (const Outcome outcome = writeFileSafely(target, output.bytes); !outcome.ok()) {
        return failure(printable(target) + "\nfile open error !\n(" + outcome.reason() + ")");
    }
    return 0;
}

} // namespace

const Command& exportCommand() {
    static const Command command{
        "export",
        "write the LCD display memory of patterns as .DB lines or bytes",
        "usage: dedur-cli export FILE.pat OUT [--binary] [--screen]\n"
        "                     [--pattern N | --all | --range TEXT]\n"
        "                     [--lr CODE] [--tb CODE] [--force]\n"
        "\n"
        "Maps the dots of the chosen patterns onto the panel's SEG/COM lines and writes\n"
        "the display memory from $2000 up: assembler \".DB\" lines with address comments\n"
        "(the default), or the raw bytes with --binary.\n"
        "  --pattern N   export pattern N, counted from 1 (default 1)\n"
        "  --all         export every pattern\n"
        "  --range TEXT  numbers and ranges such as \"2, 4-6\" (\"-\" or \"~\" between the\n"
        "                ends; out-of-range numbers are brought to the first or last)\n"
        "  --lr CODE     direction of a step right, used for the mapping (default: each\n"
        "                pattern's own, as its SIZE line gives it)\n"
        "  --tb CODE     direction of a step down (default: each pattern's own)\n"
        "  --binary      write raw bytes instead of text\n"
        "  --screen      one display memory with all the chosen patterns in it, their\n"
        "                dots combined (a dot set by any of them is set), as the panel\n"
        "                shows them together\n"
        "  --force       replace an existing OUT\n"
        "Direction codes: 0 Increase Seg, 1 Decrease Seg, 2 Increase Com, 3 Decrease Com.\n"
        "A pattern whose dots would fall off the panel (SEG 1..96, COM 1..48) stops the\n"
        "export with a message; nothing is written then.\n",
        {{"binary", false},
         {"screen", false},
         {"pattern", true},
         {"all", false},
         {"range", true},
         {"lr", true},
         {"tb", true},
         {"force", false}},
        2,
        2,
        runExport};
    return command;
}

} // namespace dedur::cli
