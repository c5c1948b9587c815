// The commands of the program, one row each: menu item, key, palette
// button, checking and enabling rules, and the handler.
#include "window/commandtable.h"

#include <QKeySequence>
#include <algorithm>
#include <string_view>

#include "panel/panelview.h"
#include "ui/prompts.h"
#include "window/mainwindow.h"
#include "window/palette.h"

// Each row names only the fields it needs; the others keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace dedur {

namespace {

constexpr auto Ctrl = Qt::ControlModifier;

bool toolChecked(const MainWindow& w, int id) {
    Tool tool;
    return toolOfCommand(id, tool) && w.editor().grid.tool == tool;
}

template <int Id> bool isCurrentTool(const MainWindow& w) {
    return toolChecked(w, Id);
}

template <EditMode Mode> bool isMode(const MainWindow& w) {
    return w.editor().document.editType == Mode;
}

// The list commands follow their palette buttons, which the font modes turn off.
bool buttonEnabled(const MainWindow& w, int id) {
    const PaletteButton* b = w.palette()->find(id);
    return b && b->enabled;
}

bool fontDocumentOpen(const MainWindow& w) {
    return w.controllers().fontDocument.isOpen();
}

bool canTransform(const MainWindow& w) {
    return TransformCommands::allowedIn(w.editor());
}

// The glyph files that go out and come in as BDF fonts.
bool hasBdfFont(const MainWindow& w) {
    const EditMode m = w.editor().document.editType;
    return m != EditMode::Pattern;
}

template <int Id> bool whenButtonEnabled(const MainWindow& w) {
    return buttonEnabled(w, Id);
}

// The SEG/COM panel's commands work on a pattern file only: a picture or a
// font has no place on the panel.
bool onPanel(const MainWindow& w) {
    const Document& doc = w.editor().document;
    return doc.kind == DocumentKind::Patterns || doc.editType != EditMode::Pattern;
}

const char* offPanelWhy(const MainWindow& w) {
    return onPanel(w) ? nullptr : "Only a pattern file has a place on the panel";
}

template <EditMode Mode> bool isModeOnPanel(const MainWindow& w) {
    return isMode<Mode>(w) && onPanel(w);
}

template <int Id> bool whenButtonEnabledOnPanel(const MainWindow& w) {
    return buttonEnabled(w, Id) && onPanel(w);
}

} // namespace

const std::vector<const char*>& menuTitles() {
    static const std::vector<const char*> titles{"&File",    "&Edit", "&Draw", "&Pattern",
                                                 "&Setting", "&Help", "&Glyph"};
    return titles;
}

