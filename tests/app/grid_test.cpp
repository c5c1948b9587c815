#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "editorfixture.h"
#include "ui/commandids.h"

using namespace dedur;
using dedur::test::EditorFixture;

using dedur::test::Black;
using dedur::test::White;

namespace {
const QRgb Grey = qRgb(192, 192, 192);
const QRgb Blue = qRgb(0, 0, 255);
const QRgb Red = qRgb(255, 0, 0);
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
