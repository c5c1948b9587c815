#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <cstdlib>

#include "editorfixture.h"
#include "grid/gridpainter.h"
#include "ui/commandids.h"

using namespace dedur;
using dedur::test::EditorFixture;

using dedur::test::Black;
using dedur::test::White;

namespace {
const QRgb Grey = qRgb(192, 192, 192);
const QRgb Blue = qRgb(0, 0, 255);
const QRgb Red = qRgb(255, 0, 0);

QScrollArea* scrollArea(EditorFixture& f) {
    return qobject_cast<QScrollArea*>(f.grid().parentWidget()->parentWidget());
}

// The part of the grid widget its viewport shows, in the widget's pixels.
QRect shownPart(EditorFixture& f) {
    const QWidget* viewport = scrollArea(f)->viewport();
    return QRect(f.grid().mapFrom(viewport, QPoint(0, 0)), viewport->size()) & f.grid().rect();
}

QImage grabShown(EditorFixture& f) {
    return f.grid().grab(shownPart(f)).toImage().convertToFormat(QImage::Format_RGB32);
}

// What a painter keeping the whole window would show of `part`.
QImage wholeWindowPart(EditorFixture& f, const QRect& part) {
    GridPainter whole(*f.editor);
    const QRect window = f.grid().rect();
    whole.resizeSurface(window.size());
    whole.paint(window, true);
    QImage shown(part.size(), QImage::Format_RGB32);
    shown.fill(GridPainter::WindowBackground);
    QPainter(&shown).drawImage(-part.topLeft(), whole.surface());
    return shown;
}

void scrollTo(EditorFixture& f, QPoint at) {
    scrollArea(f)->horizontalScrollBar()->setValue(at.x());
    scrollArea(f)->verticalScrollBar()->setValue(at.y());
}

void zoomTo(EditorFixture& f, int cell) {
    while (f.grid().geometry().gridX < cell) f.window->dispatchCommand(CmdZoomIn);
    QCoreApplication::processEvents(); // the scroll area's layout
}

// Two 96 x 48 patterns of random dots, the second shown over the first's
// onion skin, with a floating block and its marquee.
void busyPattern(EditorFixture& f) {
    f.doc() = test::documentOf({{96, 48, 1, 1, 0, 2}, {96, 48, 1, 1, 0, 2}});
    std::srand(7);
    for (const int pattern : {0, 1}) {
        f.doc().currentPattern = pattern;
        reloadWorkDots(f.doc());
        for (uint8_t& dot : f.doc().workDots) dot = std::rand() % 4 ? DOT_OFF : DOT_ON;
        storeWorkDots(f.doc());
    }
    f.editor->settings.onionSkin = true;
    f.window->dispatchCommand(CmdSelect);
    f.drag({{3, 2}, {9, 7}});
    f.grid().repaintAll(true);
}
} // namespace

class GridTest : public QObject {
    Q_OBJECT
  private slots:
    // 12 x 12 at 8 x 8: lines every 9 pixels from 5, the thumbnail at (115, 48);
    // at 16 x 16 it moves to (151, 64).
    void paintsGridLinesCellsAndThumbnail() {
        for (const int side : {12, 16}) {
            EditorFixture f("", false);
            f.doc().panelDefinition.width = f.doc().panelDefinition.height = int16_t(side);
            f.launch();
            const int end = 5 + 9 * side; // the last grid line
            const QPoint frame(end + 1, side == 12 ? 47 : 63);
            for (const auto& [at, colour] : {std::pair{QPoint(5, 5), Grey},
                                             {QPoint(end, end), Grey},
                                             {QPoint(14, 60), Grey},
                                             {QPoint(6, 6), White},
                                             {frame, Blue},
                                             {frame + QPoint(side + 1, side + 1), Blue},
                                             {frame + QPoint(1, 1), White}})
                QCOMPARE(f.pixel(at), colour);
        }
        EditorFixture f;
        QCOMPARE(f.pixel({114, 114}), qRgb(128, 128, 128));
    }

