#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dedur {

// Numbers written as text, read the ways the formats and the command line
// read them. The formats are forgiving, as they always were; the command
// line is strict.

inline constexpr char HexDigits[] = "0123456789ABCDEF";

// Decimal as the formats read it (atoi's way): white space, a sign, then
// digits up to the first other character; no digits read 0. The value
// saturates at `limit` either way, which each caller chooses.
long long leadingDecimal(std::string_view text, long long limit);

// 0..15 for a hexadecimal digit of either case, -1 for anything else.
int hexDigitValue(char c);

// Hexadecimal the settings' way: every character counts as a digit by its
// code ('G' is 16), upper or lower case alike, wrapping at 32 bits.
uint32_t uncheckedHexValue(std::string_view text);

// The whole text as a decimal number (an optional sign and digits, nothing
// else), within the range of an int; nothing otherwise.
std::optional<int> wholeNumber(std::string_view text);

} // namespace dedur
