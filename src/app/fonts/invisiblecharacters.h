#pragma once

#include <string>

namespace dedur {

// The name of a character that shows as nothing, or as something easily
// taken for another: blanks, zero-width and direction marks, controls
// ("U+0020 SPACE", "U+0009 <control>"); empty for every other character,
// which a list can show as itself.
std::string invisibleCharacterName(char32_t c);

} // namespace dedur
