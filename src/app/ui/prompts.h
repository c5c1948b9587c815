#pragma once

#include <QFont>
#include <QString>
#include <array>
#include <cstdint>

#include "base/message.h"

class QWidget;

namespace dedur {

// Answers of a message box.
enum PromptAnswer { IDOK = 1, IDCANCEL = 2, IDRETRY = 4, IDYES = 6, IDNO = 7 };

// Every message box, beep, file and colour dialog and the wait cursor go
// through here, so that tests can script the user's answers.
class Prompts {
  public:
    virtual ~Prompts() = default;
    virtual int showMessage(QWidget* owner, const Message& message) = 0;
    virtual void beep() = 0;
    // Empty when cancelled.
    virtual QString askOpenFileName(QWidget* owner, const QString& directory, const QString& filter,
                                    const QString& title) = 0;
    // `chosenType`, when given, gets the place of the type chosen in `filter`
    // (0 for the first), so that a name typed without an extension gets it.
    virtual QString askSaveFileName(QWidget* owner, const QString& directory, const QString& filter,
                                    const QString& title, int* chosenType = nullptr) = 0;
    // True when confirmed; `custom` keeps what the user edited either way.
    virtual bool chooseColour(QWidget* owner, uint32_t& colour,
                              std::array<uint32_t, 16>& custom) = 0;
    virtual void setWaitCursor(bool on) = 0;
    // A long read or write, `done` of `total` bytes so far: a window shows it
    // once the work has taken more than a moment; endProgress closes it.
    virtual void showProgress(QWidget* owner, const QString& label, uint64_t done,
                              uint64_t total) = 0;
    virtual void endProgress() = 0;
    virtual void showAbout(QWidget* owner) = 0;
    // True when a font was chosen; `font` starts as the current one.
    virtual bool chooseFont(QWidget* owner, QFont& font) = 0;
    // A line of text; false when cancelled. `text` starts as the current one.
    virtual bool askText(QWidget* owner, const QString& title, const QString& label,
                         QString& text) = 0;
};

// The filter strings are "Text|pattern|"; Qt wants "Text (pattern)".
QString qtFilter(const QString& barFilter);

} // namespace dedur
