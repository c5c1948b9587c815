#include "ui/codeview.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>

namespace dedur {

QPlainTextEdit* newCodeView(QWidget* parent) {
    auto* view = new QPlainTextEdit(parent);
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return view;
}

QLabel* newWarningLine(QWidget* parent) {
    auto* line = new QLabel(parent);
    line->setWordWrap(true);
    line->setStyleSheet("color: #b00000");
    return line;
}

} // namespace dedur
