#include <algorithm>
#include <cctype>
#include <filesystem>

#include "base/fileread.h"
#include "base/limits.h"
#include "base/safewrite.h"
#include "bdfcommands.h"
#include "code/codejob.h"
#include "code/sidecar.h"
#include "commands.h"
#include "image/gifanimation.h"
#include "image/imagedots.h"
#include "panel/paneldefinitioncheck.h"
#include "panel/panelexport.h"
#include "patternpair.h"
#include "sheetlabels.h"

namespace dedur::cli {

namespace {

// The header of a pattern --append adds for a picture of width x height:
// placed where the options say (the panel definition's defaults otherwise),
// checked as the panel definition dialog checks it. False with the exit
// status after the message.
bool appendedHeader(const ParsedArgs& args, int width, int height, PatternHeader& header,
                    int& status) {
    PanelDefinitionFields fields;
    fields.width = width;
    fields.height = height;
    std::string error;
    if (!numberOption(args, "seg", 1, PanelSegs, fields.beginSeg, error) ||
        !numberOption(args, "com", 1, PanelComs, fields.beginCom, error) ||
        !readDirection(args, "lr", 0, fields.leftToRight, error) ||
        !readDirection(args, "tb", 2, fields.topToBottom, error)) {
        status = usageError(importImageCommand(), error);
        return false;
    }
    if (const PanelDefinitionCheck check = checkPanelDefinition(fields); !check.outcome.ok()) {
        status = failure(quotedPath(args.positional[1]) + ": " + check.outcome.message.text);
        return false;
    }
    header = headerFromDefinition(toPanelDefinition(fields));
    return true;
}

// The frames of an animated GIF appended as patterns, placed as --append
// places a picture, their delays kept beside the file.
int appendFrames(const ParsedArgs& args, Document& doc, const std::string& data,
                 std::optional<int> threshold) {
    const std::string& path = args.positional[0];
    const std::string& imagePath = args.positional[1];
    std::vector<GifFrame> frames;
    if (const Outcome decoded =
            decodeGifFrames(data, imagePath, limits::GifSide, limits::GifFrames, frames);
        !decoded.ok()) {
        return failure(decoded.message.text);
    }
    PatternHeader header;
    int status = 0;
    if (!appendedHeader(args, frames.front().image.width, frames.front().image.height, header,
                        status)) {
        return status;
    }
    Sidecar sidecar;
    if (!readSidecarOf(path, doc, sidecar)) return 1;
    const Sidecar asRead = sidecar;
    for (const GifFrame& frame : frames) {
        const DotGrid dots = dotsFromImage(frame.image, threshold, args.has("invert"));
        appendPattern(doc, &header);
        std::copy(dots.dots.begin(), dots.dots.end(), doc.workDots.begin());
        storeWorkDots(doc);
        if (frame.delayMs != Sidecar::DefaultFrameDelay) {
            sidecar.delays[doc.patternCount] = std::clamp(frame.delayMs, 1, Sidecar::MaxFrameDelay);
        }
    }
    return savePatternPair(path, doc, asRead, sidecar) ? 0 : 1;
}

int runImportImage(const ParsedArgs& args) {
    const Command& self = importImageCommand();
    const std::string& path = args.positional[0];
    const std::string& imagePath = args.positional[1];
    if (args.has("append") == args.has("pattern")) {
        return usageError(self, "give either --pattern N or --append");
    }
    std::optional<int> threshold;
    if (const auto text = args.value("threshold")) {
        threshold = wholeNumber(*text);
        if (!threshold || *threshold < 0 || *threshold > 255) {
            return usageError(self, "--threshold must be 0..255");
        }
    }
    Document doc;
    if (!loadPatternFile(path, doc)) return 1;
    if (args.has("append")) {
        // An animated GIF: every frame a pattern, with its delay. Its sizes
        // and count are checked from the headers before a frame is drawn.
        std::string data;
        if (readFileLimited(imagePath, limits::ImageFileBytes, data) == FileReadStatus::Ok &&
            data.compare(0, 3, "GIF") == 0) {
            int frames = 0;
            if (const Outcome checked =
                    checkGifHeaders(data, imagePath, limits::GifSide, limits::GifFrames, frames);
                !checked.ok()) {
                return failure(checked.message.text);
            }
            if (frames > 1) return appendFrames(args, doc, data, threshold);
        }
    }
    RgbaImage image;
    if (const Outcome read = readImageFile(imagePath, image); !read.ok()) {
        return failure(read.message.text);
    }
    const DotGrid dots = dotsFromImage(image, threshold, args.has("invert"));
    if (args.has("append")) {
        if (dots.width > MaxPatternSide || dots.height > MaxPatternSide) {
            return failure(quotedPath(imagePath) + " is " + std::to_string(dots.width) + " x " +
                           std::to_string(dots.height) + " pixels; a pattern side must be 1 to 96");
        }
        PatternHeader header;
        int status = 0;
        if (!appendedHeader(args, dots.width, dots.height, header, status)) return status;
        appendPattern(doc, &header);
        std::copy(dots.dots.begin(), dots.dots.end(), doc.workDots.begin());
    } else {
        const auto number = wholeNumber(*args.value("pattern"));
        if (!number) return usageError(self, "--pattern must be a pattern number");
        if (!selectPatternNumber(doc, *number, path)) return 1;
        reloadWorkDots(doc);
        // Laid over the pattern from its top-left dot, cut to its size; the
        // image's clear pixels leave the dots under them.
        for (int y = 0; y < std::min<int>(dots.height, doc.patternHeight); ++y) {
            for (int x = 0; x < std::min<int>(dots.width, doc.patternWidth); ++x) {
                if (dots.dots[static_cast<size_t>(y * dots.width + x)] == DOT_ON) {
                    doc.workDots[static_cast<size_t>(y * doc.patternWidth + x)] = DOT_ON;
                }
            }
        }
    }
    storeWorkDots(doc);
    return savePatternFile(path, doc) ? 0 : 1;
}

DotGrid dotsOfRecord(Document& doc, int index) {
    PatternHeader header;
    const auto dots = selectPattern(doc, index, header, false);
    return {header.width, header.height, dots ? *dots : std::vector<uint8_t>{}};
}

// The patterns of --range (default all) as the frames of an animated GIF,
// each shown for its delay.
int renderAnimation(const ParsedArgs& args, Document& doc, int scale) {
    const std::string& path = args.positional[0];
    const std::string& out = args.positional[1];
    int loops = 0;
    std::string error;
    if (!numberOption(args, "loop", 0, limits::GifLoopsMax, loops, error)) {
        return usageError(renderCommand(), error);
    }
    const RangeChoice choice = args.has("range")     ? RangeChoice::Numbers
                               : args.has("pattern") ? RangeChoice::Current
                                                     : RangeChoice::All;
    if (args.has("pattern")) {
        int number = 1;
        if (!numberOption(args, "pattern", 1, INT_MAX, number, error)) {
            return usageError(renderCommand(), error);
        }
        if (!selectPatternNumber(doc, number, path)) return 1;
    }
    const PanelRange range = parsePanelRange(choice, args.value("range").value_or(""),
                                             doc.patternCount, doc.currentPattern);
    if (!range.ok()) return failure(range.outcome.message.text);
    // The range reader takes a number past the last pattern as the last; the
    // animation would then show frames other than the ones asked for.
    if (choice == RangeChoice::Numbers) {
        if (const std::string past =
                rangePastLast(*args.value("range"), doc.patternCount, quotedPath(path));
            !past.empty()) {
            return failure(past);
        }
    }
    Sidecar sidecar;
    if (doc.kind == DocumentKind::Image) {
        (void)readSidecarOf(path, doc, sidecar); // a GIF's own delays
    } else {
        (void)readSidecar(path, sidecar); // 100 ms a frame when it cannot be read
    }
    // The sizes from the records' headers; each frame's dots are read and
    // drawn a row at a time while it is written.
    DotFrames frames;
    std::vector<int> records;
    for (int i = 0; i < doc.patternCount; ++i) {
        if (range.panelFlags[static_cast<size_t>(i)] != 1) continue;
        PatternHeader header;
        getHeader(doc, i, header);
        frames.sizes.emplace_back(header.width, header.height);
        frames.delaysMs.push_back(sidecar.delayOf(i + 1));
        records.push_back(i);
    }
    frames.dots = [&doc, &records](int frame) {
        return dotsOfRecord(doc, records[static_cast<size_t>(frame)]);
    };
    GifAnimation animation;
    if (const Outcome made = animateDots(frames, scale, args.has("grid"), loops, animation);
        !made.ok()) {
        return failure(made.message.text);
    }
    if (const Outcome outcome = writeFileSafely(out, gifByteStream(animation)); !outcome.ok()) {
        return failure(outcome.message.text);
    }
    return 0;
}

int runRender(const ParsedArgs& args) {
    const Command& self = renderCommand();
    const std::string& path = args.positional[0];
    const std::string& out = args.positional[1];
    if (isBdfPath(path)) return renderBdfSpecimen(args);
    if (args.has("all") && args.has("pattern")) {
        return usageError(self, "give only one of --pattern and --all");
    }
    const auto scale = wholeNumber(args.value("scale").value_or("4"));
    if (!scale || *scale < limits::RenderScaleMin || *scale > limits::RenderScaleMax) {
        return usageError(self, "--scale must be " + std::to_string(limits::RenderScaleMin) + ".." +
                                    std::to_string(limits::RenderScaleMax));
    }
    const auto columns = wholeNumber(args.value("columns").value_or("8"));
    if (!columns || *columns < 1 || *columns > 1000) {
        return usageError(self, "--columns must be 1..1000");
    }
    const auto number = wholeNumber(args.value("pattern").value_or("1"));
    if (!number) return usageError(self, "--pattern must be a pattern number");
    Document doc;
    if (!loadDocument(path, doc)) return 1;
    // The sidecar is read for the frames' delays: neither may be replaced.
    if (!outputAllowed(std::vector<std::string>{path, sidecarPath(path)}, out, args.has("force"))) {
        return 1;
    }
    const std::string extension = std::filesystem::path(out).extension().string();
    const auto is = [&extension](const char* ext) {
        return extension.size() == 4 &&
               std::equal(extension.begin(), extension.end(), ext, [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == b;
               });
    };
    if (is(".gif")) return renderAnimation(args, doc, *scale);
    IndexedImage image;
    if (args.has("all")) {
        std::vector<DotGrid> patterns;
        for (int i = 0; i < doc.patternCount; ++i) patterns.push_back(dotsOfRecord(doc, i));
        const uint64_t cell = uint64_t(doc.kind == DocumentKind::Image ? doc.maxSide() : 96) + 24;
        const uint64_t pixels =
            uint64_t(doc.patternCount) * cell * cell * uint64_t(*scale * *scale);
        if (pixels > (uint64_t{1} << 31)) {
            return failure("A sheet of " + std::to_string(doc.patternCount) +
                           " patterns at that scale would be too large an image");
        }
        Sidecar sidecar;
        if (doc.kind == DocumentKind::Image) {
            (void)readSidecarOf(path, doc, sidecar);
        } else {
            (void)readSidecar(path, sidecar); // without names when it cannot be read
        }
        image = renderContactSheet(patterns, 1, *scale, args.has("grid"), *columns,
                                   sheetLabels(doc, sidecar.names, *scale));
    } else {
        if (!selectPatternNumber(doc, *number, path)) return 1;
        image = renderDots(dotsOfRecord(doc, doc.currentPattern), *scale, args.has("grid"));
    }
    // The format by OUT's extension: PBM, XBM, or else PNG.
    const std::string bytes = is(".pbm")   ? encodePbm(image)
                              : is(".xbm") ? encodeXbm(image, identifierFromFileName(out))
                                           : encodePng(image);
    if (bytes.empty()) return failure("The image could not be made");
    if (const Outcome outcome = writeFileSafely(out, bytes); !outcome.ok()) {
        return failure(outcome.message.text);
    }
    return 0;
}

} // namespace

const Command& importImageCommand() {
    static const Command command{
        "import-image",
        "turn an image into dots of a pattern",
        "usage: dedur-cli import-image FILE.pat IMAGE (--pattern N | --append\n"
        "                            [--seg S] [--com C] [--lr CODE] [--tb CODE])\n"
        "                            [--threshold 0-255] [--invert]\n"
        "\n"
        "Reads a PNG, PBM, XBM, GIF, BMP or JPEG image and turns its pixels into dots,\n"
        "then saves the file. With --append an animated GIF adds a pattern a frame, as the screen\n"
        "shows it then, with its delay: at most 1000 frames, the screen and every frame\n"
        "at most 96 x 96, judged from the GIF's headers before a pixel is read.\n"
        "  --append        add a pattern of the image's size (each side 1..96), its\n"
        "                  left-top dot on SEG S, COM C (default 1, 1), directions\n"
        "                  --lr and --tb (default 0 and 2), checked against the panel\n"
        "  --pattern N     lay the image over pattern N from its top-left dot, cut to\n"
        "                  the pattern's size; clear pixels leave the dots under them\n"
        "  --threshold T   a pixel is set when its grey (0.299 R + 0.587 G + 0.114 B) is\n"
        "                  below T; without it, as the editor's paste: set when red,\n"
        "                  green and blue are all below 127\n"
        "  --invert        swap set and clear pixels\n"
        "Transparent pixels are always clear.\n",
        {{"pattern", true},
         {"append", false},
         {"threshold", true},
         {"invert", false},
         {"seg", true},
         {"com", true},
         {"lr", true},
         {"tb", true}},
        2,
        2,
        runImportImage};
    return command;
}

// The help texts name these.
static_assert(limits::RenderGifPixels == 268435456 && limits::GifFrames == 1000 &&
              limits::GifSide == 96);

const Command& renderCommand() {
    static const Command command{
        "render",
        "draw patterns as an image (PNG, PBM or XBM)",
        "usage: dedur-cli render FILE.pat OUT [--pattern N | --all | --range TEXT]\n"
        "                      [--scale K] [--columns C] [--grid] [--loop N] [--force]\n"
        "\n"
        "Writes pattern N (default 1) as a black and white image, each dot K x K pixels\n"
        "(default 4), W*K x H*K in all; or, with --all, a sheet of every pattern in\n"
        "rows of C (default 8), for a datasheet: each framed by a thin grey line, with\n"
        "its number, its name when it has one, its size and its SEG/COM place under it,\n"
        "the patterns of a row standing on one line. OUT ending in .pbm or .xbm is\n"
        "written as a PBM or XBM (grey prints white), anything else as a PNG.\n"
        "  --grid     a grey line of one pixel around every dot: cells are K+1 pixels,\n"
        "             a pattern W*(K+1)+1 x H*(K+1)+1\n"
        "  --force    replace an existing OUT\n"
        "OUT ending in .gif is an animated GIF: the patterns of --range (default all)\n"
        "as frames, each W*K x H*K at the top-left, shown for its delay (see \"frames\";\n"
        "GIF counts hundredths of a second: rounded, at least 2); --loop N plays it N\n"
        "times (default 0: for ever). Its frames are one bit a pixel (two with --grid's\n"
        "grey); the frames on a screen as large as the largest come to at most\n"
        "268435456 pixels.\n"
        "An image (FILE.pbm, .xbm, .png or .gif) is drawn the same way, its frames\n"
        "taken as patterns (a GIF's with their own delays).\n"
        "A BDF font (FONT.bdf) is drawn as a specimen sheet: every glyph in code order,\n"
        "in rows of C (default 16), each K x K pixels a dot (default 2) in the box that\n"
        "holds them all, on a grey baseline, with its code point (U+XXXX; ENCODING in\n"
        "hexadecimal in a font of another encoding) beneath it; at most 67108864\n"
        "pixels in all. --range FIRST-LAST (U+4E00-U+4FFF, or 0xA440-0xA4FF) draws\n"
        "those codes only.\n",
        {{"pattern", true},
         {"all", false},
         {"range", true},
         {"loop", true},
         {"scale", true},
         {"columns", true},
         {"grid", false},
         {"force", false}},
        2,
        2,
        runRender};
    return command;
}

} // namespace dedur::cli
