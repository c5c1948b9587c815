#include <QMenu>
#include <QTest>

#include "document/resize.h"
#include "editorfixture.h"
#include "panel/panelexport.h"
#include "shell/commandids.h"
#include "shell/commandtable.h"

using namespace dedur;
using dedur::test::EditorFixture;

namespace {

constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb White = qRgb(255, 255, 255);

} // namespace

// What dedur adds to the classic editor: its menu items come after the
// classic ones and its keys only where the classic ones are silent.
class ExtrasTest : public QObject {
    Q_OBJECT
  private slots:
    void transformItemsFollowTheEditMenu() {
        EditorFixture f;
        QStringList texts;
        for (QAction* a : f.window->editMenu()->actions()) texts << a->text();
        const QStringList ours{"Flip &horizontal", "Flip &vertical", "Rotate &right",
                               "Rotate l&eft", "In&vert"};
        QCOMPARE(texts.mid(texts.size() - ours.size()), ours);
        QVERIFY(texts[texts.size() - ours.size() - 1].isEmpty()); // the separator
    }

    void transformsThroughTheCommandTableAndUndo() {
        EditorFixture f;
        test::setRows(f.doc(), {"110000000000", "001000000000"});
        f.window->dispatchCommand(CmdRotateRight);
        QCOMPARE(f.rows().substr(0, 26), std::string("000000000001\n000000000001\n"));
        QCOMPARE(f.cellPixel(11, 0), Black);
        f.window->dispatchCommand(CmdInvert);
        QCOMPARE(f.cellPixel(11, 0), White);
        f.window->dispatchCommand(CmdUndo);
        f.window->dispatchCommand(CmdUndo);
        QCOMPARE(f.rows().substr(0, 26), std::string("110000000000\n001000000000\n"));
        QCOMPARE(f.cellPixel(0, 0), Black);
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

    void aTurnThatLeavesThePanelIsRefused() {
        EditorFixture f("[others]\r\nEDITTYPE = 1\r\n");
        changePatternSizeForTest(f, 60, 4);
        f.window->dispatchCommand(CmdRotateLeft);
        QCOMPARE(f.prompts.shown.back().text,
                 std::string("Height too large ! ( Max Com=48, Begin Com=1 )"));
        QCOMPARE(int(f.doc().patternWidth), 60);
    }

    void importPanelDataFillsTheCurrentPattern() {
        EditorFixture f;
        test::setRows(f.doc(), {"101000000000", "010000000000"});
        const Selection none;
        const std::string path = f.dir.file("p.BIN");
        test::writeBytes(path, buildPanelExport(f.doc(), none, {1}, false, EXPORT_BINARY).bytes);
        test::writeBytes(f.dir.file("bad.DAT"), ".DB $01 ; 2000h ~ 2000h\r\nNOP\r\n");
        test::setRows(f.doc(), {"000000000000", "000000000000"});
        f.prompts.files = {QString::fromStdString(f.dir.file("bad.DAT")),
                           QString::fromStdString(path)};
        f.window->dispatchCommand(CmdImportPanelData);
        QCOMPARE(f.prompts.shown.back().text,
                 std::string("Line 2 is not a \".DB\" line of a panel export: NOP"));
        f.window->dispatchCommand(CmdImportPanelData);
        QCOMPARE(f.rows().substr(0, 26), std::string("101000000000\n010000000000\n"));
        QCOMPARE(f.cellPixel(2, 0), Black);
        f.window->dispatchCommand(CmdUndo);
        QCOMPARE(f.rows().substr(0, 26), std::string("000000000000\n000000000000\n"));
    }

  private:
    static void changePatternSizeForTest(EditorFixture& f, int width, int height) {
        changePatternSize(f.doc(), f.editor->history, f.editor->selection, width, height);
        f.grid().repaintAll(true);
    }
};

QTEST_MAIN(ExtrasTest)
#include "extras_test.moc"
