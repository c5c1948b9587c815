// The font-edit modes: entering a mode, stepping through glyphs, typed Big5
// characters, saving glyphs and the table export.
#include <QScrollBar>

#include "../grid/gridwidget.h"
#include "../shell/commandids.h"
#include "../shell/mainwindow.h"
#include "../shell/palette.h"
#include "../shell/prompts.h"
#include "fonts/big5.h"
#include "fonts/big5codec.h"
#include "panel/tables.h"
#include "settings/settingsfile.h"

namespace dedur {

namespace {

bool isFontMode(int type) {
    return type >= EditFont16x15 && type <= EditSpecialSupp16x15;
}

} // namespace

void MainWindow::showAccessError(const Message& error) {
    if (!error.empty()) prompts_.showMessage(this, error);
}

void MainWindow::enterEditMode() {
    Document& doc = editor_.document;
    if (doc.editType != EditPattern && !isFontMode(doc.editType)) {
        // A mode this editor does not know: start in pattern mode.
        doc.editType = EditPattern;
    }
    const bool font = doc.editType != EditPattern;
    if (!font) {
        startupDocument();
    } else {
        const GlyphKind kind = glyphKind(doc.editType);
        doc.patternWidth = static_cast<int16_t>(kind.width);
        doc.patternHeight = static_cast<int16_t>(kind.height);
        doc.patternDotCount = kind.width * kind.height;
        std::fill(doc.workDots.begin(), doc.workDots.end(), DOT_OFF);
        setTitle(fontPathFor(editor_.fontEdit, doc.editType));
        warnOfGlyphFileSize();
    }
    const int y = palette_->createNavigationStrip(!font);
    palette_->layoutButtons(4, y);
    refreshButton(CmdDeletePattern);
    if (font) {
        setUpGlyphScroll();
    } else {
        editor_.currentNumber = doc.currentPattern + 1;
        showNavigation(editor_.currentNumber);
    }
    editor_.selection.selectionState = SelectionState::None;
    dispatchCommand(CmdDrawPoint);
    for (int id : {CmdDeletePattern, CmdAddPattern, CmdInsertPattern, CmdPatternSize}) {
        palette_->setButtonEnabled(id, !font);
    }
    if (!font) refreshButton(CmdDeletePattern);
    grid_->repaintAll(true);
}

void MainWindow::warnOfGlyphFileSize() {
    const int mode = editor_.document.editType;
    bool& warned = editor_.fontEdit.sizeWarned[static_cast<size_t>(mode)];
    if (warned) return;
    const Message warning = glyphFileSizeWarning(editor_.fontEdit, mode);
    if (warning.empty()) return;
    warned = true;
    prompts_.showMessage(this, warning);
}

void MainWindow::setUpGlyphScroll() {
    Document& doc = editor_.document;
    const GlyphKind kind = glyphKind(doc.editType);
    int number = 1;
    if (doc.editType == EditFont16x15 || doc.editType == EditFont24x24) {
        const uint32_t code = currentCode(editor_.fontEdit, doc.editType);
        uint8_t record[72];
        Message error;
        const int index =
            accessBig5Glyph(editor_.fontEdit, doc.editType, static_cast<int>(code >> 8 & 0xFF),
                            static_cast<int>(code & 0xFF), record, GlyphRead, &error);
        showAccessError(error);
        number = index + 1; // 0 for a code without a record
        if (index >= 0) glyphToDots(doc, doc.editType, record);
    } else {
        showGlyph(1);
    }
    editor_.currentNumber = number;
    QScrollBar* bar = palette_->scrollBar();
    bar->blockSignals(true);
    bar->setRange(1, kind.count);
    bar->setValue(std::max(number, 1));
    bar->blockSignals(false);
    palette_->countLabel()->setText(QString::number(kind.count));
}

bool MainWindow::showGlyph(int number) {
    Document& doc = editor_.document;
    uint8_t record[72];
    Message error;
    int found = -1;
    switch (doc.editType) {
    case EditAscii8x15:
        found = accessAsciiGlyph(editor_.fontEdit, number, record, GlyphRead, &error);
        break;
    case EditSpecial16x15:
    case EditSpecialSupp16x15:
        found =
            accessSpecialGlyph(editor_.fontEdit, doc.editType, number, record, GlyphRead, &error);
        break;
    default: {
        const uint16_t code = glyphNumberToCode(number);
        currentCode(editor_.fontEdit, doc.editType) = code;
        found = accessBig5Glyph(editor_.fontEdit, doc.editType, code >> 8, code & 0xFF, record,
                                GlyphRead, &error);
        break;
    }
    }
    showAccessError(error);
    if (found < 0) return false;
    glyphToDots(doc, doc.editType, record);
    return true;
}

void MainWindow::goToGlyph(int number) {
    Document& doc = editor_.document;
    editor_.currentNumber = number;
    commitSelection();
    if (doc.editType == EditAscii8x15) setStatusText(QString::asprintf("No.%d", number));
    if (doc.editType == EditFont16x15 || doc.editType == EditFont24x24) {
        setStatusText(QString::asprintf("FONT=%04X, No.%d", glyphNumberToCode(number), number));
    }
    const bool shown = showGlyph(number);
    if (!shown && (doc.editType == EditFont16x15 || doc.editType == EditFont24x24)) prompts_.beep();
}

void MainWindow::switchMode(int mode) {
    saveModeSettings(editor_);
    if (querySave() == -1) return;
    if (editor_.document.editType == mode) return;
    editor_.document.editType = mode;
    enterEditMode();
}

void MainWindow::typedText(const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        if (c == 0x1B) {
            typedByte(0x1B);
            continue;
        }
        for (const char b : encodeBig5(c)) typedByte(static_cast<uint8_t>(b));
    }
}

