#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "artworkpainter.h"
#include "base/message.h"
#include "document/patternsizedialog.h"
#include "editorfixture.h"
#include "textclip/inputtextdialog.h"
#include "ui/artwork.h"
#include "ui/commandids.h"
#include "ui/numberfield.h"
#include "ui/qtprompts.h"
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

void pointAt(PaletteStrip* strip, QPoint at) {
    QCursor::setPos(strip->mapToGlobal(at));
    QTest::mouseMove(strip, at);
}

void clickButton(EditorFixture& f, int command) {
    QTest::mouseClick(f.window->palette(), Qt::LeftButton, {}, centre(button(f, command)));
    QCoreApplication::processEvents(); // the click posts its command
}

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    bool keyLeftItOpen = false;
};

// Shows `message` through the real prompts, records the box, clicks `click` or presses `key`.
int runBox(const Message& message, SeenBox& seen, const QString& click, int key = 0,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text().remove('&');
        seen.buttons.sort();
        if (box->defaultButton()) seen.defaultButton = box->defaultButton()->text().remove('&');
        if (key) {
            QApplication::setActiveWindow(box); // Alt+letter works in the active window
            QTest::keyClick(box, static_cast<Qt::Key>(key), modifiers);
            // A letter clicks its button after a short flash.
            if (QTest::qWaitFor([box] { return !box->isVisible(); }, 10000)) return;
            seen.keyLeftItOpen = true; // unblock with the first button
            box->buttons().front()->click();
            return;
        }
        for (QAbstractButton* b : box->buttons()) {
            if (b->text().remove('&') == click) b->click();
        }
    });
    QtPrompts prompts;
    return prompts.showMessage(nullptr, message);
}

} // namespace

