#include <string_view>

#include "commands.h"
#include "editor.h"
#include "grid/drawingtools.h"
#include "grid/history.h"
#include "grid/selection.h"

namespace dedur::cli {

namespace {

struct ToolName {
    const char* name;
    Tool tool;
};

constexpr ToolName ToolNames[] = {
    {"point", Tool::Point},
    {"erase", Tool::Erase},
    {"line", Tool::Line},
    {"rect", Tool::OutlineRectangle},
    {"fill-rect", Tool::FilledRectangle},
    {"ellipse", Tool::OutlineEllipse},
    {"fill-ellipse", Tool::FilledEllipse},
};

int runDraw(const ParsedArgs& args) {
    const Command& self = drawCommand();
    const std::string& path = args.positional[0];
    const Tool* tool = nullptr;
    for (const ToolName& t : ToolNames) {
        if (args.positional[1] == t.name) tool = &t.tool;
    }
    if (!tool) return usageError(self, "unknown tool " + args.positional[1]);
    DotPoint press;
    DotPoint move;
    const bool moved = args.positional.size() > 2 + 1;
    if (!parsePoint(args.positional[2], press.x, press.y) ||
        (moved && !parsePoint(args.positional[3], move.x, move.y))) {
        return usageError(self, "dots are given as X,Y");
    }
    const auto patternText = args.value("pattern");
    if (!patternText) return usageError(self, "--pattern N is required");
    const auto number = wholeNumber(*patternText);
    if (!number) return usageError(self, "--pattern must be a pattern number");

    Editor editor;
    Document& doc = editor.document;
    if (!loadPatternFile(path, doc)) return 1;
    if (!selectPatternNumber(doc, *number, path)) return 1;
    reloadWorkDots(doc);
    const int w = doc.patternWidth;
    const int h = doc.patternHeight;
    if (press.x < 0 || press.y < 0 || press.x >= w || press.y >= h) {
        return failure("Dot " + args.positional[2] + " is outside the " + std::to_string(w) + "x" +
                       std::to_string(h) + " pattern");
    }
    // The ellipse tools reach one column and one row beyond the last dot.
    const int reach = isEllipseTool(*tool) ? 1 : 0;
    if (moved && (move.x < 0 || move.y < 0 || move.x >= w + reach || move.y >= h + reach)) {
        return failure("Dot " + args.positional[3] + " is outside the " + std::to_string(w) + "x" +
                       std::to_string(h) + " pattern");
    }
    editor.grid.tool = *tool;
    dragOnDots(editor.grid, doc, editor.history, editor.selection, press, moved ? &move : nullptr,
               editor.settings.gridX + 1, editor.settings.gridY + 1);
    return savePatternFile(path, doc) ? 0 : 1;
}

} // namespace

const Command& drawCommand() {
    static const Command command{
        "draw",
        "draw with one of the editor's tools and save",
        "usage: dedur-cli draw FILE.pat --pattern N TOOL X0,Y0 [X1,Y1]\n"
        "\n"
        "Applies to pattern N exactly the dots the editor's tool applies when pressed\n"
        "on dot (X0,Y0), moved once to dot (X1,Y1) and released there; then saves the\n"
        "file. Dots count from 0,0 at the top left.\n"
        "TOOL is point, erase, line, rect, fill-rect, ellipse or fill-ellipse.\n"
        "The ellipse tools take X1,Y1 up to the pattern's width and height (one beyond\n"
        "the last dot); rectangles and ellipses need the pointer to move off the\n"
        "pressed dot, as in the editor.\n",
        {{"pattern", true}},
        3,
        4,
        runDraw};
    return command;
}

} // namespace dedur::cli
