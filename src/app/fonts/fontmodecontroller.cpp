#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScrollBar>
#include <filesystem>

#include "base/fileread.h"
#include "base/limits.h"
#include "base/safewrite.h"
#include "editor.h"
#include "editorsettings.h"
#include "fonts/bdf.h"
#include "fonts/big5.h"
#include "fonts/big5codec.h"
#include "fonts/fontmodecontroller.h"
#include "fonts/glyphfilemaker.h"
#include "fonts/subsetdialog.h"
#include "grid/selection.h"
#include "panel/tables.h"
#include "settings/settingsfile.h"
#include "ui/commandids.h"
#include "ui/editorview.h"
#include "ui/prompts.h"

namespace dedur {

namespace {

bool isFontMode(EditMode type) {
    return type >= EditMode::Font16x15 && type <= EditMode::SpecialSupp16x15;
}

std::optional<GlyphFileKind> glyphFileKindOf(EditMode mode) {
    switch (mode) {
    case EditMode::Font16x15:
        return GlyphFileKind::Big5_16x15;
    case EditMode::Font24x24:
        return GlyphFileKind::Big5_24x24;
    case EditMode::Ascii8x15:
        return GlyphFileKind::Ascii8x15;
    case EditMode::Special16x15:
        return GlyphFileKind::Symbol16x15;
    case EditMode::SpecialSupp16x15:
        return GlyphFileKind::SymbolSupp16x15;
    default:
        return std::nullopt;
    }
}

// What the editor says of a glyph file that cannot be read whole.
Message unreadableGlyphFile(const std::string& path, const std::string& why) {
    return {formatText("%s cannot be read whole: %s.\nIt is left as it is: nothing is written "
                       "into it.",
                       printable(path).c_str(), why.c_str()),
            " ", MessageButtons::Ok, MessageIcon::Question};
}

} // namespace

void FontModeController::showAccessError(const Message& error) {
    if (!error.empty()) prompts_.showMessage(view_.owner(), error);
}

void FontModeController::enterEditMode() {
    Document& doc = editor_.document;
    if (doc.editType != EditMode::Pattern && !isFontMode(doc.editType)) {
        // A mode this editor does not know: start in pattern mode.
        doc.editType = EditMode::Pattern;
    }
    const bool font = doc.editType != EditMode::Pattern;
    if (!font) {
        view_.loadStartupDocument();
    } else {
        const GlyphKind kind = glyphKind(doc.editType);
        doc.patternWidth = static_cast<int16_t>(kind.width);
        doc.patternHeight = static_cast<int16_t>(kind.height);
        doc.patternDotCount = kind.width * kind.height;
        std::fill(doc.workDots.begin(), doc.workDots.end(), DOT_OFF);
        view_.setTitle(fontPathFor(editor_.fontEdit, doc.editType));
        warnOfGlyphFileSize();
    }
    view_.buildNavigation(!font);
    view_.refreshButton(CmdDeletePattern);
    if (font) {
        setUpGlyphScroll();
        offerGlyphFiles();
    } else {
        editor_.currentNumber = doc.currentPattern + 1;
        view_.showNavigation(editor_.currentNumber);
    }
    endFloatingBlock(editor_.selection, false);
    view_.dispatchCommand(CmdDrawPoint);
    for (int id : {CmdDeletePattern, CmdAddPattern, CmdInsertPattern, CmdPatternSize}) {
        view_.setButtonEnabled(id, !font);
    }
    if (!font) view_.refreshButton(CmdDeletePattern);
    view_.repaintGrid(true);
}

void FontModeController::warnOfGlyphFileSize() {
    const EditMode mode = editor_.document.editType;
    bool& warned = editor_.fontEdit.sizeWarned[static_cast<size_t>(mode)];
    if (warned) return;
    const Message warning = glyphFileSizeWarning(editor_.fontEdit, mode);
    if (warning.empty()) return;
    warned = true;
    prompts_.showMessage(view_.owner(), warning);
}

namespace {

// Kept in [others] of the folder's settings: the glyph files were offered
// there (made, or declined).
constexpr const char* GlyphFilesOfferedKey = "GLYPHFILESOFFERED";

bool nothingAt(const std::string& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() ==
           std::filesystem::file_type::not_found;
}

} // namespace

void FontModeController::offerGlyphFiles() {
    const std::string path = fontPathFor(editor_.fontEdit, editor_.document.editType);
    // A file that is there but unreadable, or a link, is the user's to mend.
    if (glyphFilesOffered_ || !nothingAt(path)) return;
    // A link at the settings' name is neither read nor written through.
    const std::string settings = editor_.settingsLinkRefused
                                     ? std::string()
                                     : makeWorkPath(editor_.startupDirectory, SettingsFileName);
    std::string text;
    if (!settings.empty() && readSettingsFile(settings, text) &&
        readSetting(&text, SectionOthers, GlyphFilesOfferedKey) == "1") {
        return;
    }
    glyphFilesOffered_ = true;
    const std::string& folder = editor_.startupDirectory;
    const Message question{
        formatText("%s is not there.\nMake the glyph files of the font modes in %s now, from "
                   "the installed free fonts? Glyph files already there are kept. This is "
                   "asked once.\n\nScripts make them with:\n%s",
                   quotedPath(path).c_str(), quotedPath(folder).c_str(),
                   printable(makeFontsCommandFor(folder)).c_str()),
        "Glyph files", MessageButtons::YesNo, MessageIcon::Question};
    if (prompts_.showMessage(view_.owner(), question) != IDYES) {
        if (!settings.empty()) writeSetting(settings, SectionOthers, GlyphFilesOfferedKey, "1");
        return;
    }
    const fontgen::Result made =
        makeGlyphFilesShowingProgress(view_.owner(), folder, watchGlyphFileBar);
    // Cancelled: nothing was written, and the offer stands for the next start.
    if (made.cancelled) return;
    if (!settings.empty()) writeSetting(settings, SectionOthers, GlyphFilesOfferedKey, "1");
    if (!made.ok) {
        prompts_.showMessage(view_.owner(),
                             {formatText("The glyph files could not be made in %s: %s",
                                         quotedPath(folder).c_str(), printable(made.error).c_str()),
                              " ", MessageButtons::Ok, MessageIcon::Question});
        return;
    }
    // As if the file had been there when the mode began.
    warnOfGlyphFileSize();
    setUpGlyphScroll();
    view_.repaintGrid(true);
}

void FontModeController::setUpGlyphScroll() {
    Document& doc = editor_.document;
    const GlyphKind kind = glyphKind(doc.editType);
    int number = 1;
    if (doc.editType == EditMode::Font16x15 || doc.editType == EditMode::Font24x24) {
        const uint32_t code = currentCode(editor_.fontEdit, doc.editType);
        uint8_t record[72];
        Message error;
        const int index =
            accessBig5Glyph(editor_.fontEdit, doc.editType, static_cast<int>(code >> 8 & 0xFF),
                            static_cast<int>(code & 0xFF), record, GlyphAccess::Read, &error);
        showAccessError(error);
        number = index + 1; // 0 for a code without a record
        if (index >= 0) glyphToDots(doc, doc.editType, record);
    } else {
        showGlyph(1);
    }
    editor_.currentNumber = number;
    QScrollBar* bar = view_.navigationBar();
    bar->blockSignals(true);
    bar->setRange(1, kind.count);
    bar->setValue(std::max(number, 1));
    bar->blockSignals(false);
    view_.countLabel()->setText(QString::number(kind.count));
}

bool FontModeController::showGlyph(int number) {
    Document& doc = editor_.document;
    uint8_t record[72];
    Message error;
    int found = -1;
    switch (doc.editType) {
    case EditMode::Ascii8x15:
        found = accessAsciiGlyph(editor_.fontEdit, number, record, GlyphAccess::Read, &error);
        break;
    case EditMode::Special16x15:
    case EditMode::SpecialSupp16x15:
        found = accessSpecialGlyph(editor_.fontEdit, doc.editType, number, record,
                                   GlyphAccess::Read, &error);
        break;
    default: {
        const uint16_t code = glyphNumberToCode(number);
        currentCode(editor_.fontEdit, doc.editType) = code;
        found = accessBig5Glyph(editor_.fontEdit, doc.editType, code >> 8, code & 0xFF, record,
                                GlyphAccess::Read, &error);
        break;
    }
    }
    showAccessError(error);
    if (found < 0) return false;
    glyphToDots(doc, doc.editType, record);
    return true;
}

void FontModeController::goToGlyph(int number) {
    Document& doc = editor_.document;
    editor_.currentNumber = number;
    view_.commitSelection();
    if (doc.editType == EditMode::Ascii8x15)
        view_.setStatusText(QString::asprintf("No.%d", number));
    if (doc.editType == EditMode::Font16x15 || doc.editType == EditMode::Font24x24) {
        view_.setStatusText(
            QString::asprintf("FONT=%04X, No.%d", glyphNumberToCode(number), number));
    }
    const bool shown = showGlyph(number);
    if (!shown && (doc.editType == EditMode::Font16x15 || doc.editType == EditMode::Font24x24))
        prompts_.beep();
}

void FontModeController::switchMode(EditMode mode) {
    saveModeSettings(editor_);
    if (view_.querySave() == -1) return;
    if (editor_.document.editType == mode) return;
    editor_.document.editType = mode;
    // A snapshot of a pattern is no glyph, nor a glyph a pattern: undo in the
    // new mode must not bring the other mode's dots (and size) back.
    editor_.history = {};
    enterEditMode();
}

void FontModeController::typedText(const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        if (c == 0x1B) {
            typedByte(0x1B);
            continue;
        }
        for (const char b : encodeBig5(c)) typedByte(static_cast<uint8_t>(b));
    }
}

