#pragma once

#include <QLineEdit>

namespace dedur {

// Numeric entry field: digits only, and the notifications the dialogs and the
// navigation strip act on.
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
    bool focusNextPrevChild(bool next) override;
};

} // namespace dedur
