#include <cstdio>

#include "commands.h"

namespace dedur::cli {

namespace {

int runInfo(const ParsedArgs& args) {
    Document doc;
    if (!loadPatternFile(args.positional[0], doc)) return 1;
    for (int i = 0; i < doc.patternCount; ++i) {
        PatternHeader h;
        getHeader(doc, i, h);
        std::printf("%d %dx%d seg=%d com=%d lr=%d tb=%d\n", i + 1, h.width, h.height, h.beginSeg,
                    h.beginCom, h.leftToRight, h.topToBottom);
    }
    return 0;
}

} // namespace

const Command& infoCommand() {
    static const Command command{
        "info",
        "list the patterns of a pattern file",
        "usage: dedur-cli info FILE.pat\n"
        "\n"
        "Prints one line per pattern: its number (from 1), its size, and its placement\n"
        "on the panel, e.g.\n"
        "  1 12x12 seg=1 com=1 lr=0 tb=2\n"
        "lr and tb are the directions of a step right and a step down:\n"
        "0 Increase Seg, 1 Decrease Seg, 2 Increase Com, 3 Decrease Com.\n",
        {},
        1,
        1,
        runInfo};
    return command;
}

} // namespace dedur::cli
