#pragma once

#include <string>

#include "grid/gridgeometry.h"

class QDialog;
class QLabel;
class QScrollArea;
class QScrollBar;
class QString;
class QWidget;

namespace dedur {

inline constexpr const char* PatternTitle = "VOV Odedode Dizari";
inline constexpr const char* FontTitle = "Font Editor";

class GridWidget;
class NumberField;

// What the command controllers may ask of the window they work in.
class EditorView {
  public:
    virtual QWidget* owner() = 0; // parent of dialogs and boxes
    // The grid widget itself, for the grid's own commands; the others go by
    // the three below.
    virtual GridWidget& gridView() = 0;
    // Paints the grid again from the document (erasing what was there).
    virtual void repaintGrid(bool erase) = 0;
    virtual GridGeometry gridGeometry() = 0;
    virtual QScrollArea* gridArea() = 0; // scrolls a zoomed grid
    // The XOR frame of a floating block, drawn or taken away.
    virtual void toggleMarquee() = 0;
    // The navigation strip and the palette.
    virtual void buildNavigation(bool withNumberBox) = 0;
    virtual NumberField* numberBox() = 0; // nullptr in the font modes
    virtual QScrollBar* navigationBar() = 0;
    virtual QLabel* countLabel() = 0;
    virtual void setButtonEnabled(int command, bool enabled) = 0;
    virtual void reshowTooltip() = 0;
    // What one subject asks of another, through the window.
    // -1 when the user keeps the unsaved changes (Cancel, or a failed save).
    virtual int querySave() = 0;
    virtual void loadStartupDocument() = 0;
    virtual bool saveGlyph() = 0;
    virtual void goToPattern(int number) = 0;
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
