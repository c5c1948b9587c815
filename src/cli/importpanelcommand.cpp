#include <algorithm>
#include <cctype>

#include "base/fileread.h"
#include "commands.h"
#include "document/patternfile.h"
#include "panel/lcdimage.h"
#include "panel/memoryimport.h"

namespace dedur::cli {

namespace {

bool endsWithNoCase(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[text.size() - suffix.size() + i])) !=
            suffix[i]) {
            return false;
        }
    }
    return true;
}

// The pattern to fill: pattern N, or a new one of --size at --seg/--com.
bool choosePattern(const ParsedArgs& args, Document& doc, const std::string& path,
                   PatternHeader& header, std::string& usage) {
    if (args.has("append") == args.has("pattern")) {
        usage = "give either --pattern N or --append";
        return false;
    }
    if (args.has("pattern")) {
        int number = 0;
        if (!numberOption(args, "pattern", 1, INT_MAX, number, usage)) return false;
        if (!selectPatternNumber(doc, number, path)) return false;
        getHeader(doc, doc.currentPattern, header);
        return true;
    }
    if (!args.has("size") || !args.has("seg") || !args.has("com")) {
        usage = "--append needs --size WxH, --seg S and --com C";
        return false;
    }
    int width = 0, height = 0, seg = 0, com = 0;
    if (!sizeOption(args, "size", 1, MaxPatternSide, width, height, usage) ||
        !numberOption(args, "seg", 1, PanelSegs, seg, usage) ||
        !numberOption(args, "com", 1, PanelComs, com, usage)) {
        return false;
    }
    header = {static_cast<int16_t>(width),
              static_cast<int16_t>(height),
              static_cast<int16_t>(seg),
              static_cast<int16_t>(com),
              0,
              2};
    return true;
}

int runImportPanel(const ParsedArgs& args) {
    const Command& self = importPanelCommand();
    const std::string& path = args.positional[0];
    const std::string& memoryPath = args.positional[1];
    int leftToRight = 0, topToBottom = 2;
    std::string error;
    if (!readDirection(args, "lr", 0, leftToRight, error) ||
        !readDirection(args, "tb", 2, topToBottom, error)) {
        return usageError(self, error);
    }
    if ((leftToRight <= 1) == (topToBottom <= 1)) {
        return failure("(Left to Right) and (Top to Bottom) attribute conflict !");
    }
    std::optional<int> offset;
    int offsetValue = 0, panelValue = 0;
    if (!numberOption(args, "offset", 0, MaxMemoryFileSize, offsetValue, error) ||
        !numberOption(args, "panel", 0, INT_MAX, panelValue, error)) {
        return usageError(self, error);
    }
    if (args.has("offset")) offset = offsetValue;
    const std::optional<int> panel = panelValue;

    Document doc;
    // Appending to a file that is not there yet makes it.
    const bool creating = args.has("append") && !fileExists(path);
    if (creating) {
        doc.patternCount = 0; // the appended pattern is the file's first
        doc.store.clear();
    } else if (!loadPatternFile(path, doc)) {
        return 1;
    }
    PatternHeader header;
    if (!choosePattern(args, doc, path, header, error)) {
        return error.empty() ? 1 : usageError(self, error);
    }
    header.leftToRight = static_cast<int16_t>(leftToRight);
    header.topToBottom = static_cast<int16_t>(topToBottom);
    PanelDefinition definition;
    definition.leftToRight = header.leftToRight;
    definition.topToBottom = header.topToBottom;

    std::string data;
    if (const FileReadStatus status = readFileLimited(memoryPath, MaxMemoryFileSize, data);
        status != FileReadStatus::Ok) {
        return failure("Could not read " + quotedPath(memoryPath) + ": " +
                       readFailureReason(memoryPath, status));
    }
    const bool text = endsWithNoCase(memoryPath, ".dat");
    if (!text && args.has("panel") && panelValue > 0) {
        // Block K of the binary export of several patterns of this size and
        // place: each as long as this pattern's part of the memory.
        const std::vector<uint8_t> blank(static_cast<size_t>(header.width * header.height),
                                         DOT_OFF);
        const LcdImage image = buildLcdImage(blank.data(), header, definition);
        const size_t length = static_cast<size_t>(image.highOffset - image.lowOffset + 1);
        const size_t blocks = data.size() / length;
        if (static_cast<size_t>(panelValue) > blocks || data.size() % length != 0) {
            return failure(quotedPath(memoryPath) + " holds " + std::to_string(data.size()) +
                           " bytes, not " + std::to_string(panelValue) + " or more blocks of " +
                           std::to_string(length) + " (this pattern's size and place)");
        }
        data = data.substr(static_cast<size_t>(panelValue - 1) * length, length);
    }
    std::vector<uint8_t> dots(static_cast<size_t>(header.width * header.height), DOT_OFF);
    const Outcome imported =
        importPanelData(data, text, header, definition, offset, *panel, dots.data());
    if (!imported.ok()) return failure(quotedPath(memoryPath) + ": " + imported.message.text);

    if (args.has("append")) {
        appendPattern(doc, &header);
    } else {
        replaceCurrentRecord(doc, header);
    }
    std::copy(dots.begin(), dots.end(), doc.workDots.begin());
    storeWorkDots(doc);
    return savePatternFile(path, doc) ? 0 : 1;
}

} // namespace

const Command& importPanelCommand() {
    static const Command command{
        "import-panel",
        "read patterns back from exported display memory",
        "usage: dedur-cli import-panel FILE.pat MEMORY (--pattern N | --append --size WxH\n"
        "                            --seg S --com C) [--lr CODE --tb CODE] [--offset X]\n"
        "                            [--panel K]\n"
        "\n"
        "Fills a pattern's dots from display memory written by export: MEMORY is a .DAT\n"
        "file of \".DB\" lines (placed by their address comments, or after the block's\n"
        "\"$2000 ~\" header line) or raw bytes. The dots are read through the same\n"
        "mapping as the export, so exporting a pattern and importing the result gives\n"
        "the same dots back; then the file is saved.\n"
        "  --pattern N   fill pattern N, at its own size and place\n"
        "  --append      add a pattern of --size WxH with its left-top dot on SEG S, COM C\n"
        "  --lr, --tb    directions of a step right and down (default 0 and 2, as export)\n"
        "  --offset X    raw bytes: the first lies X bytes after $2000 (default: 0 for a\n"
        "                file of all 769 bytes, else the pattern's own first byte)\n"
        "  --panel K     .DAT: read the block of Panel No. K (default: the first block);\n"
        "                raw bytes: block K of a binary export of several patterns of\n"
        "                this size and place\n"
        "With --append, FILE.pat is made when it is not there yet.\n"
        "Direction codes: 0 Increase Seg, 1 Decrease Seg, 2 Increase Com, 3 Decrease Com.\n",
        {{"pattern", true},
         {"append", false},
         {"size", true},
         {"seg", true},
         {"com", true},
         {"lr", true},
         {"tb", true},
         {"offset", true},
         {"panel", true}},
        2,
        2,
        runImportPanel};
    return command;
}

} // namespace dedur::cli
