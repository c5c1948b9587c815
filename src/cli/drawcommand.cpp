#include <string_view>

#include "base/nametable.h"
#include "commands.h"
#include "editor.h"
#include "grid/drawingtools.h"
#include "grid/history.h"
#include "grid/selection.h"

namespace dedur::cli {

namespace {

constexpr NamedValue<Tool> ToolNames[] = {
    {Tool::Point, "point"},
    {Tool::Erase, "erase"},
    {Tool::Line, "line"},
    {Tool::OutlineRectangle, "rect"},
    {Tool::FilledRectangle, "fill-rect"},
    {Tool::OutlineEllipse, "ellipse"},
    {Tool::FilledEllipse, "fill-ellipse"},
};

int runDraw(const ParsedArgs& args) {
    const Command& self = drawCommand();
    const std::string& path = args.positional[0];
    const std::optional<Tool> tool = valueNamed(ToolNames, args.positional[1]);
    if (!tool) return usageError(self, "unknown tool " + args.positional[1]);
    // The press, then each move; point and erase take any number of moves.
    std::vector<DotPoint> dots(args.positional.size() - 2);
    for (size_t i = 0; i < dots.size(); ++i) {
        if (!parsePoint(args.positional[i + 2], dots[i].x, dots[i].y)) {
            return usageError(self, "dots are given as X,Y");
        }
    }
    const bool stroke = *tool == Tool::Point || *tool == Tool::Erase;
    if (!stroke && dots.size() > 2) {
        return usageError(self, "a shape takes two dots: where it is pressed and released");
    }
    // An image's first frame unless another is named.
    const bool image = imageFormatOfPath(path).has_value();
    const auto patternText = image ? args.value("pattern").value_or("1") : args.value("pattern");
    if (!patternText) return usageError(self, "--pattern N is required");
    const auto number = wholeNumber(*patternText);
    if (!number) return usageError(self, "--pattern must be a pattern number");

    Editor editor;
    Document& doc = editor.document;
    if (!loadDocument(path, doc)) return 1;
    if (!selectPatternNumber(doc, *number, path)) return 1;
    reloadWorkDots(doc);
    const int w = doc.patternWidth;
    const int h = doc.patternHeight;
    for (size_t i = 0; i < dots.size(); ++i) {
        // The ellipse tools reach one column and one row beyond the last dot.
        const int reach = i > 0 && isEllipseTool(*tool) ? 1 : 0;
        const DotPoint& p = dots[i];
        if (p.x < 0 || p.y < 0 || p.x >= w + reach || p.y >= h + reach) {
            return failure("Dot " + args.positional[i + 2] + " is outside the " +
                           std::to_string(w) + "x" + std::to_string(h) +
                           (image ? " frame" : " pattern"));
        }
    }
    editor.grid.tool = *tool;
    dragOnDots(editor.grid, doc, editor.history, editor.selection, dots, editor.settings.gridX + 1,
               editor.settings.gridY + 1);
    return savePatternFile(path, doc) ? 0 : 1;
}

} // namespace

const Command& drawCommand() {
    static const Command command{
        "draw",
        "draw with one of the editor's tools and save",
        "usage: dedur-cli draw FILE.pat --pattern N TOOL X0,Y0 [X1,Y1]\n"
        "       dedur-cli draw FILE.pat --pattern N point|erase X0,Y0 X1,Y1 X2,Y2 ...\n"
        "\n"
        "Applies to pattern N exactly the dots the editor's tool applies when pressed\n"
        "on dot (X0,Y0), moved to dot (X1,Y1) and released there; then saves the\n"
        "file. Dots count from 0,0 at the top left (the editor's status bar counts\n"
        "from 1).\n"
        "TOOL is point, erase, line, rect, fill-rect, ellipse or fill-ellipse.\n"
        "point and erase take any number of dots, a stroke through them in turn, each\n"
        "joined to the one before with a line's dots as a drag in the editor is.\n"
        "The ellipse tools take X1,Y1 up to the pattern's width and height (one beyond\n"
        "the last dot); rectangles and ellipses need the pointer to move off the\n"
        "pressed dot, as in the editor.\n"
        "An image (IMAGE.pbm, .xbm, .png or .gif) is drawn on in the same way, --pattern\n"
        "naming a GIF's frame (default 1), and saved in its own format, the other\n"
        "frames kept.\n",
        {{"pattern", true}},
        3,
        INT_MAX,
        runDraw};
    return command;
}

} // namespace dedur::cli
