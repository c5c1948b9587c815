#include "artworkpainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace dedur::artwork {

namespace {

enum class State { Normal, Pressed, Latched, Disabled };

// The glyph of each button, identified by its normal image id.
enum Glyph {
    PointGlyph = 101,
    EraseGlyph = 111,
    SaveGlyph = 121,
    DeleteGlyph = 131,
    AddGlyph = 141,
    InsertGlyph = 151,
    LineGlyph = 161,
    SizeGlyph = 171,
    OutlineRectGlyph = 181,
    FillRectGlyph = 191,
    SelectGlyph = 221,
    CutGlyph = 230,
    CopyGlyph = 235,
    PasteGlyph = 240,
    UndoGlyph = 245,
    RedoGlyph = 250,
    TextGlyph = 255,
    OutlineEllipseGlyph = 260,
    FillEllipseGlyph = 265,
};

struct ImageId {
    int glyph;
    State state;
};

// Ids run normal, pressed, latched, disabled from the glyph id; the push
// buttons have no latched image, and the tools no disabled one.
const int ToolGlyphs[] = {PointGlyph, EraseGlyph,       OutlineEllipseGlyph, FillEllipseGlyph,
                          LineGlyph,  OutlineRectGlyph, FillRectGlyph,       SelectGlyph};
const int PushGlyphs[] = {TextGlyph, CutGlyph,    CopyGlyph, PasteGlyph,  UndoGlyph, RedoGlyph,
                          SaveGlyph, DeleteGlyph, AddGlyph,  InsertGlyph, SizeGlyph};

bool decode(int id, ImageId& out) {
    for (int g : ToolGlyphs) {
        if (id >= g && id <= g + 2) {
            out = {g, static_cast<State>(id - g)};
            return true;
        }
    }
    for (int g : PushGlyphs) {
        if (id == g)
            out = {g, State::Normal};
        else if (id == g + 1)
            out = {g, State::Pressed};
        else if (id == g + 3 && g != TextGlyph)
            out = {g, State::Disabled};
        else
            continue;
        return true;
    }
    return false;
}

const QColor Face(212, 208, 200);
const QColor LatchedFace(236, 233, 226);
const QColor Light(255, 255, 255);
const QColor Shadow(128, 128, 128);
const QColor DarkShadow(64, 64, 64);
const QColor Ink(20, 20, 20);
const QColor Blue(30, 70, 190);
const QColor Red(200, 30, 30);
const QColor Green(20, 140, 40);
const QColor Paper(255, 255, 250);

void bevel(QPainter& p, bool sunken) {
    const QColor topLeft = sunken ? DarkShadow : Light;
    const QColor bottomRight = sunken ? Light : DarkShadow;
    p.setPen(topLeft);
    p.drawLine(0, 0, 22, 0);
    p.drawLine(0, 0, 0, 22);
    p.setPen(bottomRight);
    p.drawLine(0, 23, 23, 23);
    p.drawLine(23, 0, 23, 23);
    p.setPen(sunken ? Shadow : Face.darker(115));
    if (sunken) {
        p.drawLine(1, 1, 21, 1);
        p.drawLine(1, 1, 1, 21);
    } else {
        p.drawLine(1, 22, 22, 22);
        p.drawLine(22, 1, 22, 22);
    }
}

// Small dotted grid behind the pattern tools, so they read as dot editing.
void dotGrid(QPainter& p, const QColor& colour) {
    p.setPen(colour);
    for (int y = 5; y <= 18; y += 3) {
        for (int x = 5; x <= 18; x += 3) p.drawPoint(x, y);
    }
}

void page(QPainter& p, const QRect& r) {
    p.setPen(Ink);
    p.setBrush(Paper);
    p.drawRect(r);
}

void arrowHead(QPainter& p, QPoint tip, int dx, int dy) {
    QPolygon head;
    head << tip << QPoint(tip.x() - dx * 3 - dy * 3, tip.y() - dy * 3 - dx * 3)
         << QPoint(tip.x() - dx * 3 + dy * 3, tip.y() - dy * 3 + dx * 3);
    p.drawPolygon(head);
}

void drawPencil(QPainter& p, int, const QColor& ink, const QColor& accent) {
    // Pencil from the lower right to a point at the upper left.
    QPolygon body;
    body << QPoint(6, 9) << QPoint(9, 6) << QPoint(19, 16) << QPoint(16, 19);
    p.setPen(ink);
    p.setBrush(accent);
    p.drawPolygon(body);
    p.setBrush(Paper);
    QPolygon tip;
    tip << QPoint(3, 3) << QPoint(9, 6) << QPoint(6, 9);
    p.drawPolygon(tip);
    p.setPen(ink);
    p.drawPoint(3, 3);
    p.drawPoint(4, 4);
}

void drawEraser(QPainter& p, int, const QColor& ink, const QColor& accent) {
    QPolygon block;
    block << QPoint(4, 12) << QPoint(12, 4) << QPoint(20, 12) << QPoint(12, 20);
    p.setPen(ink);
    p.setBrush(Paper);
    p.drawPolygon(block);
    QPolygon band;
    band << QPoint(4, 12) << QPoint(8, 8) << QPoint(16, 16) << QPoint(12, 20);
    p.setBrush(accent);
    p.drawPolygon(band);
}

void drawLineGlyph(QPainter& p, int, const QColor& ink, const QColor& accent) {
    p.setPen(QPen(ink, 2));
    p.drawLine(5, 18, 18, 5);
    p.setPen(ink);
    p.setBrush(accent);
    p.drawRect(3, 16, 3, 3);
    p.drawRect(17, 3, 3, 3);
}

void drawOutlineRect(QPainter& p, int, const QColor& ink, const QColor&) {
    p.setPen(QPen(ink, 2));
    p.drawRect(5, 6, 13, 11);
}

void drawFilledRect(QPainter& p, int, const QColor& ink, const QColor& accent) {
    p.setPen(QPen(ink, 2));
    p.setBrush(accent);
    p.drawRect(5, 6, 13, 11);
}

void drawOutlineEllipse(QPainter& p, int, const QColor& ink, const QColor&) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(ink, 2));
    p.drawEllipse(QRectF(4.5, 5.5, 15, 13));
}

