#include "acceleratorfilter.h"

#include <QApplication>
#include <QKeyEvent>

#include "../textclip/inputtextdialog.h"
#include "commandids.h"
#include "mainwindow.h"

namespace dedur {

namespace {

struct Accelerator {
    int key;
    Qt::KeyboardModifiers modifiers;
    int command;
};

// F5, F6, Ctrl+F, Ctrl+C, Ctrl+N and Ctrl+P send commands without an action:
// they still keep the key from the focused control.
const Accelerator Table[] = {
    {Qt::Key_F1, Qt::NoModifier, CmdNew},      {Qt::Key_F2, Qt::NoModifier, CmdOpen},
    {Qt::Key_F3, Qt::NoModifier, CmdSave},     {Qt::Key_F4, Qt::NoModifier, CmdSaveAs},
    {Qt::Key_E, Qt::ControlModifier, CmdExit}, {Qt::Key_F5, Qt::NoModifier, 1020},
    {Qt::Key_F6, Qt::NoModifier, 1021},        {Qt::Key_F, Qt::ControlModifier, 1022},
    {Qt::Key_C, Qt::ControlModifier, 1023},    {Qt::Key_N, Qt::ControlModifier, 1041},
    {Qt::Key_P, Qt::ControlModifier, 1042},
};

} // namespace

AcceleratorFilter::AcceleratorFilter(MainWindow& window) : QObject(&window), window_(window) {
    qApp->installEventFilter(this);
}

int AcceleratorFilter::commandFor(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers =
        key.modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    for (const Accelerator& a : Table) {
        if (key.key() == a.key && modifiers == a.modifiers) return a.command;
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
