#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <climits>
#include <cstdlib>

#include "editorfixture.h"
#include "grid/gridpainter.h"
#include "panel/panelview.h"
#include "ui/commandids.h"
#include "window/commandtable.h"
#include "window/windowplace.h"

using namespace dedur;
using dedur::test::EditorFixture;

using dedur::test::Black, dedur::test::White;

namespace {
const QRgb Grey = qRgb(192, 192, 192), Blue = qRgb(0, 0, 255), Red = qRgb(255, 0, 0);

QScrollArea* scrollArea(EditorFixture& f) {
    return qobject_cast<QScrollArea*>(f.grid().parentWidget()->parentWidget());
}

QRect shownPart(EditorFixture& f) {
    const QWidget* viewport = scrollArea(f)->viewport();
    return QRect(f.grid().mapFrom(viewport, QPoint(0, 0)), viewport->size()) & f.grid().rect();
}

QImage grabShown(EditorFixture& f) {
    return f.grid().grab(shownPart(f)).toImage().convertToFormat(QImage::Format_RGB32);
}

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

// Two random 96 x 48 patterns, onion skin on, a floating block.
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

    void aShapeIsPreviewedThenStored() {
        EditorFixture f;
        f.window->dispatchCommand(CmdDrawLine);
        QTest::mousePress(&f.grid(), Qt::LeftButton, {}, f.cell(0, 0));
        QTest::mouseMove(&f.grid(), f.cell(4, 1));
        QVERIFY(f.cellPixel(4, 1) == Black && f.rows().find('1') == std::string::npos);
        QTest::mouseRelease(&f.grid(), Qt::LeftButton, {}, f.cell(4, 1));
        QCOMPARE(f.rows().substr(0, 26), std::string("110000000000\n001110000000\n"));
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

    void pointStrokeShowsOnTheThumbnailAndTheStatus() {
        EditorFixture f;
        f.drag({{1, 1}, {2, 1}, {3, 1}});
        QCOMPARE(f.cellPixel(2, 1), Black);
        QCOMPARE(f.pixel({115 + 2, 48 + 1}), Black);
        QTest::mouseClick(&f.grid(), Qt::LeftButton, {}, QPoint(14, 30));
        QVERIFY(f.editor->history.undoCount() == 1 && f.window->statusText() == QString(" "));
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
        QTest::mousePress(&f.grid(), Qt::LeftButton, {}, f.cell(0, 0));
        QTest::mouseMove(&f.grid(), f.cell(3, 0));
        QTest::mouseRelease(&f.grid(), Qt::LeftButton, {}, f.cell(3, 0));
        QVERIFY(f.cellPixel(0, 0) == White && f.cellPixel(3, 1) == Black);
        QTest::mouseClick(&f.grid(), Qt::LeftButton, {},
                          f.grid().painter().thumbnailRect().center());
        QCOMPARE(f.editor->selection.selectionState, SelectionState::Floating);
        QTest::mouseClick(&f.grid(), Qt::LeftButton, {}, f.cell(9, 9));
        QCOMPARE(f.editor->selection.selectionState, SelectionState::None);
        QCOMPARE(f.rows().substr(0, 26), std::string("000110000000\n000110000000\n"));
    }

    void resizeByAHandleRescalesTheBlock() {
        EditorFixture f;
        test::setRows(f.doc(), {"11", "11"});
        f.window->dispatchCommand(CmdSelect);
        f.drag({{0, 0}, {1, 1}});
        const GridGeometry g = f.grid().geometry();
        const PixelRect r = f.editor->selection.selectionRect;
        const QPoint corner(r.right + 1, r.bottom + 1);
        // The bottom-right handle two cells out: 2 x 2 becomes 4 x 4. (The
        // rescaled dots and the snapshot are the model test's.)
        QTest::mousePress(&f.grid(), Qt::LeftButton, {}, corner);
        QTest::mouseMove(&f.grid(), corner + QPoint(g.px(), g.py()));
        QTest::mouseMove(&f.grid(), corner + QPoint(2 * g.px(), 2 * g.py()));
        QCOMPARE(f.window->statusText(), QString("4x4"));
        QTest::mouseRelease(&f.grid(), Qt::LeftButton, {}, corner + QPoint(2 * g.px(), 2 * g.py()));
        const Selection& sel = f.editor->selection;
        QCOMPARE(f.cellPixel(3, 3), Black);
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(2, 2));
        const PixelRect now = sel.selectionRect;
        QTest::mouseClick(&f.grid(), Qt::LeftButton, {}, QPoint(now.right + 1, now.bottom + 1));
        QCOMPARE(f.prompts.beeps, 1);
        QCOMPARE(sel.blockRect, (DotRect{0, 0, 3, 3}));
    }

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

