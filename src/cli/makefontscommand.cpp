#include <cstdio>

#include "commands.h"
#include "fontgen.h"

namespace dedur::cli {

namespace {

int runMakeFonts(const ParsedArgs& args) {
    const fontgen::Result result = fontgen::makeFonts(args.positional[0], args.has("force"));
    if (!result.ok) return failure(result.error);
    for (const fontgen::FileReport& f : result.files) {
        if (f.kept) {
            std::printf("%s: kept (exists; --force replaces it)\n", f.name.c_str());
        } else {
            std::printf("%s: %d glyphs, %d missing, %d clipped\n", f.name.c_str(), f.records,
                        f.missing, f.clipped);
        }
    }
    return 0;
}

} // namespace

const Command& makeFontsCommand() {
    static const Command command{
        "make-fonts",
        "build the five glyph files from installed free fonts",
        "usage: dedur-cli make-fonts DIR [--force]\n"
        "\n"
        "Writes STD16X15.fon and STD24.fon (Big5 16x15 and 24x24), ASCFONT.15 (8x15\n"
        "ASCII), SPCFONT.15 and SPCFSUPP.15 (16x15 Big5 symbols) into DIR, drawn from\n"
        "WenQuanYi Zen Hei, the 24-pixel Big5 font of xfonts-intl-chinese, Unifont and\n"
        "the Lat15-Fixed15 console font. Existing files are kept, as they may hold\n"
        "edited glyphs, unless --force is given; a link or anything but a regular file\n"
        "at a file's name is refused then, before any file is written. Prints per file\n"
        "how many characters no source font has (left blank).\n",
        {{"force", false}},
        1,
        1,
        runMakeFonts};
    return command;
}

} // namespace dedur::cli
