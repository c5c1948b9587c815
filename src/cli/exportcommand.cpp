#include <iostream>

#include "base/safewrite.h"
#include "commands.h"
#include "document/patternfile.h"
#include "grid/selection.h"
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
    int leftToRight = 0;
    int topToBottom = 2;
    if (!readDirection(args, "lr", 0, leftToRight, error) ||
        !readDirection(args, "tb", 2, topToBottom, error)) {
        return usageError(self, error);
    }
    const bool lrAlongSeg = leftToRight <= 1;
    const bool tbAlongSeg = topToBottom <= 1;
    if (lrAlongSeg == tbAlongSeg) {
        return failure("(Left to Right) and (Top to Bottom) attribute conflict !");
    }
    int number = 1;
    if (!numberOption(args, "pattern", 1, INT_MAX, number, error)) return usageError(self, error);

    Document doc;
    if (!loadPatternFile(source, doc)) return 1;
    if (!selectPatternNumber(doc, number, source)) return 1;
    doc.panelDefinition.leftToRight = static_cast<int16_t>(leftToRight);
    doc.panelDefinition.topToBottom = static_cast<int16_t>(topToBottom);

    RangeChoice choice = RangeChoice::Current;
    if (args.has("all")) choice = RangeChoice::All;
    if (args.has("range")) choice = RangeChoice::Numbers;
    const PanelRange range = parsePanelRange(choice, args.value("range").value_or(""),
                                             doc.patternCount, doc.currentPattern);
    if (!range.ok()) return failure(range.outcome.message.text);

    if (!outputAllowed(source, target, args.has("force"))) return 1;
    const Selection none;
    const ExportStream output = panelExportStream(doc, none, range.panelFlags, false,
                                                  args.has("binary") ? EXPORT_BINARY : EXPORT_TEXT);
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
        "usage: dedur-cli export FILE.pat OUT [--binary] [--pattern N | --all | --range TEXT]\n"
        "                     [--lr CODE] [--tb CODE] [--force]\n"
        "\n"
        "Maps the dots of the chosen patterns onto the panel's SEG/COM lines and writes\n"
        "the display memory from $2000 up: assembler \".DB\" lines with address comments\n"
        "(the default), or the raw bytes with --binary.\n"
        "  --pattern N   export pattern N, counted from 1 (default 1)\n"
        "  --all         export every pattern\n"
        "  --range TEXT  numbers and ranges such as \"2, 4-6\" (\"-\" or \"~\" between the\n"
        "                ends; out-of-range numbers are brought to the first or last)\n"
        "  --lr CODE     direction of a step right, used for the mapping (default 0)\n"
        "  --tb CODE     direction of a step down (default 2)\n"
        "  --binary      write raw bytes instead of text\n"
        "  --force       replace an existing OUT\n"
        "Direction codes: 0 Increase Seg, 1 Decrease Seg, 2 Increase Com, 3 Decrease Com.\n"
        "A pattern whose dots would fall off the panel (SEG 1..96, COM 1..48) stops the\n"
        "export with a message; nothing is written then.\n",
        {{"binary", false},
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
