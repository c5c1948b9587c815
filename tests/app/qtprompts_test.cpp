#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "base/message.h"
#include "ui/qtprompts.h"

using namespace dedur;

Q_DECLARE_METATYPE(dedur::MessageButtons)

namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    bool keyLeftItOpen = false;
};

// Shows `message` through the real prompts; once the box is up, records it
// (labels without their '&') and either clicks the button labelled `click`
// or presses `key`.
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
            // A letter clicks its button after a short flash; however busy
            // the machine, the box goes within seconds.
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

class QtPromptsTest : public QObject {
    Q_OBJECT
  private slots:
    // The buttons, the answer of each, the default, the caption and the icon.
    void answers_data() {
        QTest::addColumn<dedur::MessageButtons>("buttons");
        QTest::addColumn<QString>("click");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("title");
        const QStringList yn{"No", "Yes"};
        const QStringList rc{"Cancel", "Retry"};
        QTest::newRow("ok") << MessageButtons::Ok << "OK" << int(IDOK) << QStringList{"OK"} << ""
                            << "Error";
        QTest::newRow("yes") << MessageButtons::YesNo << "Yes" << int(IDYES) << yn << "Format error"
                             << "Format error";
        QTest::newRow("no") << MessageButtons::YesNo << "No" << int(IDNO) << yn << " "
                            << " ";
        QTest::newRow("cancel") << MessageButtons::YesNoCancel << "Cancel" << int(IDCANCEL)
                                << QStringList{"Cancel", "No", "Yes"} << " "
                                << " ";
        QTest::newRow("retry") << MessageButtons::RetryCancel << "Retry" << int(IDRETRY) << rc
                               << " "
                               << " ";
        QTest::newRow("retry cancel")
            << MessageButtons::RetryCancel << "Cancel" << int(IDCANCEL) << rc << " "
            << " ";
    }
    void answers() {
        QFETCH(dedur::MessageButtons, buttons);
        QFETCH(QString, click);
        QFETCH(int, answer);
        QFETCH(QStringList, labels);
        QFETCH(QString, caption);
        QFETCH(QString, title);
        SeenBox seen;
        const MessageIcon icon =
            buttons == MessageButtons::Ok ? MessageIcon::None : MessageIcon::Question;
        const Message m{"Save ?", caption.toStdString(), buttons, icon};
        QCOMPARE(runBox(m, seen, click), answer);
        QCOMPARE(seen.buttons, labels);
        QCOMPARE(seen.text, QString("Save ?"));
        QCOMPARE(seen.title, title);
        QCOMPARE(seen.icon,
                 icon == MessageIcon::None ? QMessageBox::NoIcon : QMessageBox::Question);
        // The first button (Yes, Retry or OK) is the default, as on the
        // system the texts come from.
        QCOMPARE(seen.defaultButton, labels.contains("Yes")     ? QString("Yes")
                                     : labels.contains("Retry") ? QString("Retry")
                                                                : QString("OK"));
    }

    // Escape answers Cancel (or No, or OK where there is no other); a letter
    // answers its button, with Alt or without.
    void keysAnswer_data() {
        QTest::addColumn<dedur::MessageButtons>("buttons");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("alt");
        QTest::addColumn<int>("answer");
        const auto ync = MessageButtons::YesNoCancel;
        const auto rc = MessageButtons::RetryCancel;
        const int esc = Qt::Key_Escape;
        QTest::newRow("Esc ok") << MessageButtons::Ok << esc << false << int(IDOK);
        QTest::newRow("Esc yes no cancel") << ync << esc << false << int(IDCANCEL);
        QTest::newRow("Esc retry cancel") << rc << esc << false << int(IDCANCEL);
        QTest::newRow("Esc yes no") << MessageButtons::YesNo << esc << false << int(IDNO);
        QTest::newRow("Y") << MessageButtons::YesNo << int(Qt::Key_Y) << false << int(IDYES);
        QTest::newRow("Alt+N") << ync << int(Qt::Key_N) << true << int(IDNO);
        QTest::newRow("C") << ync << int(Qt::Key_C) << false << int(IDCANCEL);
        QTest::newRow("R") << rc << int(Qt::Key_R) << false << int(IDRETRY);
    }
    void keysAnswer() {
        QFETCH(dedur::MessageButtons, buttons);
        QFETCH(int, key);
        QFETCH(bool, alt);
        QFETCH(int, answer);
        SeenBox seen;
        const Message m{"x", " ", buttons, MessageIcon::Question};
        QCOMPARE(runBox(m, seen, QString(), key, alt ? Qt::AltModifier : Qt::NoModifier), answer);
        QVERIFY(!seen.keyLeftItOpen);
    }

    void barFiltersBecomeQtFilters_data() {
        QTest::addColumn<QString>("bar");
        QTest::addColumn<QString>("qt");
        QTest::newRow("named pattern") << "Pattern Files (*.pat)|*.pat|"
                                       << "Pattern Files (*.pat)";
        QTest::newRow("plain names") << "Text|*.txt|All|*.*|"
                                     << "Text (*.txt);;All (*.*)";
        QTest::newRow("odd piece left out") << "Text|*.txt|All"
                                            << "Text (*.txt)";
        QTest::newRow("empty") << ""
                               << "";
    }
    void barFiltersBecomeQtFilters() {
        QFETCH(QString, bar);
        QFETCH(QString, qt);
        QCOMPARE(qtFilter(bar), qt);
    }
};

QTEST_MAIN(QtPromptsTest)
#include "qtprompts_test.moc"