void drawFilledEllipse(QPainter& p, int, const QColor& ink, const QColor& accent) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(ink, 2));
    p.setBrush(accent);
    p.drawEllipse(QRectF(4.5, 5.5, 15, 13));
}

void drawSelect(QPainter& p, int, const QColor& ink, const QColor&) {
    QPen dashed(ink, 1, Qt::CustomDashLine);
    dashed.setDashPattern({2, 2});
    p.setPen(dashed);
    p.drawRect(4, 5, 15, 12);
    p.setPen(ink);
    p.drawLine(16, 14, 20, 18);
    p.drawLine(20, 15, 20, 18);
    p.drawLine(17, 18, 20, 18);
}

void drawText(QPainter& p, int, const QColor& ink, const QColor& accent) {
    p.setPen(ink);
    p.setBrush(ink);
    p.drawRect(5, 4, 12, 2);
    p.drawRect(10, 6, 2, 12);
    p.setPen(accent);
    p.drawLine(14, 18, 19, 18);
    p.drawLine(16, 12, 16, 20);
}

void drawScissors(QPainter& p, int, const QColor& ink, const QColor& accent) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(ink, 1.5));
    p.drawLine(QPointF(8, 4), QPointF(14.5, 15));
    p.drawLine(QPointF(16, 4), QPointF(9.5, 15));
    p.setPen(QPen(accent, 2));
    p.drawEllipse(QPointF(8, 17.5), 3, 3);
    p.drawEllipse(QPointF(16, 17.5), 3, 3);
}

