#include <QCursor>
#include <QTest>

#include "editorfixture.h"
#include "ui/commandids.h"

using namespace dedur;
using dedur::test::EditorFixture;

namespace {

QPoint centreOf(const PaletteButton& b) {
    return {(b.left + b.right) / 2, (b.top + b.bottom) / 2};
}

// The pointer over `at` of the strip, as the palette and its check see it.
void pointAt(PaletteStrip* strip, QPoint at) {
    QCursor::setPos(strip->mapToGlobal(at));
    QTest::mouseMove(strip, at);
}

} // namespace

class PaletteTipsTest : public QObject {
    Q_OBJECT
  private slots:
    // The classic tooltip, word for word, and beside it the keys that do
    // the same as the button; no second box for a button without a key.
    void aTooltipNamesTheButtonsKeys_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QString>("keys");
        QTest::newRow("save") << int(CmdSave) << "Save to file"
                              << "F3, Ctrl+S";
        QTest::newRow("undo") << int(CmdUndo) << "Undo the previous action"
                              << "Ctrl+Z";
        QTest::newRow("redo") << int(CmdRedo) << "Redo the previously undone action"
                              << "Ctrl+Y, Ctrl+Shift+Z";
        QTest::newRow("cut") << int(CmdCut) << "Cut"
                             << "Ctrl+X, Shift+Del";
        QTest::newRow("copy") << int(CmdCopy) << "Copy"
                              << "Ctrl+Ins";
        QTest::newRow("paste") << int(CmdPaste) << "Paste"
                               << "Ctrl+V, Shift+Ins";
        QTest::newRow("a tool") << int(CmdDrawLine) << "Draw line"
                                << "";
        QTest::newRow("a pattern command") << int(CmdAddPattern) << "Add a panel to tail"
                                           << "";
    }
    void aTooltipNamesTheButtonsKeys() {
        QFETCH(int, command);
        QFETCH(QString, tooltip);
        QFETCH(QString, keys);
        EditorFixture f;
        PaletteStrip* strip = f.window->palette();
        PaletteButton& b = *strip->find(command);
        pointAt(strip, centreOf(b));
        strip->tooltipCheck(); // the pointer stays on the button: both stay
        QVERIFY(b.tooltipWindow);
        QCOMPARE(b.tooltipWindow->text(), tooltip);
        QCOMPARE(bool(b.keyWindow), !keys.isEmpty());
        if (!keys.isEmpty()) {
            QCOMPARE(b.keyWindow->text(), keys);
            QVERIFY(b.keyWindow->isVisible());
            // Beside the tooltip, covering neither it nor the button, and
            // wide enough for its text.
            const QRect tip = b.tooltipWindow->geometry();
            const QRect key = b.keyWindow->geometry();
            QCOMPARE(key.top(), tip.top());
            QVERIFY(key.left() > tip.right());
            QVERIFY(key.width() >= b.keyWindow->fontMetrics().horizontalAdvance(keys));
            QVERIFY(b.keyWindow->parentWidget()->rect().contains(key));
        }
        // Away from the button: the tooltip and its keys go together.
        pointAt(strip, QPoint(strip->width() - 4, centreOf(b).y()));
        strip->tooltipCheck();
        QVERIFY(!b.tooltipWindow);
        QVERIFY(!b.keyWindow);
        QVERIFY(f.window->findChildren<QLabel*>("paletteKeys").isEmpty());
    }

    // Pressing the button takes both boxes away, as it always took the tooltip.
    void aPressClosesTheKeys() {
        EditorFixture f;
        PaletteStrip* strip = f.window->palette();
        PaletteButton& b = *strip->find(CmdCopy);
        pointAt(strip, centreOf(b));
        QVERIFY(b.keyWindow);
        QTest::mousePress(strip, Qt::LeftButton, {}, centreOf(b));
        QVERIFY(!b.tooltipWindow);
        QVERIFY(!b.keyWindow);
        QTest::mouseRelease(strip, Qt::LeftButton, {}, centreOf(b));
    }
};

QTEST_MAIN(PaletteTipsTest)
#include "palettetips_test.moc"
