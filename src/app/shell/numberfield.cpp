#include "numberfield.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace dedur {

NumberField::NumberField(QWidget* parent) : QLineEdit(parent) {
    setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this));
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!text.isEmpty()) emit notify(Changed);
    });
}

int NumberField::number() const {
    int value = 0;
    for (QChar c : text()) {
        if (!c.isDigit()) break;
        value = value * 10 + c.digitValue();
        if (value > 9999999) break;
    }
    return value;
}

void NumberField::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit notify(Enter);
        return;
    case Qt::Key_Escape:
        emit notify(Escape);
        return;
    case Qt::Key_Up:
        emit notify(Previous);
        return;
    case Qt::Key_Down:
        emit notify(Next);
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void NumberField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // Reached by Enter, the arrows or a dialog opening, the whole number is
    // selected so that typing replaces it; a click places the caret.
    if (event->reason() != Qt::MouseFocusReason) selectAll();
}

} // namespace dedur
