// Keys as the user presses them: the accelerators wherever the focus is, the
// letters of message boxes, Tab through every control of a dialog.
#include <QClipboard>
#include <QLineEdit>
#include <QRadioButton>
#include <QSet>
#include <QTest>

#include "editorfixture.h"
#include "shell/commandids.h"
#include "shell/numberfield.h"
#include "textclip/inputtextdialog.h"

using namespace dedur;
using dedur::test::EditorFixture;

namespace {

enum class Focus { NumberBox, Grid, InputText };

QWidget* focusOn(EditorFixture& f, Focus focus) {
    QWidget* widget = nullptr;
    switch (focus) {
    case Focus::NumberBox:
        widget = f.window->palette()->numberBox();
        break;
    case Focus::Grid:
        widget = &f.grid();
        break;
    case Focus::InputText:
        f.window->dispatchCommand(CmdInputText);
        widget = f.window->inputText()->edit();
        break;
    }
    widget->activateWindow();
    widget->setFocus();
    return widget;
}

// The four dialogs, by the command that opens each.
void dialogRows() {
    QTest::addColumn<int>("command");
    QTest::newRow("panel definition") << int(CmdPanelDefinition);
    QTest::newRow("pattern size") << int(CmdPatternSize);
    QTest::newRow("export") << int(CmdPanelExport);
    QTest::newRow("input text") << int(CmdInputText);
}

} // namespace

Q_DECLARE_METATYPE(Focus)

class KeysTest : public QObject {
    Q_OBJECT
  private slots:
    void acceleratorsWorkWhateverHasTheFocus_data() {
        QTest::addColumn<Focus>("focus");
        QTest::newRow("number box") << Focus::NumberBox;
        QTest::newRow("grid") << Focus::Grid;
        QTest::newRow("input-text field") << Focus::InputText;
    }
    void acceleratorsWorkWhateverHasTheFocus() {
        QFETCH(Focus, focus);
        EditorFixture f;
        QWidget* widget = focusOn(f, focus);
        const QString text = widget->property("text").toString();
        f.prompts.answers = {IDNO};
        QTest::keyClick(widget, Qt::Key_E, Qt::ControlModifier);
        QTest::keyClick(widget, Qt::Key_F2);
        QTest::keyClick(widget, Qt::Key_F4);
        QTest::keyClick(widget, Qt::Key_F1); // one pattern: a beep
        QCOMPARE(f.prompts.texts(), std::vector<std::string>{"Are you sure to Exit ?"});
        QCOMPARE(test::readBytes(f.dir.file("DEDUR.INI")), std::string()); // No stores nothing
        QCOMPARE(f.prompts.dialogs.size(), 2);
        QVERIFY(f.prompts.dialogs[0].startsWith("open:"));
        QVERIFY(f.prompts.dialogs[1].startsWith("save:"));
        QCOMPARE(f.prompts.beeps, 1);
        // The keys without an action still never reach the control: Ctrl+C
        // copies nothing out of a text field.
        QGuiApplication::clipboard()->setText("before");
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->selectAll();
        for (const Qt::Key key : {Qt::Key_F, Qt::Key_C, Qt::Key_N, Qt::Key_P}) {
            QTest::keyClick(widget, key, Qt::ControlModifier);
        }
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
        QCOMPARE(widget->property("text").toString(), text);
    }

    void tabVisitsEveryControlOfADialog_data() { dialogRows(); }
    void tabVisitsEveryControlOfADialog() {
        QFETCH(int, command);
        EditorFixture f;
        QSet<QWidget*> forward;
        QSet<QWidget*> backward;
        QSet<QWidget*> expected;
        const auto walk = [&](QDialog* d) {
            d->show();
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
    }

    void dialogsOpenInTheMiddleOfTheScreen_data() { dialogRows(); }
    void dialogsOpenInTheMiddleOfTheScreen() {
        QFETCH(int, command);
        EditorFixture f;
        f.window->move(0, 0); // the owner is off the middle
        QRect frame;
        f.window->runDialog = [&](QDialog* d) {
            d->show();
            frame = d->frameGeometry();
            return 0;
        };
        f.window->dispatchCommand(command);
        if (command == CmdInputText) frame = f.window->inputText()->frameGeometry();
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