void FontModeController::typedByte(uint8_t byte) {
    if (!editor_.fontEdit.leadPending) {
        editor_.fontEdit.pendingLead = byte;
        editor_.fontEdit.leadPending = isBig5Lead(byte) != 0;
        return;
    }
    editor_.fontEdit.leadPending = false;
    const uint8_t lead = editor_.fontEdit.pendingLead;
    // The status bar shows the character the two bytes make.
    const auto character = decodeBig5(lead, byte);
    view_.setStatusText(character ? QString::fromUcs4(&*character, 1)
                                  : QString::asprintf("%c%c", lead, byte));
    if (!isBig5Trail(byte)) return;
    Document& doc = editor_.document;
    uint8_t record[72];
    Message error;
    const int index = accessBig5Glyph(editor_.fontEdit, doc.editType, lead, byte, record,
                                      GlyphAccess::Read, &error);
    showAccessError(error);
    if (index < 0) return;
    const uint32_t code = static_cast<uint32_t>(lead << 8 | byte);
    currentCode(editor_.fontEdit, doc.editType) = code;
    view_.commitSelection();
    glyphToDots(doc, doc.editType, record);
    editor_.currentNumber = index + 1;
    view_.navigationBar()->setValue(editor_.currentNumber);
    view_.repaintGrid(true);
}

