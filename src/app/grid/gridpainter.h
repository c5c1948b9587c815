#pragma once

#include <QImage>
#include <QRect>
#include <vector>

#include "editor.h"

namespace dedur {

// The cells a document is drawn with at zoom `zoomCell` (0: the normal
// size). A picture may be zoomed out below the smallest step, down to one
// pixel a dot, so that a whole 1024-dot side fits a screen; a pattern file's
// cells stay as they always were.
CellSize documentCellSize(const Settings& settings, const Document& doc, int zoomCell);
// The smallest cell width a document of this kind is zoomed out to.
int smallestZoomCell(const Document& doc);

// Paints the grid window into its own surface image, region by region, the
// way invalidating a region and updating the window does: pixels outside the
// region keep what they showed.
//
// The surface holds only the part of the window that shows (a zoomed grid
// scrolls inside a much smaller viewport). A part that comes into view is
// drawn anew from the pattern, the floating block and the frames now shown,
// so it looks as if the whole window had been kept all along.
class GridPainter {
  public:
    explicit GridPainter(Editor& editor);

    // The surface covers what shows of the window (`view`, all of it when
    // empty), cut to what the grid, its thumbnail and a block's frame (which
    // may reach two patterns beyond the grid) can reach; the rest of the
    // window is plain background.
    const QImage& surface() const { return surface_; }
    QRect surfaceRect() const { return area_; } // where the surface lies in the window
    void resizeSurface(QSize window, const QRect& view = QRect());
    // The window scrolled or its viewport changed size.
    void setView(const QRect& view);
    QRect view() const { return view_; }
    // What the window shows at `at`, drawn on the spot when it is out of view.
    QRgb pixelAt(QPoint at);
    // `area` of the window as the surface would show it, drawn into an image
    // of its own; the surface is left as it is.
    QImage render(const QRect& area);

    GridGeometry geometry() const;
    QRgb lineColour() const;
    QRgb dotColour() const;
    QRgb backgroundColour() const;

    // Paints `clip` now; `erase` fills it with the window background first.
    void paint(const QRect& clip, bool erase);

    // Paint control shared with the mouse handling.
    bool previewPaint = false;
    bool listChanged = false;
    int pendingDot = -1;
    bool marqueeEnabled = true;

    // Single thumbnail pixel of dot (x, y), drawn at once.
    void setThumbnailPixel(int x, int y, QRgb colour);
    // XOR marquee around the selection rectangle; drawing it twice removes it.
    void drawMarquee();
    // XOR outline of a frame being resized.
    void drawResizeOutline(const PixelRect& r);
    // During a block move: the old place cleared, the new place painted, the
    // thumbnail redrawn (see GridWidget).
    void paintBlockDots(QRgb colour);
    void eraseBlockDots(); // the block's dots, from where it was

    void refillFromWorkDots(const DotRect& rect);
    void redrawThumbnailWithBlock();

    QRect gridRect() const;      // the cells and their lines
    QRect thumbnailRect() const; // (TX, TY, W, H)
    QRect cellRect(int column, int row) const;
    static constexpr QRgb WindowBackground = 0xFF808080;
    // A font document's glyph: the baseline and origin, and the advance.
    static constexpr QRgb BaselineColour = 0xFFDC0000;
    static constexpr QRgb AdvanceColour = 0xFF005AFF;

  private:
    // The previous pattern's dots under the current one (empty when the onion
    // skin is off), and the colour they show in.
    std::vector<uint8_t> onionDots() const;
    QRgb onionColour() const;
    void begin();
    // Row y of the window, indexed by the window's x.
    QRgb* line(int y) {
        return reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y - area_.top()) * stride_) -
               area_.left();
    }
    void fillRect(const QRect& r, QRgb colour);
    void setPixel(int x, int y, QRgb colour);
    void xorPixel(int x, int y, QRgb colour);
    void paintGrid();
    void paintCells();
    void paintThumbnailBackground();
    // The stored dots, the onion skin, the block (if `block`) and the thumbnail.
    void paintDots(bool block);
    // The cells a clip touches (and one more each way), inclusive.
    struct CellSpan {
        int left, top, right, bottom;
    };
    CellSpan cellsIn(const QRect& area) const;
    // Draws `area` (inside the surface) anew: everything a whole repaint
    // shows, then what a drag, the marquee and resize outlines have added.
    void restore(const QRect& area);
    void xorMarquee();
    void xorOutline(const PixelRect& r);
    // Moves the surface to `area`, keeping the pixels both share.
    void placeSurface(const QRect& area);
    void paintPreviewShapes();
    // A font glyph's baseline, origin and advance marker, over the grid lines.
    void paintFontMarks();
    void fillCell(int column, int row, QRgb colour);
    void drawThumbnail(const std::vector<uint8_t>& image);

    void fitSurface();

    Editor& editor_;
    QSize window_;
    QRect view_;
    QRect area_;
    QImage surface_;
    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    QRect clip_;
    int tx_ = 0;
    int ty_ = 0;
    std::vector<uint8_t> inCurrentList_; // lookup for the stale-point pass
    // XOR frames now on the surface, so that a part scrolled into view
    // shows them too.
    bool marqueeShown_ = false;
    std::vector<PixelRect> outlines_;
};

} // namespace dedur
