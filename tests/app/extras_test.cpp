#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <climits>

#include "document/dotpacking.h"
#include "editorfixture.h"
#include "grid/selection.h"
#include "image/imagedots.h"
#include "panel/panelexport.h"
#include "panel/panelview.h"
#include "ui/commandids.h"
#include "window/commandtable.h"
#include "window/windowplace.h"

using namespace dedur;
using dedur::test::EditorFixture;

using dedur::test::Black;
using dedur::test::White;

// What dedur adds to the classic editor: its menu items come after the
// classic ones and its keys only where the classic ones are silent.
class ExtrasTest : public QObject {
    Q_OBJECT
  private slots:
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
        QVERIFY(f.editor->settings.onionSkin);
        QVERIFY(test::readBytes(f.dir.file("DEDUR.INI")).find("ONIONSKIN = 1") !=
                std::string::npos);
        const QRgb faint = f.cellPixel(0, 0);
        QVERIFY(faint != White && faint != Black); // pattern 1's dot, faintly
        QCOMPARE(f.cellPixel(1, 0), Black);        // pattern 2's own dot
        QCOMPARE(f.cellPixel(2, 0), White);
        QCOMPARE(f.rows().substr(0, 12), std::string("010000000000"));
        // Erasing on it leaves the ghost, and off it the grid is plain again.
        f.window->selectTool(CmdErasePoint);
        f.drag({{1, 0}});
        QCOMPARE(f.cellPixel(1, 0), faint);
        f.window->dispatchCommand(CmdOnionSkin);
        QCOMPARE(f.cellPixel(0, 0), White);
    }

    void arrowKeysMoveAFloatingBlockOnly() {
        EditorFixture f;
        test::setRows(f.doc(), {"110000000000", "110000000000"});
        // Without a block the arrows change nothing.
        f.grid().setFocus();
        QTest::keyClick(&f.grid(), Qt::Key_Right);
        QCOMPARE(f.editor->history.undoCount(), 0);
        f.window->dispatchCommand(CmdSelect);
        f.drag({{0, 0}, {1, 1}});
        QVERIFY(f.grid().hasFocus());
        QTest::keyClick(&f.grid(), Qt::Key_Right);
        QTest::keyClick(&f.grid(), Qt::Key_Right);
        QTest::keyClick(&f.grid(), Qt::Key_Down);
        QCOMPARE(f.editor->selection.blockRect, (DotRect{2, 1, 3, 2}));
        QCOMPARE(f.cellPixel(3, 2), Black);
        QCOMPARE(f.cellPixel(0, 0), White);
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

    // One rule for an image pasted, imported in the editor or by dedur-cli.
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
        RgbaImage read;
        QVERIFY(readImageFile(path.toStdString(), read).ok());
        QCOMPARE(dotsFromImage(read, std::nullopt, false).dots, expected);
        f.window->dispatchCommand(CmdUndo);
        QGuiApplication::clipboard()->setImage(image);
        f.window->dispatchCommand(CmdPaste);
        QCOMPARE(f.editor->selection.floatingBlock, expected);
        // A file Qt cannot read is said so.
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

    // Dots land where the pointer is at every cell size, and the block's
    // frame follows.
    void zoomStepsAndTheGridFollows_data() {
        QTest::addColumn<int>("steps"); // + in, - out
        QTest::addColumn<int>("cell");
        QTest::newRow("in twice") << 2 << 16;
        QTest::newRow("out four times") << -4 << 4;
        QTest::newRow("to the end") << 20 << 40;
    }
    void zoomStepsAndTheGridFollows() {
        QFETCH(int, steps);
        QFETCH(int, cell);
        EditorFixture f;
        f.grid().setFocus();
        for (int i = 0; i < std::abs(steps); ++i) {
            QTest::keyClick(&f.grid(), steps > 0 ? Qt::Key_Plus : Qt::Key_Minus,
                            Qt::ControlModifier);
        }
        QCOMPARE(f.grid().geometry().gridX, cell);
        QVERIFY(
            test::readBytes(f.dir.file("DEDUR.INI")).find("ZOOMCELL = " + std::to_string(cell)) !=
            std::string::npos);
        f.drag({{2, 1}, {3, 1}, {4, 1}}); // a point drag over three dots
        QCOMPARE(f.rows().substr(13, 13), std::string("001110000000\n"));
        QCOMPARE(f.cellPixel(4, 1), Black);
        QCOMPARE(f.cellPixel(5, 1), White);
        f.window->dispatchCommand(CmdSelect);
        f.drag({{2, 1}, {3, 1}});
        const GridGeometry g = f.grid().geometry();
        QCOMPARE(f.editor->selection.selectionRect,
                 selectionRectFromBlock({2, 1, 3, 1}, g.px(), g.py()));
        QTest::keyClick(&f.grid(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(f.grid().geometry().gridX, 8);
        QCOMPARE(f.editor->selection.selectionRect, (PixelRect{23, 14, 41, 23}));
    }

    // Zoomed larger than the window, the grid scrolls and every dot can be
    // reached; at the normal size it never scrolls, however small the window.
    void aGridZoomedBeyondTheWindowScrolls() {
        EditorFixture f;
        f.doc() = test::documentOf({{96, 48, 1, 1, 0, 2}});
        for (int i = 0; i < 20; ++i) f.window->dispatchCommand(CmdZoomIn);
        QCoreApplication::processEvents(); // the scroll area's layout
        auto* area = qobject_cast<QScrollArea*>(f.grid().parentWidget()->parentWidget());
        QVERIFY(area);
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
        f.drag({{95, 47}, {0, 0}}); // the first dot is scrolled out of sight: out of reach
        QCOMPARE(f.doc().workDots[47 * 96 + 95], DOT_ON);
        QCOMPARE(f.doc().workDots[0], DOT_OFF);
        QCOMPARE(f.cellPixel(95, 47), Black);
        // A zoom step keeps the dot under the pointer under it.
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
        QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(area->verticalScrollBar()->maximum(), 0);
        QCOMPARE(f.grid().size(), area->viewport()->size());
    }

    // Hand-edited places: the frame and the panel view stay on the screen and
    // within its size (UBSan watches the arithmetic).
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

    // The saved place is kept as saved, only its right and bottom cut at the
    // screen; what no screen can show takes the default place (worked out
    // by hand for a 1024 x 768 screen, cells of 8, menu and caption of 20).
    void savedWindowPlacesAreKeptAsSaved_data() {
        QTest::addColumn<QRect>("saved"); // left, top, right, bottom as stored
        QTest::addColumn<QRect>("placed");
        const QRect standard(QPoint(3, 6), QPoint(1014, 761));
        QTest::newRow("corner above and left of the screen")
            << QRect(QPoint(-20, -10), QPoint(300, 200))
            << QRect(QPoint(-20, -10), QPoint(300, 200));
        QTest::newRow("small") << QRect(QPoint(10, 20), QPoint(60, 50))
                               << QRect(QPoint(10, 20), QPoint(60, 50));
        QTest::newRow("cut at the right and bottom") << QRect(QPoint(100, 100), QPoint(5000, 4000))
                                                     << QRect(QPoint(100, 100), QPoint(1024, 768));
        QTest::newRow("none saved") << QRect(QPoint(0, 0), QPoint(0, 0)) << standard;
        QTest::newRow("wider than any screen")
            << QRect(QPoint(INT_MIN, INT_MIN), QPoint(INT_MAX, INT_MAX)) << standard;
        QTest::newRow("right before left") << QRect(QPoint(500, 10), QPoint(100, 300)) << standard;
    }
    void savedWindowPlacesAreKeptAsSaved() {
        QFETCH(QRect, saved);
        QFETCH(QRect, placed);
        const WindowRect r = windowRect({saved.left(), saved.top(), saved.right(), saved.bottom()},
                                        8, 8, QSize(1024, 768), 20, 20);
        QCOMPARE(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)), placed);
    }

    // The real window takes a small saved place as it was saved.
    void theWindowTakesASmallSavedPlace() {
        EditorFixture f("[window rect and type]\r\nMAINWINRECT = 30,40,109,239\r\n");
        QCOMPARE(f.window->frameGeometry(), QRect(30, 40, 80, 200));
    }

    void panelViewShowsTheExportsBytesAndGoesToAClickedPattern() {
        EditorFixture f;
        f.window->dispatchCommand(CmdAddPattern);
        f.window->dispatchCommand(CmdAddPattern);
        // Pattern 2 at SEG 40, COM 20; pattern 3 runs off the panel.
        const auto place = [&](int index, int seg, int com) {
            PatternHeader h;
            getHeader(f.doc(), index, h);
            h.beginSeg = static_cast<int16_t>(seg);
            h.beginCom = static_cast<int16_t>(com);
            encodeHeader(h, f.doc().store.data() + patternOffset(f.doc(), index));
        };
        place(1, 40, 20);
        place(2, 90, 1);
        f.window->dispatchCommand(CmdPanelView);
        PanelView* view = f.window->panelView();
        QVERIFY(view && view->isVisible());
        f.window->updateMenuState();
        QVERIFY(f.window->action(CmdPanelView)->isChecked());
        // Pattern 3 is current: flagged with the export's reason.
        QVERIFY(view->findChild<QLabel*>("warning")->text().startsWith(
            "Panel No. 3 runs off the panel"));
        // A click inside pattern 2's outline goes there.
        const QPoint inside = view->panelRect().topLeft() + QPoint(40 * 5 + 3, 20 * 5 + 3);
        QTest::mouseClick(view, Qt::LeftButton, {}, inside);
        QCOMPARE(f.window->currentNumber(), 2);
        // Drawing shows at once, in the bytes the export writes.
        f.drag({{0, 0}, {1, 0}, {2, 1}});
        // SEG 40..51, COM 20..31: bytes 314..403; COM 20 is bit 3 of the
        // third byte of its SEG, COM 21 bit 4.
        const LcdImage& image = view->image();
        QCOMPARE(image.lowOffset, 314);
        QCOMPARE(image.highOffset, 403);
        std::string memory(90, '\0');
        memory[0] = memory[8] = 0x08;
        memory[16] = 0x10;
        QCOMPARE(std::string(reinterpret_cast<const char*>(image.bytes.data()) + 314, 90), memory);
        const QStringList lines = view->bytesText().split('\n');
        QCOMPARE(lines.at(2),
                 QString(";   LCD Memory Address : $213A ~ $2193 [ Size= 90 Bytes (Dec) ]"));
        QCOMPARE(lines.at(4), QString(".DB $08,$00,$00,$00,$00,$00,$00,$00 ; 213Ah ~ 2141h"));
        QCOMPARE(lines.at(6), QString(".DB $10,$00,$00,$00,$00,$00,$00,$00 ; 214Ah ~ 2151h"));

        // "Show all": every pattern's dots together. Pattern 1, at SEG 1 COM 1,
        // gets dot (0,1): SEG 1 COM 2, bit 1 of byte 0.
        f.doc().store[patternOffset(f.doc(), 0) + HeaderSize + packedRowBytes(12)] = 0x01;
        view->showAllBox()->setChecked(true);
        const LcdImage& all = view->allImage();
        QCOMPARE(all.bytes[0], uint8_t(0x02));
        QCOMPARE(all.bytes[314], uint8_t(0x08));
        QCOMPARE(all.bytes[330], uint8_t(0x10));
        view->showAllBox()->setChecked(false);
        QCOMPARE(view->allImage().highOffset, -1);

        // Playback, stepped as its timer steps it: frame N shows pattern N
        // at its place, for its delay; the document is left as it is.
        f.editor->sidecar.delays[2] = 250;
        f.doc().modifiedFlag = false;
        view->playRange()->setText("1-2");
        view->loopBox()->setChecked(false);
        view->play();
        QCOMPARE(view->framePattern(), 1);
        QCOMPARE(view->image().bytes[0], uint8_t(0x02)); // pattern 1's dot, SEG 1 COM 2
        QCOMPARE(view->frameTimer().interval(), 100);
        view->stepFrame();
        QCOMPARE(view->framePattern(), 2);
        QCOMPARE(view->image().lowOffset, 314); // pattern 2 at SEG 40, COM 20
        QCOMPARE(view->frameTimer().interval(), 250);
        view->stepFrame();
        QVERIFY(!view->playing());
        QVERIFY(!f.doc().modifiedFlag);
        // Space starts it again while the view has the focus.
        QTest::keyClick(view, Qt::Key_Space);
        QVERIFY(view->playing());
        QTest::keyClick(view, Qt::Key_Space);
        QVERIFY(!view->playing());
    }
};

QTEST_MAIN(ExtrasTest)
#include "extras_test.moc"
