#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dedur {

// Big5 (code page 950) <-> Unicode through the C library's converters.
// The character of a two-byte code; the ETEN extensions that code page 950
// leaves in the private use area (C6A1..C8FE) are taken from Big5-HKSCS.
std::optional<char32_t> decodeBig5(int lead, int trail);
// Many two-byte codes at once through code page 950 alone: a code point for
// each pair, -1 where it has none.
std::vector<long> decodeBig5Codes(std::string_view pairs);
// The code page 950 bytes of a character: one byte for ASCII, two for Big5,
// empty when it has none.
std::string encodeBig5(char32_t character);

} // namespace dedur