void drawCopy(QPainter& p, int, const QColor&, const QColor& accent) {
    page(p, QRect(4, 3, 10, 12));
    page(p, QRect(10, 8, 10, 12));
    p.setPen(accent);
    for (int y = 11; y <= 17; y += 2) p.drawLine(12, y, 18, y);
}

void drawPaste(QPainter& p, int, const QColor& ink, const QColor& accent) {
    p.setPen(ink);
    p.setBrush(QColor(160, 110, 50));
    p.drawRect(4, 5, 13, 16);
    p.setBrush(Shadow);
    p.drawRect(8, 3, 5, 3);
    page(p, QRect(10, 10, 10, 11));
    p.setPen(accent);
    for (int y = 13; y <= 19; y += 2) p.drawLine(12, y, 18, y);
}

void drawTurnArrow(QPainter& p, int glyph, const QColor&, const QColor& accent) {
    const bool undo = glyph == UndoGlyph;
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath path;
    if (undo) {
        path.moveTo(7, 9);
        path.cubicTo(15, 5, 21, 11, 17, 18);
    } else {
        path.moveTo(17, 9);
        path.cubicTo(9, 5, 3, 11, 7, 18);
    }
    p.setPen(QPen(accent, 2.5));
    p.drawPath(path);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(accent);
    p.setBrush(accent);
    QPolygon head;
    if (undo) {
        head << QPoint(3, 10) << QPoint(10, 5) << QPoint(10, 14);
    } else {
        head << QPoint(21, 10) << QPoint(14, 5) << QPoint(14, 14);
    }
    p.drawPolygon(head);
}

void drawDisk(QPainter& p, int, const QColor& ink, const QColor& accent) {
    p.setPen(ink);
    p.setBrush(accent);
    p.drawRect(4, 4, 16, 16);
    p.setBrush(Paper);
    p.drawRect(7, 4, 10, 6);
    p.setBrush(Shadow);
    p.drawRect(7, 14, 10, 6);
    p.setPen(ink);
    p.drawLine(14, 5, 14, 8);
}

void drawPatternPage(QPainter& p, int glyph, const QColor&, const QColor& accent) {
    page(p, QRect(3, 3, 12, 15));
    dotGrid(p, Shadow);
    p.setPen(QPen(accent, 2));
    if (glyph == DeleteGlyph) {
        p.drawLine(12, 12, 20, 20);
        p.drawLine(20, 12, 12, 20);
    } else if (glyph == AddGlyph) {
        p.drawLine(16, 12, 16, 20);
        p.drawLine(12, 16, 20, 16);
    } else {
        p.drawLine(21, 11, 13, 11);
        p.setPen(accent);
        p.setBrush(accent);
        arrowHead(p, QPoint(11, 11), -1, 0);
        p.setPen(QPen(accent, 2));
        p.drawLine(13, 18, 21, 18);
    }
}

void drawSize(QPainter& p, int, const QColor& ink, const QColor& accent) {
    p.setPen(ink);
    p.setBrush(Paper);
    p.drawRect(3, 3, 11, 11);
    p.setPen(QPen(accent, 2));
    p.drawLine(9, 17, 19, 17);
    p.drawLine(17, 9, 17, 19);
    p.setPen(accent);
    p.setBrush(accent);
    arrowHead(p, QPoint(21, 17), 1, 0);
    arrowHead(p, QPoint(17, 21), 0, 1);
}

using GlyphPainter = void (*)(QPainter&, int, const QColor&, const QColor&);

struct GlyphArt {
    int glyph;
    QColor accent;
    GlyphPainter draw;
};

