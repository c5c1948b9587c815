#pragma once

class QLabel;
class QPlainTextEdit;
class QWidget;

namespace dedur {

// The code dialogs' read-only view of the text they write: fixed-width,
// lines unwrapped.
QPlainTextEdit* newCodeView(QWidget* parent);
// A wrapped dark-red line saying what is wrong with the choices made.
QLabel* newWarningLine(QWidget* parent);

} // namespace dedur
