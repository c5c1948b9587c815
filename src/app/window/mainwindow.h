#pragma once

#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QScrollArea>
#include <QTimer>
#include <array>
#include <functional>
#include <map>

#include "editor.h"
#include "grid/gridwidget.h"
#include "settings/settings.h"
#include "ui/editorview.h"
#include "window/controllers.h"
#include "window/palette.h"
#include "window/windowplace.h"

namespace dedur {

class GridWidget;
class PaletteStrip;
class Prompts;

// The frame of the editor: menu, palette strip, grid and status bar. Every
// command of the program ends in dispatchCommand.
class MainWindow : public QMainWindow, public EditorView {
    Q_OBJECT
  public:
    MainWindow(Editor& editor, Prompts& prompts);
    ~MainWindow() override;

    // Size and place the window from MAINWINRECT or the default formula.
    // MAINWINRECT holds the frame in the screen's own pixels: `screen` is the
    // screen's size in Qt's units and `ratio` its device pixel ratio.
    void placeWindow(QSize screen, qreal ratio = 1.0);
    // The frame as MAINWINRECT keeps it (right and bottom exclusive).
    WindowRect savedWindowRect() const;
    // Mode set-up and the start-up document.
    void startUp();

    void dispatchCommand(int id) override;

    Editor& editor() { return editor_; }
    const Editor& editor() const { return editor_; }
    Prompts& prompts() { return prompts_; }
    GridWidget* grid() const { return grid_; }
    PaletteStrip* palette() const { return palette_; }
    QMenu* editMenu() const { return editMenu_; }
    QAction* action(int id) const;
    QString statusText() const;
    int currentNumber() const { return editor_.currentNumber; }

    void setStatusText(const QString& text) override;
    void setTitle(const std::string& name) override; // the title operation
    void setTitleText(const QString& title) override { setWindowTitle(title); }
    void refreshButton(int command, bool clipboardHasBitmap = false) override;
    void refreshHistoryButtons() override;
    QWidget* owner() override { return this; }
    GridWidget& gridView() override { return *grid_; }
    void repaintGrid(bool erase) override { grid_->repaintAll(erase); }
    GridGeometry gridGeometry() override { return grid_->geometry(); }
    void toggleMarquee() override { grid_->painter().drawMarquee(); }
    void buildNavigation(bool withNumberBox) override {
        palette_->layoutButtons(4, palette_->createNavigationStrip(withNumberBox));
    }
    NumberField* numberBox() override { return palette_->numberBox(); }
    QScrollBar* navigationBar() override { return palette_->scrollBar(); }
    QLabel* countLabel() override { return palette_->countLabel(); }
    void setButtonEnabled(int command, bool enabled) override {
        palette_->setButtonEnabled(command, enabled);
    }
    void reshowTooltip() override { palette_->reshowTooltip(); }
    int querySave() override { return controllers_.files.querySave(); }
    void loadStartupDocument() override { controllers_.files.startupDocument(); }
    bool saveGlyph() override { return controllers_.fonts.saveGlyph(); }
    void goToPattern(int number) override { controllers_.patterns.goTo(number); }
    QScrollArea* gridArea() override { return gridArea_; }
    int showDialog(QDialog* dialog) override { return runDialog(dialog); }
    void selectTool(int id) override;
    void commitSelection() override;
    void showNavigation(int number) override;
    void updateMenuState();
    void timerTick();
    // The 100 ms timer behind timerTick; tests stop it and tick by hand, so
    // that nothing they check depends on the machine's load.
    QTimer& ticker() { return timer_; }
    class PanelView* panelView() const {
        return controllers_.panel.panelView();
    }

    // Runs a modal dialog; tests replace it to work the dialog themselves.
    std::function<int(QDialog*)> runDialog = [](QDialog* dialog) { return dialog->exec(); };

  signals:
    void exitRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  public:
    // Ctrl+C, silent in the classic key table: says once where copying is.
    void sayWhereCopyIs();
    // What the command table's rows ask of the window.
    Controllers& controllers() { return controllers_; }
    const Controllers& controllers() const { return controllers_; }
    bool clipboardHasBitmap() const;
    bool statusBarShown() const { return statusBarShown_; }
    void toggleStatusBar();
    void exitSequence();
    void layoutStatusBar();
    class InputTextDialog* inputText() const {
        return controllers_.texts.inputText();
    }
    // A file dropped on the grid of an image: opened in its place.
    void dispatchDroppedFile(const QString& path);

    class GlyphList* glyphList() const {
        return glyphList_;
    }

  private:
    void runCommand(int id);
    // A character typed over the grid or the window.
    void typed(const QString& text);
    // The font's glyphs beside the grid, glyph `number` marked.
    void showGlyphList(int number);
    // What the palette and the panel view show for the document's kind.
    void showDocumentKind();
    void showOutOfMemory();
    void fitFrame();
    void buildMenu();
    void buildStatusBar();
    // The scroll bar of the navigation strip, in both kinds of mode.
    void navigate(int action);

  private:
    Editor& editor_;
    Prompts& prompts_;
    GridWidget* grid_ = nullptr;
    class GlyphList* glyphList_ = nullptr;
    QScrollArea* gridArea_ = nullptr;
    PaletteStrip* palette_ = nullptr;
    QMenu* editMenu_ = nullptr;
    std::map<int, QAction*> actions_;
    std::array<QLabel*, 5> statusParts_{};
    QTimer timer_;
    QRect frameToFit_;       // the frame MAINWINRECT asks for, until the window has it
    qreal pixelRatio_ = 1.0; // screen pixels per Qt unit
    int tickCounter_ = 0;
    bool statusBarShown_ = true;
    bool exiting_ = false;
    bool settingsFailureSaid_ = false;
    bool copyKeySaid_ = false;
    Controllers controllers_{editor_, prompts_, *this};
};

} // namespace dedur