const GlyphArt GlyphArts[] = {
    {PointGlyph, QColor(240, 190, 40), drawPencil},
    {EraseGlyph, QColor(230, 120, 150), drawEraser},
    {LineGlyph, Blue, drawLineGlyph},
    {OutlineRectGlyph, Ink, drawOutlineRect},
    {FillRectGlyph, Ink, drawFilledRect},
    {OutlineEllipseGlyph, Ink, drawOutlineEllipse},
    {FillEllipseGlyph, Ink, drawFilledEllipse},
    {SelectGlyph, Ink, drawSelect},
    {TextGlyph, Blue, drawText},
    {CutGlyph, Red, drawScissors},
    {CopyGlyph, Blue, drawCopy},
    {PasteGlyph, Blue, drawPaste},
    {UndoGlyph, Blue, drawTurnArrow},
    {RedoGlyph, Blue, drawTurnArrow},
    {SaveGlyph, Blue, drawDisk},
    {DeleteGlyph, Red, drawPatternPage},
    {AddGlyph, Green, drawPatternPage},
    {InsertGlyph, Green, drawPatternPage},
    {SizeGlyph, Blue, drawSize},
};

void drawGlyph(QPainter& p, int glyph) {
    for (const GlyphArt& art : GlyphArts) {
        if (art.glyph != glyph) continue;
        p.setBrush(Qt::NoBrush);
        art.draw(p, glyph, Ink, art.accent);
        return;
    }
}

} // namespace

std::vector<int> paletteImageIds() {
    std::vector<int> ids;
    for (int g : ToolGlyphs) {
        for (int k = 0; k < 3; ++k) ids.push_back(g + k);
    }
    for (int g : PushGlyphs) {
        ids.push_back(g);
        ids.push_back(g + 1);
        if (g != TextGlyph) ids.push_back(g + 3);
    }
    return ids;
}

QImage paletteImage(int id) {
    QImage image(24, 24, QImage::Format_RGB32);
    ImageId which{0, State::Normal};
    if (!decode(id, which)) {
        image.fill(Qt::magenta);
        return image;
    }
    const bool sunken = which.state == State::Pressed || which.state == State::Latched;
    image.fill(which.state == State::Latched ? LatchedFace : Face);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (which.state == State::Latched) {
        // The latched face is a light checkerboard, as a held-down toggle.
        p.setPen(Light);
        for (int y = 2; y < 22; ++y) {
            for (int x = 2 + (y % 2); x < 22; x += 2) p.drawPoint(x, y);
        }
    }
    bevel(p, sunken);
    if (which.state == State::Disabled) {
        // Washed-out grey: the glyph drawn normally, then every pixel of it
        // turned to a light grey of its own brightness.
        QImage layer(24, 24, QImage::Format_ARGB32);
        layer.fill(Qt::transparent);
        QPainter lp(&layer);
        drawGlyph(lp, which.glyph);
        lp.end();
        for (int y = 2; y < 22; ++y) {
            for (int x = 2; x < 22; ++x) {
                const QRgb pixel = layer.pixel(x, y);
                if (qAlpha(pixel) < 128) continue;
                const int grey = 120 + qGray(pixel) * 45 / 100;
                image.setPixel(x, y, qRgb(grey, grey, grey));
            }
        }
    } else {
        if (sunken) p.translate(1, 1);
        drawGlyph(p, which.glyph);
    }
    return image;
}

std::vector<int> cursorIds() {
    return {11, 12, 13, 14, 15, 16, 17, 18};
}

QPoint cursorHotSpot(int id) {
    switch (id) {
    case 11:
    case 12:
        return {0, 0};
    case 13:
    case 16:
        return {15, 15};
    default:
        return {9, 12};
    }
}

namespace {

// Black lines with a white outline, readable on any grid colour.
template <typename Draw> void outlined(QPainter& p, Draw draw) {
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::SquareCap));
    draw();
    p.setPen(QPen(Qt::black, 1));
    draw();
}

void crossHair(QPainter& p, int cx, int cy, int arm, int gap) {
    outlined(p, [&] {
        p.drawLine(cx - arm, cy, cx - gap, cy);
        p.drawLine(cx + gap, cy, cx + arm, cy);
        p.drawLine(cx, cy - arm, cx, cy - gap);
        p.drawLine(cx, cy + gap, cx, cy + arm);
    });
}

