#include "grid/gridpainter.h"

#include <QRegion>
#include <algorithm>
#include <cstring>

#include "ui/xorframe.h"

namespace dedur {

namespace {

QRgb fromSetting(uint32_t bgr) {
    return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

const QRgb White = qRgb(255, 255, 255);
const QRgb ThumbnailFrame = qRgb(0, 0, 255);
const QRgb RubberBand = qRgb(255, 0, 0);

} // namespace

GridPainter::GridPainter(Editor& editor) : editor_(editor) {}

void GridPainter::resizeSurface(QSize window, const QRect& view) {
    window_ = window;
    view_ = view.isEmpty() ? QRect(QPoint(0, 0), window) : view;
    fitSurface();
}

void GridPainter::setView(const QRect& view) {
    if (view == view_) return;
    view_ = view;
    fitSurface();
}

void GridPainter::fitSurface() {
    const GridGeometry g = geometry();
    const QSize reach(std::max(g.lineX(3 * g.width), g.thumbX() + g.width) + 8,
                      std::max(g.lineY(3 * g.height), g.thumbY() + g.height) + 8);
    QRect area = view_ & QRect(QPoint(0, 0), window_.boundedTo(reach));
    if (area.isEmpty()) area = QRect(0, 0, 1, 1);
    if (area == area_ && !surface_.isNull()) return;
    placeSurface(area);
}

void GridPainter::placeSurface(const QRect& area) {
    const QRect kept = surface_.isNull() ? QRect() : area & area_;
    if (surface_.isNull() || area.size() != area_.size()) {
        QImage moved(area.size(), QImage::Format_RGB32);
        for (int y = kept.top(); y <= kept.bottom(); ++y) {
            std::copy_n(reinterpret_cast<const QRgb*>(surface_.constScanLine(y - area_.top())) +
                            (kept.left() - area_.left()),
                        kept.width(),
                        reinterpret_cast<QRgb*>(moved.scanLine(y - area.top())) +
                            (kept.left() - area.left()));
        }
        surface_ = std::move(moved);
    } else if (!kept.isEmpty()) {
        // A scroll: the shared pixels move within the surface, rows taken in
        // the order that reads each before it is overwritten.
        uchar* bits = surface_.bits();
        const qsizetype stride = surface_.bytesPerLine();
        const bool down = area.top() > area_.top();
        for (int i = 0; i < kept.height(); ++i) {
            const int y = down ? kept.top() + i : kept.bottom() - i;
            const QRgb* from = reinterpret_cast<const QRgb*>(bits + (y - area_.top()) * stride) +
                               (kept.left() - area_.left());
            QRgb* to = reinterpret_cast<QRgb*>(bits + (y - area.top()) * stride) +
                       (kept.left() - area.left());
            std::memmove(to, from, static_cast<size_t>(kept.width()) * sizeof(QRgb));
        }
    }
    area_ = area;
    clip_ = area_;
    begin();
    for (const QRect& fresh : QRegion(area).subtracted(kept)) restore(fresh);
}

QRgb GridPainter::pixelAt(QPoint at) {
    if (area_.contains(at)) {
        begin();
        return line(at.y())[at.x()];
    }
    return render(QRect(at, QSize(1, 1))).pixel(0, 0);
}

QImage GridPainter::render(const QRect& area) {
    QImage kept = std::move(surface_);
    const QRect keptArea = area_;
    surface_ = QImage(area.size(), QImage::Format_RGB32);
    area_ = area;
    restore(area);
    QImage drawn = std::move(surface_);
    surface_ = std::move(kept);
    area_ = keptArea;
    clip_ = area_;
    begin();
    return drawn;
}

CellSize documentCellSize(const Settings& settings, const Document& doc, int zoomCell) {
    if (zoomCell > 0 && zoomCell < 4) {
        if (doc.kind != DocumentKind::Patterns) return {zoomCell, zoomCell};
        zoomCell = 4;
    }
    Settings zoomed = settings;
    zoomed.zoomCell = zoomCell;
    return gridCellSize(zoomed);
}

int smallestZoomCell(const Document& doc) {
    return doc.kind == DocumentKind::Patterns ? 4 : 1;
}

GridGeometry GridPainter::geometry() const {
    const CellSize cell =
        documentCellSize(editor_.settings, editor_.document, editor_.settings.zoomCell);
    return {cell.x, cell.y, editor_.document.patternWidth, editor_.document.patternHeight};
}

QRgb GridPainter::lineColour() const {
    return fromSetting(editor_.settings.lineColor);
}
QRgb GridPainter::dotColour() const {
    return fromSetting(editor_.settings.dotColor);
}
QRgb GridPainter::backgroundColour() const {
    return fromSetting(editor_.settings.bgColor);
}

QRect GridPainter::gridRect() const {
    const GridGeometry g = geometry();
    return QRect(QPoint(GridOrigin, GridOrigin), QPoint(g.lineX(g.width), g.lineY(g.height)));
}

QRect GridPainter::thumbnailRect() const {
    const GridGeometry g = geometry();
    return QRect(g.thumbX(), g.thumbY(), g.width, g.height);
}

QRect GridPainter::cellRect(int column, int row) const {
    const PixelRect r = geometry().cellInterior(column, row);
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void GridPainter::begin() {
    // Taken once per operation: bits() checks for sharing on every call.
    bits_ = surface_.bits();
    stride_ = surface_.bytesPerLine();
}

void GridPainter::fillRect(const QRect& r, QRgb colour) {
    // clip_ always lies inside the surface.
    const int left = std::max(r.left(), clip_.left());
    const int right = std::min(r.right(), clip_.right());
    const int top = std::max(r.top(), clip_.top());
    const int bottom = std::min(r.bottom(), clip_.bottom());
    if (left > right) return;
    for (int y = top; y <= bottom; ++y) {
        QRgb* row = line(y);
        std::fill(row + left, row + right + 1, colour);
    }
}

void GridPainter::setPixel(int x, int y, QRgb colour) {
    if (clip_.contains(x, y)) line(y)[x] = colour;
}

void GridPainter::xorPixel(int x, int y, QRgb colour) {
    if (clip_.contains(x, y)) {
        QRgb& pixel = line(y)[x];
        pixel = (pixel ^ colour) | 0xFF000000u;
    }
}

void GridPainter::fillCell(int column, int row, QRgb colour) {
    fillRect(cellRect(column, row), colour);
}

void GridPainter::setThumbnailPixel(int x, int y, QRgb colour) {
    setPixel(tx_ + x, ty_ + y, colour);
}

void GridPainter::paint(const QRect& clip, bool erase) {
    fitSurface(); // the pattern's size or the cells' may have changed
    begin();
    clip_ = clip.intersected(area_);
    const bool whole = clip_ == area_;
    const bool preview = previewPaint;
    const GridGeometry g = geometry();
    tx_ = g.thumbX();
    ty_ = g.thumbY();
    if (erase) fillRect(clip_, WindowBackground);
    if (!previewPaint) paintGrid();
    paintCells();
    paintFontMarks();
    listChanged = false;
    if (whole && !preview) {
        // Everything shown was painted over: no frame is left but the
        // marquee just drawn.
        marqueeShown_ =
            editor_.selection.selectionState == SelectionState::Floating && marqueeEnabled;
        if (!editor_.selection.resizing) outlines_.clear();
    }
    // Outside a paint, single pixels and XOR frames go anywhere on the surface.
    clip_ = area_;
}

void GridPainter::paintGrid() {
    const GridGeometry g = geometry();
    fillRect(QRect(GridOrigin, GridOrigin, g.px() * g.width, g.py() * g.height),
             backgroundColour());
    const QRgb line = lineColour();
    for (int k = 0; k <= g.height; ++k)
        fillRect(QRect(GridOrigin, g.lineY(k), g.px() * g.width + 1, 1), line);
    for (int k = 0; k <= g.width; ++k)
        fillRect(QRect(g.lineX(k), GridOrigin, 1, g.py() * g.height + 1), line);
}

void GridPainter::drawThumbnail(const std::vector<uint8_t>& image) {
    const GridGeometry g = geometry();
    const QRgb dot = dotColour();
    // Only the part the clip shows: a large picture's thumbnail is a
    // megapixel, and a stroke's clip is one cell.
    const QRect shown = QRect(tx_, ty_, g.width, g.height) & clip_;
    for (int y = shown.top() - ty_; y <= shown.bottom() - ty_; ++y) {
        for (int x = shown.left() - tx_; x <= shown.right() - tx_; ++x) {
            if (image[static_cast<size_t>(y * g.width + x)] == DOT_ON)
                setPixel(tx_ + x, ty_ + y, dot);
        }
    }
}

std::vector<uint8_t> GridPainter::onionDots() const {
    const Document& doc = editor_.document;
    if (!editor_.settings.onionSkin || doc.editType != EditMode::Pattern ||
        doc.currentPattern < 1) {
        return {};
    }
    // The previous pattern, from the top-left, cut to the current one's size.
    PatternHeader h;
    getHeader(doc, doc.currentPattern - 1, h);
    if (h.width > doc.maxSide() || h.height > doc.maxSide()) return {};
    std::vector<uint8_t> previous(static_cast<size_t>(h.width * h.height), DOT_OFF);
    recordDots(doc, doc.currentPattern - 1, previous.data());
    std::vector<uint8_t> dots(static_cast<size_t>(doc.patternWidth * doc.patternHeight), DOT_OFF);
    for (int y = 0; y < std::min<int>(h.height, doc.patternHeight); ++y) {
        for (int x = 0; x < std::min<int>(h.width, doc.patternWidth); ++x) {
            dots[static_cast<size_t>(y * doc.patternWidth + x)] =
                previous[static_cast<size_t>(y * h.width + x)];
        }
    }
    return dots;
}

QRgb GridPainter::onionColour() const {
    // A quarter of the way from the background to the dots: faint, and
    // visible whatever the two colours are.
    const QColor dot(dotColour()), back(backgroundColour());
    QColor mixed((3 * back.red() + dot.red()) / 4, (3 * back.green() + dot.green()) / 4,
                 (3 * back.blue() + dot.blue()) / 4);
    if (mixed.rgb() == back.rgb())
        mixed = back.lightness() > 127 ? back.darker(130) : back.lighter(150);
    return mixed.rgb();
}

void GridPainter::paintThumbnailBackground() {
    const GridGeometry g = geometry();
    fillRect(QRect(tx_, ty_, g.width, g.height), White);
    if (!previewPaint) {
        fillRect(QRect(tx_ - 1, ty_ - 1, g.width + 2, 1), ThumbnailFrame);
        fillRect(QRect(tx_ - 1, ty_ + g.height, g.width + 2, 1), ThumbnailFrame);
        fillRect(QRect(tx_ - 1, ty_ - 1, 1, g.height + 2), ThumbnailFrame);
        fillRect(QRect(tx_ + g.width, ty_ - 1, 1, g.height + 2), ThumbnailFrame);
    }
}

GridPainter::CellSpan GridPainter::cellsIn(const QRect& area) const {
    const GridGeometry g = geometry();
    // A cell one past each edge: a clip may end inside a cell's line.
    return {std::max((area.left() - GridOrigin) / g.px() - 1, 0),
            std::max((area.top() - GridOrigin) / g.py() - 1, 0),
            std::min((area.right() - GridOrigin) / g.px() + 1, g.width - 1),
            std::min((area.bottom() - GridOrigin) / g.py() + 1, g.height - 1)};
}

void GridPainter::paintDots(bool block) {
    const Document& doc = editor_.document;
    const Selection& sel = editor_.selection;
    const GridGeometry g = geometry();
    const QRgb dot = dotColour();
    const size_t count = static_cast<size_t>(std::max(g.width * g.height, 0));
    std::vector<uint8_t> thumb(doc.workDots.begin(),
                               doc.workDots.begin() + static_cast<long>(count));
    const std::vector<uint8_t> onion = onionDots();
    const QRgb faint = onionColour();
    const CellSpan cells = cellsIn(clip_);
    for (int y = cells.top; y <= cells.bottom; ++y) {
        for (int x = cells.left; x <= cells.right; ++x) {
            const size_t i = static_cast<size_t>(y * g.width + x);
            if (thumb[i] == DOT_ON) {
                fillCell(x, y, dot);
            } else if (i < onion.size() && onion[i] == DOT_ON) {
                fillCell(x, y, faint);
            }
        }
    }
    if (block) {
        paintBlockDots(dot);
        for (int y = std::max(sel.blockRect.top, 0);
             y <= std::min(sel.blockRect.bottom, g.height - 1); ++y) {
            for (int x = std::max(sel.blockRect.left, 0);
                 x <= std::min(sel.blockRect.right, g.width - 1); ++x) {
                if (blockDot(sel, x, y) == DOT_ON)
                    thumb[static_cast<size_t>(y * g.width + x)] = DOT_ON;
            }
        }
    }
    drawThumbnail(thumb);
}

void GridPainter::paintCells() {
    const Document& doc = editor_.document;
    const Selection& sel = editor_.selection;
    const GridGeometry g = geometry();
    paintThumbnailBackground();
    const QRgb dot = dotColour();
    const size_t count = static_cast<size_t>(std::max(g.width * g.height, 0));
    std::vector<uint8_t> thumb;
    if (!previewPaint) {
        const bool floating = sel.selectionState == SelectionState::Floating;
        paintDots(floating);
        if (floating && marqueeEnabled) xorMarquee();
        return;
    }
    const Tool tool = editor_.grid.tool;
    if (tool == Tool::Point || tool == Tool::Erase) {
        // The core has set or cleared the dot; only its cell is painted.
        if (pendingDot >= 0 && pendingDot < static_cast<int>(count)) {
            const bool point = tool == Tool::Point;
            const std::vector<uint8_t> onion = point ? std::vector<uint8_t>{} : onionDots();
            const bool ghost = static_cast<size_t>(pendingDot) < onion.size() &&
                               onion[static_cast<size_t>(pendingDot)] == DOT_ON;
            fillCell(pendingDot % g.width, pendingDot / g.width,
                     point   ? dot
                     : ghost ? onionColour()
                             : backgroundColour());
        }
        previewPaint = false;
    } else if (listChanged) {
        paintPreviewShapes();
    }
    // Nothing of the thumbnail to paint: a stroke's step paints one cell.
    if (tool == Tool::Select || !clip_.intersects(thumbnailRect())) return;
    thumb.assign(doc.workDots.begin(), doc.workDots.begin() + static_cast<long>(count));
    if (tool != Tool::Point && tool != Tool::Erase) {
        for (const DotPoint& p : editor_.grid.lists.current) {
            if (p.x >= 0 && p.y >= 0 && p.x < g.width && p.y < g.height) {
                thumb[static_cast<size_t>(p.y * g.width + p.x)] = DOT_ON;
            }
        }
    }
    drawThumbnail(thumb);
}

void GridPainter::paintPreviewShapes() {
    const Document& doc = editor_.document;
    const GridGeometry g = geometry();
    const ToolLists& lists = editor_.grid.lists;
    const bool select = editor_.grid.tool == Tool::Select;
    const QRgb dot = dotColour();
    const QRgb background = backgroundColour();
    auto inside = [&g](const DotPoint& p) {
        return p.x >= 0 && p.y >= 0 && p.x < g.width && p.y < g.height;
    };
    auto dotAt = [&](const DotPoint& p) {
        return doc.workDots[static_cast<size_t>(p.y * g.width + p.x)];
    };
    // A point of the previous list that is still listed keeps its cell; the
    // lookup grid replaces a search through the current list.
    inCurrentList_.assign(static_cast<size_t>(std::max(g.width * g.height, 0)), 0);
    for (const DotPoint& p : lists.current) {
        if (inside(p)) inCurrentList_[static_cast<size_t>(p.y * g.width + p.x)] = 1;
    }
    for (const DotPoint& p : lists.previous) {
        if (!inside(p) || inCurrentList_[static_cast<size_t>(p.y * g.width + p.x)]) continue;
        const bool set = dotAt(p) == DOT_ON;
        if (select) {
            fillCell(p.x, p.y, set ? dot : background);
        } else if (!set) {
            fillCell(p.x, p.y, background);
        }
    }
    for (const DotPoint& p : lists.current) {
        if (!inside(p)) continue;
        if (select) {
            fillCell(p.x, p.y, RubberBand);
        } else if (dotAt(p) != DOT_ON) {
            fillCell(p.x, p.y, dot);
        }
    }
}

void GridPainter::restore(const QRect& area) {
    begin();
    clip_ = area;
    const GridGeometry g = geometry();
    tx_ = g.thumbX();
    ty_ = g.thumbY();
    const bool preview = previewPaint;
    previewPaint = false;
    fillRect(area, WindowBackground);
    paintGrid();
    paintThumbnailBackground();
    const Selection& sel = editor_.selection;
    paintDots(sel.selectionState == SelectionState::Floating ||
              sel.selectionState == SelectionState::Moving);
    previewPaint = preview;
    // A shape being dragged shows over the stored dots.
    const GridInteraction& gi = editor_.grid;
    if (gi.buttonDown && gi.shapeStarted) {
        const bool select = gi.tool == Tool::Select;
        if (select) fillRect(QRect(tx_, ty_, g.width, g.height), White);
        for (const DotPoint& p : gi.lists.current) {
            if (p.x < 0 || p.y < 0 || p.x >= g.width || p.y >= g.height) continue;
            fillCell(p.x, p.y, select ? RubberBand : dotColour());
            if (!select) setPixel(tx_ + p.x, ty_ + p.y, dotColour());
        }
    }
    paintFontMarks();
    if (marqueeShown_ && sel.selectionState != SelectionState::None) xorMarquee();
    for (const PixelRect& r : outlines_) xorOutline(r);
    clip_ = area_;
}

void GridPainter::paintFontMarks() {
    const Document& doc = editor_.document;
    if (doc.kind != DocumentKind::Font || doc.editType != EditMode::Pattern) return;
    PatternHeader h;
    getHeader(doc, -1, h);
    const GridGeometry g = geometry();
    const int right = g.lineX(g.width), bottom = g.lineY(g.height);
    // The marks lie on the grid lines, so that a cell painted by a stroke
    // leaves them whole; each reaches past the grid to show where it is
    // when it runs along the grid's edge.
    const int baseline = g.lineY(h.beginCom);
    fillRect(QRect(1, baseline, right + 4, 1), BaselineColour);
    const int origin = g.lineX(h.beginSeg);
    fillRect(QRect(origin - 2, baseline - 2, 5, 5), BaselineColour);
    const int advance = g.lineX(h.beginSeg + h.leftToRight);
    fillRect(QRect(advance, 1, 1, bottom + 3), AdvanceColour);
    // The handle the advance is dragged by, below the grid.
    for (int k = 0; k < 5; ++k)
        fillRect(QRect(advance - k, bottom + 2 + k, 2 * k + 1, 1), AdvanceColour);
}

void GridPainter::paintBlockDots(QRgb colour) {
    begin();
    const Selection& sel = editor_.selection;
    const GridGeometry g = geometry();
    for (int y = std::max(sel.blockRect.top, 0); y <= std::min(sel.blockRect.bottom, g.height - 1);
         ++y) {
        for (int x = std::max(sel.blockRect.left, 0);
             x <= std::min(sel.blockRect.right, g.width - 1); ++x) {
            if (blockDot(sel, x, y) == DOT_ON) fillCell(x, y, colour);
        }
    }
}

void GridPainter::eraseBlockDots() {
    begin();
    const Selection& sel = editor_.selection;
    const GridGeometry g = geometry();
    // What a whole repaint shows there: the onion skin, or the background.
    const std::vector<uint8_t> onion = onionDots();
    const QRgb faint = onionColour();
    const QRgb background = backgroundColour();
    for (int y = std::max(sel.blockRect.top, 0); y <= std::min(sel.blockRect.bottom, g.height - 1);
         ++y) {
        for (int x = std::max(sel.blockRect.left, 0);
             x <= std::min(sel.blockRect.right, g.width - 1); ++x) {
            if (blockDot(sel, x, y) != DOT_ON) continue;
            const size_t i = static_cast<size_t>(y * g.width + x);
            fillCell(x, y, i < onion.size() && onion[i] == DOT_ON ? faint : background);
        }
    }
}

void GridPainter::refillFromWorkDots(const DotRect& rect) {
    begin();
    const Document& doc = editor_.document;
    const GridGeometry g = geometry();
    const QRgb dot = dotColour();
    for (int y = std::max(rect.top, 0); y <= std::min(rect.bottom, g.height - 1); ++y) {
        for (int x = std::max(rect.left, 0); x <= std::min(rect.right, g.width - 1); ++x) {
            if (doc.workDots[static_cast<size_t>(y * g.width + x)] == DOT_ON) fillCell(x, y, dot);
        }
    }
}

void GridPainter::redrawThumbnailWithBlock() {
    begin();
    const Document& doc = editor_.document;
    const Selection& sel = editor_.selection;
    const GridGeometry g = geometry();
    const QRgb dot = dotColour();
    for (int y = 0; y < g.height; ++y) {
        for (int x = 0; x < g.width; ++x) {
            const bool set = doc.workDots[static_cast<size_t>(y * g.width + x)] == DOT_ON ||
                             blockDot(sel, x, y) == DOT_ON;
            setPixel(tx_ + x, ty_ + y, set ? dot : White);
        }
    }
}

void GridPainter::drawMarquee() {
    marqueeShown_ = !marqueeShown_;
    xorMarquee();
}

void GridPainter::xorMarquee() {
    begin();
    const PixelRect& r = editor_.selection.selectionRect;
    const QPoint at = area_.topLeft();
    // Three nested frames, each one pixel further out.
    for (int k = 0; k < 3; ++k)
        xorFrame(surface_, r.left - k - at.x(), r.top - k - at.y(), r.right + k - at.x(),
                 r.bottom + k - at.y(), clip_.translated(-at));
}

void GridPainter::drawResizeOutline(const PixelRect& r) {
    const auto same = [&r](const PixelRect& o) {
        return o.left == r.left && o.top == r.top && o.right == r.right && o.bottom == r.bottom;
    };
    if (const auto it = std::find_if(outlines_.begin(), outlines_.end(), same);
        it != outlines_.end()) {
        outlines_.erase(it);
    } else {
        outlines_.push_back(r);
    }
    xorOutline(r);
}

void GridPainter::xorOutline(const PixelRect& r) {
    begin();
    for (int x = r.left; x < r.right; ++x) xorPixel(x, r.top, MarqueeXor);
    for (int x = r.left; x < r.right - 1; ++x) xorPixel(x, r.bottom, MarqueeXor);
    for (int y = r.top; y < r.bottom; ++y) xorPixel(r.left, y, MarqueeXor);
    for (int y = r.top; y < r.bottom; ++y) xorPixel(r.right, y, MarqueeXor);
}

} // namespace dedur
