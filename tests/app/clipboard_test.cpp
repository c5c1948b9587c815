#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "editorfixture.h"
#include "textclip/inputtextdialog.h"
#include "textclip/logfontrecord.h"
#include "ui/commandids.h"

using namespace dedur;
using dedur::test::EditorFixture;

namespace {

InputTextDialog* open(EditorFixture& f) {
    f.window->dispatchCommand(CmdInputText);
    return f.window->inputText();
}

int blackPixels(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) n += qGray(image.pixel(x, y)) < 128;
    }
    return n;
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
        QCOMPARE(std::string(sel.floatingBlock.begin(), sel.floatingBlock.begin() + 24),
                 std::string("100000000001011000000000"));
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

    void textIsDrawnAndCopiedInsideTheStrip() {
        EditorFixture f;
        InputTextDialog* d = open(f);
        QVERIFY(d && d->isVisible());
        QVERIFY(!d->copyButton()->isEnabled());
        d->edit()->setText("Hi");
        QVERIFY(d->copyButton()->isEnabled());
        const QRect strip = d->sampleArea();
        QVERIFY(blackPixels(d->surface(), strip) > 10);
        d->copy();
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied.size(), QSize(strip.width() - 2, strip.height() - 2));
        QCOMPARE(blackPixels(copied, copied.rect()), blackPixels(d->surface(), strip));
        // A frame drawn over the text copies what it holds; pasted, it is dots.
        QTest::mousePress(d, Qt::LeftButton, {}, strip.topLeft());
        const QPoint end = strip.topLeft() + QPoint(20, strip.height() - 1);
        QTest::mouseMove(d, end);
        QTest::mouseRelease(d, Qt::LeftButton, {}, end);
        QCOMPARE(d->marquee(), QRect(strip.topLeft(), end));
        d->copy();
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(19, strip.height() - 2));
        f.window->dispatchCommand(CmdPaste);
        const Selection& sel = f.editor->selection;
        QCOMPARE(sel.selectionState, SelectionState::Floating);
        QVERIFY(std::count(sel.floatingBlock.begin(), sel.floatingBlock.end(), DOT_ON) > 5);
    }

    void clickWithoutMovingLeavesNoFrame() {
        EditorFixture f;
        InputTextDialog* d = open(f);
        d->edit()->setText("x");
        const QPoint at = d->sampleArea().center();
        QTest::mouseMove(d, at); // the hint shows over the strip only
        QVERIFY(d->hint());
        QCOMPARE(d->hint()->text(), QString("Select rectangle to copy"));
        QTest::mouseMove(d, QPoint(2, 2));
        QVERIFY(!d->hint());
        QTest::mouseClick(d, Qt::LeftButton, {}, at);
        QCOMPARE(d->marquee(), QRect());
        // Dragging out of the strip pins the frame to its edge.
        QTest::mousePress(d, Qt::LeftButton, {}, at);
        QTest::mouseMove(d, QPoint(d->width() - 1, d->height() - 1));
        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(d->width() - 1, d->height() - 1));
        QCOMPARE(d->marquee().bottomRight(), d->sampleArea().bottomRight());
    }

    void fontChoicesAreKeptInTheirFiles() {
        EditorFixture f;
        InputTextDialog* d = open(f);
        QFont big("DejaVu Sans");
        big.setPixelSize(30);
        f.prompts.fonts = {big};
        const int before = d->sampleArea().height();
        d->chooseFont();
        QVERIFY(d->sampleArea().height() > before);
        const auto edit = readLogFontFile(f.dir.file("EDIT.$LF"));
        QVERIFY(edit);
        QCOMPARE(edit->height, -30);
        QCOMPARE(edit->face(), std::string("DejaVu Sans"));
        big.setItalic(true);
        f.prompts.fonts = {big};
        f.window->dispatchCommand(CmdMessageFont);
        QCOMPARE(int(readLogFontFile(f.dir.file("MYMSG.$LF"))->italic), 1);
    }

    void selectionReportNamesTheBlock() {
        EditorFixture f;
        f.window->dispatchCommand(CmdSelectionReport);
        QVERIFY(f.prompts.shown.empty());
        f.window->dispatchCommand(CmdSelect);
        f.drag({{2, 1}, {5, 3}});
        f.window->dispatchCommand(CmdSelectionReport);
        QCOMPARE(f.prompts.shown.back().text,
                 std::string("seg=3,com=2, left=2, top=1, right=5, bottom=3"));
    }
};

QTEST_MAIN(ClipboardTest)
#include "clipboard_test.moc"