    void aZoomedGridShowsWhatTheWholeWindowWould() {
        for (const int cell : {0, 16, 40}) {
            EditorFixture f;
            busyPattern(f);
            zoomTo(f, cell);
            QCOMPARE(f.grid().geometry().gridX, cell ? cell : 8);
            const QScrollBar* h = scrollArea(f)->horizontalScrollBar();
            const QScrollBar* v = scrollArea(f)->verticalScrollBar();
            QCOMPARE(h->maximum() > 0, cell != 0);
            const QSize viewport = scrollArea(f)->viewport()->size();
            for (const QPoint at : {QPoint(0, 0), QPoint(37, 113), QPoint(36, 110), QPoint(5, 3),
                                    QPoint(h->maximum() / 2 + 1, v->maximum() / 3),
                                    QPoint(h->maximum(), v->maximum()),
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
        scrollTo(f, {0, 0});
        scrollTo(f, {1237, 371});
        QCOMPARE(grabShown(f), shown);
    }

    void aDragInProgressSurvivesAScroll() {
        // A line's preview, a resize outline, a block on the move, one afloat.
        for (int what = 0; what < 4; ++what) {
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
            for (const QPoint at :
                 {QPoint(h->maximum(), v->maximum()), QPoint(60, 45), QPoint(3, 7)})
                scrollTo(f, at);
            QCOMPARE(grabShown(f), before);
        }
    }

    void coloursComeFromTheSettings() {
        EditorFixture f(
            "[others]\r\nDOTCOLOR = 255\r\nBGCOLOR = 65280\r\nLINECOLOR = 16711680\r\n");
        QCOMPARE(f.pixel({5, 5}), qRgb(0, 0, 255));
        QCOMPARE(f.cellPixel(0, 0), qRgb(0, 255, 0));
        f.drag({{0, 0}});
        QCOMPARE(f.cellPixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(f.pixel({116, 48}), White);
    }

    void transformItemsFollowTheEditMenu() {
        EditorFixture f;
        QStringList texts;
        for (QAction* a : f.window->editMenu()->actions()) texts << a->text();
        const QStringList ours{"Flip &horizontal", "Flip &vertical", "Rotate ri&ght",
                               "Rotate le&ft", "&Invert"};
        QCOMPARE(texts.mid(texts.size() - ours.size()), ours);
        QVERIFY(texts[texts.size() - ours.size() - 1].isEmpty()); // the separator
    }

    void onionSkinShowsThePreviousPattern() {
        EditorFixture f;
        test::setRows(f.doc(), {"110000000000"});
        f.window->dispatchCommand(CmdAddPattern);
        test::setRows(f.doc(), {"010000000000"});
        f.window->dispatchCommand(CmdOnionSkin);
        QVERIFY(test::readBytes(f.dir.file("DEDUR.INI")).find("ONIONSKIN = 1") !=
                std::string::npos);
        const QRgb faint = f.cellPixel(0, 0);
        QVERIFY(faint != White && faint != Black); // pattern 1's dot, faintly
        QCOMPARE(f.cellPixel(1, 0), Black);        // pattern 2's own dot
        QCOMPARE(f.cellPixel(2, 0), White);
        QCOMPARE(f.rows().substr(0, 12), std::string("010000000000"));
        f.window->selectTool(CmdErasePoint);
        f.drag({{1, 0}});
        QCOMPARE(f.cellPixel(1, 0), faint);
        f.window->dispatchCommand(CmdOnionSkin);
        QCOMPARE(f.cellPixel(0, 0), White);
    }

    void arrowKeysMoveAFloatingBlockOnly() {
        EditorFixture f;
        test::setRows(f.doc(), {"110000000000", "110000000000"});
        f.grid().setFocus();
        QTest::keyClick(&f.grid(), Qt::Key_Right);
        QCOMPARE(f.editor->history.undoCount(), 0);
        f.window->dispatchCommand(CmdSelect);
        f.drag({{0, 0}, {1, 1}});
        QVERIFY(f.grid().hasFocus());
        QTest::keyClick(&f.grid(), Qt::Key_Right);
        QTest::keyClick(&f.grid(), Qt::Key_Right);
        QTest::keyClick(&f.grid(), Qt::Key_Down);
        QCOMPARE(f.cellPixel(3, 2), Black);
        QTest::keyClick(&f.grid(), Qt::Key_Escape); // drops the block
        QCOMPARE(f.rows().substr(0, 39), std::string("000000000000\n001100000000\n001100000000\n"));
    }

    void importPanelDataFillsTheCurrentPattern() {
        EditorFixture f;
        // SEG 1..12 own 8 bytes each: (0,0) is bit 0 of byte 0, (2,0) of byte
        // 16, (1,1) bit 1 of byte 8.
        std::string memory(90, '\0');
        memory[0] = memory[16] = 1;
        memory[8] = 2;
        const std::string path = f.dir.file("p.BIN");
        test::writeBytes(path, memory);
        f.prompts.files = {QString::fromStdString(path)};
        f.window->dispatchCommand(CmdImportPanelData);
        QCOMPARE(f.rows().substr(0, 26), std::string("101000000000\n010000000000\n"));
        QCOMPARE(f.cellPixel(2, 0), Black);
        f.window->dispatchCommand(CmdUndo);
        QCOMPARE(f.rows().substr(0, 26), std::string("000000000000\n000000000000\n"));
    }

    void imagesGiveTheSameDotsHoweverTheyComeIn() {
        EditorFixture f;
        QImage image(5, 3, QImage::Format_ARGB32);
        const QRgb pixels[3][5] = {
            {qRgb(0, 0, 0), qRgb(126, 126, 126), qRgb(127, 0, 0), qRgba(0, 0, 0, 0),
             qRgb(255, 255, 255)},
            {qRgba(0, 0, 0, 200), qRgba(0, 0, 0, 100), qRgb(0, 0, 126), qRgb(10, 200, 10),
             qRgb(0, 0, 0)},
            {qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(90, 90, 90)}};
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) image.setPixel(x, y, pixels[y][x]);
        }
        const QString path = QString::fromStdString(f.dir.file("in.png"));
        QVERIFY(image.save(path));
        const std::vector<uint8_t> expected = {'1', '1', '0', '0', '0', '1', '0', '1',
                                               '0', '1', '0', '1', '1', '1', '1'};
        f.prompts.files = {path};
        f.window->dispatchCommand(CmdImportImage);
        QCOMPARE(f.editor->selection.selectionState, SelectionState::Floating);
        QCOMPARE(f.editor->selection.floatingBlock, expected);
        QCOMPARE(f.editor->selection.blockRect, (DotRect{0, 0, 4, 2}));
        f.window->dispatchCommand(CmdUndo);
        QGuiApplication::clipboard()->setImage(image);
        f.window->dispatchCommand(CmdPaste);
        QCOMPARE(f.editor->selection.floatingBlock, expected);
        test::writeBytes(f.dir.file("no.png"), "not an image");
        f.grid().imageDropped(QString::fromStdString(f.dir.file("no.png")));
        QVERIFY(f.prompts.shown.back().text.find("Could not read the image \"no.png\"") == 0);
    }

    void statusBarTellsTheByteAndBitOfTheDotUnderThePointer() {
        EditorFixture f;
        auto* part = f.window->findChild<QLabel*>("statusPart1");
        QVERIFY(part);
        QTest::mouseMove(&f.grid(), f.cell(3, 9));
        QCOMPARE(part->text(), QString("SEG 4 COM 10 $2019.1"));
        QTest::mouseMove(&f.grid(), QPoint(2, 2)); // off the grid
        QCOMPARE(part->text(), QString());
    }

    void zoomStepsAndTheGridFollows() {
        // Zoom steps (+ in, - out) and the cell they give.
        for (const auto& [steps, cell] : {std::pair{2, 16}, std::pair{-4, 4}, std::pair{20, 40}}) {
            EditorFixture f;
            f.grid().setFocus();
            for (int i = 0; i < std::abs(steps); ++i) {
                QTest::keyClick(&f.grid(), steps > 0 ? Qt::Key_Plus : Qt::Key_Minus,
                                Qt::ControlModifier);
            }
            QCOMPARE(f.grid().geometry().gridX, cell);
            QVERIFY(test::readBytes(f.dir.file("DEDUR.INI"))
                        .find("ZOOMCELL = " + std::to_string(cell)) != std::string::npos);
            f.drag({{2, 1}, {3, 1}, {4, 1}}); // a point drag over three dots
            QCOMPARE(f.rows().substr(13, 13), std::string("001110000000\n"));
            QVERIFY(f.cellPixel(4, 1) == Black && f.cellPixel(5, 1) == White);
            f.window->dispatchCommand(CmdSelect);
            f.drag({{2, 1}, {3, 1}});
            QTest::keyClick(&f.grid(), Qt::Key_0, Qt::ControlModifier);
            QCOMPARE(f.grid().geometry().gridX, 8);
            QCOMPARE(f.editor->selection.selectionRect, (PixelRect{23, 14, 41, 23}));
        }
    }

    void aGridZoomedBeyondTheWindowScrolls() {
        EditorFixture f;
        f.doc() = test::documentOf({{96, 48, 1, 1, 0, 2}});
        zoomTo(f, 40);
        QScrollArea* area = scrollArea(f);
        f.grid().setFocus();
        area->horizontalScrollBar()->setValue(0);
        QTest::keyClick(&f.grid(), Qt::Key_Right); // no block: the arrows scroll
        QVERIFY(area->horizontalScrollBar()->value() > 0);
        for (QScrollBar* bar : {area->horizontalScrollBar(), area->verticalScrollBar()}) {
            QVERIFY(bar->maximum() > 0);
            bar->setValue(bar->maximum());
        }
        const QPoint last = f.grid().mapTo(area->viewport(), f.cell(95, 47));
        QVERIFY(area->viewport()->rect().contains(last));
        f.drag({{95, 47}});
        QCOMPARE(f.doc().workDots[47 * 96 + 95], DOT_ON);
        for (QScrollBar* bar : {area->horizontalScrollBar(), area->verticalScrollBar()})
            bar->setValue(bar->maximum() / 2);
        const QPoint pointer = area->viewport()->mapToGlobal(QPoint(200, 150));
        QCursor::setPos(pointer);
        const auto dotUnderPointer = [&] {
            const QPoint at = f.grid().mapFromGlobal(pointer);
            return QPoint(f.grid().geometry().columnAt(at.x()), f.grid().geometry().rowAt(at.y()));
        };
        const QPoint dot = dotUnderPointer();
        f.window->dispatchCommand(CmdZoomOut);
        QCOMPARE(dotUnderPointer(), dot);
        f.window->dispatchCommand(CmdNormalSize);
        f.window->resize(300, 300);
        QCoreApplication::processEvents();
        QVERIFY(area->horizontalScrollBar()->maximum() == 0 &&
                area->verticalScrollBar()->maximum() == 0);
        QCOMPARE(f.grid().size(), area->viewport()->size());
    }

    void savedWindowPlacesAreFittedOntoTheScreen() {
        EditorFixture f("[window rect and type]\r\nMAINWINRECT = "
                        "-2147483648,-2147483648,2147483647,2147483647\r\n"
                        "[others]\r\nPANELVIEW = 0,0,2000000000,2000000000\r\n");
        QVERIFY(f.window->width() <= 1400 && f.window->height() <= 1100);
        f.window->dispatchCommand(CmdPanelView);
        const QRect screen = f.window->screen()->availableGeometry();
        const QRect view = f.window->panelView()->geometry();
        QVERIFY(screen.contains(view.topLeft()) && view.width() <= screen.width() &&
                view.height() <= screen.height());
    }

    // Worked out for a 1024 x 768 screen, cells of 8, menu and caption of 20.
    void savedWindowPlacesAreKeptAsSaved() {
        const QRect standard(QPoint(3, 6), QPoint(1014, 761));
        const std::pair<QRect, QRect> rows[] = {
            {QRect(QPoint(-20, -10), QPoint(300, 200)), QRect(QPoint(-20, -10), QPoint(300, 200))},
            {QRect(QPoint(10, 20), QPoint(60, 50)), QRect(QPoint(10, 20), QPoint(60, 50))},
            {QRect(QPoint(100, 100), QPoint(5000, 4000)),
             QRect(QPoint(100, 100), QPoint(1024, 768))},
            {QRect(QPoint(0, 0), QPoint(0, 0)), standard}, // none saved
            {QRect(QPoint(INT_MIN, INT_MIN), QPoint(INT_MAX, INT_MAX)), standard},
            {QRect(QPoint(500, 10), QPoint(100, 300)), standard}}; // right before left
        for (const auto& [saved, placed] : rows) {
            const WindowRect r =
                windowRect({saved.left(), saved.top(), saved.right(), saved.bottom()}, 8, 8,
                           QSize(1024, 768), 20, 20);
            QCOMPARE(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)), placed);
        }
    }

    void theWindowTakesASmallSavedPlace() {
        EditorFixture f("[window rect and type]\r\nMAINWINRECT = 30,40,109,239\r\n");
        QCOMPARE(f.window->frameGeometry(), QRect(30, 40, 80, 200));
    }
};

QTEST_MAIN(GridTest)
#include "grid_test.moc"
