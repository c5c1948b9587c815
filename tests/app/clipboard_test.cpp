#include <QClipboard>
#include <QTest>

#include "editorfixture.h"
#include "ui/commandids.h"

using namespace dedur;
using dedur::test::EditorFixture;

namespace {

std::string rowsOfBlock(const Selection& sel) {
    std::string text;
    for (int y = 0; y < sel.blockRect.height(); ++y) {
        text.append(reinterpret_cast<const char*>(sel.floatingBlock.data()) +
                        y * sel.blockRect.width(),
                    static_cast<size_t>(sel.blockRect.width()));
        text += "\n";
    }
    return text;
}

} // namespace

class ClipboardTest : public QObject {
    Q_OBJECT
  private slots:
    void copyThenPasteGivesTheSameDots() {
        EditorFixture f;
        test::setRows(f.doc(), {"100000000001", "011000000000"});
        f.window->dispatchCommand(CmdCopy);
        QCOMPARE(f.prompts.beeps, 1);
        const QImage image = QGuiApplication::clipboard()->image();
        QCOMPARE(image.size(), QSize(12, 12));
        QCOMPARE(qGray(image.pixel(0, 0)), 0);
        QCOMPARE(qGray(image.pixel(1, 0)), 255);
        QVERIFY(f.window->palette()->find(CmdPaste)->enabled);

        f.window->dispatchCommand(CmdPaste);
        const Selection& sel = f.editor->selection;
        QCOMPARE(sel.selectionState, SelectionState::Floating);
        QCOMPARE(sel.blockRect, (DotRect{0, 0, 11, 11}));
        QCOMPARE(sel.selectionRect, (PixelRect{5, 5, 113, 113}));
        QCOMPARE(rowsOfBlock(sel).substr(0, 26), std::string("100000000001\n011000000000\n"));
        QVERIFY(f.editor->grid.tool == Tool::Select);
        QVERIFY(f.window->palette()->find(CmdSelect)->marked);
        const std::string record = test::readBytes(f.dir.file("bitmap.dat"));
        QCOMPARE(record.substr(0, 40), std::string("(ret=24,w=12, h=12, plane=1, BP=1, WB=2)"));
        QCOMPARE(record.size(), size_t(40 + 2 * 12));
        // Rows end on 16-bit words: 17 dots take 4 bytes.
        QImage wide(17, 2, QImage::Format_Mono);
        wide.fill(0);
        QGuiApplication::clipboard()->setImage(wide);
        f.window->dispatchCommand(CmdPaste);
        QCOMPARE(test::readBytes(f.dir.file("bitmap.dat")),
                 "(ret=24,w=17, h=2, plane=1, BP=1, WB=4)" + std::string(8, '\0'));
    }

    // The hex table is made of the store; a floating block stays afloat.
    void theTableLeavesAFloatingBlockFloating() {
        EditorFixture f;
        test::setRows(f.doc(), {"110000000000", "110000000000"});
        f.window->dispatchCommand(CmdSelect);
        f.drag({{0, 0}, {1, 1}});
        f.drag({{0, 0}, {5, 0}}); // moved 5 dots right, not dropped
        f.window->dispatchCommand(CmdTableExport);
        QCOMPARE(f.editor->selection.selectionState, SelectionState::Floating);
        QCOMPARE(test::readBytes(f.dir.file("HEX.TAB")).substr(0, 14),
                 std::string("C0,00\r\nC0,00\r\n"));
    }

    void cutTakesTheBlockAway() {
        EditorFixture f;
        test::setRows(f.doc(), {"110000000000", "110000000000"});
        f.window->dispatchCommand(CmdSelect);
        f.drag({{0, 0}, {1, 1}});
        f.window->dispatchCommand(CmdCut);
        QCOMPARE(f.editor->selection.selectionState, SelectionState::None);
        QCOMPARE(test::recordRows(f.doc(), 0)[0], std::string(12, '0'));
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(2, 2));
        // Undo gives the pattern with the block laid back where it was.
        f.window->dispatchCommand(CmdUndo);
        QCOMPARE(test::recordRows(f.doc(), 0)[0], std::string("110000000000"));
        // Clear without a block empties the pattern.
        f.window->dispatchCommand(CmdClear);
        QCOMPARE(test::recordRows(f.doc(), 0)[0], std::string(12, '0'));
        QCOMPARE(f.cellPixel(0, 0), qRgb(255, 255, 255));
    }

    void pastingOverAFloatingBlockDropsItFirst() {
        EditorFixture f;
        test::setRows(f.doc(), {"000000000000", "000000000100"});
        f.window->dispatchCommand(CmdSelect);
        f.drag({{8, 0}, {10, 2}});
        QImage image(1, 1, QImage::Format_RGB32);
        image.fill(Qt::black);
        QGuiApplication::clipboard()->setImage(image);
        f.window->dispatchCommand(CmdPaste);
        QCOMPARE(test::rowsOf(f.doc())[1], std::string("000000000100"));
        QCOMPARE(f.editor->selection.blockRect, (DotRect{0, 0, 0, 0}));
    }
};

QTEST_MAIN(ClipboardTest)
#include "clipboard_test.moc"
