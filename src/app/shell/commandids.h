#pragma once

namespace dedur {

// Commands of the main window; menu, keys, palette, context menu and
// navigation all end in MainWindow::dispatchCommand. The numbers are the
// program's own: the settings and tests speak of them.
enum CommandId : int {
    CmdNew = 1010,
    CmdOpen = 1011,
    CmdSave = 1012,
    CmdSaveAs = 1013,
    CmdTableExport = 1014,
    CmdExit = 1019,
    CmdKeyF5 = 1020, // the key-only commands have no action
    CmdKeyF6 = 1021,
    CmdKeyCtrlF = 1022,
    CmdKeyCtrlC = 1023,
    CmdKeyCtrlN = 1041,
    CmdKeyCtrlP = 1042,
    CmdMessageFont = 1051,
    CmdPanelDefinition = 1052,
    CmdLineColour = 1061,
    CmdDotColour = 1062,
    CmdBackgroundColour = 1063,
    CmdStatusBar = 1064,
    CmdPatternSize = 1065,
    CmdLayout = 1075,
    CmdUndo = 1081,
    CmdRedo = 1083,
    CmdCut = 1085,
    CmdCopy = 1086,
    CmdPaste = 1087,
    CmdClear = 1088,
    CmdInputText = 1101,
    CmdPatternMode = 1102,
    CmdFont16Mode = 1103,
    CmdFont24Mode = 1104,
    CmdAbout = 1121,
    CmdSelectionReport = 2001,
    CmdNothing = 2021,
    CmdNumberBox = 3001,
    CmdAddPattern = 3011,
    CmdInsertPattern = 3012,
    CmdDeletePattern = 3013,
    CmdPanelExport = 3015,
    CmdNothing2 = 3016,
    CmdDrawPoint = 3021,
    CmdErasePoint = 3022,
    CmdSetAllDots = 3023,
    CmdClearAllDots = 3024,
    CmdDrawLine = 3025,
    CmdOutlineRectangle = 3026,
    CmdFillRectangle = 3027,
    CmdSelect = 3028,
    CmdOutlineEllipse = 3029,
    CmdFillEllipse = 3030,
    // Our own commands, after the classic ones in their menus.
    CmdFlipHorizontal = 5001,
    CmdFlipVertical = 5002,
    CmdRotateRight = 5003,
    CmdRotateLeft = 5004,
    CmdInvert = 5005,
    CmdImportPanelData = 5011,
    CmdImportImage = 5012,
    CmdExportImage = 5013,
    CmdZoomIn = 5021,
    CmdZoomOut = 5022,
    CmdNormalSize = 5023,
    CmdZoomInEqualsKey = 5024, // key-only: Ctrl+= and Ctrl+Shift++ zoom in too
    CmdZoomInShiftedKey = 5025,
};

} // namespace dedur
