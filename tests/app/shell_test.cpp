#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

#include "editorfixture.h"
#include "ui/commandids.h"
#include "ui/numberfield.h"
#include "window/commandtable.h"

using namespace dedur;

using dedur::test::EditorFixture;

namespace {

PaletteButton& button(EditorFixture& f, int command) {
    return *f.window->palette()->find(command);
}

QPoint centre(const PaletteButton& b) {
    return QPoint((b.left + b.right) / 2, (b.top + b.bottom) / 2);
}

void clickButton(EditorFixture& f, int command) {
    QTest::mouseClick(f.window->palette(), Qt::LeftButton, {}, centre(button(f, command)));
    QCoreApplication::processEvents(); // the click posts its command
}

} // namespace

class ShellTest : public QObject {
    Q_OBJECT
  private slots:
    // Every menu item runs its command; our items' letters are their own in
    // each menu, so a letter picks the item instead of cycling between two.
    void everyMenuItemAndButtonHasItsCommand() {
        EditorFixture f;
        int items = 0;
        for (QAction* top : f.window->menuBar()->actions()) {
            QList<QAction*> menu;
            for (QAction* a : top->menu()->actions())
                menu << (a->menu() ? a->menu()->actions() : QList<QAction*>{a});
            QMap<QChar, int> letters;
            for (QAction* a : menu) {
                if (a->text().contains('&'))
                    ++letters[a->text().at(a->text().indexOf('&') + 1).toLower()];
            }
            for (QAction* item : menu) {
                if (item->isSeparator()) continue;
                const CommandRow* row = findCommand(item->data().toInt());
                // The table's text, and a key for every item that has one.
                const QString text = row ? QString(row->text) : QString();
                const QString shown = text.contains('\t') || extraKeyName(row->id).isEmpty()
                                          ? text
                                          : text + "\t" + extraKeyName(row->id);
                QVERIFY2(row && row->run && item->text() == shown, qPrintable(item->text()));
                QCOMPARE(item->isCheckable(), row->checked != nullptr);
                if (row->id >= CmdFlipHorizontal && item->text().contains('&')) {
                    const QChar letter = item->text().at(item->text().indexOf('&') + 1);
                    QVERIFY2(letters[letter.toLower()] == 1, qPrintable(item->text()));
                }
                ++items;
            }
        }
        const auto rows = std::count_if(commandTable().begin(), commandTable().end(),
                                        [](const CommandRow& r) { return r.popup != nullptr; });
        QCOMPARE(items, int(rows));
        QCOMPARE(f.window->palette()->buttons().size(), size_t(19));
        for (const PaletteButton& b : f.window->palette()->buttons()) {
            const CommandRow* row = findCommand(b.command);
            QVERIFY(row && row->run && row->palette.order > 0);
        }
    }

    void clickingAToolButtonLatchesIt() {
        EditorFixture f;
        clickButton(f, CmdDrawLine);
        QVERIFY(f.editor->grid.tool == Tool::Line);
        QCOMPARE(button(f, CmdDrawLine).currentImage, 163);
        QCOMPARE(button(f, CmdDrawPoint).currentImage, 101);
        QVERIFY(button(f, CmdDrawLine).marked);
        f.window->updateMenuState();
        QVERIFY(f.window->action(CmdDrawLine)->isChecked());
        QVERIFY(!f.window->action(CmdDrawPoint)->isChecked());
    }

    void disabledButtonBeepsAndReleaseOutsidePostsNothing() {
        EditorFixture f;
        clickButton(f, CmdUndo);
        QCOMPARE(f.prompts.beeps, 1);
        QTest::mousePress(f.window->palette(), Qt::LeftButton, {}, centre(button(f, CmdSave)));
        QCOMPARE(button(f, CmdSave).currentImage, 122);
        QTest::mouseRelease(f.window->palette(), Qt::LeftButton, {}, QPoint(700, 40));
        QCoreApplication::processEvents();
        QCOMPARE(button(f, CmdSave).currentImage, 121);
        QVERIFY(f.prompts.dialogs.isEmpty()); // no Save as dialog
    }

    void undoAndRedoFollowTheCounts() {
        EditorFixture f;
        f.drag({{0, 0}});
        QVERIFY(button(f, CmdUndo).enabled);
        f.window->updateMenuState();
        QVERIFY(f.window->action(CmdUndo)->isEnabled());
        QVERIFY(!f.window->action(CmdRedo)->isEnabled());
        f.window->dispatchCommand(CmdUndo);
        QVERIFY(!button(f, CmdUndo).enabled);
        QVERIFY(button(f, CmdRedo).enabled);
    }

    void patternListAndNavigation() {
        EditorFixture f;
        QVERIFY(!button(f, CmdDeletePattern).enabled);
        f.window->dispatchCommand(CmdDeletePattern); // the only one: a beep
        QCOMPARE(f.prompts.beeps, 1);
        QVERIFY(f.prompts.shown.empty());
        for (int i = 0; i < 4; ++i) f.window->dispatchCommand(CmdAddPattern);
        QCOMPARE(f.doc().patternCount, 5);
        QCOMPARE(f.window->currentNumber(), 5);
        QCOMPARE(f.window->palette()->countLabel()->text(), QString("5"));
        QVERIFY(button(f, CmdDeletePattern).enabled);
        QScrollBar* bar = f.window->palette()->scrollBar();
        struct Step {
            QAbstractSlider::SliderAction action;
            int expected;
        };
        const Step steps[] = {
            {QAbstractSlider::SliderToMinimum, 1},     {QAbstractSlider::SliderSingleStepAdd, 2},
            {QAbstractSlider::SliderSingleStepAdd, 3}, {QAbstractSlider::SliderPageStepAdd, 5},
            {QAbstractSlider::SliderPageStepSub, 1},   {QAbstractSlider::SliderSingleStepSub, 1},
            {QAbstractSlider::SliderToMaximum, 5}};
        for (const Step& s : steps) {
            bar->triggerAction(s.action);
            QCOMPARE(f.window->currentNumber(), s.expected);
            QCOMPARE(f.doc().currentPattern, s.expected - 1);
            QCOMPARE(bar->value(), s.expected);
        }
        // Delete asks (the list itself is the model test's).
        f.window->dispatchCommand(CmdDeletePattern);
        QCOMPARE(f.prompts.shown.back().text, std::string("Are you sure to delete ?"));
        QCOMPARE(f.prompts.shown.back().caption, std::string("DELETE"));
    }

    void aLongCountIsShownWhole() {
        EditorFixture f;
        PaletteStrip* strip = f.window->palette();
        QLabel* label = strip->countLabel();
        for (const int count : {12, 99999, 123456}) {
            strip->showNavigation(1, count);
            QVERIFY(QFontMetrics(label->font()).horizontalAdvance(label->text()) <
                    label->contentsRect().width());
            if (count == 12) QCOMPARE(label->font(), strip->font());
        }
    }

    void numberFieldSelectsItsNumberUnlessClicked() {
        QWidget window;
        auto* first = new NumberField(&window);
        auto* second = new NumberField(&window);
        second->move(0, 40);
        first->setText("12");
        second->setText("345");
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        second->setFocus(Qt::OtherFocusReason); // Enter in the field before
        QCOMPARE(second->selectedText(), QString("345"));
        QTest::keyClicks(second, "7x-"); // digits only
        QCOMPARE(second->text(), QString("7"));
        first->setFocus(Qt::MouseFocusReason);
        QCOMPARE(first->selectedText(), QString());
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