bool FontModeController::refusedAsUnreadable() {
    const EditMode mode = editor_.document.editType;
    const std::string path = fontPathFor(editor_.fontEdit, mode);
    const std::string why = glyphFileProblem(path, *glyphFileKindOf(mode));
    if (why.empty()) return false;
    prompts_.showMessage(view_.owner(), unreadableGlyphFile(path, why));
    return true;
}

bool FontModeController::saveGlyph() {
    Document& doc = editor_.document;
    // The viewed fonts are never written: nothing to lose there.
    if (doc.editType != EditMode::Font16x15 && doc.editType != EditMode::Font24x24) return true;
    view_.commitSelection();
    if (refusedAsUnreadable()) return false;
    std::array<uint8_t, 72> record{};
    if (doc.editType == EditMode::Font16x15) {
        const auto packed = packGlyph16(doc);
        std::copy(packed.begin(), packed.end(), record.begin());
    } else {
        record = packGlyph24(doc);
    }
    const uint32_t code = currentCode(editor_.fontEdit, doc.editType);
    Message error;
    const int written = accessBig5Glyph(editor_.fontEdit, doc.editType, code >> 8 & 0xFF,
                                        code & 0xFF, record.data(), GlyphAccess::Write, &error);
    showAccessError(error);
    return written >= 0;
}

namespace {

Message summary(const std::string& text) {
    return {text, " ", MessageButtons::Ok, MessageIcon::Question};
}

// "1 glyph", "2 glyphs".
std::string glyphCount(int n) {
    return std::to_string(n) + (n == 1 ? " glyph" : " glyphs");
}

} // namespace

