#include <cstdlib>

#include "commands.h"
#include "editor.h"
#include "grid/transform.h"

namespace dedur::cli {

namespace {

int runTransform(const ParsedArgs& args) {
    const Command& self = transformCommand();
    const std::string& path = args.positional[0];
    const auto kind = transformNamed(args.positional[1]);
    if (!kind) return usageError(self, "unknown transform " + args.positional[1]);
    Transform transform{*kind};
    const bool shift = *kind == TransformKind::Shift;
    if (shift != (args.positional.size() == 3)) {
        return usageError(self, shift ? "shift needs DX,DY" : "only shift takes DX,DY");
    }
    // An image's own side bounds its shift; its first frame is taken unless
    // another is named.
    const bool image = imageFormatOfPath(path).has_value();
    const int side = image ? limits::ImageSide : MaxPatternSide;
    if (shift && (!parsePoint(args.positional[2], transform.dx, transform.dy) ||
                  std::abs(transform.dx) > side || std::abs(transform.dy) > side)) {
        return usageError(self, "the shift is given as DX,DY, each -" + std::to_string(side) +
                                    ".." + std::to_string(side));
    }
    transform.wrap = args.has("wrap");
    if (!args.has("pattern") && !image) return usageError(self, "--pattern N is required");
    int number = 1;
    std::string error;
    if (!numberOption(args, "pattern", 1, INT_MAX, number, error)) return usageError(self, error);

    Editor editor;
    Document& doc = editor.document;
    if (!loadDocument(path, doc)) return 1;
    if (!selectPatternNumber(doc, number, path)) return 1;
    reloadWorkDots(doc);
    const Outcome turned = transformPattern(doc, editor.history, editor.selection, transform, 1, 1);
    if (!turned.ok()) return failure(turned.message.text);
    return savePatternFile(path, doc) ? 0 : 1;
}

} // namespace

// The help text names it.
static_assert(limits::ImageSide == 1024);

const Command& transformCommand() {
    static const Command command{
        "transform",
        "flip, rotate, invert or shift a pattern and save",
        "usage: dedur-cli transform FILE.pat --pattern N OP [DX,DY] [--wrap]\n"
        "\n"
        "Transforms pattern N as the editor's Edit menu does and saves the file.\n"
        "OP is one of\n"
        "  flip-h          mirror left to right\n"
        "  flip-v          mirror top to bottom\n"
        "  rotate-right    a quarter turn clockwise: W x H becomes H x W\n"
        "  rotate-left     a quarter turn counter-clockwise\n"
        "  invert          set dots clear and clear dots set\n"
        "  shift DX,DY     move every dot DX right and DY down (negative: left, up)\n"
        "  --wrap          dots shifted off one side come in on the other (else lost)\n"
        "A rotation keeps the pattern's placement and is refused when the turned\n"
        "pattern would leave the panel.\n"
        "An image (IMAGE.pbm, .xbm, .png or .gif) is transformed in the same way,\n"
        "--pattern naming a GIF's frame (default 1), the shift up to 1024 each way, and\n"
        "saved in its own format, the other frames kept.\n",
        {{"pattern", true}, {"wrap", false}},
        2,
        3,
        runTransform};
    return command;
}

} // namespace dedur::cli
