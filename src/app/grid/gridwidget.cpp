#include "grid/gridwidget.h"

#include "ui/toolcommands.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/limits.h"
#include "ui/artwork.h"
#include "ui/clipboardbitmap.h"
#include "ui/prompts.h"

namespace dedur {

GridWidget::GridWidget(Editor& editor, Prompts& prompts, QWidget* parent)
    : QWidget(parent), editor_(editor), prompts_(prompts), painter_(editor) {
    setObjectName("grid");
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);
    setCursor(toolCursor(commandOfTool(editor_.grid.tool)));
}

void GridWidget::repaintRegion(const QRect& rect, bool erase) {
    painter_.paint(rect, erase);
    update(rect);
}

void GridWidget::repaintAll(bool erase) {
    fitContent();
    repaintRegion(rect(), erase);
}

void GridWidget::fitContent() {
    QSize wanted(0, 0);
    // A picture may be larger than the window at any size: it scrolls.
    if (editor_.settings.zoomCell != 0 || editor_.document.kind != DocumentKind::Patterns) {
        const GridGeometry g = geometry();
        wanted = QSize(std::max(g.lineX(g.width), g.thumbX() + g.width + 1) + GridOrigin + 1,
                       std::max(g.lineY(g.height), g.thumbY() + g.height + 1) + GridOrigin + 1);
    }
    if (minimumSize() != wanted) setMinimumSize(wanted);
}

QRect GridWidget::shownArea() const {
    const QWidget* viewport = parentWidget();
    return viewport ? QRect(-pos(), viewport->size()) & rect() : rect();
}

void GridWidget::paintEvent(QPaintEvent* event) {
    // The viewport may have grown without the grid moving.
    painter_.setView(shownArea());
    QPainter p(this);
    const QRect area = painter_.surfaceRect();
    const QRect shown = event->rect() & area;
    p.drawImage(shown, painter_.surface(), shown.translated(-area.topLeft()));
    for (const QRect& plain : QRegion(event->rect()).subtracted(shown))
        p.fillRect(plain, QColor(GridPainter::WindowBackground));
}

void GridWidget::resizeEvent(QResizeEvent*) {
    painter_.resizeSurface(size(), shownArea());
    repaintAll(true);
}

void GridWidget::moveEvent(QMoveEvent*) {
    // A scroll: the surface follows what shows.
    painter_.setView(shownArea());
}

void GridWidget::setToolCommand(int command) {
    toolOfCommand(command, editor_.grid.tool);
    setCursor(toolCursor(command));
}

void GridWidget::endSelection(bool commit) {
    Selection& sel = editor_.selection;
    if (sel.selectionState != SelectionState::None && commit) {
        const GridGeometry g = geometry();
        dropSelection(sel, editor_.document, g.px(), g.py());
    }
    endFloatingBlock(sel, false);
    repaintAll(true);
}

bool GridWidget::updateCursorAndStatus(QPoint at) {
    const GridGeometry g = geometry();
    const Selection& sel = editor_.selection;
    const int x = at.x();
    const int y = at.y();
    bool cursorSet = false;
    if (sel.selectionState != SelectionState::None) {
        if (insideSelection(sel.selectionRect, x, y)) {
            setCursor(Qt::SizeAllCursor);
            cursorSet = true;
        } else if (const ResizeHandle handle = hitTestHandle(sel.selectionRect, x, y);
                   handle != ResizeHandle::None) {
            static const Qt::CursorShape shapes[] = {
                Qt::ArrowCursor,     Qt::SizeFDiagCursor, Qt::SizeHorCursor,
                Qt::SizeBDiagCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor,
                Qt::SizeFDiagCursor, Qt::SizeVerCursor,   Qt::SizeVerCursor};
            setCursor(shapes[static_cast<int>(handle)]);
            cursorSet = true;
        }
    }
    if (!cursorSet) {
        if (x > g.lastX() || y > g.lastY() || x < GridOrigin || y < GridOrigin) {
            setCursor(Qt::ArrowCursor);
            emit dotUnderPointer(-1, -1);
            return false;
        }
        setCursor(toolCursor(commandOfTool(editor_.grid.tool)));
    }
    if (x <= GridOrigin || y <= GridOrigin) {
        emit statusText(" ");
        emit dotUnderPointer(-1, -1);
        setCursor(Qt::ArrowCursor);
        return false;
    }
    if (g.onVerticalLine(x) || g.onHorizontalLine(y)) {
        emit statusText(" ");
        emit dotUnderPointer(-1, -1);
        return true;
    }
    emit statusText(QString::asprintf("( Size=%d x %d ) ( X=%d, Y=%d )", g.width, g.height,
                                      g.columnAt(x) + 1, g.rowAt(y) + 1));
    emit dotUnderPointer(g.columnAt(x), g.rowAt(y));
    showingCoordinates_ = true;
    return true;
}

