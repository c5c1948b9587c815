// The pattern list from the command line: add, delete, move and place
// patterns; the names in the sidecar stay with their patterns.
#include "code/sidecar.h"
#include "commands.h"
#include "document/patternfile.h"
#include "document/patternlist.h"
#include "panel/paneldefinitioncheck.h"
#include "panel/panelexport.h"
#include "patternpair.h"

namespace dedur::cli {

namespace {

// The file and its sidecar, read whole (one that is not is never written
// over), and `asRead`, the sidecar as read.
bool loadWithNames(const std::string& path, Document& doc, Sidecar& sidecar, Sidecar& asRead) {
    if (!loadPatternFile(path, doc) || !readSidecarOf(path, doc, sidecar)) return false;
    asRead = sidecar;
    return true;
}

// --pattern N, --range R or --all as flags by index; false after the message.
bool chosenPatterns(const ParsedArgs& args, const Command& self, const Document& doc,
                    const std::string& path, bool allowAll, std::vector<uint8_t>& flags,
                    int& status) {
    const int choices = args.has("pattern") + args.has("range") + (allowAll && args.has("all"));
    if (choices != 1) {
        status = usageError(self, allowAll ? "give one of --pattern, --range and --all"
                                           : "give one of --pattern and --range");
        return false;
    }
    std::string error;
    int number = 1;
    if (!numberOption(args, "pattern", 1, INT_MAX, number, error)) {
        status = usageError(self, error);
        return false;
    }
    if (args.has("pattern") && number > doc.patternCount) {
        status = failure("Pattern " + std::to_string(number) + " is not in " + quotedPath(path) +
                         " (it holds " + std::to_string(doc.patternCount) + ")");
        return false;
    }
    const RangeChoice choice = args.has("pattern") ? RangeChoice::Current
                               : args.has("range") ? RangeChoice::Numbers
                                                   : RangeChoice::All;
    const PanelRange range =
        parsePanelRange(choice, args.value("range").value_or(""), doc.patternCount, number - 1);
    if (!range.ok()) {
        status = failure(range.outcome.message.text);
        return false;
    }
    flags = range.panelFlags;
    return true;
}

int runAdd(const ParsedArgs& args) {
    const Command& self = addCommand();
    const std::string& path = args.positional[0];
    PanelDefinitionFields fields;
    int count = 1;
    int at = 0;
    std::string error;
    if (!numberOption(args, "count", 1, 1 << 20, count, error) ||
        !numberOption(args, "at", 1, INT_MAX, at, error) ||
        !sizeOption(args, "size", 2, MaxPatternSide, fields.width, fields.height, error) ||
        !numberOption(args, "seg", 1, PanelSegs, fields.beginSeg, error) ||
        !numberOption(args, "com", 1, PanelComs, fields.beginCom, error) ||
        !readDirection(args, "lr", 0, fields.leftToRight, error) ||
        !readDirection(args, "tb", 2, fields.topToBottom, error)) {
        return usageError(self, error);
    }
    if (const PanelDefinitionCheck check = checkPanelDefinition(fields); !check.outcome.ok()) {
        return failure(check.outcome.message.text);
    }
    Document doc;
    Sidecar sidecar;
    Sidecar asRead;
    if (!loadWithNames(path, doc, sidecar, asRead)) return 1;
    const int before = args.has("at") ? at : doc.patternCount + 1;
    if (before > doc.patternCount + 1) {
        return failure("--at " + std::to_string(before) + " is past the end of " +
                       quotedPath(path) + " (it holds " + std::to_string(doc.patternCount) + ")");
    }
    const size_t added =
        static_cast<size_t>(HeaderSize + fields.width * fields.height) * static_cast<size_t>(count);
    if (doc.store.size() + added > MaxPatternData) {
        return failure("That many patterns could not be loaded again; give a smaller --count");
    }
    insertBlankPatterns(doc, before - 1, count, headerFromDefinition(toPanelDefinition(fields)));
    shiftNames(sidecar, before, count);
    return savePatternPair(path, doc, asRead, sidecar) ? 0 : 1;
}

int runDelete(const ParsedArgs& args) {
    const std::string& path = args.positional[0];
    Document doc;
    Sidecar sidecar;
    Sidecar asRead;
    if (!loadWithNames(path, doc, sidecar, asRead)) return 1;
    std::vector<uint8_t> flags;
    int status = 0;
    if (!chosenPatterns(args, deleteCommand(), doc, path, false, flags, status)) return status;
    if (!deletePatterns(doc, flags)) {
        return failure("A pattern file keeps at least one pattern; " + quotedPath(path) +
                       " would have none");
    }
    deleteNames(sidecar, flags);
    return savePatternPair(path, doc, asRead, sidecar) ? 0 : 1;
}

int runMove(const ParsedArgs& args) {
    const Command& self = moveCommand();
    const std::string& path = args.positional[0];
    if (!args.has("pattern") || !args.has("to")) return usageError(self, "give --pattern and --to");
    int from = 1;
    int to = 1;
    std::string error;
    if (!numberOption(args, "pattern", 1, INT_MAX, from, error) ||
        !numberOption(args, "to", 1, INT_MAX, to, error)) {
        return usageError(self, error);
    }
    Document doc;
    Sidecar sidecar;
    Sidecar asRead;
    if (!loadWithNames(path, doc, sidecar, asRead)) return 1;
    for (const int n : {from, to}) {
        if (n > doc.patternCount) {
            return failure("Pattern " + std::to_string(n) + " is not in " + quotedPath(path) +
                           " (it holds " + std::to_string(doc.patternCount) + ")");
        }
    }
    movePattern(doc, from - 1, to - 1);
    moveName(sidecar, from, to);
    return savePatternPair(path, doc, asRead, sidecar) ? 0 : 1;
}

int runPlace(const ParsedArgs& args) {
    const Command& self = placeCommand();
    const std::string& path = args.positional[0];
    // Numbers and names stay as they are: the sidecar is neither read nor written.
    Document doc;
    if (!loadPatternFile(path, doc)) return 1;
    std::vector<uint8_t> flags;
    int status = 0;
    if (!chosenPatterns(args, self, doc, path, true, flags, status)) return status;
    std::string error;
    for (size_t i = 0; i < flags.size() && static_cast<int>(i) < doc.patternCount; ++i) {
        if (flags[i] != 1) continue;
        PatternHeader h;
        getHeader(doc, static_cast<int>(i), h);
        // Each pattern keeps what the options leave out.
        PanelDefinitionFields fields{h.beginSeg, h.beginCom,    h.width,
                                     h.height,   h.leftToRight, h.topToBottom};
        if (!numberOption(args, "seg", 1, PanelSegs, fields.beginSeg, error) ||
            !numberOption(args, "com", 1, PanelComs, fields.beginCom, error) ||
            !readDirection(args, "lr", fields.leftToRight, fields.leftToRight, error) ||
            !readDirection(args, "tb", fields.topToBottom, fields.topToBottom, error)) {
            return usageError(self, error);
        }
        // Checked as the panel definition dialog checks it; nothing is saved
        // when one pattern would not fit.
        if (const PanelDefinitionCheck check = checkPanelDefinition(fields); !check.outcome.ok()) {
            return failure("Pattern " + std::to_string(i + 1) + ": " + check.outcome.message.text);
        }
        placePattern(doc, static_cast<int>(i), fields.beginSeg, fields.beginCom, fields.leftToRight,
                     fields.topToBottom);
    }
    return savePatternFile(path, doc) ? 0 : 1;
}

} // namespace

const Command& addCommand() {
    static const Command command{
        "add",
        "add blank patterns to a pattern file",
        "usage: dedur-cli add FILE.pat [--count K] [--at N] [--size WxH]\n"
        "                     [--seg S] [--com C] [--lr CODE] [--tb CODE]\n"
        "\n"
        "Adds K blank patterns after the last one, or before pattern N with --at;\n"
        "the patterns after them and their names move up.\n"
        "  --count K     number of patterns (default 1)\n"
        "  --at N        insert before pattern N (N = count + 1 appends)\n"
        "  --size WxH    2..96 each way (default 12x12)\n"
        "  --seg S --com C --lr CODE --tb CODE   their place, as for \"new\"\n",
        {{"count", true},
         {"at", true},
         {"size", true},
         {"seg", true},
         {"com", true},
         {"lr", true},
         {"tb", true}},
        1,
        1,
        runAdd};
    return command;
}

const Command& deleteCommand() {
    static const Command command{
        "delete",
        "delete patterns from a pattern file",
        "usage: dedur-cli delete FILE.pat (--pattern N | --range TEXT)\n"
        "\n"
        "Deletes pattern N, or the patterns of a range such as \"2, 4-6\"; the\n"
        "patterns after them and their names move down. A file keeps at least one\n"
        "pattern.\n",
        {{"pattern", true}, {"range", true}},
        1,
        1,
        runDelete};
    return command;
}

const Command& moveCommand() {
    static const Command command{
        "move",
        "move a pattern to another place in the list",
        "usage: dedur-cli move FILE.pat --pattern N --to M\n"
        "\n"
        "Takes pattern N out of the list and puts it back as pattern M; the\n"
        "patterns between close up. Names go with their patterns.\n",
        {{"pattern", true}, {"to", true}},
        1,
        1,
        runMove};
    return command;
}

const Command& placeCommand() {
    static const Command command{
        "place",
        "place patterns on the panel (SEG, COM, directions)",
        "usage: dedur-cli place FILE.pat (--pattern N | --range TEXT | --all)\n"
        "                       [--seg S] [--com C] [--lr CODE] [--tb CODE]\n"
        "\n"
        "Gives the chosen patterns a new place on the panel: the SEG and COM line\n"
        "of their left-top dot and the directions of a step right and down; what\n"
        "is not given stays as each pattern has it. Checked as the panel definition\n"
        "dialog checks it: nothing is saved when a pattern would run off the panel.\n"
        "Direction codes: 0 Increase Seg, 1 Decrease Seg, 2 Increase Com, 3 Decrease Com.\n",
        {{"pattern", true},
         {"range", true},
         {"all", false},
         {"seg", true},
         {"com", true},
         {"lr", true},
         {"tb", true}},
        1,
        1,
        runPlace};
    return command;
}

} // namespace dedur::cli
