#include <iostream>

#include "code/sidecar.h"
#include "commands.h"
#include "panel/panelexport.h"
#include "patternpair.h"

namespace dedur::cli {

namespace {

int runFrames(const ParsedArgs& args) {
    const Command& self = framesCommand();
    const std::string& path = args.positional[0];
    if (args.has("delay") != args.has("range")) {
        return usageError(self, "give --range and --delay together, or neither to list");
    }
    int delay = Sidecar::DefaultFrameDelay;
    std::string error;
    if (!numberOption(args, "delay", 1, limits::FrameDelayMs, delay, error)) {
        return usageError(self, error);
    }
    Document doc;
    if (!loadDocument(path, doc)) return 1;
    const bool image = doc.kind == DocumentKind::Image;
    if (image && args.has("delay") && imageFactsOf(path).format != ImageFormat::Gif) {
        return failure(quotedPath(path) + " is a " + imageFormatName(imageFactsOf(path).format) +
                       " image of one frame; delays are a GIF's");
    }
    Sidecar sidecar;
    if (!readSidecarOf(path, doc, sidecar)) return 1;
    if (!args.has("delay")) {
        for (int n = 1; n <= doc.patternCount; ++n) {
            std::cout << n << " " << sidecar.delayOf(n) << "\n";
        }
        return 0;
    }
    const PanelRange range =
        parsePanelRange(RangeChoice::Numbers, *args.value("range"), doc.patternCount, 0);
    if (!range.ok()) return failure(range.outcome.message.text);
    for (int n = 1; n <= doc.patternCount; ++n) {
        if (range.panelFlags[static_cast<size_t>(n - 1)] != 1) continue;
        // The default is kept as no entry at all.
        if (delay == Sidecar::DefaultFrameDelay) {
            sidecar.delays.erase(n);
        } else {
            sidecar.delays[n] = delay;
        }
    }
    // A GIF keeps its delays itself.
    if (image) return saveImageFile(path, doc, sidecar, std::nullopt) ? 0 : 1;
    return writeSidecarOf(path, sidecar) ? 0 : 1;
}

} // namespace

const Command& framesCommand() {
    static const Command command{
        "frames",
        "list or set the delays of patterns as frames of an animation",
        "usage: dedur-cli frames FILE.pat [--range TEXT --delay MS]\n"
        "\n"
        "Lists every pattern's delay as a frame (\"NUMBER MS\" lines; 100 ms unless set),\n"
        "or sets the delay of the patterns of a range such as \"1-5\" to MS (1..655350).\n"
        "The delays are kept in FILE.pat.toml beside the pattern file; render writes\n"
        "them into an animated GIF.\n"
        "A GIF (FILE.gif) keeps its frames' delays itself: they are listed and set in it.\n",
        {{"range", true}, {"delay", true}},
        1,
        1,
        runFrames};
    return command;
}

} // namespace dedur::cli