const std::vector<CommandRow>& commandTable() {
    using W = MainWindow;
    constexpr auto chooseTool = [](W& w, int id) { w.selectTool(id); };
    static const std::vector<CommandRow> table{
        // File
        {.id = CmdNew,
         .popup = "&File",
         .text = "&New\tF1",
         .key = Qt::Key_F1,
         .run = [](W& w, int) { w.controllers().files.newFile(); }},
        {.id = CmdOpen,
         .popup = "&File",
         .text = "&Open...\tF2",
         .key = Qt::Key_F2,
         .run = [](W& w, int) { w.controllers().files.openFile(); }},
        {.id = CmdSave,
         .popup = "&File",
         .text = "&Save\tF3",
         .key = Qt::Key_F3,
         .palette = {.order = 15,
                     .group = 4,
                     .tooltip = "Save to file",
                     .normal = ImageSave,
                     .pressed = ImageSavePressed,
                     .disabled = ImageSaveDisabled,
                     .current = ImageSave},
         .run = [](W& w, int) { w.controllers().files.save(); }},
        {.id = CmdSaveAs,
         .popup = "&File",
         .text = "Save &as...\tF4",
         .key = Qt::Key_F4,
         .run = [](W& w, int) { w.controllers().files.saveAs(); }},
        {.id = CmdPanelExport,
         .popup = "&File",
         .text = "Export &panel data...",
         .separatorBefore = true,
         .enabled = onPanel,
         .disabledWhy = offPanelWhy,
         .run = [](W& w, int) { w.controllers().panel.exportData(); }},
        {.id = CmdTableExport,
         .popup = "&File",
         .text = "Export &table",
         .enabled = onPanel,
         .disabledWhy = offPanelWhy,
         .run = [](W& w, int) { w.controllers().fonts.exportTable(); }},
        {.id = CmdExit,
         .popup = "&File",
         .text = "&Exit\tCtrl+E",
         .separatorBefore = true,
         .key = Qt::Key_E,
         .modifiers = Ctrl,
         .run = [](W& w, int) { w.exitSequence(); }},
        {.id = CmdNewImage,
         .popup = "&File",
         .text = "Ne&w image...",
         .separatorBefore = true,
         .run = [](W& w, int) { w.controllers().files.newImage(); }},
        {.id = CmdImportPanelData,
         .popup = "&File",
         .text = "&Import panel data...",
         .enabled = isModeOnPanel<EditMode::Pattern>,
         .disabledWhy = offPanelWhy,
         .run = [](W& w, int) { w.controllers().panel.importData(); }},
        {.id = CmdImportImage,
         .popup = "&File",
         .text = "Import i&mage...",
         .enabled = isMode<EditMode::Pattern>,
         .run = [](W& w, int) { w.controllers().images.importImage(); }},
        {.id = CmdExportImage,
         .popup = "&File",
         .text = "Export ima&ge...",
         .run = [](W& w, int) { w.controllers().images.exportImage(); }},
        {.id = CmdExportBdf,
         .popup = "&File",
         .text = "Export font as &BDF...",
         .enabled = hasBdfFont,
         .run = [](W& w, int) { w.controllers().fonts.exportBdfFont(); }},
        {.id = CmdImportBdf,
         .popup = "&File",
         .text = "Import BD&F...",
         .enabled = hasBdfFont,
         .run = [](W& w, int) { w.controllers().fonts.importBdfFont(); }},
        {.id = CmdExportSubset,
         .popup = "&File",
         .text = "Export subset for te&xt...",
         .enabled =
             [](const W& w) {
                 return w.editor().document.editType == EditMode::Font16x15 ||
                        w.editor().document.editType == EditMode::Font24x24;
             },
         .run = [](W& w, int) { w.controllers().fonts.exportSubset(); }},
        {.id = CmdExportCode,
         .popup = "&File",
         .text = "Export &code...",
         .enabled = isMode<EditMode::Pattern>,
         .run = [](W& w, int) { w.controllers().code.exportCode(); }},
        // Edit
        {.id = CmdUndo,
         .popup = "&Edit",
         .text = "&Undo Painting",
         .enabled = [](const W& w) { return w.editor().history.undoCount() > 0; },
         .palette = {.order = 13,
                     .group = 3,
                     .tooltip = "Undo the previous action",
                     .normal = ImageUndo,
                     .pressed = ImageUndoPressed,
                     .disabled = ImageUndoDisabled,
                     .current = ImageUndoDisabled,
                     .enabled = false},
         .run = [](W& w, int id) { w.controllers().grid.undoOrRedo(id); }},
        {.id = CmdRedo,
         .popup = "&Edit",
         .text = "&Redo Painting",
         .enabled = [](const W& w) { return w.editor().history.redoCount() > 0; },
         .palette = {.order = 14,
                     .group = 3,
                     .tooltip = "Redo the previously undone action",
                     .normal = ImageRedo,
                     .pressed = ImageRedoPressed,
                     .disabled = ImageRedoDisabled,
                     .current = ImageRedoDisabled,
                     .enabled = false},
         .run = [](W& w, int id) { w.controllers().grid.undoOrRedo(id); }},
        {.id = CmdCut,
         .popup = "&Edit",
         .text = "Cu&t",
         .separatorBefore = true,
         .palette = {.order = 10,
                     .group = 2,
                     .tooltip = "Cut",
                     .normal = ImageCut,
                     .pressed = ImageCutPressed,
                     .disabled = ImageCutDisabled,
                     .current = ImageCut},
         .run = [](W& w, int id) { w.controllers().clipboard.cutOrClear(id); }},
        {.id = CmdCopy,
         .popup = "&Edit",
         .text = "&Copy",
         .palette = {.order = 11,
                     .group = 2,
                     .tooltip = "Copy",
                     .normal = ImageCopy,
                     .pressed = ImageCopyPressed,
                     .disabled = ImageCopyDisabled,
                     .current = ImageCopy},
         .run = [](W& w, int) { w.controllers().clipboard.copy(); }},
        {.id = CmdPaste,
         .popup = "&Edit",
         .text = "&Paste",
         .enabled = [](const W& w) { return w.clipboardHasBitmap(); },
         .palette = {.order = 12,
                     .group = 2,
                     .tooltip = "Paste",
                     .normal = ImagePaste,
                     .pressed = ImagePastePressed,
                     .disabled = ImagePasteDisabled,
                     .current = ImagePasteDisabled,
                     .enabled = false},
         .run = [](W& w, int) { w.controllers().clipboard.paste(); }},
        {.id = CmdClear,
         .popup = "&Edit",
         .text = "C&lear",
         .run = [](W& w, int id) { w.controllers().clipboard.cutOrClear(id); }},
        {.id = CmdInputText,
         .popup = "&Edit",
         .text = "Input &Text to copy",
         .separatorBefore = true,
         .separatorAfter = true,
         .palette = {.order = 9,
                     .group = 1,
                     .tooltip = "Input Text to copy",
                     .normal = ImageInputText,
                     .pressed = ImageInputTextPressed,
                     .current = ImageInputText},
         .run = [](W& w, int) { w.controllers().texts.showInputText(); }},
        {.id = CmdFlipHorizontal,
         .popup = "&Edit",
         .text = "Flip &horizontal",
         .enabled = canTransform,
         .run = [](W& w,
                   int) { w.controllers().transforms.apply({TransformKind::FlipHorizontal}); }},
        {.id = CmdFlipVertical,
         .popup = "&Edit",
         .text = "Flip &vertical",
         .enabled = canTransform,
         .run = [](W& w, int) { w.controllers().transforms.apply({TransformKind::FlipVertical}); }},
        {.id = CmdRotateRight,
         .popup = "&Edit",
         .text = "Rotate ri&ght",
         .enabled = canTransform,
         .run = [](W& w, int) { w.controllers().transforms.apply({TransformKind::RotateRight}); }},
        {.id = CmdRotateLeft,
         .popup = "&Edit",
         .text = "Rotate le&ft",
         .enabled = canTransform,
         .run = [](W& w, int) { w.controllers().transforms.apply({TransformKind::RotateLeft}); }},
        {.id = CmdInvert,
         .popup = "&Edit",
         .text = "&Invert",
         .enabled = canTransform,
         .run = [](W& w, int) { w.controllers().transforms.apply({TransformKind::Invert}); }},
        // Draw
        {.id = CmdDrawPoint,
         .popup = "&Draw",
         .text = "&1. Draw point",
         .checked = isCurrentTool<CmdDrawPoint>,
         .palette = {.order = 1,
                     .tooltip = "Draw point",
                     .normal = ImageDrawPoint,
                     .pressed = ImageDrawPointPressed,
                     .latched = ImageDrawPointLatched,
                     .disabled = ImageDrawPointDisabled,
                     .current = ImageDrawPointLatched,
                     .marked = true},
         .run = chooseTool},
        {.id = CmdErasePoint,
         .popup = "&Draw",
         .text = "&2. Erase point",
         .checked = isCurrentTool<CmdErasePoint>,
         .palette = {.order = 2,
                     .tooltip = "Erase point",
                     .normal = ImageErasePoint,
                     .pressed = ImageErasePointPressed,
                     .latched = ImageErasePointLatched,
                     .disabled = ImageErasePointDisabled,
                     .current = ImageErasePoint},
         .run = chooseTool},
        {.id = CmdDrawLine,
         .popup = "&Draw",
         .text = "&3. draw Line",
         .checked = isCurrentTool<CmdDrawLine>,
         .palette = {.order = 5,
                     .tooltip = "Draw line",
                     .normal = ImageDrawLine,
                     .pressed = ImageDrawLinePressed,
                     .latched = ImageDrawLineLatched,
                     .disabled = ImageDrawLineDisabled,
                     .current = ImageDrawLine},
         .run = chooseTool},
        {.id = CmdOutlineEllipse,
         .popup = "&Draw",
         .text = "&4. draw External Ellipse",
         .checked = isCurrentTool<CmdOutlineEllipse>,
         .palette = {.order = 3,
                     .tooltip = "Draw an extend Ellipse",
                     .normal = ImageOutlineEllipse,
                     .pressed = ImageOutlineEllipsePressed,
                     .latched = ImageOutlineEllipseLatched,
                     .disabled = ImageOutlineEllipseDisabled,
                     .current = ImageOutlineEllipse},
         .run = chooseTool},
        {.id = CmdFillEllipse,
         .popup = "&Draw",
         .text = "&5. draw Fill Ellipse",
         .checked = isCurrentTool<CmdFillEllipse>,
         .palette = {.order = 4,
                     .tooltip = "Draw a fill Ellipse",
                     .normal = ImageFillEllipse,
                     .pressed = ImageFillEllipsePressed,
                     .latched = ImageFillEllipseLatched,
                     .disabled = ImageFillEllipseDisabled,
                     .current = ImageFillEllipse},
         .run = chooseTool},
        {.id = CmdOutlineRectangle,
         .popup = "&Draw",
         .text = "&6. draw External rectangle",
         .checked = isCurrentTool<CmdOutlineRectangle>,
         .palette = {.order = 6,
                     .tooltip = "Draw an extend rectangle",
                     .normal = ImageOutlineRectangle,
                     .pressed = ImageOutlineRectanglePressed,
                     .latched = ImageOutlineRectangleLatched,
                     .disabled = ImageOutlineRectangleDisabled,
                     .current = ImageOutlineRectangle},
         .run = chooseTool},
        {.id = CmdFillRectangle,
         .popup = "&Draw",
         .text = "&7. draw Fill rectangle",
         .checked = isCurrentTool<CmdFillRectangle>,
         .palette = {.order = 7,
                     .tooltip = "Draw a fill rectangle",
                     .normal = ImageFillRectangle,
                     .pressed = ImageFillRectanglePressed,
                     .latched = ImageFillRectangleLatched,
                     .disabled = ImageFillRectangleDisabled,
                     .current = ImageFillRectangle},
         .run = chooseTool},
        {.id = CmdSelect,
         .popup = "&Draw",
         .text = "&8. Select",
         .checked = isCurrentTool<CmdSelect>,
         .palette = {.order = 8,
                     .tooltip = "Select to copy,cut,move,shrink or enlarge...",
                     .normal = ImageSelect,
                     .pressed = ImageSelectPressed,
                     .latched = ImageSelectLatched,
                     .disabled = ImageSelectDisabled,
                     .current = ImageSelect},
         .run = chooseTool},
        // Pattern
        {.id = CmdDeletePattern,
         .popup = "&Pattern",
         .text = "&1. Delete current pattern",
         .enabled = whenButtonEnabled<CmdDeletePattern>,
         .palette = {.order = 16,
                     .group = 5,
                     .tooltip = "Delete current panel",
                     .normal = ImageDeletePattern,
                     .pressed = ImageDeletePatternPressed,
                     .disabled = ImageDeletePatternDisabled,
                     .current = ImageDeletePattern},
         .run =
             [](W& w, int) {
                 // A font's glyphs stay one record each: the font's own commands.
                 if (fontDocumentOpen(w)) return w.controllers().fontDocument.deleteGlyph();
                 w.controllers().patterns.deleteCurrent();
             }},
        {.id = CmdAddPattern,
         .popup = "&Pattern",
         .text = "&2. Add a pattern",
         .enabled = whenButtonEnabled<CmdAddPattern>,
         .palette = {.order = 17,
                     .group = 5,
                     .tooltip = "Add a panel to tail",
                     .normal = ImageAddPattern,
                     .pressed = ImageAddPatternPressed,
                     .disabled = ImageAddPatternDisabled,
                     .current = ImageAddPattern},
         .run =
             [](W& w, int) {
                 if (fontDocumentOpen(w)) return w.controllers().fontDocument.addGlyph();
                 w.controllers().patterns.add(false);
             }},
        {.id = CmdInsertPattern,
         .popup = "&Pattern",
         .text = "&3. Insert a pattern",
         .enabled = whenButtonEnabled<CmdInsertPattern>,
         .palette = {.order = 18,
                     .group = 5,
                     .tooltip = "Insert a panel",
                     .normal = ImageInsertPattern,
                     .pressed = ImageInsertPatternPressed,
                     .disabled = ImageInsertPatternDisabled,
                     .current = ImageInsertPattern},
         .run =
             [](W& w, int) {
                 if (fontDocumentOpen(w)) return w.controllers().fontDocument.addGlyph();
                 w.controllers().patterns.add(true);
             }},
        {.id = CmdNamePattern,
         .popup = "&Pattern",
         .text = "&Name...",
         .separatorBefore = true,
         .enabled = isMode<EditMode::Pattern>,
         .run = [](W& w, int) { w.controllers().patterns.nameCurrent(); }},
        {.id = CmdFrameDelay,
         .popup = "&Pattern",
         .text = "Frame &delay...",
         .enabled = isMode<EditMode::Pattern>,
         .run = [](W& w, int) { w.controllers().patterns.frameDelay(); }},
        // Setting
        {.id = CmdStatusBar,
         .popup = "&Setting",
         .text = "&1. Status bar",
         .separatorAfter = true,
         .checked = [](const W& w) { return w.statusBarShown(); },
         .run = [](W& w, int) { w.toggleStatusBar(); }},
        {.id = CmdPatternSize,
         .popup = "&Setting",
         .text = "&2. LCD pattern Size...",
         .enabled = whenButtonEnabledOnPanel<CmdPatternSize>,
         .disabledWhy = offPanelWhy,
         .palette = {.order = 19,
                     .group = 5,
                     .tooltip = "LCD Panel Definition",
                     .normal = ImagePatternSize,
                     .pressed = ImagePatternSizePressed,
                     .disabled = ImagePatternSizeDisabled,
                     .current = ImagePatternSize},
         .run = [](W& w, int) { w.controllers().patterns.changeSize(); }},
        {.id = CmdPanelDefinition,
         .popup = "&Setting",
         .text = "LCD panel &definition...",
         .enabled = onPanel,
         .disabledWhy = offPanelWhy,
         .run = [](W& w, int) { w.controllers().panel.definition(); }},
        {.id = CmdLineColour,
         .popup = "&Setting",
         .text = "Grid line colour...",
         .separatorBefore = true,
         .run = [](W& w, int id) { w.controllers().grid.chooseColour(id); }},
        {.id = CmdDotColour,
         .popup = "&Setting",
         .text = "Dot colour...",
         .run = [](W& w, int id) { w.controllers().grid.chooseColour(id); }},
        {.id = CmdBackgroundColour,
         .popup = "&Setting",
         .text = "Background colour...",
         .run = [](W& w, int id) { w.controllers().grid.chooseColour(id); }},
        {.id = CmdZoomIn,
         .popup = "&Setting",
         .text = "Zoom &in\tCtrl++",
         .separatorBefore = true,
         .key = Qt::Key_Plus,
         .modifiers = Ctrl,
         .run = [](W& w, int) { w.controllers().grid.zoom(1); }},
        {.id = CmdZoomOut,
         .popup = "&Setting",
         .text = "Zoom &out\tCtrl+-",
         .key = Qt::Key_Minus,
         .modifiers = Ctrl,
         .run = [](W& w, int) { w.controllers().grid.zoom(-1); }},
        {.id = CmdNormalSize,
         .popup = "&Setting",
         .text = "&Normal size\tCtrl+0",
         .key = Qt::Key_0,
         .modifiers = Ctrl,
         .run = [](W& w, int) { w.controllers().grid.zoom(0); }},
        {.id = CmdZoomToFit,
         .popup = "&Setting",
         .text = "Zoom to &fit\tCtrl+9",
         .key = Qt::Key_9,
         .modifiers = Ctrl,
         .run = [](W& w, int) { w.controllers().grid.zoomToFit(); }},
        {.id = CmdOnionSkin,
         .popup = "&Setting",
         .text = "Onion s&kin",
         .checked = [](const W& w) { return w.editor().settings.onionSkin; },
         .run = [](W& w, int) { w.controllers().grid.toggleOnionSkin(); }},
        {.id = CmdPanelView,
         .popup = "&Setting",
         .text = "Panel &view",
         .checked = [](const W& w) { return w.panelView() && w.panelView()->isVisible(); },
         .enabled = onPanel,
         .disabledWhy = offPanelWhy,
         .run = [](W& w, int) { w.controllers().panel.showPanelView(); }},
        {.id = CmdZoomInEqualsKey,
         .key = Qt::Key_Equal,
         .modifiers = Ctrl,
         .run = [](W& w, int) { w.controllers().grid.zoom(1); }},
        {.id = CmdZoomInShiftedKey,
         .key = Qt::Key_Plus,
         .modifiers = Ctrl | Qt::ShiftModifier,
         .run = [](W& w, int) { w.controllers().grid.zoom(1); }},
        {.id = CmdPatternMode,
         .popup = "&Setting",
         .text = "&Pattern",
         .submenu = "Edit &mode",
         .separatorBefore = true,
         .checked = isMode<EditMode::Pattern>,
         .run = [](W& w, int) { w.controllers().fonts.switchMode(EditMode::Pattern); }},
        {.id = CmdFont16Mode,
         .popup = "&Setting",
         .text = "Big5 &16x15 font",
         .submenu = "Edit &mode",
         .checked = isMode<EditMode::Font16x15>,
         .run = [](W& w, int) { w.controllers().fonts.switchMode(EditMode::Font16x15); }},
        {.id = CmdFont24Mode,
         .popup = "&Setting",
         .text = "Big5 &24x24 font",
         .submenu = "Edit &mode",
         .checked = isMode<EditMode::Font24x24>,
         .run = [](W& w, int) { w.controllers().fonts.switchMode(EditMode::Font24x24); }},
        // Help
        {.id = CmdAbout,
         .popup = "&Help",
         .text = "&About...",
         .run = [](W& w, int) { w.prompts().showAbout(&w); }},
        // Glyph: a BDF font open as a document.
        {.id = CmdGlyphMetrics,
         .popup = "&Glyph",
         .text = "&Metrics...",
         .enabled = fontDocumentOpen,
         .run = [](W& w, int) { w.controllers().fontDocument.metrics(); }},
        {.id = CmdAddGlyph,
         .popup = "&Glyph",
         .text = "&Add glyph...",
         .enabled = fontDocumentOpen,
         .run = [](W& w, int) { w.controllers().fontDocument.addGlyph(); }},
        {.id = CmdDeleteGlyph,
         .popup = "&Glyph",
         .text = "&Delete glyph",
         .enabled =
             [](const W& w) { return fontDocumentOpen(w) && w.editor().document.patternCount > 1; },
         .run = [](W& w, int) { w.controllers().fontDocument.deleteGlyph(); }},
        {.id = CmdGoToGlyph,
         .popup = "&Glyph",
         .text = "&Go to glyph...",
         .separatorBefore = true,
         .enabled = fontDocumentOpen,
         .run = [](W& w, int) { w.controllers().fontDocument.askGoTo(); }},
        // Sent by the program itself, or keys only.
        {.id = CmdMessageFont, .run = [](W& w, int) { w.controllers().texts.chooseMessageFont(); }},
        {.id = CmdLayout, .run = [](W& w, int) { w.layoutStatusBar(); }},
        {.id = CmdSelectionReport,
         .run = [](W& w, int) { w.controllers().panel.selectionReport(); }},
        {.id = CmdSetAllDots, .run = [](W& w, int id) { w.controllers().grid.fillAllDots(id); }},
        {.id = CmdClearAllDots, .run = [](W& w, int id) { w.controllers().grid.fillAllDots(id); }},
        // F5, F6, Ctrl+F, Ctrl+C, Ctrl+N and Ctrl+P: taken from the focused
        // control, without an action.
        {.id = CmdKeyUndo,
         .key = Qt::Key_Z,
         .modifiers = Ctrl,
         .sameAs = CmdUndo,
         .yieldsToText = true},
        {.id = CmdKeyRedo,
         .key = Qt::Key_Y,
         .modifiers = Ctrl,
         .sameAs = CmdRedo,
         .yieldsToText = true},
        {.id = CmdKeyRedoShifted,
         .key = Qt::Key_Z,
         .modifiers = Ctrl | Qt::ShiftModifier,
         .sameAs = CmdRedo,
         .yieldsToText = true},
        {.id = CmdKeySave, .key = Qt::Key_S, .modifiers = Ctrl, .sameAs = CmdSave},
        {.id = CmdKeyCut,
         .key = Qt::Key_X,
         .modifiers = Ctrl,
         .sameAs = CmdCut,
         .yieldsToText = true},
        {.id = CmdKeyPaste,
         .key = Qt::Key_V,
         .modifiers = Ctrl,
         .sameAs = CmdPaste,
         .yieldsToText = true},
        {.id = CmdKeyCopyInsert,
         .key = Qt::Key_Insert,
         .modifiers = Ctrl,
         .sameAs = CmdCopy,
         .yieldsToText = true},
        {.id = CmdKeyPasteInsert,
         .key = Qt::Key_Insert,
         .modifiers = Qt::ShiftModifier,
         .sameAs = CmdPaste,
         .yieldsToText = true},
        {.id = CmdKeyCutDelete,
         .key = Qt::Key_Delete,
         .modifiers = Qt::ShiftModifier,
         .sameAs = CmdCut,
         .yieldsToText = true},
        {.id = CmdKeyClear, .key = Qt::Key_Delete, .sameAs = CmdClear, .yieldsToText = true},
        {.id = CmdKeyF5, .key = Qt::Key_F5},
        {.id = CmdKeyF6, .key = Qt::Key_F6},
        {.id = CmdKeyCtrlF, .key = Qt::Key_F, .modifiers = Ctrl},
        {.id = CmdKeyCtrlC,
         .key = Qt::Key_C,
         .modifiers = Ctrl,
         .run = [](W& w, int) { w.sayWhereCopyIs(); }},
        {.id = CmdKeyCtrlN, .key = Qt::Key_N, .modifiers = Ctrl},
        {.id = CmdKeyCtrlP, .key = Qt::Key_P, .modifiers = Ctrl},
    };
    return table;
}

