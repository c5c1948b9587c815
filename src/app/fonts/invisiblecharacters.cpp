#include "fonts/invisiblecharacters.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace dedur {

namespace {

struct Named {
    char32_t code;
    const char* name;
};

// The blanks (White_Space), format characters (Cf) and fillers that draw
// nothing, by code point; a table rather than a character database, as
// these are all a list of missing glyphs needs.
constexpr Named Names[] = {
    {0x0020, "SPACE"},
    {0x00A0, "NO-BREAK SPACE"},
    {0x00AD, "SOFT HYPHEN"},
    {0x034F, "COMBINING GRAPHEME JOINER"},
    {0x061C, "ARABIC LETTER MARK"},
    {0x115F, "HANGUL CHOSEONG FILLER"},
    {0x1160, "HANGUL JUNGSEONG FILLER"},
    {0x1680, "OGHAM SPACE MARK"},
    {0x180E, "MONGOLIAN VOWEL SEPARATOR"},
    {0x2000, "EN QUAD"},
    {0x2001, "EM QUAD"},
    {0x2002, "EN SPACE"},
    {0x2003, "EM SPACE"},
    {0x2004, "THREE-PER-EM SPACE"},
    {0x2005, "FOUR-PER-EM SPACE"},
    {0x2006, "SIX-PER-EM SPACE"},
    {0x2007, "FIGURE SPACE"},
    {0x2008, "PUNCTUATION SPACE"},
    {0x2009, "THIN SPACE"},
    {0x200A, "HAIR SPACE"},
    {0x200B, "ZERO WIDTH SPACE"},
    {0x200C, "ZERO WIDTH NON-JOINER"},
    {0x200D, "ZERO WIDTH JOINER"},
    {0x200E, "LEFT-TO-RIGHT MARK"},
    {0x200F, "RIGHT-TO-LEFT MARK"},
    {0x2028, "LINE SEPARATOR"},
    {0x2029, "PARAGRAPH SEPARATOR"},
    {0x202A, "LEFT-TO-RIGHT EMBEDDING"},
    {0x202B, "RIGHT-TO-LEFT EMBEDDING"},
    {0x202C, "POP DIRECTIONAL FORMATTING"},
    {0x202D, "LEFT-TO-RIGHT OVERRIDE"},
    {0x202E, "RIGHT-TO-LEFT OVERRIDE"},
    {0x202F, "NARROW NO-BREAK SPACE"},
    {0x205F, "MEDIUM MATHEMATICAL SPACE"},
    {0x2060, "WORD JOINER"},
    {0x2061, "FUNCTION APPLICATION"},
    {0x2062, "INVISIBLE TIMES"},
    {0x2063, "INVISIBLE SEPARATOR"},
    {0x2064, "INVISIBLE PLUS"},
    {0x2066, "LEFT-TO-RIGHT ISOLATE"},
    {0x2067, "RIGHT-TO-LEFT ISOLATE"},
    {0x2068, "FIRST STRONG ISOLATE"},
    {0x2069, "POP DIRECTIONAL ISOLATE"},
    {0x206A, "INHIBIT SYMMETRIC SWAPPING"},
    {0x206B, "ACTIVATE SYMMETRIC SWAPPING"},
    {0x206C, "INHIBIT ARABIC FORM SHAPING"},
    {0x206D, "ACTIVATE ARABIC FORM SHAPING"},
    {0x206E, "NATIONAL DIGIT SHAPES"},
    {0x206F, "NOMINAL DIGIT SHAPES"},
    {0x3000, "IDEOGRAPHIC SPACE"},
    {0x3164, "HANGUL FILLER"},
    {0xFEFF, "ZERO WIDTH NO-BREAK SPACE"},
    {0xFFA0, "HALFWIDTH HANGUL FILLER"},
    {0xFFF9, "INTERLINEAR ANNOTATION ANCHOR"},
    {0xFFFA, "INTERLINEAR ANNOTATION SEPARATOR"},
    {0xFFFB, "INTERLINEAR ANNOTATION TERMINATOR"},
    {0x110BD, "KAITHI NUMBER SIGN"},
    {0xE0001, "LANGUAGE TAG"},
};

static_assert(std::is_sorted(std::begin(Names), std::end(Names),
                             [](const Named& a, const Named& b) { return a.code < b.code; }));

std::string codeText(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

} // namespace

std::string invisibleCharacterName(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return codeText(c) + " <control>";
    if (c >= 0xFE00 && c <= 0xFE0F)
        return codeText(c) + " VARIATION SELECTOR-" + std::to_string(c - 0xFE00 + 1);
    if (c >= 0xE0100 && c <= 0xE01EF)
        return codeText(c) + " VARIATION SELECTOR-" + std::to_string(c - 0xE0100 + 17);
    if (c >= 0xE0020 && c <= 0xE007F) return codeText(c) + " <tag>";
    const auto* found =
        std::lower_bound(std::begin(Names), std::end(Names), c,
                         [](const Named& n, char32_t code) { return n.code < code; });
    if (found != std::end(Names) && found->code == c) return codeText(c) + " " + found->name;
    return {};
}

} // namespace dedur
