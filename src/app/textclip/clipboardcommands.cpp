#include "textclip/clipboardcommands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "base/safewrite.h"
#include "editor.h"
#include "settings/settingsfile.h"
#include "textclip/pasteandclear.h"
#include "ui/clipboardbitmap.h"
#include "ui/commandids.h"
#include "ui/editorview.h"
#include "ui/prompts.h"

namespace dedur {

void ClipboardCommands::copy() {
    const Selection& sel = editor_.selection;
    const Document& doc = editor_.document;
    // The floating block when one floats, otherwise the whole pattern.
    const PlatformBitmap bitmap =
        sel.selectionState != SelectionState::None
            ? dotsToBitmap(sel.floatingBlock.data(), sel.blockRect.width(), sel.blockRect.height())
            : dotsToBitmap(doc.workDots.data(), doc.patternWidth, doc.patternHeight);
    QGuiApplication::clipboard()->setImage(imageFromBitmap(bitmap));
    view_.refreshButton(CmdPaste, true);
    prompts_.beep();
}

void ClipboardCommands::cutOrClear(int id) {
    if (id == CmdCut) copy();
    // The marquee goes with the block.
    if (editor_.selection.selectionState != SelectionState::None) view_.toggleMarquee();
    clearDots(editor_.document, editor_.history, editor_.selection);
    view_.repaintGrid(false);
}

void ClipboardCommands::paste() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasImage()) return;
    const PlatformBitmap bitmap = bitmapFromImage(qvariant_cast<QImage>(data->imageData()));
    if (bitmap.width <= 0 || bitmap.height <= 0) {
        // Qt gives up on images above its allocation limit with a console
        // line only; the user should know why nothing was pasted.
        prompts_.showMessage(view_.owner(), {"The image on the clipboard is too large to paste.",
                                             " ", MessageButtons::Ok, MessageIcon::Question});
        return;
    }
    const GridGeometry g = view_.gridGeometry();
    const std::string recordPath = makeWorkPath(editor_.startupDirectory, "bitmap.dat");
    const PasteOutcome outcome = pasteBitmapAsBlock(
        editor_.document, editor_.history, editor_.selection, bitmap, g.px(), g.py(), recordPath);
    if (!outcome.pasted) return;
    if (!outcome.record.ok()) {
        prompts_.showMessage(view_.owner(), outcome.record.message);
    }
    if (editor_.grid.tool != Tool::Select) view_.selectTool(CmdSelect);
    // Erased, so that no piece of an earlier marquee stays beside the grid.
    view_.repaintGrid(true);
}

} // namespace dedur
