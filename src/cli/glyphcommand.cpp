#include <cstdio>
#include <filesystem>
#include <string_view>

#include "bdfcommands.h"
#include "commands.h"
#include "fonts/big5.h"
#include "fonts/glyphfile.h"
#include "panel/tables.h"
#include "settings/settings.h"

namespace dedur::cli {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The edit mode whose glyphs the file holds, from --kind or the file name;
// -1 for a --kind we do not know, 0 for a name we cannot tell.
int kindOf(const std::string& path, const std::optional<std::string>& kind) {
    const std::string name = std::filesystem::path(path).filename().string();
    if (kind) {
        if (*kind == "16x15") return static_cast<int>(EditMode::Font16x15);
        if (*kind == "24x24") return static_cast<int>(EditMode::Font24x24);
        if (*kind == "8x15") return static_cast<int>(EditMode::Ascii8x15);
        if (*kind == "symbol16x15") {
            return sameName(name, SpecialSuppFileName)
                       ? static_cast<int>(EditMode::SpecialSupp16x15)
                       : static_cast<int>(EditMode::Special16x15);
        }
        return -1;
    }
    if (sameName(name, Std16x15FileName)) return static_cast<int>(EditMode::Font16x15);
    if (sameName(name, Std24FileName)) return static_cast<int>(EditMode::Font24x24);
    if (sameName(name, AsciiFileName)) return static_cast<int>(EditMode::Ascii8x15);
    if (sameName(name, SpecialFileName)) return static_cast<int>(EditMode::Special16x15);
    if (sameName(name, SpecialSuppFileName)) return static_cast<int>(EditMode::SpecialSupp16x15);
    return 0;
}

// The glyph's rows of '1' and '0' on stdout.
void printRows(const Document& doc, const GlyphKind& kind) {
    for (int y = 0; y < kind.height; ++y) {
        std::fwrite(doc.workDots.data() + y * kind.width, 1, static_cast<size_t>(kind.width),
                    stdout);
        std::fputc('\n', stdout);
    }
}

int runGlyph(const ParsedArgs& args) {
    const Command& self = glyphCommand();
    const std::string& path = args.positional[0];
    if (isBdfPath(path)) return bdfGlyph(args);
    if (args.positional.size() > 1) {
        return usageError(self, "a glyph file takes --code or --number, not a character");
    }
    const int mode = kindOf(path, args.value("kind"));
    if (mode < 0) return usageError(self, "--kind must be 16x15, 24x24, 8x15 or symbol16x15");
    if (mode == 0) {
        return usageError(self, "cannot tell the glyph kind from the file name; give --kind");
    }
    const auto editType = static_cast<EditMode>(mode);
    if (args.has("code") == args.has("number")) {
        return usageError(self, "give either --code or --number");
    }
    const bool big5 = editType == EditMode::Font16x15 || editType == EditMode::Font24x24;
    const GlyphKind kind = glyphKind(editType);
    uint32_t code = 0;
    long record = 0;
    if (const auto text = args.value("code")) {
        if (!big5) return usageError(self, "--code addresses the Big5 16x15 and 24x24 files only");
        const std::string digits = text->rfind("0x", 0) == 0 ? text->substr(2) : *text;
        const bool hex = !digits.empty() && digits.size() <= 4 &&
                         digits.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
        code = hex ? uncheckedHexValue(digits) : 0;
        const int index =
            big5GlyphIndex(static_cast<int>(code >> 8), static_cast<int>(code & 0xFF));
        if (index < 0) return failure("Code " + *text + " has no glyph in the Big5 glyph files");
        record = index;
    } else {
        const auto number = wholeNumber(*args.value("number"));
        if (!number || *number < 1 || *number > kind.count) {
            return failure("The glyph number must be 1.." + std::to_string(kind.count));
        }
        record = big5 ? *number - 1 : *number;
        if (big5) code = glyphNumberToCode(*number);
    }
    if (args.has("c-array") && !big5) {
        return usageError(self, "--c-array is for the 16x15 and 24x24 kinds");
    }

    uint8_t buffer[72] = {};
    Message error;
    if (!accessGlyphRecord(path, record, kind.recordSize, buffer, GlyphAccess::Read, &error)) {
        return failure(error.text);
    }
    Document doc;
    doc.editType = editType;
    glyphToDots(doc, editType, buffer);
    if (args.has("print") || !args.has("c-array")) printRows(doc, kind);
    if (const auto out = args.value("c-array")) {
        const Outcome written =
            writeTableFile(*out, glyphCArray(doc, code, kind.width, kind.height), true);
        if (!written.ok()) return failure(written.message.text);
    }
    return 0;
}

} // namespace

const Command& glyphCommand() {
    static const Command command{
        "glyph",
        "read one glyph of a bitmap font file",
        "usage: dedur-cli glyph FONTFILE (--code XXXX | --number N)\n"
        "                    [--kind 16x15|24x24|8x15|symbol16x15] [--print] [--c-array OUT]\n"
        "       dedur-cli glyph FONT.bdf U+XXXX|CHAR|0xHHHH|NUMBER\n"
        "\n"
        "Reads one glyph record. The kind follows the file name (STD16X15.fon 16x15,\n"
        "STD24.fon 24x24, ASCFONT.15 8x15, SPCFONT.15 and SPCFSUPP.15 symbol16x15)\n"
        "unless --kind is given.\n"
        "  --code XXXX    Big5 code in hexadecimal, e.g. A440 (16x15 and 24x24 kinds)\n"
        "  --number N     glyph number: 1..13094 in the Big5 files, the character\n"
        "                 number in the others (1..127, 1..407, 1..364)\n"
        "  --print        print the rows as '1'/'0' lines (the default when no --c-array)\n"
        "  --c-array OUT  append the glyph to OUT as a C array named after its code,\n"
        "                 as the editor's table export does (16x15 and 24x24 kinds)\n"
        "A BDF font's glyph is found by its character or code point (U+4E00), in a Big5\n"
        "font by the character's Big5 code, or by its ENCODING as 0xHHHH or a number of\n"
        "two digits or more. It prints a line of its code, name, BBX and DWIDTH, e.g.\n"
        "  U+0041 A BBX 5 7 1 0 DWIDTH 8\n"
        "then its box's rows as '1'/'0' lines, the top row first.\n",
        {{"code", true}, {"number", true}, {"kind", true}, {"print", false}, {"c-array", true}},
        1,
        2,
        runGlyph};
    return command;
}

} // namespace dedur::cli