void FontModeController::exportBdfFont() {
    const auto kind = glyphFileKindOf(editor_.document.editType);
    if (!kind) {
        prompts_.beep();
        return;
    }
    // The glyph on the grid is part of the font: it is saved first.
    if (!view_.saveGlyph()) return;
    const std::string fontPath = fontPathFor(editor_.fontEdit, editor_.document.editType);
    std::string bytes, why;
    if (!readGlyphFile(fontPath, *kind, bytes, why)) {
        prompts_.showMessage(view_.owner(),
                             summary("Could not read " + quotedPath(fontPath) + ": " + why));
        return;
    }
    QString chosen = prompts_.askSaveFileName(view_.owner(), QString(), "BDF font (*.bdf)|*.bdf|",
                                              "Export font as BDF");
    if (chosen.isEmpty()) return;
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += ".bdf";
    const BdfExport made = exportBdf(
        bytes, *kind, QFileInfo(QString::fromStdString(fontPath)).baseName().toStdString());
    const std::string target = QFile::encodeName(chosen).toStdString();
    if (failed(writeFileSafely(target, made.text))) return;
    prompts_.showMessage(
        view_.owner(),
        summary(formatText("%s written; %d blank and %d without a Unicode "
                           "character left out.",
                           glyphCount(made.written).c_str(), made.blank, made.unmapped)));
}

void FontModeController::importBdfFont() {
    const auto kind = glyphFileKindOf(editor_.document.editType);
    if (!kind) {
        prompts_.beep();
        return;
    }
    if (view_.querySave() == -1) return;
    if (refusedAsUnreadable()) return;
    const QString chosen =
        prompts_.askOpenFileName(view_.owner(), QString(), "BDF font (*.bdf)|*.bdf|", "Import BDF");
    if (chosen.isEmpty()) return;
    const std::string source = QFile::encodeName(chosen).toStdString();
    std::string text;
    if (const FileReadStatus status = readFileLimited(source, limits::BdfFileBytes, text);
        status != FileReadStatus::Ok) {
        prompts_.showMessage(view_.owner(), summary("Could not read " + quotedPath(source) + ": " +
                                                    readFailureReason(source, status)));
        return;
    }
    BdfFont font;
    if (failed(parseBdf(text, source, font))) return;
    const std::string fontPath = fontPathFor(editor_.fontEdit, editor_.document.editType);
    std::string bytes, why; // a missing file starts blank
    // Looked at again: the question and the file dialog took their time.
    if (!readGlyphFile(fontPath, *kind, bytes, why)) {
        prompts_.showMessage(view_.owner(), unreadableGlyphFile(fontPath, why));
        return;
    }
    const BdfImport placed = importBdf(font, *kind, false, bytes);
    // The glyph file is the user's work: asked before anything goes into it.
    const std::string fileName =
        QFileInfo(QString::fromStdString(fontPath)).fileName().toStdString();
    const std::string bdfName = QFileInfo(chosen).fileName().toStdString();
    if (placed.placed == 0) {
        prompts_.showMessage(
            view_.owner(),
            summary(formatText("No glyph of %s has a place in %s: %s skipped (no record for "
                               "their character).",
                               printable(bdfName).c_str(), printable(fileName).c_str(),
                               glyphCount(placed.skipped).c_str())));
        return;
    }
    if (prompts_.showMessage(
            view_.owner(),
            {formatText("Place %s from %s into %s?", glyphCount(placed.placed).c_str(),
                        printable(bdfName).c_str(), printable(fileName).c_str()),
             "Import BDF", MessageButtons::YesNo, MessageIcon::Question}) != IDYES) {
        return;
    }
    if (failed(writeFileSafely(fontPath, bytes))) return;
    showGlyph(editor_.currentNumber);
    view_.repaintGrid(true);
    prompts_.showMessage(
        view_.owner(),
        summary(formatText("%s placed, %d skipped (no record for their "
                           "character), %d cut to the cell.",
                           glyphCount(placed.placed).c_str(), placed.skipped, placed.cut)));
}

void FontModeController::exportSubset() {
    const EditMode mode = editor_.document.editType;
    if (mode != EditMode::Font16x15 && mode != EditMode::Font24x24) {
        prompts_.beep();
        return;
    }
    // The glyph on the grid is part of the font: it is saved first.
    if (!view_.saveGlyph()) return;
    SubsetDialog dialog(view_.owner(), prompts_, editor_);
    view_.showDialog(&dialog);
}

void FontModeController::exportTable() {
    // A floating block stays floating: the table is made of the store (a
    // glyph: the working copy), as it stands.
    const TableExport table =
        tableExportFor(editor_.document, editor_.fontEdit, editor_.currentNumber);
    if (table.fileName.empty()) return;
    const std::string path = makeWorkPath(editor_.startupDirectory, table.fileName);
    if (!table.append) prompts_.setWaitCursor(true);
    const Outcome written = writeTableFile(path, table.bytes, table.append);
    if (!table.append) prompts_.setWaitCursor(false);
    failed(written);
}

} // namespace dedur
