#include "window/acceleratorfilter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "textclip/inputtextdialog.h"
#include "window/commandtable.h"
#include "window/mainwindow.h"

namespace dedur {

AcceleratorFilter::AcceleratorFilter(MainWindow& window) : QObject(&window), window_(window) {
    qApp->installEventFilter(this);
}

int AcceleratorFilter::commandFor(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers =
        key.modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    for (const CommandRow& row : commandTable()) {
        if (row.key != 0 && key.key() == row.key && modifiers == row.modifiers) return row.id;
    }
    return 0;
}

bool AcceleratorFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) ||
        !watched->isWidgetType()) {
        return false;
    }
    const int command = commandFor(*static_cast<QKeyEvent*>(event));
    if (command == 0 || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        return false;
    }
    // Delete, Ctrl+V and the like edit the text of a field that has the focus.
    const CommandRow* row = findCommand(command);
    if (row && row->yieldsToText &&
        (qobject_cast<QLineEdit*>(QApplication::focusWidget()) ||
         qobject_cast<QPlainTextEdit*>(QApplication::focusWidget()))) {
        return false;
    }
    const QWidget* top = static_cast<QWidget*>(watched)->window();
    if (top != &window_ && top != window_.inputText()) return false;
    if (type == QEvent::ShortcutOverride) {
        // Claimed, so that it arrives as a key press, which ends here.
        event->accept();
        return true;
    }
    window_.dispatchCommand(command);
    return true;
}

} // namespace dedur
