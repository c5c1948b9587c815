#include <QClipboard>
#include <QTest>

#include "editorfixture.h"
#include "shell/commandids.h"

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
    }

    void pasteReadsDarkPixelsAndCutsToThePattern() {
        EditorFixture f;
        QImage image(20, 2, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(0, 0, qRgb(126, 126, 126));
        image.setPixel(1, 0, qRgb(127, 0, 0));
        image.setPixel(11, 1, qRgb(0, 0, 0));
        image.setPixel(15, 1, qRgb(0, 0, 0));
        QGuiApplication::clipboard()->setImage(image);
        f.window->dispatchCommand(CmdPaste);
        const Selection& sel = f.editor->selection;
        QCOMPARE(sel.blockRect, (DotRect{0, 0, 11, 1}));
        QCOMPARE(rowsOfBlock(sel), std::string("100000000000\n000000000001\n"));
        QCOMPARE(test::readBytes(f.dir.file("bitmap.dat")).substr(0, 41),
                 std::string("(ret=24,w=20, h=2, plane=1, BP=32, WB=80)"));
    }

    void clearEmptiesThePatternAndUndoBringsItBack() {
        EditorFixture f;
        test::setRows(f.doc(), {"111111111111"});
        f.window->dispatchCommand(CmdClear);
        QCOMPARE(test::recordRows(f.doc(), 0)[0], std::string(12, '0'));
        QCOMPARE(f.cellPixel(0, 0), qRgb(255, 255, 255));
        f.window->dispatchCommand(CmdUndo);
        QCOMPARE(test::recordRows(f.doc(), 0)[0], std::string(12, '1'));
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