    void toolsDrawExactDots_data() {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QString>("rows");
        QTest::newRow("line") << int(CmdDrawLine) << QPoint(0, 0) << QPoint(4, 1)
                              << "110000000000\n001110000000\n";
        QTest::newRow("ellipse")
            << int(CmdOutlineEllipse) << QPoint(2, 1) << QPoint(5, 4)
            << "000000000000\n000110000000\n001001000000\n001001000000\n000110000000\n";
    }
    void toolsDrawExactDots() {
        QFETCH(int, tool);
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QString, rows);
        EditorFixture f;
        f.window->dispatchCommand(tool);
        QTest::mousePress(&f.grid(), Qt::LeftButton, {}, f.cell(from.x(), from.y()));
        QTest::mouseMove(&f.grid(), f.cell(to.x(), to.y()));
        // The preview shows the shape before anything is stored.
        const std::string before = f.rows();
        const int first = rows.indexOf('1');
        QCOMPARE(f.cellPixel(first % 13, first / 13), Black);
        QCOMPARE(QString::fromStdString(before).count('1'), 0);
        QTest::mouseRelease(&f.grid(), Qt::LeftButton, {}, f.cell(to.x(), to.y()));
        QVERIFY(QString::fromStdString(f.rows()).startsWith(rows));
        QCOMPARE(QString::fromStdString(f.rows()).count('1'), rows.count('1'));
        QVERIFY(f.doc().modifiedFlag);
        QCOMPARE(f.editor->history.undoCount(), 1);
    }

    void previewRemovesStalePointsOnly() {
        EditorFixture f;
        test::setRows(f.doc(), {"000000000000", "000000001000"});
        f.window->dispatchCommand(CmdDrawLine);
        QTest::mousePress(&f.grid(), Qt::LeftButton, {}, f.cell(0, 1));
        QTest::mouseMove(&f.grid(), f.cell(10, 1));
        QCOMPARE(f.cellPixel(9, 1), Black);
        QTest::mouseMove(&f.grid(), f.cell(5, 1));
        QCOMPARE(f.cellPixel(9, 1), White); // stale point cleared
        QCOMPARE(f.cellPixel(8, 1), Black); // a set dot stays
        QCOMPARE(f.cellPixel(5, 1), Black);
        QTest::mouseRelease(&f.grid(), Qt::LeftButton, {}, f.cell(5, 1));
        QCOMPARE(f.rows().substr(13, 12), std::string("111111001000"));
    }

    // (A stroke's dots and snapshots are the model test's.)
    void pointStrokeShowsOnTheThumbnailAndTheStatus() {
        EditorFixture f;
        f.drag({{1, 1}, {2, 1}, {3, 1}});
        QCOMPARE(f.cellPixel(2, 1), Black);
        QCOMPARE(f.pixel({115 + 2, 48 + 1}), Black);
        // On a grid line the point tool does nothing, and the status is blank.
        QTest::mouseClick(&f.grid(), Qt::LeftButton, {}, QPoint(14, 30));
        QCOMPARE(f.editor->history.undoCount(), 1);
        QCOMPARE(f.window->statusText(), QString(" "));
        QTest::mouseMove(&f.grid(), f.cell(11, 3));
        QCOMPARE(f.window->statusText(), QString("( Size=12 x 12 ) ( X=12, Y=4 )"));
    }

    void selectLiftsMovesAndDrops() {
        EditorFixture f;
        test::setRows(f.doc(), {"110000000000", "110000000000"});
        f.window->dispatchCommand(CmdSelect);
        QTest::mousePress(&f.grid(), Qt::LeftButton, {}, f.cell(0, 0));
        QTest::mouseMove(&f.grid(), f.cell(1, 1));
        QCOMPARE(f.cellPixel(1, 1), Red); // rubber band
        QTest::mouseRelease(&f.grid(), Qt::LeftButton, {}, f.cell(1, 1));
        QCOMPARE(f.editor->selection.selectionState, SelectionState::Floating);
        QCOMPARE(f.cellPixel(0, 0), Black); // the block is shown where it was lifted
        // Drag the block three dots right.
        QTest::mousePress(&f.grid(), Qt::LeftButton, {}, f.cell(0, 0));
        QTest::mouseMove(&f.grid(), f.cell(3, 0));
        QTest::mouseRelease(&f.grid(), Qt::LeftButton, {}, f.cell(3, 0));
        QCOMPARE(f.cellPixel(0, 0), White);
        QCOMPARE(f.cellPixel(3, 1), Black);
        // A press off the grid (on the thumbnail) leaves it; one elsewhere in
        // the grid drops it.
        QTest::mouseClick(&f.grid(), Qt::LeftButton, {},
                          f.grid().painter().thumbnailRect().center());
        QCOMPARE(f.editor->selection.selectionState, SelectionState::Floating);
        QTest::mouseClick(&f.grid(), Qt::LeftButton, {}, f.cell(9, 9));
        QVERIFY(!f.editor->selection.moveUndoSaved);
        QCOMPARE(f.editor->selection.selectionState, SelectionState::None);
        QCOMPARE(f.rows().substr(0, 26), std::string("000110000000\n000110000000\n"));
        QCOMPARE(f.editor->history.undoCount(), 1);
    }

    void resizeByAHandleRescalesTheBlock() {
        EditorFixture f;
        test::setRows(f.doc(), {"11", "11"});
        f.window->dispatchCommand(CmdSelect);
        f.drag({{0, 0}, {1, 1}});
        const GridGeometry g = f.grid().geometry();
        const PixelRect r = f.editor->selection.selectionRect;
        const QPoint corner(r.right + 1, r.bottom + 1);
        QVERIFY(hitTestHandle(r, corner.x(), corner.y()) == ResizeHandle::BottomRight);
        // The bottom-right handle two cells out: 2 x 2 becomes 4 x 4.
        QTest::mousePress(&f.grid(), Qt::LeftButton, {}, corner);
        QTest::mouseMove(&f.grid(), corner + QPoint(g.px(), g.py()));
        QTest::mouseMove(&f.grid(), corner + QPoint(2 * g.px(), 2 * g.py()));
        QCOMPARE(f.window->statusText(), QString("4x4"));
        QTest::mouseRelease(&f.grid(), Qt::LeftButton, {}, corner + QPoint(2 * g.px(), 2 * g.py()));
        const Selection& sel = f.editor->selection;
        QCOMPARE(sel.blockRect, (DotRect{0, 0, 3, 3}));
        QCOMPARE(sel.floatingBlock, std::vector<uint8_t>(16, DOT_ON));
        QCOMPARE(f.cellPixel(3, 3), Black);
        QCOMPARE(f.editor->history.undoCount(), 1);
        // The block as it was went to the clipboard.
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(2, 2));
        // A press and release on the handle without crossing a cell only beeps.
        const PixelRect now = sel.selectionRect;
        QTest::mouseClick(&f.grid(), Qt::LeftButton, {}, QPoint(now.right + 1, now.bottom + 1));
        QCOMPARE(f.prompts.beeps, 1);
        QCOMPARE(sel.blockRect, (DotRect{0, 0, 3, 3}));
        // Dropped, the enlarged block is in the pattern.
        QTest::keyClick(&f.grid(), Qt::Key_Escape);
        QCOMPARE(f.rows().substr(0, 26), std::string("111100000000\n111100000000\n"));
    }

    // (Escape drops it too: the arrow-key and handle tests end that way.)
    void leavingTheSelectToolDropsTheBlock() {
        EditorFixture f;
        test::setRows(f.doc(), {"100000000000"});
        f.window->dispatchCommand(CmdSelect);
        f.drag({{0, 0}, {2, 2}});
        QCOMPARE(f.rows().substr(0, 1), std::string("0"));
        f.window->dispatchCommand(CmdDrawLine);
        QCOMPARE(f.editor->selection.selectionState, SelectionState::None);
        QCOMPARE(f.rows().substr(0, 1), std::string("1"));
    }

    // Scrolled step by step over a zoomed grid (odd offsets, both ways, the
    // far corner), the grid shows what a painter keeping the whole window
    // shows there, and keeps no more than the viewport.
    void aZoomedGridShowsWhatTheWholeWindowWould_data() {
        QTest::addColumn<int>("cell");
        QTest::newRow("normal") << 0;
        QTest::newRow("16") << 16;
        QTest::newRow("40") << 40;
    }
    void aZoomedGridShowsWhatTheWholeWindowWould() {
        QFETCH(int, cell);
        EditorFixture f;
        busyPattern(f);
        zoomTo(f, cell);
        QCOMPARE(f.grid().geometry().gridX, cell ? cell : 8);
        const QScrollBar* h = scrollArea(f)->horizontalScrollBar();
        const QScrollBar* v = scrollArea(f)->verticalScrollBar();
        QCOMPARE(h->maximum() > 0, cell != 0);
        const QSize viewport = scrollArea(f)->viewport()->size();
        for (const QPoint at :
             {QPoint(0, 0), QPoint(37, 113), QPoint(36, 110), QPoint(5, 3),
              QPoint(h->maximum() / 2 + 1, v->maximum() / 3), QPoint(h->maximum(), v->maximum()),
              QPoint(h->maximum() - 41, v->maximum() - 1), QPoint(0, 0)}) {
            scrollTo(f, at);
            QCOMPARE(shownPart(f).topLeft(), QPoint(h->value(), v->value()));
            const QImage shown = grabShown(f);
            QCOMPARE(shown, wholeWindowPart(f, shownPart(f)));
            const QSize kept = f.grid().painter().surface().size();
            QVERIFY2(kept.width() <= viewport.width() && kept.height() <= viewport.height(),
                     qPrintable(QString("%1 x %2").arg(kept.width()).arg(kept.height())));
        }
    }

    // At 40-pixel cells scrolled to odd offsets, a click sets the dot under
    // it: (1237 + 300 - 5) / 41 = 37 and (371 + 200 - 5) / 41 = 13.
    void aClickOnAScrolledGridLandsOnItsDot() {
        EditorFixture f;
        f.doc() = test::documentOf({{96, 48, 1, 1, 0, 2}});
        zoomTo(f, 40);
        QCOMPARE(f.grid().geometry().gridY, 40);
        scrollTo(f, {1237, 371});
        QCOMPARE(shownPart(f).topLeft(), QPoint(1237, 371));
        const QPoint at = f.grid().mapFrom(scrollArea(f)->viewport(), QPoint(300, 200));
        QTest::mouseClick(&f.grid(), Qt::LeftButton, {}, at);
        QCOMPARE(std::count(f.doc().workDots.begin(), f.doc().workDots.end(), DOT_ON), 1);
        QCOMPARE(f.doc().workDots[13 * 96 + 37], DOT_ON);
        // The cell shows black from its first pixel to its last: 5 + 37 * 41 + 1
        // to 40 more, and the lines either side stay grey.
        const QImage shown = grabShown(f);
        const QPoint origin = shownPart(f).topLeft();
        for (const auto& [x, colour] :
             {std::pair{1523, Black}, {1562, Black}, {1522, Grey}, {1563, Grey}})
            QCOMPARE(shown.pixel(QPoint(x, at.y()) - origin), colour);
        // Scrolled away and back, the dot is drawn anew where it was.
        scrollTo(f, {0, 0});
        scrollTo(f, {1237, 371});
        QCOMPARE(grabShown(f), shown);
    }

    // Whatever a drag has drawn over the pattern (a shape's preview, the
    // outline of a block being resized, a block on the move) is there again
    // when the grid scrolls away and back.
    void aDragInProgressSurvivesAScroll_data() {
        QTest::addColumn<int>("what");
        QTest::newRow("line preview") << 0;
        QTest::newRow("resize outline") << 1;
        QTest::newRow("block moving") << 2;
        QTest::newRow("floating block") << 3;
    }
    void aDragInProgressSurvivesAScroll() {
        QFETCH(int, what);
        EditorFixture f;
        busyPattern(f);
        zoomTo(f, 16);
        scrollTo(f, {3, 7});
        const PixelRect r = f.editor->selection.selectionRect;
        const QPoint corner(r.right + 1, r.bottom + 1);
        if (what == 0) {
            f.window->dispatchCommand(CmdDrawLine); // drops the block
            QTest::mousePress(&f.grid(), Qt::LeftButton, {}, f.cell(12, 3));
            QTest::mouseMove(&f.grid(), f.cell(30, 20));
        } else if (what == 1) {
            QTest::mousePress(&f.grid(), Qt::LeftButton, {}, corner);
            QTest::mouseMove(&f.grid(), corner + QPoint(40, 30));
            QVERIFY(f.editor->selection.resizing);
        } else if (what == 2) {
            QTest::mousePress(&f.grid(), Qt::LeftButton, {}, f.cell(4, 4));
            QTest::mouseMove(&f.grid(), f.cell(9, 6));
            QCOMPARE(f.editor->selection.selectionState, SelectionState::Moving);
        }
        const QImage before = grabShown(f);
        const QScrollBar* h = scrollArea(f)->horizontalScrollBar();
        const QScrollBar* v = scrollArea(f)->verticalScrollBar();
        for (const QPoint at : {QPoint(h->maximum(), v->maximum()), QPoint(60, 45), QPoint(3, 7)})
            scrollTo(f, at);
        QCOMPARE(grabShown(f), before);
    }

    void coloursComeFromTheSettings() {
        EditorFixture f(
            "[others]\r\nDOTCOLOR = 255\r\nBGCOLOR = 65280\r\nLINECOLOR = 16711680\r\n");
        QCOMPARE(f.pixel({5, 5}), qRgb(0, 0, 255));
        QCOMPARE(f.cellPixel(0, 0), qRgb(0, 255, 0));
        f.drag({{0, 0}});
        QCOMPARE(f.cellPixel(0, 0), qRgb(255, 0, 0));
        // The thumbnail background stays white.
        QCOMPARE(f.pixel({116, 48}), White);
    }
};

QTEST_MAIN(GridTest)
#include "grid_test.moc"
