// Glyph files as BDF fonts: out, in, and subsets for the strings a product
// shows.
#include <cctype>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "base/fileread.h"
#include "base/safewrite.h"
#include "commands.h"
#include "document/patternfile.h"
#include "fonts/bdf.h"
#include "fonts/glyphfile.h"

namespace dedur::cli {

namespace {

constexpr size_t MaxBdfFileSize = size_t{1} << 26;

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
        } else {
            status = usageError(self, "--kind must be 16x15, 24x24 or 8x15");
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

int runFontExport(const ParsedArgs& args) {
    const Command& self = fontExportCommand();
    const std::string& source = args.positional[0];
    const std::string& target = args.positional[1];
    GlyphFileKind kind{};
    int status = 0;
    if (!fontKind(args, self, source, kind, status)) return status;
    std::string bytes;
    const GlyphFileShape shape = glyphFileShape(kind);
    if (!readWhole(source, static_cast<size_t>(shape.records * shape.recordBytes) + 4096, bytes)) {
        return 1;
    }
    if (!outputAllowed(source, target, args.has("force"))) return 1;
    const std::string name = std::filesystem::path(source).stem().string();
    const BdfExport made = exportBdf(bytes, kind, name);
    if (const Outcome written = writeFileSafely(target, made.text); !written.ok()) {
        return failure(written.message.text);
    }
    std::cerr << made.written << " glyphs written; " << made.blank << " blank and " << made.unmapped
              << " without a Unicode character left out\n";
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
    if (!readWhole(bdfPath, MaxBdfFileSize, text)) return 1;
    BdfFont font;
    if (const Outcome read = parseBdf(text, bdfPath, font); !read.ok()) {
        return failure(read.message.text);
    }
    std::string bytes;
    const GlyphFileShape shape = glyphFileShape(kind);
    if (fileExists(fontPath) &&
        !readWhole(fontPath, static_cast<size_t>(shape.records * shape.recordBytes) + 4096,
                   bytes)) {
        return 1;
    }
    const BdfImport placed = importBdf(font, kind, args.has("only-blank"), bytes);
    if (const Outcome written = writeFileSafely(fontPath, bytes); !written.ok()) {
        return failure(written.message.text);
    }
    std::cerr << placed.placed << " glyphs placed, " << placed.skipped << " skipped, " << placed.cut
              << " cut to the cell\n";
    return 0;
}

} // namespace

const Command& fontExportCommand() {
    static const Command command{
        "font-export",
        "write a glyph file as a BDF font",
        "usage: dedur-cli font-export FONTFILE OUT.bdf [--kind 16x15|24x24|8x15] [--force]\n"
        "\n"
        "Writes every drawn glyph of the glyph file as a BDF 2.1 font (the format the\n"
        "X11 font tools and the display libraries' font converters read), encoded by\n"
        "Unicode: a Big5 glyph by the character its code stands for, its Big5 code in\n"
        "its name (STARTCHAR U+4E00_BIG5_A440). Blank glyphs and codes without a\n"
        "Unicode character are left out, with their counts on standard error. The\n"
        "kind follows the file name (STD16X15.fon, STD24.fon, ASCFONT.15) unless\n"
        "--kind is given.\n",
        {{"kind", true}, {"force", false}},
        2,
        2,
        runFontExport};
    return command;
}

const Command& fontImportCommand() {
    static const Command command{
        "font-import",
        "place the glyphs of a BDF font into a glyph file",
        "usage: dedur-cli font-import FONTFILE IN.bdf [--kind 16x15|24x24|8x15]\n"
        "                            [--only-blank]\n"
        "\n"
        "Places every glyph of the BDF font whose character the glyph file has a record\n"
        "for: a glyph larger than the cell is cut, a smaller one stands on the file's\n"
        "baseline (13 rows above it in 16x15, 21 in 24x24, 12 in 8x15) and is centred\n"
        "across.\n"
        "The file is made when it is not there, and written through the safe routine.\n"
        "A summary of glyphs placed, skipped (no record) and cut goes to standard error.\n"
        "  --only-blank   fill only records with nothing drawn\n",
        {{"kind", true}, {"only-blank", false}},
        2,
        2,
        runFontImport};
    return command;
}

} // namespace dedur::cli
