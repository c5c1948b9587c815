#pragma once

#include <QPoint>
#include <QWidget>

#include "editor.h"
#include "grid/gridpainter.h"

namespace dedur {

class Prompts;

// The magnified grid: paints from its surface image and turns mouse and
// keys into the tools, previews and the floating selection.
class GridWidget : public QWidget {
    Q_OBJECT
  public:
    GridWidget(Editor& editor, Prompts& prompts, QWidget* parent = nullptr);

    GridPainter& painter() { return painter_; }
    GridGeometry geometry() const { return painter_.geometry(); }

    // Invalidate `rect` and update the window now.
    void repaintRegion(const QRect& rect, bool erase);
    void repaintAll(bool erase);

    void setToolCommand(int command);
    // Drops a floating block into the pattern (or discards it) and repaints.
    void endSelection(bool commit);

    bool buttonDown() const { return editor_.grid.buttonDown; }
    QPoint lockedPosition() const { return lastAccepted_; }
    void setActivatedSinceClick(bool on) { activatedSinceClick_ = on; }
    bool showingCoordinates() const { return showingCoordinates_; }
    // Every timer tick: the coordinates go from the status bar once the
    // pointer has left the grid.
    void pointerCheck();
    // Set by the main window while a palette tooltip is open.
    void setTooltipOpen(bool open) { tooltipOpen_ = open; }

  signals:
    void statusText(const QString& text);
    void contextMenuRequested(const QPoint& globalPosition);
    void characterTyped(const QString& text);
    void modified();
    // An arrow key while a block floats: move it by (dx, dy) cells.
    void shiftRequested(int dx, int dy);
    // The dot under the pointer changed: (x, y), or -1, -1 for none.
    void dotUnderPointer(int x, int y);
    // Ctrl+wheel over the grid: a zoom step in (1) or out (-1).
    void zoomRequested(int direction);
    // An image file dropped on the grid.
    void imageDropped(const QString& path);
    // A font glyph's advance marker dragged by its handle and let go at
    // `advance` dots from the origin.
    void advanceDropped(int advance);

  protected:
    // Whether `at` lies on the advance marker's handle below the grid.
    bool onAdvanceHandle(QPoint at);
    // The advance the marker would have, let go at `at`.
    int advanceAt(QPoint at);
    bool draggingAdvance_ = false;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // Zoomed, the grid and its thumbnail are never cut off: the widget asks
    // for their size, and its scroll area scrolls. At the normal cell size it
    // asks for nothing and the window cuts the grid off.
    void fitContent();
    // The part of the widget its scroll area's viewport shows.
    QRect shownArea() const;
    bool updateCursorAndStatus(QPoint at);
    void pointOrErasePixel(QPoint at);
    // Starts a move or a resize of a floating block; true when it did.
    bool pressOnFloatingBlock(QPoint at);
    void startMove(QPoint at);
    void trackMove(QPoint at);
    void endMove();
    void startResize(QPoint at, ResizeHandle handle);
    void trackResize(QPoint at);
    void endResize();
    bool confined(QPoint at) const;

    Editor& editor_;
    Prompts& prompts_;
    GridPainter painter_;
    QPoint lastAccepted_;
    bool activatedSinceClick_ = false;
    bool showingCoordinates_ = false;
    bool tooltipOpen_ = false;
};

} // namespace dedur