void pencilCursor(QPainter& p) {
    QPolygon pencil;
    pencil << QPoint(0, 0) << QPoint(6, 2) << QPoint(20, 16) << QPoint(16, 20) << QPoint(2, 6);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(pencil);
    p.drawLine(6, 2, 2, 6);
    p.drawLine(17, 13, 13, 17);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygon({QPoint(0, 0), QPoint(3, 1), QPoint(1, 3)}));
}

void eraserCursor(QPainter& p) {
    QPolygon eraser;
    eraser << QPoint(0, 0) << QPoint(9, 0) << QPoint(20, 11) << QPoint(11, 20) << QPoint(0, 9);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(eraser);
    p.setBrush(Qt::black);
    p.drawPolygon(
        QPolygon({QPoint(0, 0), QPoint(9, 0), QPoint(12, 3), QPoint(3, 12), QPoint(0, 9)}));
}

// Cross-hair with the shape it draws: 14 and 15 rectangles, 17 and 18
// ellipses, the second of each filled.
void shapeCursor(QPainter& p, int id) {
    crossHair(p, 9, 12, 7, 2);
    const QRect shape(16, 19, 12, 9);
    p.setPen(Qt::black);
    const bool filled = id == 15 || id == 18;
    p.setBrush(filled ? QBrush(Qt::black) : QBrush(Qt::white));
    if (id == 14 || id == 15) {
        p.drawRect(shape);
    } else {
        p.drawEllipse(shape);
    }
}

} // namespace

QImage cursorImage(int id) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (id) {
    case 11:
        pencilCursor(p);
        break;
    case 12:
        eraserCursor(p);
        break;
    case 13:
        crossHair(p, 15, 15, 10, 3);
        break;
    case 16:
        outlined(p, [&] {
            p.drawLine(15, 4, 15, 26);
            p.drawLine(4, 15, 26, 15);
        });
        break;
    default:
        shapeCursor(p, id);
        break;
    }
    return image;
}

namespace {

const QColor IconFrame(40, 40, 40);
const QColor IconFace(170, 190, 150);
const QColor IconDotOn(20, 30, 20);
const QColor IconDotOff(150, 170, 130);

// A small "d" in dots on an LCD-green face.
const char* const IconRows[] = {"00000010", "00000010", "00111110", "01000010",
                                "01000010", "01000010", "00111110", "00000000"};

} // namespace

QImage programIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    // The 32-pixel icon is drawn pixel for pixel; the others are scaled.
    if (size != 32) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.scale(size / 32.0, size / 32.0);
    }
    p.setPen(IconFrame);
    p.setBrush(IconFace);
    p.drawRoundedRect(1, 1, 29, 29, 4, 4);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            p.fillRect(4 + x * 3, 4 + y * 3, 2, 2, IconRows[y][x] == '1' ? IconDotOn : IconDotOff);
        }
    }
    return image;
}

QByteArray programIconSvg() {
    QByteArray svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" "
                     "viewBox=\"0 0 32 32\">\n";
    svg += QString("  <rect x=\"1.5\" y=\"1.5\" width=\"29\" height=\"29\" rx=\"4\" ry=\"4\" "
                   "fill=\"%1\" stroke=\"%2\"/>\n")
               .arg(IconFace.name(), IconFrame.name())
               .toUtf8();
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            svg += QString("  <rect x=\"%1\" y=\"%2\" width=\"2\" height=\"2\" fill=\"%3\"/>\n")
                       .arg(4 + x * 3)
                       .arg(4 + y * 3)
                       .arg((IconRows[y][x] == '1' ? IconDotOn : IconDotOff).name())
                       .toUtf8();
        }
    }
    return svg + "</svg>\n";
}

std::vector<int> desktopIconSizes() {
    return {16, 24, 32, 48, 64, 128, 256};
}

} // namespace dedur::artwork