void MainWindow::typedByte(uint8_t byte) {
    if (!editor_.fontEdit.leadPending) {
        editor_.fontEdit.pendingLead = byte;
        editor_.fontEdit.leadPending = isBig5Lead(byte) != 0;
        return;
    }
    editor_.fontEdit.leadPending = false;
    const uint8_t lead = editor_.fontEdit.pendingLead;
    // The status bar shows the character the two bytes make.
    const auto character = decodeBig5(lead, byte);
    setStatusText(character ? QString::fromUcs4(&*character, 1)
                            : QString::asprintf("%c%c", lead, byte));
    if (!isBig5Trail(byte)) return;
    Document& doc = editor_.document;
    uint8_t record[72];
    Message error;
    const int index =
        accessBig5Glyph(editor_.fontEdit, doc.editType, lead, byte, record, GlyphRead, &error);
    showAccessError(error);
    if (index < 0) return;
    const uint32_t code = static_cast<uint32_t>(lead << 8 | byte);
    currentCode(editor_.fontEdit, doc.editType) = code;
    commitSelection();
    glyphToDots(doc, doc.editType, record);
    editor_.currentNumber = index + 1;
    palette_->scrollBar()->setValue(editor_.currentNumber);
    grid_->repaintAll(true);
}

bool MainWindow::saveGlyph() {
    Document& doc = editor_.document;
    // The viewed fonts are never written: nothing to lose there.
    if (doc.editType != EditFont16x15 && doc.editType != EditFont24x24) return true;
    commitSelection();
    std::array<uint8_t, 72> record{};
    if (doc.editType == EditFont16x15) {
        const auto packed = packGlyph16(doc);
        std::copy(packed.begin(), packed.end(), record.begin());
    } else {
        record = packGlyph24(doc);
    }
    const uint32_t code = currentCode(editor_.fontEdit, doc.editType);
    Message error;
    const int written = accessBig5Glyph(editor_.fontEdit, doc.editType, code >> 8 & 0xFF,
                                        code & 0xFF, record.data(), GlyphWrite, &error);
    showAccessError(error);
    return written >= 0;
}

void MainWindow::exportTable() {
    commitSelection();
    const TableExport table =
        tableExportFor(editor_.document, editor_.fontEdit, editor_.currentNumber);
    if (table.fileName.empty()) return;
    const std::string path = makeWorkPath(editor_.startupDirectory, table.fileName);
    if (!table.append) prompts_.setWaitCursor(true);
    const auto failure = writeTableFile(path, table.bytes, table.append);
    if (!table.append) prompts_.setWaitCursor(false);
    if (failure) prompts_.showMessage(this, *failure);
}

} // namespace dedur
