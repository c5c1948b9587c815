#include "ui/numberfield.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QValidator>

namespace dedur {

namespace {

// ASCII digits only. A regular-expression validator would load the pattern
// engine and compile a pattern at start for no more than this.
class DigitsValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input) {
            if (c < u'0' || c > u'9') return Invalid;
        }
        return Acceptable;
    }
};

} // namespace

NumberField::NumberField(QWidget* parent) : QLineEdit(parent) {
    setValidator(new DigitsValidator(this));
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