void GridWidget::pointOrErasePixel(QPoint at) {
    const GridGeometry g = geometry();
    const auto dot = g.dotForPoint(at.x(), at.y());
    if (!dot) return;
    const Tool tool = editor_.grid.tool;
    // Joined to the dot the stroke reached last: a fast drag leaves no gaps.
    std::vector<DotPoint> changed;
    if (!strokeTo(editor_.grid, editor_.document, editor_.history, editor_.selection, *dot,
                  &changed)) {
        return;
    }
    for (const DotPoint& p : changed) {
        painter_.pendingDot = p.y * g.width + p.x;
        painter_.previewPaint = true;
        repaintRegion(painter_.cellRect(p.x, p.y), true);
        painter_.setThumbnailPixel(
            p.x, p.y, tool == Tool::Point ? painter_.dotColour() : painter_.backgroundColour());
    }
    update(painter_.thumbnailRect());
    emit modified();
}

bool GridWidget::confined(QPoint at) const {
    const GridGeometry g = geometry();
    const int extraX = isEllipseTool(editor_.grid.tool) ? g.gridX : 0;
    const int extraY = isEllipseTool(editor_.grid.tool) ? g.gridY : 0;
    // What is scrolled out of sight is out of reach too.
    return visibleRegion().contains(at) && at.x() <= g.lastX() + extraX &&
           at.y() <= g.lastY() + extraY;
}

bool GridWidget::pressOnFloatingBlock(QPoint at) {
    Selection& sel = editor_.selection;
    if (sel.selectionState != SelectionState::Floating) return false;
    if (insideSelection(sel.selectionRect, at.x(), at.y())) {
        startMove(at);
        return true;
    }
    if (const ResizeHandle handle = hitTestHandle(sel.selectionRect, at.x(), at.y());
        handle != ResizeHandle::None) {
        startResize(at, handle);
        return true;
    }
    // A press beside the block, in the grid, drops it and goes on as a press.
    const GridGeometry g = geometry();
    if (g.insideGrid(at.x(), at.y())) {
        painter_.drawMarquee();
        update();
        dropSelection(sel, editor_.document, g.px(), g.py());
        endFloatingBlock(sel, true);
    }
    return false;
}

void GridWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        emit contextMenuRequested(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton || tooltipOpen_) return;
    if (onAdvanceHandle(at)) {
        draggingAdvance_ = true;
        return;
    }
    if (activatedSinceClick_) {
        activatedSinceClick_ = false;
        repaintAll(true);
    }
    if (pressOnFloatingBlock(at)) return;
    Selection& sel = editor_.selection;
    const GridGeometry g = geometry();
    GridInteraction& gi = editor_.grid;
    beginPress(gi);
    if (gi.tool == Tool::Point || gi.tool == Tool::Erase) {
        pointOrErasePixel(at);
    } else {
        const auto dot = g.dotForShape(at.x(), at.y());
        if (!dot) {
            lastAccepted_ = event->globalPosition().toPoint();
            return;
        }
        startShape(gi, editor_.document, *dot);
        gi.shapeStarted = true;
        if (gi.tool == Tool::Select) {
            endFloatingBlock(sel, false);
            repaintAll(false);
        }
        painter_.listChanged = true;
        painter_.previewPaint = true;
        if (gi.tool != Tool::Select) {
            repaintRegion(painter_.cellRect(dot->x, dot->y), false);
            painter_.setThumbnailPixel(dot->x, dot->y, painter_.dotColour());
            update(painter_.thumbnailRect());
            emit modified();
        }
    }
    lastAccepted_ = event->globalPosition().toPoint();
}

void GridWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (draggingAdvance_) {
        emit statusText(QString("Advance: %1").arg(advanceAt(at)));
        return;
    }
    Selection& sel = editor_.selection;
    if (sel.resizing) {
        trackResize(at);
        return;
    }
    if (sel.selectionState == SelectionState::Moving) {
        trackMove(at);
        return;
    }
    updateCursorAndStatus(at);
    GridInteraction& gi = editor_.grid;
    if (!gi.buttonDown) return;
    if (!confined(at)) {
        QCursor::setPos(lastAccepted_);
        return;
    }
    lastAccepted_ = event->globalPosition().toPoint();
    if (gi.tool == Tool::Point || gi.tool == Tool::Erase) {
        pointOrErasePixel(at);
        return;
    }
    if (!gi.shapeStarted) return;
    const GridGeometry g = geometry();
    const DotPoint dot{g.columnAt(at.x()), g.rowAt(at.y())};
    if (gi.tool == Tool::Select) repaintRegion(painter_.thumbnailRect(), false);
    trackShape(gi, editor_.document, dot);
    if (gi.tool == Tool::FilledEllipse && !gi.statusText.empty()) {
        emit statusText(QString::fromStdString(gi.statusText));
    }
    painter_.listChanged = true;
    repaintAll(false);
}

void GridWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (draggingAdvance_) {
        draggingAdvance_ = false;
        emit advanceDropped(advanceAt(event->position().toPoint()));
        return;
    }
    Selection& sel = editor_.selection;
    if (sel.resizing) {
        endResize();
        return;
    }
    if (sel.selectionState == SelectionState::Moving) {
        endMove();
        return;
    }
    GridInteraction& gi = editor_.grid;
    if (!gi.buttonDown) return;
    painter_.previewPaint = false;
    const GridGeometry g = geometry();
    if (isShapeTool(gi.tool)) {
        const bool single = gi.lists.current.size() == 1;
        const DotPoint only = single ? gi.lists.current.front() : DotPoint{};
        if (!applyShape(gi, editor_.document, editor_.history, editor_.selection) && single) {
            // A press and release on one dot leaves the pattern as it was.
            repaintRegion(painter_.cellRect(only.x, only.y), false);
            repaintRegion(painter_.thumbnailRect(), false);
        }
    } else if (gi.tool == Tool::Select && gi.lists.active) {
        const bool made = makeSelection(sel, editor_.document, gi.lists.current, g.px(), g.py());
        // A band dragged back onto its first dot makes no block, but its
        // preview cell is painted over all the same.
        const std::vector<DotPoint>& band = gi.lists.current;
        const PixelRect r = made || band.empty()
                                ? sel.selectionRect
                                : selectionRectFromBlock(
                                      {band[0].x, band[0].y, band[0].x, band[0].y}, g.px(), g.py());
        if (made || !band.empty()) {
            painter_.marqueeEnabled = false;
            repaintRegion(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)), true);
            painter_.marqueeEnabled = true;
            if (made) painter_.drawMarquee();
            update();
        }
    }
    endPress(gi);
    emit modified();
}

void GridWidget::keyPressEvent(QKeyEvent* event) {
    // The arrows move a floating block by a cell, or else scroll.
    static const struct {
        int key, dx, dy;
    } arrows[] = {
        {Qt::Key_Left, -1, 0}, {Qt::Key_Right, 1, 0}, {Qt::Key_Up, 0, -1}, {Qt::Key_Down, 0, 1}};
    for (const auto& arrow : arrows) {
        if (event->key() != arrow.key) continue;
        if (editor_.selection.selectionState == SelectionState::Floating) {
            emit shiftRequested(arrow.dx, arrow.dy);
        } else {
            event->ignore(); // a zoomed grid's scroll area scrolls
        }
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        if (editor_.selection.selectionState != SelectionState::None) {
            const GridGeometry g = geometry();
            dropSelection(editor_.selection, editor_.document, g.px(), g.py());
            endFloatingBlock(editor_.selection, false);
        }
        repaintAll(true);
    }
    if (!event->text().isEmpty()) emit characterTyped(event->text());
}

