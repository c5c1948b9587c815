#pragma once

#include <string>

namespace dedur {

// What a core operation wants the user to see. The core never shows anything
// itself; the editor puts this into a message box and the CLI onto stderr.
enum class MessageButtons { Ok, YesNo, YesNoCancel, RetryCancel };
enum class MessageIcon { None, Question };

struct Message {
    std::string text;
    std::string caption;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::Question;

    bool empty() const { return text.empty(); }
};

// printf-style formatting into a std::string; the message texts are printf
// formats and must come out exactly as printf would make them.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace dedur