const CommandRow* findCommand(int id) {
    for (const CommandRow& row : commandTable()) {
        if (row.id == id) return &row;
    }
    return nullptr;
}

QString extraKeyName(int id) {
    for (const CommandRow& row : commandTable()) {
        if (row.sameAs == id) {
            return QKeySequence(QKeyCombination(row.modifiers, Qt::Key(row.key)))
                .toString(QKeySequence::NativeText);
        }
    }
    return {};
}

BuiltMenus buildMenuBar(QMenuBar& bar, QObject* context, const std::function<void(int)>& dispatch,
                        const std::function<void()>& opening) {
    BuiltMenus built;
    for (const char* title : menuTitles()) {
        QMenu* menu = bar.addMenu(title);
        if (std::string_view(title) == "&Edit") built.edit = menu;
        QObject::connect(menu, &QMenu::aboutToShow, context, opening);
        QMenu* submenu = nullptr;
        for (const CommandRow& row : commandTable()) {
            if (!row.popup || std::string_view(row.popup) != title) continue;
            if (row.separatorBefore) menu->addSeparator();
            if (row.submenu && !submenu) submenu = menu->addMenu(row.submenu);
            // An item without a key of its own shows the one that stands for it.
            QString text = row.text;
            if (!text.contains('\t') && !extraKeyName(row.id).isEmpty()) {
                text += "\t" + extraKeyName(row.id);
            }
            if (row.disabledWhy) menu->setToolTipsVisible(true);
            QAction* a = (row.submenu ? submenu : menu)->addAction(text);
            a->setData(row.id);
            a->setCheckable(row.checked != nullptr);
            QObject::connect(a, &QAction::triggered, context,
                             [dispatch, id = row.id] { dispatch(id); });
            built.actions[row.id] = a;
            if (row.separatorAfter) menu->addSeparator();
        }
    }
    return built;
}

} // namespace dedur
