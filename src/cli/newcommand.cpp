#include "commands.h"
#include "document/patternfile.h"
#include "panel/paneldefinitioncheck.h"

namespace dedur::cli {

namespace {

int runNew(const ParsedArgs& args) {
    const Command& self = newCommand();
    const std::string& path = args.positional[0];
    PanelDefinitionFields fields;
    int count = 1;
    std::string error;
    if (!numberOption(args, "count", 1, MaxPatternCount, count, error) ||
        !sizeOption(args, "size", 2, MaxPatternSide, fields.width, fields.height, error) ||
        !numberOption(args, "seg", 1, PanelSegs, fields.beginSeg, error) ||
        !numberOption(args, "com", 1, PanelComs, fields.beginCom, error)) {
        return usageError(self, error);
    }
    if (!readDirection(args, "lr", 0, fields.leftToRight, error) ||
        !readDirection(args, "tb", 2, fields.topToBottom, error)) {
        return usageError(self, error);
    }
    const PanelDefinitionCheck check = checkPanelDefinition(fields);
    if (!check.outcome.ok()) return failure(check.outcome.message.text);
    const size_t perPattern = static_cast<size_t>(HeaderSize + fields.width * fields.height);
    if (static_cast<size_t>(count) * perPattern > MaxPatternData) {
        return failure("That many patterns could not be loaded again; give a smaller --count");
    }
    if (fileExists(path) && !args.has("force")) {
        return failure(quotedPath(path) + " exists; give --force to replace it");
    }
    Document doc;
    doc.panelDefinition = toPanelDefinition(fields);
    makeBlankDocument(doc);
    for (int i = 1; i < count; ++i) appendPattern(doc, nullptr);
    return savePatternFile(path, doc) ? 0 : 1;
}

} // namespace

const Command& newCommand() {
    static const Command command{
        "new",
        "write a pattern file of blank patterns",
        "usage: dedur-cli new FILE.pat [--count N] [--size WxH] [--seg S] [--com C]\n"
        "                  [--lr CODE] [--tb CODE] [--force]\n"
        "\n"
        "Writes N blank patterns, all of one size and placement.\n"
        "  --count N     number of patterns (default 1)\n"
        "  --size WxH    pattern size, 2..96 each way (default 12x12)\n"
        "  --seg S       SEG line of the left-top dot, 1..96 (default 1)\n"
        "  --com C       COM line of the left-top dot, 1..48 (default 1)\n"
        "  --lr CODE     direction of a step right (default 0)\n"
        "  --tb CODE     direction of a step down (default 2)\n"
        "  --force       replace an existing FILE.pat\n"
        "Direction codes: 0 Increase Seg, 1 Decrease Seg, 2 Increase Com, 3 Decrease Com;\n"
        "one of the two must run along SEG lines and the other along COM lines, and the\n"
        "pattern must fit on the panel (SEG 1..96, COM 1..48).\n",
        {{"count", true},
         {"size", true},
         {"seg", true},
         {"com", true},
         {"lr", true},
         {"tb", true},
         {"force", false}},
        1,
        1,
        runNew};
    return command;
}

} // namespace dedur::cli
