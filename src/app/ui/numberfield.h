#pragma once

#include <QLineEdit>

namespace dedur {

// Numeric entry field: digits only, and the notifications the dialogs and the
// navigation strip act on. Tab and Shift+Tab move through the dialog as in
// any other field; Up and Down step through the number fields. An emptied
// field is not a value yet and sends no change.
class NumberField : public QLineEdit {
    Q_OBJECT
  public:
    enum Notification { Changed = 1, Escape = 30, Enter = 40, Previous = 50, Next = 60 };

    explicit NumberField(QWidget* parent = nullptr);
    int number() const; // decimal value of the leading digits, 0 when none

  signals:
    void notify(int code);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
};

} // namespace dedur
