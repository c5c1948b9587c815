#include "code/codelayout.h"
#include "commands.h"
#include "document/patternfile.h"

namespace dedur::cli {

namespace {

int runNewImage(const ParsedArgs& args) {
    const Command& self = newImageCommand();
    const std::string& path = args.positional[0];
    const std::optional<ImageFormat> format = imageFormatOfPath(path);
    if (!format) return usageError(self, "OUT must end in .pbm, .xbm, .png or .gif");
    if (!args.has("size")) return usageError(self, "--size WxH is required");
    int width = 0, height = 0;
    std::string error;
    if (!sizeOption(args, "size", 1, limits::ImageSide, width, height, error)) {
        return usageError(self, error);
    }
    Sidecar sidecar;
    if (const auto layout = args.value("layout")) {
        const std::optional<CodeLayout> named = layoutNamed(*layout);
        if (!named || *named == CodeLayout::Panel) {
            return usageError(self, "--layout must be rows-msb, rows-lsb, pages-lsb or pages-msb");
        }
        sidecar.layout = *layout;
    }
    if (fileExists(path) && !args.has("force")) {
        return failure(quotedPath(path) + " exists; give --force to replace it");
    }
    Document doc;
    if (const Outcome made = newImageDocument(doc, width, height); !made.ok()) {
        return failure(made.message.text);
    }
    ImageFacts facts;
    facts.format = *format;
    const Outcome written = writeImageDocument(path, doc, sidecar, facts, *format);
    if (!written.ok()) return failure(written.message.text);
    return 0;
}

} // namespace

// The help text names it.
static_assert(limits::ImageSide == 1024);

const Command& newImageCommand() {
    static const Command command{
        "new-image",
        "write a blank 1-bit image (PBM, XBM, PNG or GIF) for a graphic display",
        "usage: dedur-cli new-image OUT.pbm|OUT.xbm|OUT.png|OUT.gif --size WxH\n"
        "                        [--layout L] [--force]\n"
        "\n"
        "Writes a picture of W x H clear dots (1..1024 each way) in the format OUT's\n"
        "name ends in; code, render, draw, transform, info and frames then take it.\n"
        "  --size WxH    the display's size, such as 128x64\n"
        "  --layout L    the byte layout the display's controller reads (rows-msb,\n"
        "                rows-lsb, pages-lsb or pages-msb), kept in OUT.toml beside\n"
        "                the image for code to take when it is given no --layout\n"
        "  --force       replace an existing OUT\n",
        {{"size", true}, {"layout", true}, {"force", false}},
        1,
        1,
        runNewImage};
    return command;
}

} // namespace dedur::cli
