// Copy, Cut, Clear and Paste: dots to and from the clipboard as a bitmap.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "../grid/gridwidget.h"
#include "../shell/commandids.h"
#include "../shell/mainwindow.h"
#include "../shell/palette.h"
#include "../shell/prompts.h"
#include "clipboardbitmap.h"
#include "safewrite.h"
#include "settings/settingsfile.h"

namespace dedur {

void MainWindow::copyDots() {
    const Selection& sel = editor_.selection;
    const Document& doc = editor_.document;
    // The floating block when one floats, otherwise the whole pattern.
    const PlatformBitmap bitmap =
        sel.selectionState != SelectionState::None
            ? dotsToBitmap(sel.floatingBlock.data(), sel.blockRect.width(), sel.blockRect.height())
            : dotsToBitmap(doc.workDots.data(), doc.patternWidth, doc.patternHeight);
    QGuiApplication::clipboard()->setImage(imageFromBitmap(bitmap));
    refreshButton(CmdPaste, true);
    prompts_.beep();
}

void MainWindow::cutOrClear(int id) {
    if (id == CmdCut) copyDots();
    Selection& sel = editor_.selection;
    Document& doc = editor_.document;
    pushUndo(editor_.history, doc, sel);
    if (sel.selectionState != SelectionState::None) {
        grid_->painter().drawMarquee();
    } else {
        std::fill_n(doc.workDots.begin(), std::clamp(doc.patternDotCount, 0, WorkDotsSize),
                    DOT_OFF);
    }
    // A floating block goes without being dropped: its dots were lifted.
    sel.selectionState = SelectionState::None;
    storeWorkDots(doc);
    doc.modifiedFlag = true;
    grid_->repaintAll(false);
}

void MainWindow::pasteBitmap() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasImage()) return;
    const QImage image = qvariant_cast<QImage>(data->imageData());
    const PlatformBitmap bitmap = bitmapFromImage(image);
    if (bitmap.width <= 0 || bitmap.height <= 0) {
        // Qt gives up on images above its allocation limit with a console
        // line only; the user should know why nothing was pasted.
        prompts_.showMessage(this, {"The image on the clipboard is too large to paste.", " ",
                                    MessageButtons::Ok, MessageIcon::Question});
        return;
    }
    Document& doc = editor_.document;
    Selection& sel = editor_.selection;
    int width = 0;
    int height = 0;
    const auto dots = pasteBitmapDots(bitmap, doc.patternWidth, doc.patternHeight, width, height);
    if (!dots) return;
    const GridGeometry g = grid_->geometry();
    if (sel.selectionState != SelectionState::None) {
        // Dropped, but still counted as floating for the snapshot below.
        dropSelection(sel, doc, g.px(), g.py());
    }
    pushUndo(editor_.history, doc, sel);
    const std::string recordPath = makeWorkPath(editor_.startupDirectory, "bitmap.dat");
    const WriteOutcome outcome =
        writeFileSafely(recordPath, pasteRecord(bitmap), FileRole::Program);
    if (!outcome.ok()) prompts_.showMessage(this, writeFailureMessage(recordPath, outcome));
    sel.blockRect = {0, 0, width - 1, height - 1};
    sel.selectionRect = selectionRectFromBlock(sel.blockRect, g.px(), g.py());
    sel.selectionState = SelectionState::Floating;
    sel.floatingBlock = *dots;
    if (editor_.grid.tool != Tool::Select) selectTool(CmdSelect);
    doc.modifiedFlag = true;
    // Erased, so that no piece of an earlier marquee stays beside the grid.
    grid_->repaintAll(true);
}

} // namespace dedur