class ShellTest : public QObject {
    Q_OBJECT
  private slots:
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
        QCOMPARE(
            std::pair(button(f, CmdDrawLine).currentImage, button(f, CmdDrawPoint).currentImage),
            std::pair(163, 101));
        QVERIFY(button(f, CmdDrawLine).marked);
        f.window->updateMenuState();
        QVERIFY(f.window->action(CmdDrawLine)->isChecked() &&
                !f.window->action(CmdDrawPoint)->isChecked());
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
        QVERIFY(f.window->action(CmdUndo)->isEnabled() && !f.window->action(CmdRedo)->isEnabled());
        f.window->dispatchCommand(CmdUndo);
        QVERIFY(!button(f, CmdUndo).enabled && button(f, CmdRedo).enabled);
    }

    void patternListAndNavigation() {
        EditorFixture f;
        QVERIFY(!button(f, CmdDeletePattern).enabled);
        f.window->dispatchCommand(CmdDeletePattern); // the only one: a beep
        QVERIFY(f.prompts.beeps == 1 && f.prompts.shown.empty());
        for (int i = 0; i < 4; ++i) f.window->dispatchCommand(CmdAddPattern);
        QVERIFY(f.doc().patternCount == 5 && f.window->currentNumber() == 5);
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
            QVERIFY(f.doc().currentPattern == s.expected - 1 && bar->value() == s.expected);
        }
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

    void aTooltipNamesTheButtonsKeys() {
        const struct {
            int command;
            QString tooltip, keys;
        } rows[] = {{CmdSave, "Save to file", "F3, Ctrl+S"},
                    {CmdUndo, "Undo the previous action", "Ctrl+Z"},
                    {CmdRedo, "Redo the previously undone action", "Ctrl+Y, Ctrl+Shift+Z"},
                    {CmdCut, "Cut", "Ctrl+X, Shift+Del"},
                    {CmdCopy, "Copy", "Ctrl+Ins"},
                    {CmdPaste, "Paste", "Ctrl+V, Shift+Ins"},
                    {CmdDrawLine, "Draw line", ""},
                    {CmdAddPattern, "Add a panel to tail", ""}};
        EditorFixture f;
        for (const auto& [command, tooltip, keys] : rows) {
            PaletteStrip* strip = f.window->palette();
            PaletteButton& b = *strip->find(command);
            pointAt(strip, centre(b));
            strip->tooltipCheck(); // the pointer stays on the button: both stay
            QVERIFY(b.tooltipWindow && b.tooltipWindow->text() == tooltip);
            QCOMPARE(bool(b.keyWindow), !keys.isEmpty());
            if (!keys.isEmpty()) {
                QVERIFY(b.keyWindow->text() == keys && b.keyWindow->isVisible());
                const QRect tip = b.tooltipWindow->geometry();
                const QRect key = b.keyWindow->geometry();
                QVERIFY(key.top() == tip.top() && key.left() > tip.right());
                QVERIFY(key.width() >= b.keyWindow->fontMetrics().horizontalAdvance(keys));
                QVERIFY(b.keyWindow->parentWidget()->rect().contains(key));
            }
            pointAt(strip, QPoint(strip->width() - 4, centre(b).y()));
            strip->tooltipCheck();
            QVERIFY(!b.tooltipWindow && !b.keyWindow);
            QVERIFY(f.window->findChildren<QLabel*>("paletteKeys").isEmpty());
        }
    }

    void aPressClosesTheKeys() {
        EditorFixture f;
        PaletteStrip* strip = f.window->palette();
        PaletteButton& b = *strip->find(CmdCopy);
        pointAt(strip, centre(b));
        QVERIFY(b.keyWindow);
        QTest::mousePress(strip, Qt::LeftButton, {}, centre(b));
        QVERIFY(!b.tooltipWindow && !b.keyWindow);
        QTest::mouseRelease(strip, Qt::LeftButton, {}, centre(b));
    }

    void outOfRangeSizesAreCorrectedWithABeep() {
        EditorFixture f;
        f.inDialog<PatternSizeDialog>(CmdPatternSize, [&](PatternSizeDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Pattern Size"));
            d->widthField()->setText("1");
            d->heightField()->setText("120");
            QSignalSpy finished(d, &QDialog::finished);
            d->ok();
            QVERIFY(finished.isEmpty() && d->widthField()->text() == QString("2"));
            QCOMPARE(d->heightField()->text(), QString("96"));
        });
        QCOMPARE(f.prompts.beeps, 1);
        QCOMPARE(int(f.doc().patternWidth), 12);
    }

    void tabVisitsEveryControlOfADialogInTheMiddle() {
        for (const int command :
             {CmdPanelDefinition, CmdPatternSize, CmdPanelExport, CmdInputText}) {
            EditorFixture f;
            f.window->move(0, 0); // the owner is off the middle
            QSet<QWidget*> forward, backward, expected;
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
                for (auto [seen, key] :
                     {std::pair{&forward, Qt::Key_Tab}, {&backward, Qt::Key_Backtab}}) {
                    for (int i = 0; i < 2 * expected.size(); ++i) {
                        seen->insert(QApplication::focusWidget());
                        QTest::keyClick(QApplication::focusWidget(), key);
                    }
                }
            };
            f.window->runDialog = [&](QDialog* d) {
                walk(d);
                return 0;
            };
            f.window->dispatchCommand(command);
            if (command == CmdInputText) walk(f.window->inputText());
            QVERIFY(expected.size() >= 2 && forward == expected && backward == expected);
            const QRect screen = f.window->screen()->geometry();
            QCOMPARE(frame.left(), (screen.width() - frame.width()) / 2);
            QCOMPARE(frame.top(), (screen.height() - frame.height()) / 2);
        }
    }

    void anEmptiedNumberBoxIsNotAJump() {
        EditorFixture f;
        for (int i = 0; i < 4; ++i) f.window->dispatchCommand(CmdAddPattern);
        NumberField* box = f.window->palette()->numberBox();
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QVERIFY(box->text() == QString() && f.window->currentNumber() == 5);
        QTest::keyClicks(box, "3");
        QCOMPARE(f.window->currentNumber(), 3);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, "12");
        QVERIFY(f.window->currentNumber() == 5 && box->text() == QString("5"));
    }

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

        for (int i = 0; i < 2; ++i) f.window->dispatchCommand(CmdAddPattern);
        NumberField* box = f.window->palette()->numberBox();
        box->setFocus();
        box->setText("3");
        box->home(false);
        const int undos = f.editor->history.undoCount();
        QTest::keyClick(box, Qt::Key_Delete);
        QVERIFY(box->text() == QString() && f.editor->history.undoCount() == undos);

        f.window->setStatusText("");
        for (int i = 0; i < 2; ++i) {
            f.grid().setFocus();
            QTest::keyClick(&f.grid(), Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(f.window->statusText(),
                     i == 0 ? QString("Ctrl+C does nothing here: Ctrl+Insert copies") : QString());
            f.window->setStatusText("");
        }

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
        QVERIFY(ran && f.prompts.shown.empty());
    }

    void answers() {
        const QStringList yn{"No", "Yes"}, rc{"Cancel", "Retry"}, ync{"Cancel", "No", "Yes"};
        const struct {
            MessageButtons buttons;
            QString click;
            int answer;
            QStringList labels;
            std::string caption;
            QString title, defaultButton;
        } rows[] = {
            {MessageButtons::Ok, "OK", IDOK, {"OK"}, "", "Error", "OK"},
            {MessageButtons::YesNo, "Yes", IDYES, yn, "Format error", "Format error", "Yes"},
            {MessageButtons::YesNo, "No", IDNO, yn, " ", " ", "Yes"},
            {MessageButtons::YesNoCancel, "Cancel", IDCANCEL, ync, " ", " ", "Yes"},
            {MessageButtons::RetryCancel, "Retry", IDRETRY, rc, " ", " ", "Retry"},
            {MessageButtons::RetryCancel, "Cancel", IDCANCEL, rc, " ", " ", "Retry"}};
        for (const auto& row : rows) {
            const bool plain = row.buttons == MessageButtons::Ok;
            SeenBox seen;
            const Message m{"Save ?", row.caption, row.buttons,
                            plain ? MessageIcon::None : MessageIcon::Question};
            QVERIFY(runBox(m, seen, row.click) == row.answer && seen.buttons == row.labels);
            QVERIFY(seen.text == QString("Save ?") && seen.title == row.title);
            QCOMPARE(seen.icon, plain ? QMessageBox::NoIcon : QMessageBox::Question);
            QCOMPARE(seen.defaultButton, row.defaultButton);
        }
    }

    void keysAnswer() {
        const auto yn = MessageButtons::YesNo, ync = MessageButtons::YesNoCancel,
                   rc = MessageButtons::RetryCancel;
        const struct {
            MessageButtons buttons;
            int key;
            bool alt;
            int answer;
        } rows[] = {{MessageButtons::Ok, Qt::Key_Escape, false, IDOK},
                    {ync, Qt::Key_Escape, false, IDCANCEL},
                    {rc, Qt::Key_Escape, false, IDCANCEL},
                    {yn, Qt::Key_Escape, false, IDNO},
                    {yn, Qt::Key_Y, false, IDYES},
                    {ync, Qt::Key_N, true, IDNO},
                    {ync, Qt::Key_C, false, IDCANCEL},
                    {rc, Qt::Key_R, false, IDRETRY}};
        for (const auto& row : rows) {
            SeenBox seen;
            const Message m{"x", " ", row.buttons, MessageIcon::Question};
            QCOMPARE(
                runBox(m, seen, QString(), row.key, row.alt ? Qt::AltModifier : Qt::NoModifier),
                row.answer);
            QVERIFY(!seen.keyLeftItOpen);
        }
    }

    void barFiltersBecomeQtFilters() {
        const std::pair<QString, QString> rows[] = {
            {"Pattern Files (*.pat)|*.pat|", "Pattern Files (*.pat)"},
            {"Text|*.txt|All|*.*|", "Text (*.txt);;All (*.*)"},
            {"Text|*.txt|All", "Text (*.txt)"}, // the odd piece left out
            {"", ""}};
        for (const auto& [bar, qt] : rows) QCOMPARE(qtFilter(bar), qt);
    }

    void resourcesMatchTheGenerator() {
        for (int id : artwork::paletteImageIds()) {
            const QImage stored = paletteImage(id).toImage().convertToFormat(QImage::Format_RGB32);
            QVERIFY2(!stored.isNull(), qPrintable(QString("no image %1").arg(id)));
            QCOMPARE(stored.size(), QSize(24, 24));
            QVERIFY2(stored == artwork::paletteImage(id).convertToFormat(QImage::Format_RGB32),
                     qPrintable(QString("image %1 differs from its source").arg(id)));
        }
        for (int id : artwork::cursorIds()) {
            const QImage stored =
                QImage(QString(":/cursors/%1.png").arg(id)).convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(stored.size(), QSize(32, 32));
            QVERIFY(stored == artwork::cursorImage(id).convertToFormat(QImage::Format_ARGB32));
        }
    }

    void desktopIconsMatchTheGenerator() {
        const QString folder = QString(DEDUR_RESOURCES) + "/icons/hicolor/";
        for (int size : artwork::desktopIconSizes()) {
            const QImage stored(folder + QString("%1x%1/apps/dedur.png").arg(size));
            QCOMPARE(stored.size(), QSize(size, size));
            QVERIFY2(stored.convertToFormat(QImage::Format_ARGB32) == artwork::programIcon(size),
                     qPrintable(QString("icon %1 differs from its source").arg(size)));
        }
        QFile svg(folder + "scalable/apps/dedur.svg");
        QVERIFY(svg.open(QIODevice::ReadOnly) && svg.readAll() == artwork::programIconSvg());
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
