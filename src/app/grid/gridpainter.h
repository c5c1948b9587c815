#pragma once

#include <QImage>
#include <QRect>
#include <vector>

#include "editor.h"

namespace dedur {

// Paints the grid window into its own surface image, region by region, the
// way invalidating a region and updating the window does: pixels outside the
// region keep what they showed.
class GridPainter {
  public:
    explicit GridPainter(Editor& editor);

    // The surface covers what the window can show of the grid, its thumbnail
    // and a block's frame (which may reach two patterns beyond the grid);
    // the rest of the window is plain background.
    QImage& surface() { return surface_; }
    const QImage& surface() const { return surface_; }
    void resizeSurface(QSize window);

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
    void refillFromWorkDots(const DotRect& rect);
    void redrawThumbnailWithBlock();

    QRect gridRect() const;      // the cells and their lines
    QRect thumbnailRect() const; // (TX, TY, W, H)
    QRect cellRect(int column, int row) const;
    static constexpr QRgb WindowBackground = 0xFF808080;

  private:
    // The previous pattern's dots under the current one (empty when the onion
    // skin is off), and the colour they show in.
    std::vector<uint8_t> onionDots() const;
    QRgb onionColour() const;
    void begin();
    QRgb* line(int y) {
        return reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_);
    }
    void fillRect(const QRect& r, QRgb colour);
    void setPixel(int x, int y, QRgb colour);
    void xorPixel(int x, int y, QRgb colour);
    void paintGrid();
    void paintCells();
    void paintPreviewShapes();
    void fillCell(int column, int row, QRgb colour);
    void drawThumbnail(const std::vector<uint8_t>& image);

    void fitSurface();

    Editor& editor_;
    QSize window_;
    QImage surface_;
    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    QRect clip_;
    int tx_ = 0;
    int ty_ = 0;
    std::vector<uint8_t> inCurrentList_; // lookup for the stale-point pass
};

} // namespace dedur
