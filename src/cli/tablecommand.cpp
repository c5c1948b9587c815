#include "commands.h"
#include "panel/tables.h"

namespace dedur::cli {

namespace {

int runTable(const ParsedArgs& args) {
    Document doc;
    if (!loadPatternFile(args.positional[0], doc)) return 1;
    const std::string target = args.positional.size() > 1 ? args.positional[1] : HexTableFileName;
    if (const auto error = writeTableFile(target, hexTable(doc), false))
        return failure(error->text);
    return 0;
}

} // namespace

const Command& tableCommand() {
    static const Command command{
        "table",
        "write every pattern as rows of hexadecimal bytes",
        "usage: dedur-cli table FILE.pat [OUT]\n"
        "\n"
        "Writes each row of each pattern as hexadecimal bytes (\"F0,0F\"), leftmost dot\n"
        "first, with an empty line after each pattern. OUT defaults to HEX.TAB and is\n"
        "replaced.\n",
        {},
        1,
        2,
        runTable};
    return command;
}

} // namespace dedur::cli