namespace {

QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().front();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

bool GridWidget::onAdvanceHandle(QPoint at) {
    const Document& doc = editor_.document;
    if (doc.kind != DocumentKind::Font || doc.editType != EditMode::Pattern) return false;
    PatternHeader h;
    getHeader(doc, -1, h);
    const GridGeometry g = geometry();
    const int bottom = g.lineY(g.height), x = g.lineX(h.beginSeg + h.leftToRight);
    return at.y() > bottom && at.y() <= bottom + 8 && std::abs(at.x() - x) <= 5;
}

int GridWidget::advanceAt(QPoint at) {
    PatternHeader h;
    getHeader(editor_.document, -1, h);
    const GridGeometry g = geometry();
    // The grid line nearest the pointer, counted from the origin's.
    const int line = static_cast<int>(std::lround(double(at.x() - GridOrigin) / g.px()));
    return std::clamp(line - h.beginSeg, -limits::BdfGlyphOffset, limits::BdfGlyphOffset);
}

void GridWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void GridWidget::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    emit imageDropped(path);
}

void GridWidget::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    event->accept();
    emit zoomRequested(event->angleDelta().y() > 0 ? 1 : -1);
}

void GridWidget::pointerCheck() {
    if (!showingCoordinates_) return;
    const QPoint at = mapFromGlobal(QCursor::pos());
    const GridGeometry g = geometry();
    if (!visibleRegion().contains(at) || at.x() > g.lastX() || at.y() > g.lastY()) {
        showingCoordinates_ = false;
        emit statusText(" ");
        emit dotUnderPointer(-1, -1);
    }
}

void GridWidget::startMove(QPoint at) {
    Selection& sel = editor_.selection;
    const GridGeometry g = geometry();
    sel.selectionState = SelectionState::Moving;
    painter_.drawMarquee();
    update();
    sel.lastPointer = {at.x(), at.y()};
    sel.blockRect = blockRectFromSelection(sel.selectionRect, g.px(), g.py());
}

void GridWidget::trackMove(QPoint at) {
    const GridGeometry g = geometry();
    painter_.eraseBlockDots();
    DotRect from;
    if (!dragBlock(editor_.selection, editor_.document, editor_.history, {at.x(), at.y()}, g.px(),
                   g.py(), from)) {
        painter_.paintBlockDots(painter_.dotColour());
        return;
    }
    painter_.refillFromWorkDots(from);
    painter_.paintBlockDots(painter_.dotColour());
    painter_.redrawThumbnailWithBlock();
    update();
    emit modified();
}

void GridWidget::endMove() {
    Selection& sel = editor_.selection;
    const GridGeometry g = geometry();
    sel.selectionState = SelectionState::Floating;
    clampAfterMove(sel, g.width, g.height, g.px(), g.py());
    painter_.drawMarquee();
    update();
}

void GridWidget::startResize(QPoint at, ResizeHandle handle) {
    Selection& sel = editor_.selection;
    sel.handleCode = handle;
    sel.resizeRect = sel.selectionRect;
    sel.resizing = true;
    sel.lastPointer = {at.x(), at.y()};
}

void GridWidget::trackResize(QPoint at) {
    Selection& sel = editor_.selection;
    const GridGeometry g = geometry();
    const PixelRect old = sel.resizeRect;
    const auto step = dragResizeFrame(sel, editor_.document, editor_.history, {at.x(), at.y()},
                                      g.width, g.height, g.px(), g.py());
    if (!step) return;
    painter_.drawResizeOutline(old);
    painter_.drawResizeOutline(step->rect);
    if (step->limited) QCursor::setPos(mapToGlobal(QPoint(step->pointer.x, step->pointer.y)));
    update();
    emit statusText(QString::asprintf("%dx%d", (step->rect.right - step->rect.left) / g.px(),
                                      (step->rect.bottom - step->rect.top) / g.py()));
}

void GridWidget::endResize() {
    const GridGeometry g = geometry();
    if (const auto before = finishResize(editor_.selection, g.px(), g.py())) {
        // The block as it was goes to the clipboard, as the rescale always did.
        const PlatformBitmap unscaled =
            dotsToBitmap(before->dots.data(), before->width, before->height);
        QGuiApplication::clipboard()->setImage(imageFromBitmap(unscaled));
        repaintAll(true);
    } else {
        prompts_.beep();
    }
    emit modified();
}

} // namespace dedur
