#include "commands.h"
#include "panel/tables.h"

namespace dedur::cli {

namespace {

int runTable(const ParsedArgs& args) {
    const std::string& source = args.positional[0];
    const std::string target = args.positional.size() > 1 ? args.positional[1] : HexTableFileName;
    if (!outputAllowed(source, target, args.has("force"))) return 1;
    Document doc;
    if (!loadPatternFile(source, doc)) return 1;
    if (const Outcome written = writeTableFile(target, hexTable(doc), false, FileRole::User);
        !written.ok()) {
        return failure(written.message.text);
    }
    return 0;
}

} // namespace

const Command& tableCommand() {
    static const Command command{
        "table",
        "write every pattern as rows of hexadecimal bytes",
        "usage: dedur-cli table FILE.pat [OUT] [--force]\n"
        "\n"
        "Writes each row of each pattern as hexadecimal bytes (\"F0,0F\"), leftmost dot\n"
        "first, with an empty line after each pattern. OUT defaults to HEX.TAB.\n"
        "  --force       replace an existing OUT (never the input file)\n",
        {{"force", false}},
        1,
        2,
        runTable};
    return command;
}

} // namespace dedur::cli
