// A random session on the grid: points, shapes, selections moved, resized
// and dropped, size changes, undo and redo, driven as the editor drives them.
// After every step the document must still be whole.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "editor.h"
#include "fuzzinput.h"
#include "grid/gridgeometry.h"
#include "grid/resize.h"
#include "grid/transform.h"

using namespace dedur;

namespace {

void check(const Editor& e) {
    if (const char* broken = brokenInvariant(e)) {
        std::fprintf(stderr, "broken: %s\n", broken);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    Editor e;
    Document& doc = e.document;
    Selection& sel = e.selection;
    GridGeometry g;
    g.gridX = in.range(4, 20);
    g.gridY = in.range(4, 16);
    static const Tool tools[] = {
        Tool::Point,           Tool::Erase,  Tool::Line,           Tool::OutlineRectangle,
        Tool::FilledRectangle, Tool::Select, Tool::OutlineEllipse, Tool::FilledEllipse};
    for (int step = 0; step < 64 && in.byte() != 0xFF; ++step) {
        g.width = doc.patternWidth;
        g.height = doc.patternHeight;
        const auto dot = [&] {
            const int x = in.range(0, doc.patternWidth - 1);
            return DotPoint{x, in.range(0, doc.patternHeight - 1)};
        };
        const bool floating = sel.selectionState != SelectionState::None;
        switch (in.range(0, 7)) {
        case 0: { // a press, moves and a release with any tool
            if (floating) break;
            e.grid.tool = tools[in.range(0, 7)];
            std::vector<DotPoint> path{dot(), dot()};
            for (int n = in.range(0, 3); n > 0; --n) path.push_back(dot());
            dragOnDots(e.grid, doc, e.history, sel, path, g.px(), g.py());
            break;
        }
        case 1: { // drag the floating block as the grid does, then release
            if (!floating) break;
            sel.lastPointer = {in.range(0, g.lastX() + 5), in.range(0, g.lastY() + 5)};
            sel.blockRect = blockRectFromSelection(sel.selectionRect, g.px(), g.py());
            DotRect from;
            dragBlock(sel, doc, e.history,
                      {in.range(-200, g.lastX() + 200), in.range(-200, g.lastY() + 200)}, g.px(),
                      g.py(), from);
            clampAfterMove(sel, g.width, g.height, g.px(), g.py());
            break;
        }
        case 2: { // drag a handle, then release: the dots are rescaled
            if (!floating) break;
            sel.handleCode = ResizeHandle(in.range(1, 8));
            sel.resizeRect = sel.selectionRect;
            sel.resizing = true;
            sel.lastPointer = {in.range(0, g.lastX() + 5), in.range(0, g.lastY() + 5)};
            dragResizeFrame(sel, doc, e.history,
                            {in.range(0, g.lastX() + 5), in.range(0, g.lastY() + 5)}, g.width,
                            g.height, g.px(), g.py());
            finishResize(sel, g.px(), g.py());
            const DotRect after = blockRectFromSelection(sel.selectionRect, g.px(), g.py());
            if (after.width() < 1 || after.height() < 1) std::abort();
            break;
        }
        case 3: // drop it
            if (!floating) break;
            dropSelection(sel, doc, g.px(), g.py());
            sel.selectionState = SelectionState::None;
            sel.moveUndoSaved = false;
            break;
        case 4:
            undo(e.history, doc, sel);
            break;
        case 5:
            redo(e.history, doc, sel);
            break;
        case 6: // a new pattern size, as the size dialog gives it
            if (floating) break;
            changePatternSize(doc, e.history, sel, in.range(1, 96), in.range(1, 96));
            break;
        case 7: { // a flip, turn, inversion or shift of the block or the pattern
            Transform t{TransformKind(in.range(0, 5)), in.range(-100, 100), in.range(-100, 100),
                        in.range(0, 1) == 1};
            transformPattern(doc, e.history, sel, t, g.px(), g.py());
            break;
        }
        }
        check(e);
    }
    return 0;
}
