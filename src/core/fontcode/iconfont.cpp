#include "fontcode/iconfont.h"

#include <algorithm>
#include <cctype>

#include "base/limits.h"
#include "base/numbertext.h"
#include "code/codeformats.h"
#include "code/glyphsubset.h"
#include "document/dotpacking.h"

namespace dedur {

namespace {

constexpr char32_t LastCodePoint = 0x10FFFF;
constexpr char32_t FirstIconCode = 0x20;     // below it, control characters no text can hold
constexpr char32_t GfxLastCode = 0xFF;       // Adafruit GFX takes the code as an unsigned char
constexpr int GfxSpaceFreeRun = 0x7F - 0x21; // codes from 0x21 up to DEL

Outcome refused(const std::string& why) {
    return Outcome::refused({why, " ", MessageButtons::Ok, MessageIcon::Question});
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string hexCode(char32_t code) {
    return "0x" + codePointText(code).substr(2);
}

// The string literal of a code's UTF-8 bytes, every byte escaped so that no
// character after it can join the escape.
std::string utf8Literal(char32_t code) {
    std::string literal = "\"";
    for (const char c : utf8(code)) {
        const auto b = static_cast<uint8_t>(c);
        literal += "\\x";
        literal += HexDigits[b >> 4];
        literal += HexDigits[b & 0xF];
    }
    return literal + "\"";
}

std::string prefixOf(const std::string& fontName) {
    return upper(fontName) + "_ICON_";
}

} // namespace

std::optional<FontFormat> iconFontFormatNamed(std::string_view name) {
    constexpr std::string_view Tail = "-font";
    if (name.size() <= Tail.size() || name.substr(name.size() - Tail.size()) != Tail) {
        return std::nullopt;
    }
    return fontFormatNamed(name.substr(0, name.size() - Tail.size()));
}

BdfFont iconFont(const CodeJob& job, const IconFontOptions& options) {
    BdfFont font;
    font.lined = true;
    int tallest = 0;
    char32_t code = options.first;
    for (const CodePattern& p : job.patterns) {
        BdfGlyph glyph;
        glyph.encoding = static_cast<long>(code++);
        glyph.width = p.width;
        glyph.height = p.height;
        glyph.xOffset = 0;
        glyph.yOffset = -options.baseline;
        glyph.advance = p.width + options.spacing;
        const size_t stride = packedRowBytes(p.width);
        glyph.dots.reserve(static_cast<size_t>(p.width) * static_cast<size_t>(p.height));
        for (int y = 0; y < p.height; ++y) {
            const uint8_t* row = p.packed.data() + static_cast<size_t>(y) * stride;
            for (int x = 0; x < p.width; ++x) {
                const bool set = (row[x / 8] >> (x % 8) & 1) != job.invert;
                glyph.dots.push_back(set ? '1' : '0');
            }
        }
        tallest = std::max(tallest, p.height);
        font.glyphs.push_back(std::move(glyph));
    }
    // Every icon's bottom row is `baseline` rows down; the tallest reaches
    // highest.
    font.descent = options.baseline;
    font.ascent = std::max(0, tallest - options.baseline);
    return font;
}

std::vector<IconCode> iconCodes(const CodeJob& job, const IconFontOptions& options,
                                const std::string& fontName) {
    std::vector<IconCode> codes;
    codes.reserve(job.patterns.size());
    const std::string prefix = prefixOf(fontName);
    char32_t code = options.first;
    for (const CodePattern& p : job.patterns) {
        const auto own = options.names.find(p.number);
        codes.push_back({p.number, code++,
                         prefix + (own != options.names.end() ? upper(own->second)
                                                              : std::to_string(p.number))});
    }
    return codes;
}

Outcome checkIconFont(FontFormat format, const CodeJob& job, const IconFontOptions& options,
                      const std::string& fontName) {
    if (job.patterns.empty()) return refused("No pattern is chosen");
    if (options.spacing < 0 || options.spacing > limits::IconSpacing) {
        return refused("The spacing must be from 0 to " + std::to_string(limits::IconSpacing) +
                       " dots");
    }
    if (options.baseline < 0 || options.baseline > limits::IconBaseline) {
        return refused("The baseline must be from 0 to " + std::to_string(limits::IconBaseline) +
                       " rows above the icons' bottom");
    }
    const char32_t first = options.first;
    const auto count = static_cast<char32_t>(job.patterns.size());
    if (first < FirstIconCode) {
        return refused("The icons' first code " + hexCode(first) +
                       " is a control character; give 0x20 or above");
    }
    if (first > LastCodePoint || count - 1 > LastCodePoint - first) {
        return refused("The " + std::to_string(count) + " icons from " + codePointText(first) +
                       " would run past " + codePointText(LastCodePoint) +
                       ", the last code point; give a lower --first");
    }
    const char32_t last = first + count - 1;
    // DEL and the C1 controls are no characters a text draws either.
    if (first <= 0x9F && last >= 0x7F) {
        return refused("The " + std::to_string(count) + " icons from " + codePointText(first) +
                       " would land on the control characters U+007F to U+009F; give --first "
                       "0xA1 or a range that ends before 0x7F");
    }
    if (first <= 0xDFFF && last >= 0xD800) {
        return refused("The icons from " + codePointText(first) + " to " + codePointText(last) +
                       " would take codes of U+D800 to U+DFFF, which UTF-8 cannot write; give "
                       "another --first");
    }
    if (format == FontFormat::Gfx && last > GfxLastCode) {
        return refused("Adafruit GFX draws codes 0x00 to 0xFF only, and the " +
                       std::to_string(count) + " icons from " + hexCode(first) + " reach " +
                       hexCode(last) + "; give --first 0x21 (at most " +
                       std::to_string(GfxSpaceFreeRun) + " icons from there)");
    }
    // Every format draws a space character blank, whatever glyph it is given.
    for (char32_t code = first; code <= last; ++code) {
        if (!isSpaceCharacter(static_cast<long>(code))) continue;
        return refused("Icon " + std::to_string(code - first + 1) + " would be at " +
                       codePointText(code) +
                       ", a space character, which every font draws blank; give another "
                       "--first (0x21 or 0xE000)");
    }
    if (const std::string problem = codeNameProblem(fontName); !problem.empty()) {
        return refused("The font's name cannot be used: " + problem + "; give another with --name");
    }
    for (const auto& [number, name] : options.names) {
        const bool chosen =
            std::any_of(job.patterns.begin(), job.patterns.end(),
                        [n = number](const CodePattern& p) { return p.number == n; });
        if (chosen && !isIdentifier(name)) {
            return refused("The name of pattern " + std::to_string(number) + ", \"" + name +
                           "\", cannot name an icon: a letter or _ first, then letters, digits "
                           "and _");
        }
    }
    // Each icon defines its code and its string; two of them may not give
    // one name (names differing in case, or "x" and "x_str").
    std::vector<std::pair<std::string, int>> defines;
    for (const IconCode& c : iconCodes(job, options, fontName)) {
        defines.emplace_back(c.define, c.pattern);
        defines.emplace_back(c.define + "_STR", c.pattern);
    }
    std::stable_sort(defines.begin(), defines.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < defines.size(); ++i) {
        if (defines[i].first != defines[i - 1].first) continue;
        return refused("The names of patterns " + std::to_string(defines[i - 1].second) + " and " +
                       std::to_string(defines[i].second) + " would both define \"" +
                       defines[i].first + "\"; rename one");
    }
    return {};
}

Outcome writeIconFont(FontFormat format, const CodeJob& job, const IconFontOptions& options,
                      const FontOutput& output, const CodeSink& sink) {
    if (Outcome checked = checkIconFont(format, job, options, output.name); !checked.ok()) {
        return checked;
    }
    const BdfFont font = iconFont(job, options);
    // The format's own checks before the codes go out, so that a refusal
    // hands nothing on.
    if (Outcome checked = writeFont(format, font, output, [](std::string_view) { return false; });
        !checked.ok()) {
        return checked;
    }
    const std::string upperName = upper(output.name);
    const std::string guard = upperName + "_ICONS_H";
    const std::string only = upperName + "_ICONS_CODES_ONLY";
    std::string head;
    head += "/* The icons of " + output.name + ": the code of each and its UTF-8 string.\n" +
            " * Other files may include this one for the codes alone with\n *     #define " + only +
            "\n * before the #include. */\n";
    head += "#ifndef " + guard + "\n#define " + guard + "\n";
    for (const IconCode& c : iconCodes(job, options, output.name)) {
        head += "#define " + c.define + " " + hexCode(c.code) + "\n";
        head += "#define " + c.define + "_STR " + utf8Literal(c.code) + "\n";
        // Handed on a piece at a time, as the formats write theirs.
        if (head.size() >= size_t{1} << 17) {
            if (!sink(head)) return {};
            head.clear();
        }
    }
    head += "#endif /* " + guard + " */\n\n#ifndef " + only + "\n\n";
    if (!sink(head)) return {};
    bool going = true;
    const Outcome made = writeFont(format, font, output, [&](std::string_view piece) {
        going = sink(piece);
        return going;
    });
    if (!made.ok() || !going) return made;
    (void)sink("\n#endif /* " + only + " */\n");
    return {};
}

} // namespace dedur
