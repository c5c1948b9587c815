#pragma once

#include <string>

class QDialog;
class QString;
class QWidget;

namespace dedur {

inline constexpr const char* PatternTitle = "VOV Odedode Dizari";
inline constexpr const char* FontTitle = "Font Editor";

class GridWidget;
class PaletteStrip;

// What the command controllers may ask of the window they work in.
class EditorView {
  public:
    virtual QWidget* owner() = 0; // parent of dialogs and boxes
    virtual GridWidget& gridView() = 0;
    virtual PaletteStrip& paletteView() = 0;
    // Shows `number` in the number box, the scroll bar and the count.
    virtual void showNavigation(int number) = 0;
    virtual void selectTool(int command) = 0;
    virtual void refreshButton(int command, bool clipboardHasBitmap = false) = 0;
    virtual void refreshHistoryButtons() = 0;
    // Drops a floating block into the pattern.
    virtual void commitSelection() = 0;
    // Runs a modal dialog; its result.
    virtual int showDialog(QDialog* dialog) = 0;
    // The title operation: the prefix of the mode and the file's full path.
    virtual void setTitle(const std::string& name) = 0;
    virtual void setTitleText(const QString& title) = 0;
    virtual void setStatusText(const QString& text) = 0;
    virtual void dispatchCommand(int id) = 0;

  protected:
    ~EditorView() = default;
};

} // namespace dedur
