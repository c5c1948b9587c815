#pragma once

#include <string>
#include <string_view>

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

// Text from a file or a path, fit to stand in a message: control characters
// come out escaped ("\x1b"), so a file cannot drive the terminal or break
// the box's lines. Bytes from 0x80 up (Big5) stay as they are.
std::string printable(std::string_view text);
// A path as every message shows it: in double quotes, made printable.
std::string quotedPath(std::string_view path);

} // namespace dedur
