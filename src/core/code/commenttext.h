#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dedur {

// The marks that turn the direction of the text around them (U+061C,
// U+200E, U+200F, U+202A-U+202E, U+2066-U+2069): in a comment they make
// what a reader sees differ from what the compiler reads, and compilers
// refuse them (-Wbidi-chars).
bool directionMark(long codePoint);
// The bytes of such a mark at text[i] in UTF-8, or 0.
size_t directionMarkBytes(std::string_view text, size_t i);

// Text for a comment of generated code, on one line, that cannot end it or
// warn: control characters and direction marks become '?', "*/" and "/*"
// are broken up, and a backslash at its end (which would join the next line
// to a // comment) is dropped.
std::string commentText(std::string_view text);

} // namespace dedur
