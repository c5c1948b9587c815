// Keys in dialogs: Tab through every control, the number box, a modal
// dialog's keys. (The accelerators wherever the focus is are the desktop
// run's: it presses them in the number box and the input-text field.)
#include <QRadioButton>
#include <QSet>
#include <QTest>

#include "editorfixture.h"
#include "textclip/inputtextdialog.h"
#include "ui/commandids.h"
#include "ui/numberfield.h"

using namespace dedur;
using dedur::test::EditorFixture;

class KeysTest : public QObject {
    Q_OBJECT
  private slots:
    void tabVisitsEveryControlOfADialogInTheMiddle_data() {
        QTest::addColumn<int>("command");
        QTest::newRow("panel definition") << int(CmdPanelDefinition);
        QTest::newRow("pattern size") << int(CmdPatternSize);
        QTest::newRow("export") << int(CmdPanelExport);
        QTest::newRow("input text") << int(CmdInputText);
    }
    void tabVisitsEveryControlOfADialogInTheMiddle() {
        QFETCH(int, command);
        EditorFixture f;
        f.window->move(0, 0); // the owner is off the middle
        QSet<QWidget*> forward;
        QSet<QWidget*> backward;
        QSet<QWidget*> expected;
        QRect frame;
        const auto walk = [&](QDialog* d) {
            d->show();
            frame = d->frameGeometry();
            QApplication::setActiveWindow(d);
            for (QWidget* w : d->findChildren<QWidget*>()) {
                if (w->isVisibleTo(d) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
                    !w->focusProxy()) {
                    // A group of radio buttons is one stop: the arrows move in it.
                    auto* radio = qobject_cast<QRadioButton*>(w);
                    if (!radio || radio->isChecked()) expected.insert(w);
                }
            }
            for (int i = 0; i < 2 * expected.size(); ++i) {
                forward.insert(QApplication::focusWidget());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            for (int i = 0; i < 2 * expected.size(); ++i) {
                backward.insert(QApplication::focusWidget());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            }
        };
        f.window->runDialog = [&](QDialog* d) {
            walk(d);
            return 0;
        };
        f.window->dispatchCommand(command);
        if (command == CmdInputText) walk(f.window->inputText());
        QVERIFY(expected.size() >= 2);
        QCOMPARE(forward, expected);
        QCOMPARE(backward, expected);
        // Every dialog opens in the middle of the screen, wherever its owner is.
        const QRect screen = f.window->screen()->geometry();
        QCOMPARE(frame.left(), (screen.width() - frame.width()) / 2);
        QCOMPARE(frame.top(), (screen.height() - frame.height()) / 2);
    }

    void anEmptiedNumberBoxIsNotAJump() {
        EditorFixture f;
        for (int i = 0; i < 4; ++i) f.window->dispatchCommand(CmdAddPattern);
        NumberField* box = f.window->palette()->numberBox();
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QString());
        QCOMPARE(f.window->currentNumber(), 5);
        QTest::keyClicks(box, "3");
        QCOMPARE(f.window->currentNumber(), 3);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, "12");
        QCOMPARE(f.window->currentNumber(), 5);
        QCOMPARE(box->text(), QString("5"));
    }

    // The common editing keys act on the pattern from the grid, and on the
    // text in a text field.
    void theKeysEveryonePressesWhereTheTableIsSilent() {
        EditorFixture f;
        test::setRows(f.doc(), {"000000000000"});
        f.grid().setFocus();
        f.drag({{0, 0}, {3, 0}});
        QCOMPARE(f.rows().substr(0, 12), std::string("111100000000"));
        QTest::keyClick(&f.grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.rows().substr(0, 12), std::string("000000000000"));
        QTest::keyClick(&f.grid(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(f.rows().substr(0, 12), std::string("111100000000"));
        QTest::keyClick(&f.grid(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&f.grid(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(f.rows().substr(0, 12), std::string("111100000000"));
        QTest::keyClick(&f.grid(), Qt::Key_Delete);
        QCOMPARE(f.rows().substr(0, 12), std::string("000000000000"));

        // In the number box, Delete deletes a digit and Ctrl+Z undoes typing.
        for (int i = 0; i < 2; ++i) f.window->dispatchCommand(CmdAddPattern);
        NumberField* box = f.window->palette()->numberBox();
        box->setFocus();
        box->setText("3");
        box->home(false);
        const int undos = f.editor->history.undoCount();
        QTest::keyClick(box, Qt::Key_Delete);
        QCOMPARE(box->text(), QString());
        QCOMPARE(f.editor->history.undoCount(), undos);

        // Ctrl+C copies nothing, as the classic table has it, and says once
        // which key does.
        f.window->setStatusText("");
        for (int i = 0; i < 2; ++i) {
            f.grid().setFocus();
            QTest::keyClick(&f.grid(), Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(f.window->statusText(),
                     i == 0 ? QString("Ctrl+C does nothing here: Ctrl+Insert copies") : QString());
            f.window->setStatusText("");
        }

        // Ctrl+S saves (asking for a name first); the classic keys stay shown.
        f.prompts.files = {QString::fromStdString(f.dir.file("keys.pat"))};
        f.grid().setFocus();
        QTest::keyClick(&f.grid(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(std::filesystem::exists(f.dir.file("keys.pat")));
    }

    void modalDialogsKeepTheirKeys() {
        EditorFixture f;
        bool ran = false;
        f.window->runDialog = [&](QDialog* d) {
            d->setModal(true);
            d->show();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::ControlModifier);
            ran = true;
            return 0;
        };
        f.window->dispatchCommand(CmdPatternSize);
        QVERIFY(ran);
        QVERIFY(f.prompts.shown.empty());
    }
};

QTEST_MAIN(KeysTest)
#include "keys_test.moc"
