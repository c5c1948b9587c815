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
    if (shift &&
        (!parsePoint(args.positional[2], transform.dx, transform.dy) ||
         std::abs(transform.dx) > MaxPatternSide || std::abs(transform.dy) > MaxPatternSide)) {
        return usageError(self, "the shift is given as DX,DY, each -96..96");
    }
    transform.wrap = args.has("wrap");
    if (!args.has("pattern")) return usageError(self, "--pattern N is required");
    int number = 0;
    std::string error;
    if (!numberOption(args, "pattern", 1, INT_MAX, number, error)) return usageError(self, error);

    Editor editor;
    Document& doc = editor.document;
    if (!loadPatternFile(path, doc)) return 1;
    if (!selectPatternNumber(doc, number, path)) return 1;
    reloadWorkDots(doc);
    const Outcome turned = transformPattern(doc, editor.history, editor.selection, transform, 1, 1);
    if (!turned.ok()) return failure(turned.message.text);
    return savePatternFile(path, doc) ? 0 : 1;
}

} // namespace

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
        "pattern would leave the panel.\n",
        {{"pattern", true}, {"wrap", false}},
        2,
        3,
        runTransform};
    return command;
}

} // namespace dedur::cli
