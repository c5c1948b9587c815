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

class InputTextTest : public QObject {
    Q_OBJECT
  private slots:
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

QTEST_MAIN(InputTextTest)
#include "inputtext_test.moc"
