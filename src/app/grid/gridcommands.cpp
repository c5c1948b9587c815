#include "grid/gridcommands.h"

#include <QCoreApplication>
#include <QCursor>
#include <QScrollArea>
#include <QScrollBar>

#include "editor.h"
#include "editorsettings.h"
#include "grid/gridwidget.h"
#include "ui/commandids.h"
#include "ui/editorview.h"
#include "ui/prompts.h"

namespace dedur {

void GridCommands::undoOrRedo(int id) {
    const int width = editor_.document.patternWidth;
    const int height = editor_.document.patternHeight;
    const bool floating = editor_.selection.selectionState != SelectionState::None;
    if (floating) view_.toggleMarquee();
    PatternNames* names = &editor_.sidecar.names;
    const bool done = id == CmdUndo
                          ? undo(editor_.history, editor_.document, editor_.selection, names)
                          : redo(editor_.history, editor_.document, editor_.selection, names);
    if (!done && floating) view_.toggleMarquee();
    view_.refreshHistoryButtons();
    if (done) {
        // A name shows beside the pattern number.
        view_.showNavigation(editor_.currentNumber);
        // A size change moves the thumbnail: then the old picture goes too.
        const bool resized =
            width != editor_.document.patternWidth || height != editor_.document.patternHeight;
        view_.repaintGrid(resized);
    }
}

void GridCommands::toggleOnionSkin() {
    editor_.settings.onionSkin = !editor_.settings.onionSkin;
    saveOnionSkin(editor_);
    view_.repaintGrid(true);
}

void GridCommands::zoomToFit() {
    const QSize room = view_.gridArea()->viewport()->size();
    const Document& doc = editor_.document;
    const auto fits = [&](int cell) {
        const CellSize size = documentCellSize(editor_.settings, doc, cell);
        return (size.x + 1) * doc.patternWidth + 7 + doc.patternWidth + 4 <= room.width() &&
               (size.y + 1) * doc.patternHeight + 10 <= room.height();
    };
    int cell = fitZoomCell(editor_.settings, doc.patternWidth, doc.patternHeight, room.width(),
                           room.height());
    // A picture too large for the smallest step takes smaller cells.
    if (cell == 4 && !fits(4)) {
        for (int c = 3; c >= smallestZoomCell(doc); --c) {
            cell = c;
            if (fits(c)) break;
        }
    }
    zoomTo(cell);
}

void GridCommands::zoom(int direction) {
    const Document& doc = editor_.document;
    const int zoomCell = editor_.settings.zoomCell;
    const int smallest = smallestZoomCell(doc);
    // Below the smallest step a picture zooms a pixel at a time.
    if (direction < 0 && zoomCell > smallest && zoomCell <= 4) {
        zoomTo(zoomCell - 1);
    } else if (direction > 0 && smallest < 4 && zoomCell > 0 && zoomCell < 4) {
        zoomTo(zoomCell + 1);
    } else {
        zoomTo(nextZoomCell(editor_.settings, direction));
    }
}

void GridCommands::zoomTo(int cell) {
    Selection& sel = editor_.selection;
    // Not in the middle of a drag: its pixels are those of the old cells.
    if (editor_.grid.buttonDown || sel.resizing || sel.selectionState == SelectionState::Moving) {
        return;
    }
    if (cell == editor_.settings.zoomCell) return;
    GridWidget& grid = view_.gridView();
    QScrollArea* area = view_.gridArea();
    // The spot under the pointer, or else the middle of what shows, stays put.
    const QWidget* shown = area->viewport();
    QPoint anchor = shown->mapFromGlobal(QCursor::pos());
    if (!shown->rect().contains(anchor)) anchor = shown->rect().center();
    const QPoint origin(GridOrigin, GridOrigin);
    const QPointF spot = grid.mapFrom(shown, anchor) - origin;
    const GridGeometry before = grid.geometry();
    editor_.settings.zoomCell = cell;
    saveZoom(editor_);
    const GridGeometry g = grid.geometry();
    if (sel.selectionState != SelectionState::None) {
        sel.selectionRect = selectionRectFromBlock(sel.blockRect, g.px(), g.py());
    }
    grid.repaintAll(true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest); // the new scroll ranges
    area->horizontalScrollBar()->setValue(qRound(spot.x() * g.px() / before.px()) + origin.x() -
                                          anchor.x());
    area->verticalScrollBar()->setValue(qRound(spot.y() * g.py() / before.py()) + origin.y() -
                                        anchor.y());
    view_.setStatusText(cell == 0
                            ? QString("Normal size")
                            : QString("Zoom: cells of %1 x %2 pixels").arg(g.gridX).arg(g.gridY));
}

void GridCommands::fillAllDots(int id) {
    if (editor_.document.editType != EditMode::Pattern) return;
    fillPattern(editor_.document, id == CmdSetAllDots ? DOT_ON : DOT_OFF);
    view_.repaintGrid(true);
}

void GridCommands::chooseColour(int id) {
    Settings& s = editor_.settings;
    uint32_t& colour = id == CmdLineColour  ? s.lineColor
                       : id == CmdDotColour ? s.dotColor
                                            : s.bgColor;
    const char* key = id == CmdLineColour  ? "LINECOLOR"
                      : id == CmdDotColour ? "DOTCOLOR"
                                           : "BGCOLOR";
    if (prompts_.chooseColour(view_.owner(), colour, customColours_)) {
        saveColour(editor_, key, colour);
        view_.repaintGrid(true);
    }
}

} // namespace dedur
