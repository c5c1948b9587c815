// Glyph files as BDF fonts: out, in, and subsets for the strings a product
// shows.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "base/fileread.h"
#include "base/limits.h"
#include "base/safewrite.h"
#include "code/codejob.h"
#include "code/codetemplate.h"
#include "code/glyphsubset.h"
#include "commands.h"
#include "document/patternfile.h"
#include "fontcode/fontformats.h"
#include "fontcode/fontsource.h"
#include "fontcode/glyphfont.h"
#include "fonts/bdf.h"
#include "fonts/glyphfile.h"

namespace dedur::cli {

namespace {

bool sameNameNoCase(const std::string& a, const char* b) {
    const std::string name = std::filesystem::path(a).filename().string();
    if (name.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The glyph file's kind from --kind or its name; false after the message.
bool fontKind(const ParsedArgs& args, const Command& self, const std::string& path,
              GlyphFileKind& kind, int& status) {
    const auto given = args.value("kind");
    if (given) {
        if (*given == "16x15") {
            kind = GlyphFileKind::Big5_16x15;
        } else if (*given == "24x24") {
            kind = GlyphFileKind::Big5_24x24;
        } else if (*given == "8x15") {
            kind = GlyphFileKind::Ascii8x15;
        } else if (*given == "symbol16x15") {
            kind = sameNameNoCase(path, SpecialSuppFileName) ? GlyphFileKind::SymbolSupp16x15
                                                             : GlyphFileKind::Symbol16x15;
        } else {
            status = usageError(self, "--kind must be 16x15, 24x24, 8x15 or symbol16x15");
            return false;
        }
        return true;
    }
    if (sameNameNoCase(path, Std16x15FileName)) {
        kind = GlyphFileKind::Big5_16x15;
    } else if (sameNameNoCase(path, Std24FileName)) {
        kind = GlyphFileKind::Big5_24x24;
    } else if (sameNameNoCase(path, AsciiFileName)) {
        kind = GlyphFileKind::Ascii8x15;
    } else if (sameNameNoCase(path, SpecialFileName)) {
        kind = GlyphFileKind::Symbol16x15;
    } else if (sameNameNoCase(path, SpecialSuppFileName)) {
        kind = GlyphFileKind::SymbolSupp16x15;
    } else {
        status = usageError(self, "cannot tell the glyph kind from the file name; give --kind");
        return false;
    }
    return true;
}

bool readWhole(const std::string& path, size_t limit, std::string& out) {
    const FileReadStatus status = readFileLimited(path, limit, out);
    if (status == FileReadStatus::Ok) return true;
    failure("Could not read " + quotedPath(path) + ": " + readFailureReason(path, status));
    return false;
}

// A glyph file that cannot be read whole is refused: writing back what was
// read of it would lose the rest.
bool readGlyphs(const std::string& path, GlyphFileKind kind, std::string& out) {
    std::string why;
    if (readGlyphFile(path, kind, out, why)) return true;
    failure("Could not read " + quotedPath(path) + ": " + why);
    return false;
}

// Standard input up to the limit of a text file; false after the message.
bool readStandardInput(std::string& out) {
    char buffer[1 << 16];
    while (std::cin.read(buffer, sizeof buffer) || std::cin.gcount() > 0) {
        const auto n = static_cast<size_t>(std::cin.gcount());
        if (out.size() + n > limits::TextFileBytes) {
            failure(formatText("The strings on standard input are longer than %zu MB",
                               limits::TextFileBytes >> 20));
            return false;
        }
        out.append(buffer, n);
    }
    if (std::cin.bad()) {
        failure("Could not read the strings on standard input");
        return false;
    }
    return true;
}

// "1 glyph", "2 glyphs".
std::string glyphCount(size_t n) {
    return std::to_string(n) + (n == 1 ? " glyph" : " glyphs");
}

// --format as one of the display libraries' font formats, when it names one.
std::optional<FontFormat> nativeFormat(const ParsedArgs& args) {
    return fontFormatNamed(args.value("format").value_or(""));
}

FontOutput fontOutput(const ParsedArgs& args, const std::string& name, const std::string& from) {
    FontOutput output;
    output.name = name;
    output.comment = "The glyphs of " + from + ", made by dedur";
    output.gfxRemap = args.has("gfx-remap");
    return output;
}

// The font in a library's format, through the output helper; refused before
// anything is written.
int writeNativeFont(const std::vector<std::string>& inputs, const ParsedArgs& args,
                    FontFormat format, const BdfFont& font, const FontOutput& output) {
    // The writers check the whole font before they hand on a piece: to
    // standard output it goes as it is made. A file is made only of a font
    // the writer took, so its text is made first (the glyph limits bound it),
    // and the font is encoded once.
    Outcome made;
    if (!args.value("output")) {
        const bool written = writeOut(inputs, args, [&](const CodeSink& sink) {
            made = writeFont(format, font, output, sink);
        });
        if (!made.ok()) return failure(made.message.text);
        return written ? 0 : 1;
    }
    std::string text;
    made = writeFont(format, font, output, [&text](std::string_view piece) {
        text.append(piece);
        return true;
    });
    if (!made.ok()) return failure(made.message.text);
    return writeOut(inputs, args, [&text](const CodeSink& sink) { sink(text); }) ? 0 : 1;
}

// The font of --from: read whole (at --size, face --face), or only the
// given characters; false after the message.
bool readSourceFont(const ParsedArgs& args, const Command& self, FontSourceOptions options,
                    FontSource& out, int& status) {
    const std::string path = args.value("from").value_or("");
    std::string error;
    // A collection's face index is 16 bits to FreeType.
    if (!numberOption(args, "size", limits::FontSourceSizeMin, limits::FontSourceSizeMax,
                      options.size, error) ||
        !numberOption(args, "face", 0, 0xFFFF, options.face, error)) {
        status = usageError(self, error);
        return false;
    }
    status = 1;
    if (!fileExists(path)) {
        failure("Could not read " + quotedPath(path) + ": there is no such file");
        return false;
    }
    std::string bytes;
    if (!readWhole(path, std::max(limits::BdfFileBytes, limits::FontSourceBytes), bytes)) {
        return false;
    }
    if (const Outcome read = readFontSource(bytes, path, options, out); !read.ok()) {
        failure(read.message.text);
        return false;
    }
    return true;
}

// What was left out of a font from --from, for standard error.
std::string sourceSummary(const FontSource& source) {
    std::string text = "from " + source.drawnFrom;
    if (source.leftOut) {
        text += "; " + std::to_string(source.leftOut) +
                " control codes, codes without a Unicode character or repeats left out";
    }
    if (source.undrawn) {
        text += "; " + std::to_string(source.undrawn) + " that FreeType could not draw left out";
    }
    return text;
}

int runFontExportFrom(const ParsedArgs& args) {
    const Command& self = fontExportCommand();
    if (args.positional.size() != 1) return usageError(self, "with --from give only OUT");
    if (args.has("kind")) return usageError(self, "--kind is for glyph files, not --from");
    const std::string source = *args.value("from"); // a copy: value() gives a temporary
    const std::string& target = args.positional[0];
    const std::string format = args.value("format").value_or("bdf");
    const auto native = nativeFormat(args);
    if (format != "bdf" && !native) {
        return usageError(self, "--format must be bdf, lvgl, u8g2 or gfx");
    }
    const std::string name = args.value("name").value_or(identifierFromFileName(source));
    if (!isIdentifier(name)) return usageError(self, "--name must be a C identifier");
    if (!outputAllowed(source, target, args.has("force"))) return 1;
    FontSource font;
    int status = 0;
    if (!readSourceFont(args, self, {}, font, status)) return status;
    ParsedArgs out = args;
    out.values["output"] = target;
    if (native) {
        status = writeNativeFont({source}, out, *native, font.font,
                                 fontOutput(args, name, quotedPath(source)));
    } else {
        status = writeOut({source}, out,
                          [&](const CodeSink& sink) { writeBdfFont(font.font, name, sink); })
                     ? 0
                     : 1;
    }
    if (status == 0) {
        std::cerr << glyphCount(font.font.glyphs.size()) << " written, " << sourceSummary(font)
                  << "\n";
    }
    return status;
}

int runFontExport(const ParsedArgs& args) {
    if (args.has("from")) return runFontExportFrom(args);
    const Command& self = fontExportCommand();
    if (args.positional.size() != 2) return usageError(self, "give FONTFILE and OUT");
    if (args.has("size") || args.has("face")) {
        return usageError(self, "--size and --face go with --from");
    }
    const std::string& source = args.positional[0];
    const std::string& target = args.positional[1];
    GlyphFileKind kind{};
    int status = 0;
    if (!fontKind(args, self, source, kind, status)) return status;
    std::string bytes;
    if (!fileExists(source)) {
        return failure("Could not read " + quotedPath(source) + ": there is no such file");
    }
    if (!readGlyphs(source, kind, bytes)) return 1;
    const std::string format = args.value("format").value_or("bdf");
    const auto native = nativeFormat(args);
    if (format != "bdf" && !native) {
        return usageError(self, "--format must be bdf, lvgl, u8g2 or gfx");
    }
    if (!outputAllowed(source, target, args.has("force"))) return 1;
    if (native) {
        const std::string name = args.value("name").value_or(identifierFromFileName(source));
        if (!isIdentifier(name)) return usageError(self, "--name must be a C identifier");
        int blank = 0, unmapped = 0;
        const BdfFont font = glyphFileFont(bytes, kind, fontRecords(bytes, kind, blank, unmapped));
        ParsedArgs out = args;
        out.values["output"] = target;
        const int status = writeNativeFont({source}, out, *native, font,
                                           fontOutput(args, name, quotedPath(source)));
        if (status == 0) {
            std::cerr << glyphCount(font.glyphs.size()) << " written; " << blank << " blank and "
                      << unmapped << " without a Unicode character left out\n";
        }
        return status;
    }
    const std::string name = std::filesystem::path(source).stem().string();
    const BdfExport made = exportBdf(bytes, kind, name);
    if (const Outcome written = writeFileSafely(target, made.text); !written.ok()) {
        return failure(written.message.text);
    }
    std::cerr << glyphCount(static_cast<size_t>(made.written)) << " written; " << made.blank
              << " blank and " << made.unmapped << " without a Unicode character left out\n";
    return 0;
}

int runFontImport(const ParsedArgs& args) {
    const Command& self = fontImportCommand();
    const std::string& fontPath = args.positional[0];
    const std::string& bdfPath = args.positional[1];
    GlyphFileKind kind{};
    int status = 0;
    if (!fontKind(args, self, fontPath, kind, status)) return status;
    std::string text;
    if (!readWhole(bdfPath, limits::BdfFileBytes, text)) return 1;
    BdfFont font;
    if (const Outcome read = parseBdf(text, bdfPath, font); !read.ok()) {
        return failure(read.message.text);
    }
    std::string bytes; // a missing file is made
    if (!readGlyphs(fontPath, kind, bytes)) return 1;
    const BdfImport placed = importBdf(font, kind, args.has("only-blank"), bytes);
    if (const Outcome written = writeFileSafely(fontPath, bytes); !written.ok()) {
        return failure(written.message.text);
    }
    std::cerr << glyphCount(static_cast<size_t>(placed.placed)) << " placed, " << placed.skipped
              << " skipped, " << placed.cut << " cut to the cell\n";
    return 0;
}

// The distinct characters of the strings: --text FILE and any further files,
// "-" for standard input; false after the message.
bool readCharacters(const std::vector<std::string>& sources, std::vector<char32_t>& characters) {
    // Each source on its own, so that a fault names its file and its byte.
    for (const std::string& source : sources) {
        std::string text;
        if (source == "-" ? !readStandardInput(text)
                          : !readWhole(source, limits::TextFileBytes, text)) {
            return false;
        }
        std::vector<char32_t> some;
        size_t badAt = 0;
        if (!distinctCharacters(text, some, badAt)) {
            const std::string what =
                source == "-" ? "The strings on standard input are" : quotedPath(source) + " is";
            failure(formatText("%s not UTF-8 text (byte %zu)", what.c_str(), badAt));
            return false;
        }
        characters.insert(characters.end(), some.begin(), some.end());
    }
    std::sort(characters.begin(), characters.end());
    characters.erase(std::unique(characters.begin(), characters.end()), characters.end());
    return true;
}

// The characters without a glyph on standard error; with --strict, false
// after the count.
bool reportMissing(const ParsedArgs& args, const std::vector<char32_t>& missing) {
    for (char32_t c : missing) {
        std::cerr << "dedur-cli: no glyph for U+" << formatText("%04X", static_cast<unsigned>(c))
                  << " " << printable(utf8(c)) << "\n";
    }
    if (!missing.empty() && args.has("strict")) {
        failure(std::to_string(missing.size()) + " characters have no glyph");
        return false;
    }
    return true;
}

// A glyph file beside the subset's, when it is there; false after the message.
bool readBeside(const std::string& folder, const char* fileName, GlyphFileKind kind,
                std::string& path, std::string& bytes) {
    path = (std::filesystem::path(folder) / fileName).string();
    return !fileExists(path) || readGlyphs(path, kind, bytes);
}

// font-subset --from: the strings' characters from a font of the user's.
int runFontSubsetFrom(const ParsedArgs& args, const std::vector<std::string>& sources,
                      const std::vector<char32_t>& characters) {
    const Command& self = fontSubsetCommand();
    const std::string fontPath = *args.value("from"); // a copy: value() gives a temporary
    const std::string name = args.value("name").value_or("glyphs");
    const auto native = nativeFormat(args);
    FontSourceOptions options;
    options.all = false;
    options.characters = characters;
    FontSource font;
    int status = 0;
    if (!readSourceFont(args, self, options, font, status)) return status;
    if (!reportMissing(args, font.missing)) return 1;
    std::vector<std::string> inputs = sources;
    inputs.push_back(fontPath);
    if (native) {
        return writeNativeFont(inputs, args, *native, font.font,
                               fontOutput(args, name, "the strings' characters"));
    }
    return writeOut(inputs, args,
                    [&](const CodeSink& sink) { writeBdfFont(font.font, name, sink); })
               ? 0
               : 1;
}

int runFontSubset(const ParsedArgs& args) {
    const Command& self = fontSubsetCommand();
    std::vector<std::string> sources = args.positional;
    if (const auto text = args.value("text")) sources.insert(sources.begin(), *text);
    if (sources.empty()) return usageError(self, "give the strings with --text FILE");
    const bool from = args.has("from");
    if (from && (args.has("kind") || args.has("fonts"))) {
        return usageError(self, "--kind and --fonts are for glyph files, not --from");
    }
    if (!from && (args.has("size") || args.has("face"))) {
        return usageError(self, "--size and --face go with --from");
    }
    const std::string kindName = args.value("kind").value_or("16x15");
    if (kindName != "16x15" && kindName != "24x24") {
        return usageError(self, "--kind must be 16x15 or 24x24");
    }
    const GlyphFileKind kind =
        kindName == "16x15" ? GlyphFileKind::Big5_16x15 : GlyphFileKind::Big5_24x24;
    const std::string format = args.value("format").value_or(from ? "bdf" : "c");
    const auto native = nativeFormat(args);
    if (format != "c" && format != "bdf" && format != "json" && !native) {
        return usageError(self, "--format must be c, bdf, json, lvgl, u8g2 or gfx");
    }
    if (args.has("format") && args.has("template")) {
        return usageError(self, "give --format or --template, not both");
    }
    // The C and JSON subsets are glyphs of one cell; a font of any boxes
    // has no cell to give them.
    if (from && (format == "c" || format == "json" || args.has("template") || args.has("layout"))) {
        return usageError(self, "the glyphs of --from have boxes of their own sizes, not one "
                                "cell: give --format bdf, lvgl, u8g2 or gfx");
    }
    const auto layout = layoutNamed(args.value("layout").value_or("rows-msb"));
    if (!layout || *layout == CodeLayout::Panel) {
        return usageError(self, "--layout must be rows-msb, rows-lsb, pages-lsb or pages-msb");
    }
    const std::string name = args.value("name").value_or("glyphs");
    if (!isIdentifier(name)) return usageError(self, "--name must be a C identifier");

    std::vector<char32_t> characters;
    if (!readCharacters(sources, characters)) return 1;
    if (from) return runFontSubsetFrom(args, sources, characters);
    const std::string folder = args.value("fonts").value_or(".");
    const std::string fontPath =
        (std::filesystem::path(folder) /
         (kind == GlyphFileKind::Big5_16x15 ? Std16x15FileName : Std24FileName))
            .string();
    std::string fileBytes;
    if (!fileExists(fontPath)) {
        return failure("Could not read " + quotedPath(fontPath) + ": there is no such file");
    }
    if (!readGlyphs(fontPath, kind, fileBytes)) return 1;
    // With 16x15: ASCII from the 8x15 file beside it, and what the Big5 file
    // lacks from the symbol files, when they are there.
    std::string asciiBytes, symbolBytes, symbolSuppBytes;
    std::string asciiPath, symbolPath, symbolSuppPath;
    if (kind == GlyphFileKind::Big5_16x15 &&
        (!readBeside(folder, AsciiFileName, GlyphFileKind::Ascii8x15, asciiPath, asciiBytes) ||
         !readBeside(folder, SpecialFileName, GlyphFileKind::Symbol16x15, symbolPath,
                     symbolBytes) ||
         !readBeside(folder, SpecialSuppFileName, GlyphFileKind::SymbolSupp16x15, symbolSuppPath,
                     symbolSuppBytes))) {
        return 1;
    }
    const GlyphSubset subset =
        makeSubset(fileBytes, kind, *layout, characters, asciiBytes, symbolBytes, symbolSuppBytes);
    if (!reportMissing(args, subset.missing)) return 1;
    // Every file read: the output may replace none of them.
    std::vector<std::string> inputs = sources;
    inputs.insert(inputs.end(), {fontPath, asciiPath, symbolPath, symbolSuppPath,
                                 args.value("template").value_or("")});
    if (const auto templatePath = args.value("template")) {
        std::string templateText;
        if (!readWhole(*templatePath, limits::TemplateBytes, templateText)) return 1;
        // Refused before anything is written; then written as it is made.
        const Outcome checked = checkSubsetTemplate(templateText, *templatePath);
        if (!checked.ok()) return failure(checked.message.text);
        return writeOut(inputs, args,
                        [&](const CodeSink& sink) {
                            (void)renderSubsetTemplate(subset, templateText, *templatePath, name,
                                                       sink);
                        })
                   ? 0
                   : 1;
    }
    if (native) {
        return writeNativeFont(
            inputs, args, *native,
            subsetFont(subset, fileBytes, asciiBytes, symbolBytes, symbolSuppBytes),
            fontOutput(args, name, "the strings' characters"));
    }
    const bool written = writeOut(inputs, args, [&](const CodeSink& sink) {
        if (format == "c") {
            writeSubsetC(subset, name, sink);
        } else if (format == "json") {
            writeSubsetJson(subset, sink);
        } else {
            sink(subsetAsBdf(fileBytes, subset, name, symbolBytes, symbolSuppBytes));
        }
    });
    return written ? 0 : 1;
}

} // namespace

const Command& fontSubsetCommand() {
    static const Command command{
        "font-subset",
        "the glyphs of the characters some strings use, for the firmware",
        "usage: dedur-cli font-subset --text STRINGS.txt [MORE.txt...] [--fonts DIR]\n"
        "                            [--kind 16x15|24x24]\n"
        "                            [--format c|bdf|json|lvgl|u8g2|gfx | --template FILE]\n"
        "                            [--gfx-remap]\n"
        "                            [--layout L] [--name NAME] [--output OUT [--force]]\n"
        "                            [--strict]\n"
        "       dedur-cli font-subset --text STRINGS.txt [MORE.txt...]\n"
        "                            --from FONT [--size PX] [--face N]\n"
        "                            [--format bdf|lvgl|u8g2|gfx [--gfx-remap]]\n"
        "                            [--name NAME] [--output OUT [--force]] [--strict]\n"
        "\n"
        "Reads UTF-8 text (\"-\" for standard input), collects its distinct characters\n"
        "in code-point order and writes only their glyphs, from STD16X15.fon or\n"
        "STD24.fon in DIR (default: here); with 16x15, ASCII from ASCFONT.15 beside\n"
        "it, 8 dots wide (the C output has a table of widths; the BDF holds the\n"
        "Big5 glyphs only), and what STD16X15.fon lacks or leaves blank (kana,\n"
        "circled numbers, symbols) from SPCFONT.15 and then SPCFSUPP.15 beside it.\n"
        "  --from FONT  the glyphs from a font of your own instead (see font-export):\n"
        "         a BDF, or any font FreeType reads drawn at --size PX (--face N\n"
        "         of a collection); written as bdf (the default), lvgl, u8g2 or\n"
        "         gfx, as the font places them (c, json, --template and --layout\n"
        "         take the glyph files' one cell)\n"
        "  c      the bitmaps in the layout, the code points (uint32) with their Big5\n"
        "         codes beside them, and NAME_glyph(code point), a binary search\n"
        "  bdf    a BDF font of just those glyphs\n"
        "  json   the glyphs' code points, Big5 codes and bytes\n"
        "  lvgl, u8g2, gfx  a font for LVGL, u8g2 or Adafruit GFX (see font-export)\n"
        "  --template FILE  a Mustache template: name, width, height, layout, count\n"
        "         and glyphs, each with codepoint, hex, big5, char, width, bytes\n"
        "         (value, hex, bin, index, last), rows (text), index and last\n"
        "  --layout L   rows-msb (default), rows-lsb, pages-lsb or pages-msb\n"
        "  --name NAME  the C identifier the arrays are named after (default glyphs)\n"
        "Characters without a glyph are listed on standard error; with --strict they\n"
        "make it fail (exit 1).\n",
        {{"text", true},
         {"from", true},
         {"size", true},
         {"face", true},
         {"fonts", true},
         {"kind", true},
         {"format", true},
         {"template", true},
         {"layout", true},
         {"name", true},
         {"output", true},
         {"force", false},
         {"strict", false},
         {"gfx-remap", false}},
        0,
        64,
        runFontSubset};
    return command;
}

const Command& fontExportCommand() {
    static const Command command{
        "font-export",
        "write a glyph file or a font as BDF, LVGL, u8g2 or GFX",
        "usage: dedur-cli font-export FONTFILE OUT\n"
        "                            [--kind 16x15|24x24|8x15|symbol16x15]\n"
        "                            [--format bdf|lvgl|u8g2|gfx [--gfx-remap]]\n"
        "                            [--name NAME] [--force]\n"
        "       dedur-cli font-export --from FONT OUT [--size PX] [--face N]\n"
        "                            [--format bdf|lvgl|u8g2|gfx [--gfx-remap]]\n"
        "                            [--name NAME] [--force]\n"
        "\n"
        "Writes every drawn glyph of the glyph file as a BDF 2.1 font (the format the\n"
        "X11 font tools and the display libraries' font converters read), encoded by\n"
        "Unicode: a Big5 glyph by the character its code stands for, its Big5 code in\n"
        "its name (STARTCHAR U+4E00_BIG5_A440), at 72 dots per inch (SIZE 15 72 72\n"
        "for 16x15). Blank glyphs, but for the space characters (U+0020, U+3000 and\n"
        "the other Unicode spaces, written blank with their advance), and codes\n"
        "without a Unicode character are left out, with their counts on standard\n"
        "error. The\n"
        "kind follows the file name (STD16X15.fon, STD24.fon, ASCFONT.15, SPCFONT.15\n"
        "and SPCFSUPP.15, whose records hold the Big5 codes from A140 and C6A1 in\n"
        "turn) unless --kind is given.\n"
        "  --format lvgl  an LVGL font (lv_font_t, 1 bit per dot) in one C file\n"
        "  --format u8g2  a u8g2 font (its run-length format) as a C array\n"
        "  --format gfx   an Adafruit GFX font (GFXfont); codes above 255 need\n"
        "                 --gfx-remap, which puts the characters on codes from 0x20\n"
        "  --name NAME    the C identifier of the font (default: from the file name)\n"
        "  --from FONT    every glyph of a font of your own instead of a glyph file:\n"
        "                 a BDF font (any size, any Unicode; a Big5-encoded one is\n"
        "                 turned into Unicode) with its boxes, offsets, advances and\n"
        "                 line as written, or a font FreeType reads (.ttf, .otf, .ttc,\n"
        "                 .pcf) at --size PX, 4 to 256: its bitmap strike of that\n"
        "                 size when it has one, else its outlines drawn one bit a dot\n"
        "                 with the font's own hints (never the auto-hinter), each\n"
        "                 box cut to its dots, the line from the size's ascender and\n"
        "                 descender. A font of one strike needs no --size.\n"
        "  --face N       the face of a collection (.ttc), from 0 (default 0)\n",
        {{"kind", true},
         {"format", true},
         {"name", true},
         {"from", true},
         {"size", true},
         {"face", true},
         {"gfx-remap", false},
         {"force", false}},
        1,
        2,
        runFontExport};
    return command;
}

const Command& fontImportCommand() {
    static const Command command{
        "font-import",
        "place the glyphs of a BDF font into a glyph file",
        "usage: dedur-cli font-import FONTFILE IN.bdf\n"
        "                            [--kind 16x15|24x24|8x15|symbol16x15]\n"
        "                            [--only-blank]\n"
        "\n"
        "Places every glyph of the BDF font whose character the glyph file has a record\n"
        "for, by its BBX offsets: the font's ascent and descent (FONT_ASCENT and\n"
        "FONT_DESCENT, else FONTBOUNDINGBOX) centred on the cell's height, so that a\n"
        "font of the cell's height has its ascent at the top, and each glyph's advance\n"
        "(DWIDTH) centred on the cell's width. A font without those stands on the\n"
        "file's baseline (13 rows above it in 16x15, 21 in 24x24, 12 in 8x15), a glyph\n"
        "without an advance is centred across. What falls outside the cell is cut.\n"
        "The file is made when it is not there, and written through the safe routine;\n"
        "one larger than its glyphs is refused, as what it holds past them would be lost.\n"
        "A summary of glyphs placed, skipped (no record) and cut goes to standard error.\n"
        "  --only-blank   fill only records with nothing drawn\n",
        {{"kind", true}, {"only-blank", false}},
        2,
        2,
        runFontImport};
    return command;
}

} // namespace dedur::cli
