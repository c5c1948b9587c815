#include "code/codeformats.h"

#include <algorithm>
#include <cctype>

#include "base/nametable.h"
#include "base/numbertext.h"
#include "code/codepieces.h"
#include "code/commenttext.h"

namespace dedur {

namespace {

constexpr NamedValue<CodeFormat> FormatNames[] = {
    {CodeFormat::C, "c"},       {CodeFormat::Xbm, "xbm"}, {CodeFormat::MicroPython, "micropython"},
    {CodeFormat::Rust, "rust"}, {CodeFormat::Asm, "asm"}, {CodeFormat::Json, "json"},
    {CodeFormat::Lvgl, "lvgl"}};

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string number(long long value) {
    return std::to_string(value);
}

// Appends every piece in turn (not "a" + b + ...: fewer strings made, and
// none of the inserts at the front that some compilers warn about).
template <typename... Pieces> void put(std::string& out, const Pieces&... pieces) {
    (out.append(std::string_view(pieces)), ...);
}

// Bytes as "0xAB, 0xCD, ..." lines of `perLine`, each line indented.
void appendByteLines(std::string& out, const std::vector<uint8_t>& bytes, size_t perLine,
                     const char* indent) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % perLine == 0) out += indent;
        out += "0x";
        out += HexDigits[bytes[i] >> 4];
        out += HexDigits[bytes[i] & 0xF];
        out += ',';
        out += i + 1 == bytes.size() || (i + 1) % perLine == 0 ? '\n' : ' ';
    }
}

void appendArt(std::string& out, const CodePattern& p, const char* lead) {
    out += lead;
    if (p.onPanel) {
        put(out, "Pattern ", number(p.number), ": ", number(p.width), " x ", number(p.height),
            " dots, SEG ", number(p.seg), ", COM ", number(p.com), "\n");
    } else {
        put(out, p.noun, " ", number(p.number), ": ", number(p.width), " x ", number(p.height),
            " dots\n");
    }
    for (int y = 0; y < p.height; ++y) {
        out += lead;
        appendArtRow(out, p, y);
        out += '\n';
    }
}

// The file the heading names: the one written, or one named after the job.
std::string headingFile(const CodeJob& job, const char* extension = "") {
    return job.output.empty() ? job.name + extension : commentText(job.output);
}

std::string heading(const CodeJob& job) {
    std::string text;
    put(text, "made by dedur from ", commentText(job.file), ", layout ", layoutName(job.layout),
        job.invert ? ", inverted" : "");
    return text;
}

// A header that any number of C and C++ files include: declarations for
// all, the definitions once, in the file that defines NAME_IMPLEMENTATION.
void writeC(const CodeJob& job, CodePieces& o) {
    std::string& out = o.text;
    const std::string guard = upper(job.name) + "_H";
    const std::string implementation = upper(job.name) + "_IMPLEMENTATION";
    put(out, "/* ", headingFile(job, ".h"), ": ", heading(job),
        "\n *\n * Include it from any number of C "
        "and C++ files. In exactly one of them,\n *     #define ",
        implementation, "\n * before the #include, for the arrays' definitions. */\n");
    put(out, "#ifndef ", guard, "\n#define ", guard, "\n\n#include <stdint.h>\n\n");
    if (job.progmem) {
        out += "#if defined(__AVR__)\n#include <avr/pgmspace.h>\n#endif\n"
               "#ifndef PROGMEM\n#define PROGMEM\n#endif\n\n";
    }
    out += "#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n";
    const char* attribute = job.progmem ? " PROGMEM" : "";
    const bool table = job.patterns.size() > 1;
    const std::string count = job.name + "_COUNT";
    const std::string frames = job.name + "_FRAME_COUNT";
    const auto sizeOf = [](const CodePattern& p) {
        return number(static_cast<long long>(p.bytes.size()));
    };
    for (const CodePattern& p : job.patterns) {
        o.handOn();
        out += "/*\n";
        appendArt(out, p, " * ");
        out += " */\n";
        put(out, "#define ", p.ident, "_WIDTH ", number(p.width), "\n");
        put(out, "#define ", p.ident, "_HEIGHT ", number(p.height), "\n");
        put(out, "extern const uint8_t ", p.ident, "[", sizeOf(p), "]", attribute, ";\n\n");
    }
    if (table) {
        put(out, "#define ", count, " ", number(static_cast<long long>(job.patterns.size())), "\n");
        put(out, "extern const uint8_t* const ", job.name, "[", count, "];\n");
        put(out, "extern const uint8_t ", job.name, "_WIDTHS[", count, "];\n");
        put(out, "extern const uint8_t ", job.name, "_HEIGHTS[", count, "];\n\n");
    }
    if (job.animation) {
        put(out, "/* The patterns as the frames of an animation, each shown for its delay. */\n");
        put(out, "#define ", frames, " ", number(static_cast<long long>(job.patterns.size())),
            "\n");
        put(out, "extern const uint32_t ", job.name, "_DELAYS_MS[", frames, "];\n");
        if (!table) put(out, "extern const uint8_t* const ", job.name, "_FRAMES[1];\n");
        out += "\n";
    }
    put(out, "#ifdef ", implementation, "\n\n");
    for (const CodePattern& p : job.patterns) {
        o.handOn();
        put(out, "const uint8_t ", p.ident, "[", sizeOf(p), "]", attribute, " = {\n");
        appendByteLines(out, p.bytes, 12, "    ");
        out += "};\n\n";
    }
    if (table) {
        put(out, "const uint8_t* const ", job.name, "[", count, "] = {\n");
        for (const CodePattern& p : job.patterns) {
            o.handOn();
            put(out, " ", p.ident, ",\n");
        }
        out += "};\n";
        put(out, "const uint8_t ", job.name, "_WIDTHS[", count, "] = {");
        for (const CodePattern& p : job.patterns) put(out, " ", number(p.width), ",");
        out += " };\n";
        put(out, "const uint8_t ", job.name, "_HEIGHTS[", count, "] = {");
        for (const CodePattern& p : job.patterns) put(out, " ", number(p.height), ",");
        out += " };\n\n";
    }
    if (job.animation) {
        put(out, "const uint32_t ", job.name, "_DELAYS_MS[", frames, "] = {");
        for (const CodePattern& p : job.patterns) put(out, " ", number(p.delay), ",");
        out += " };\n";
        if (!table) {
            put(out, "const uint8_t* const ", job.name, "_FRAMES[1] = { ",
                job.patterns.front().ident, " };\n");
        }
        out += "\n";
    }
    put(out, "#endif /* ", implementation, " */\n\n");
    out += "#ifdef __cplusplus\n}\n#endif\n\n";
    put(out, "#endif /* ", guard, " */\n");
}

void writeXbm(const CodeJob& job, CodePieces& o) {
    std::string& out = o.text;
    const CodePattern& p = job.patterns.front();
    put(out, "#define ", p.ident, "_width ", number(p.width), "\n");
    put(out, "#define ", p.ident, "_height ", number(p.height), "\n");
    put(out, "static unsigned char ", p.ident, "_bits[] = {\n");
    appendByteLines(out, p.bytes, 12, "   ");
    out += "};\n";
}

const char* frameBufferFormat(CodeLayout layout) {
    switch (layout) {
    case CodeLayout::RowsMsb:
        return "MONO_HLSB"; // bit 7 leftmost
    case CodeLayout::RowsLsb:
        return "MONO_HMSB"; // bit 0 leftmost
    case CodeLayout::PagesLsb:
        return "MONO_VLSB";
    default:
        return nullptr;
    }
}

void writeMicroPython(const CodeJob& job, CodePieces& o) {
    std::string& out = o.text;
    put(out, "# ", headingFile(job), ": ", heading(job), "\nimport framebuf\n\n");
    const std::string format = std::string("framebuf.") + frameBufferFormat(job.layout);
    for (const CodePattern& p : job.patterns) {
        o.handOn();
        appendArt(out, p, "# ");
        put(out, p.ident, " = bytearray(b'");
        for (uint8_t b : p.bytes) {
            out += "\\x";
            out += HexDigits[b >> 4];
            out += HexDigits[b & 0xF];
        }
        out += "')\n";
        put(out, p.ident, "_fb = framebuf.FrameBuffer(", p.ident, ", ", number(p.width), ", ",
            number(p.height), ", ", format, ")\n\n");
    }
    if (job.patterns.size() > 1) {
        put(out, job.name, " = (");
        for (const CodePattern& p : job.patterns) put(out, p.ident, "_fb, ");
        out += ")\n";
    }
    if (job.animation) {
        put(out, job.name, "_FRAME_COUNT = ", number(static_cast<long long>(job.patterns.size())),
            "\n", job.name, "_DELAYS_MS = (");
        for (const CodePattern& p : job.patterns) put(out, number(p.delay), ", ");
        out += ")\n";
    }
}

void writeRust(const CodeJob& job, CodePieces& o) {
    std::string& out = o.text;
    put(out, "// ", headingFile(job), ": ", heading(job), "\n\n");
    for (const CodePattern& p : job.patterns) {
        o.handOn();
        const std::string ident = upper(p.ident);
        appendArt(out, p, "// ");
        put(out, "pub const ", ident, "_WIDTH: u32 = ", number(p.width), ";\n");
        put(out, "pub const ", ident, "_HEIGHT: u32 = ", number(p.height), ";\n");
        put(out, "pub const ", ident, ": [u8; ", number(static_cast<long long>(p.bytes.size())),
            "] = [\n");
        appendByteLines(out, p.bytes, 12, "    ");
        out += "];\n\n";
    }
    if (job.patterns.size() > 1) {
        const std::string name = upper(job.name);
        const std::string count = number(static_cast<long long>(job.patterns.size()));
        put(out, "pub const ", name, "_COUNT: usize = ", count, ";\n");
        put(out, "pub const ", name, ": [&[u8]; ", count, "] = [");
        for (const CodePattern& p : job.patterns) put(out, "&", upper(p.ident), ", ");
        out += "];\n";
    }
    if (job.animation) {
        const std::string name = upper(job.name);
        const std::string count = number(static_cast<long long>(job.patterns.size()));
        put(out, "pub const ", name, "_FRAME_COUNT: usize = ", count, ";\n");
        put(out, "pub const ", name, "_DELAYS_MS: [u32; ", count, "] = [");
        for (const CodePattern& p : job.patterns) put(out, number(p.delay), ", ");
        out += "];\n";
    }
}

void writeAsm(const CodeJob& job, CodePieces& o) {
    std::string& out = o.text;
    put(out, "; ", headingFile(job), ": ", heading(job), "\n");
    for (const CodePattern& p : job.patterns) {
        o.handOn();
        out += ";\n";
        appendArt(out, p, ";   ");
        put(out, p.ident, ":\n");
        for (size_t i = 0; i < p.bytes.size(); i += 8) {
            out += ".DB ";
            for (size_t k = i; k < p.bytes.size() && k < i + 8; ++k) {
                if (k > i) out += ',';
                out += '$';
                out += HexDigits[p.bytes[k] >> 4];
                out += HexDigits[p.bytes[k] & 0xF];
            }
            out += '\n';
        }
    }
}

void writeJson(const CodeJob& job, CodePieces& o) {
    std::string& out = o.text;
    out += "{\"layout\": \"";
    out += layoutName(job.layout);
    out += "\", \"patterns\": [";
    for (size_t i = 0; i < job.patterns.size(); ++i) {
        o.handOn();
        const CodePattern& p = job.patterns[i];
        out += i ? ",\n  " : "\n  ";
        put(out, "{\"number\": ", number(p.number), ", \"name\": \"", p.ident,
            "\", \"width\": ", number(p.width), ", \"height\": ", number(p.height),
            ", \"seg\": ", number(p.seg), ", \"com\": ", number(p.com));
        if (job.animation) put(out, ", \"delay\": ", number(p.delay));
        out += ", \"bytes\": [";
        for (size_t k = 0; k < p.bytes.size(); ++k) {
            if (k) out += ", ";
            out += number(p.bytes[k]);
        }
        out += "]}";
    }
    out += "\n]";
    if (job.animation) {
        long total = 0;
        for (const CodePattern& p : job.patterns) total += p.delay;
        put(out, ", \"frame_count\": ", number(static_cast<long long>(job.patterns.size())),
            ", \"total_ms\": ", number(total));
    }
    out += "}\n";
}

std::string hexColour(uint32_t rgb) {
    std::string text = "#";
    for (int shift = 20; shift >= 0; shift -= 4) text += HexDigits[rgb >> shift & 0xF];
    return text;
}

// A palette entry as LVGL keeps it: blue, green, red, alpha (opaque).
void appendPaletteEntry(std::string& out, uint32_t rgb, const char* what) {
    out += "    ";
    for (int shift : {0, 8, 16}) {
        const uint8_t b = static_cast<uint8_t>(rgb >> shift);
        out += "0x";
        out += HexDigits[b >> 4];
        out += HexDigits[b & 0xF];
        out += ", ";
    }
    put(out, "0xFF, /* ", what, " ", hexColour(rgb), " */\n");
}

// One image descriptor per pattern in a C file: a two-colour palette, then
// the rows, MSB first, each (w + 7) / 8 bytes (the stride), which are the
// rows-msb bytes as they are.
void writeLvgl(const CodeJob& job, const LvglImageOptions& lvgl, CodePieces& o) {
    std::string& out = o.text;
    const bool nine = lvgl.version >= 9;
    put(out, "/* ", headingFile(job), ": ", heading(job), "\n * LVGL ", nine ? "9" : "8",
        " images: index 0 of the palette (a clear dot) is ", hexColour(lvgl.background),
        ", index 1 (a set dot) ", hexColour(lvgl.foreground), ".\n * Declare one with ",
        nine ? "LV_IMAGE_DECLARE" : "LV_IMG_DECLARE", "(name) where it is drawn. */\n\n");
    out += "#if defined(LV_LVGL_H_INCLUDE_SIMPLE)\n#include \"lvgl.h\"\n#else\n"
           "#include \"lvgl/lvgl.h\"\n#endif\n\n"
           "#ifndef LV_ATTRIBUTE_MEM_ALIGN\n#define LV_ATTRIBUTE_MEM_ALIGN\n#endif\n"
           "#ifndef LV_ATTRIBUTE_LARGE_CONST\n#define LV_ATTRIBUTE_LARGE_CONST\n#endif\n";
    for (const CodePattern& p : job.patterns) {
        o.handOn();
        const size_t stride = (static_cast<size_t>(p.width) + 7) / 8;
        out += "\n/*\n";
        appendArt(out, p, " * ");
        out += " */\n";
        put(out, "static const LV_ATTRIBUTE_MEM_ALIGN LV_ATTRIBUTE_LARGE_CONST uint8_t ", p.ident,
            "_map[] = {\n");
        appendPaletteEntry(out, lvgl.background, "index 0:");
        appendPaletteEntry(out, lvgl.foreground, "index 1:");
        appendByteLines(out, p.bytes, stride, "    ");
        out += "};\n\n";
        if (nine) {
            put(out, "const lv_image_dsc_t ", p.ident, " = {\n    .header = {\n",
                "        .magic = LV_IMAGE_HEADER_MAGIC,\n", "        .cf = LV_COLOR_FORMAT_I1,\n",
                "        .flags = 0,\n", "        .w = ", number(p.width), ",\n",
                "        .h = ", number(p.height), ",\n",
                "        .stride = ", number(static_cast<long long>(stride)), ",\n    },\n");
        } else {
            put(out, "const lv_img_dsc_t ", p.ident, " = {\n    .header = {\n",
                "        .cf = LV_IMG_CF_INDEXED_1BIT,\n", "        .always_zero = 0,\n",
                "        .w = ", number(p.width), ",\n", "        .h = ", number(p.height),
                ",\n    },\n");
        }
        put(out, "    .data_size = sizeof(", p.ident, "_map),\n    .data = ", p.ident,
            "_map,\n};\n");
    }
}

Outcome refused(const std::string& why) {
    return Outcome::refused({why, " ", MessageButtons::Ok, MessageIcon::Question});
}

// Words no output may use as a name: the keywords of C23, C++23 (with the
// alternative tokens), Rust (strict, reserved and weak) and Python, the
// names the outputs themselves take (MicroPython's module and the type its
// arrays are made with, AVR's PROGMEM, a program's main, C++'s namespace std) and the C
// library's common macros.
constexpr std::string_view TakenWords[] = {
    // C23
    "alignas", "alignof", "auto", "bool", "break", "case", "char", "const", "constexpr", "continue",
    "default", "do", "double", "else", "enum", "extern", "false", "float", "for", "goto", "if",
    "inline", "int", "long", "nullptr", "register", "restrict", "return", "short", "signed",
    "sizeof", "static", "static_assert", "struct", "switch", "thread_local", "true", "typedef",
    "typeof", "typeof_unqual", "union", "unsigned", "void", "volatile", "while", "_Alignas",
    "_Alignof", "_Atomic", "_BitInt", "_Bool", "_Complex", "_Decimal128", "_Decimal32",
    "_Decimal64", "_Generic", "_Imaginary", "_Noreturn", "_Static_assert", "_Thread_local",
    // C++23
    "and", "and_eq", "asm", "bitand", "bitor", "catch", "char8_t", "char16_t", "char32_t", "class",
    "compl", "concept", "consteval", "constinit", "const_cast", "co_await", "co_return", "co_yield",
    "decltype", "delete", "dynamic_cast", "explicit", "export", "friend", "mutable", "namespace",
    "new", "noexcept", "not", "not_eq", "operator", "or", "or_eq", "private", "protected", "public",
    "reinterpret_cast", "requires", "static_cast", "template", "this", "throw", "try", "typeid",
    "typename", "using", "virtual", "wchar_t", "xor", "xor_eq",
    // Rust
    "as", "crate", "fn", "impl", "in", "let", "loop", "match", "mod", "move", "mut", "pub", "ref",
    "self", "Self", "super", "trait", "type", "unsafe", "use", "where", "async", "await", "dyn",
    "abstract", "become", "box", "final", "macro", "override", "priv", "unsized", "yield", "gen",
    "macro_rules", "raw", "safe", "_",
    // Python
    "False", "None", "True", "assert", "def", "del", "elif", "except", "finally", "from", "global",
    "import", "is", "lambda", "nonlocal", "pass", "raise", "with",
    // the outputs' own
    "framebuf", "bytearray", "PROGMEM", "main", "std",
    // macros of the C library that a file including the header may well have
    "NULL", "EOF", "stdin", "stdout", "stderr", "errno", "assert", "offsetof"};

bool beginsNoCase(std::string_view text, std::string_view head) {
    if (text.size() < head.size()) return false;
    for (size_t i = 0; i < head.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != head[i]) return false;
    }
    return true;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The macros of <stdint.h>: INT8_MAX, UINT_LEAST16_MIN, INTPTR_MAX, SIZE_MAX,
// UINT64_C and the like.
bool isStdintMacro(std::string_view name) {
    for (std::string_view tail : {"_MAX", "_MIN", "_C"}) {
        if (!endsWith(name, tail)) continue;
        std::string_view head = name.substr(0, name.size() - tail.size());
        for (std::string_view whole : {"PTRDIFF", "SIZE", "SIG_ATOMIC", "WCHAR", "WINT"}) {
            if (head == whole) return true;
        }
        if (head.substr(0, 1) == "U") head.remove_prefix(1);
        if (head.substr(0, 3) != "INT") continue;
        head.remove_prefix(3);
        if (head == "PTR" || head == "MAX") return true;
        for (std::string_view kind : {"_LEAST", "_FAST"}) {
            if (head.substr(0, kind.size()) == kind) head.remove_prefix(kind.size());
        }
        if (head == "8" || head == "16" || head == "32" || head == "64") return true;
    }
    return false;
}

// The identifiers a format writes for a job, each with the pattern it
// belongs to (0: the job's tables).
std::vector<std::pair<std::string, int>> identifiersOf(const CodeJob& job, CodeFormat format) {
    std::vector<std::pair<std::string, int>> ids;
    const bool table = job.patterns.size() > 1;
    const auto add = [&ids](std::string id, int owner) { ids.emplace_back(std::move(id), owner); };
    switch (format) {
    case CodeFormat::C:
        add(upper(job.name) + "_H", 0);
        add(upper(job.name) + "_IMPLEMENTATION", 0);
        if (table) {
            for (const char* tail : {"", "_COUNT", "_WIDTHS", "_HEIGHTS"}) add(job.name + tail, 0);
        }
        if (job.animation) {
            for (const char* tail : {"_FRAME_COUNT", "_DELAYS_MS"}) add(job.name + tail, 0);
            if (!table) add(job.name + "_FRAMES", 0);
        }
        for (const CodePattern& p : job.patterns) {
            for (const char* tail : {"", "_WIDTH", "_HEIGHT"}) add(p.ident + tail, p.number);
        }
        break;
    case CodeFormat::Xbm:
        for (const CodePattern& p : job.patterns) {
            for (const char* tail : {"_width", "_height", "_bits"}) add(p.ident + tail, p.number);
        }
        break;
    case CodeFormat::MicroPython:
        add("framebuf", 0);
        if (table) add(job.name, 0);
        if (job.animation) {
            for (const char* tail : {"_FRAME_COUNT", "_DELAYS_MS"}) add(job.name + tail, 0);
        }
        for (const CodePattern& p : job.patterns) {
            for (const char* tail : {"", "_fb"}) add(p.ident + tail, p.number);
        }
        break;
    case CodeFormat::Rust:
        if (table) {
            for (const char* tail : {"", "_COUNT"}) add(upper(job.name) + tail, 0);
        }
        if (job.animation) {
            for (const char* tail : {"_FRAME_COUNT", "_DELAYS_MS"}) add(upper(job.name) + tail, 0);
        }
        for (const CodePattern& p : job.patterns) {
            for (const char* tail : {"", "_WIDTH", "_HEIGHT"}) add(upper(p.ident) + tail, p.number);
        }
        break;
    case CodeFormat::Asm:
        for (const CodePattern& p : job.patterns) add(p.ident, p.number);
        break;
    case CodeFormat::Json:
        break;
    case CodeFormat::Lvgl:
        for (const CodePattern& p : job.patterns) {
            for (const char* tail : {"", "_map"}) add(p.ident + tail, p.number);
        }
        break;
    }
    return ids;
}

std::string owner(int pattern) {
    return pattern ? "pattern " + number(pattern) : std::string("the tables");
}

} // namespace

// The C library's functions that compilers know as built-ins, and those its
// common headers declare: a table of that name fails to compile ("built-in
// function declared as non-function") or clashes beside the header.
constexpr std::string_view LibraryFunctions[] = {
    "abort",    "abs",      "acos",    "asin",      "atan",    "atan2",    "atof",    "atoi",
    "atol",     "bsearch",  "calloc",  "ceil",      "cos",     "cosh",     "exit",    "exp",
    "fabs",     "fclose",   "fflush",  "fgetc",     "fgets",   "floor",    "fmax",    "fmin",
    "fmod",     "fopen",    "fprintf", "fputc",     "fputs",   "fread",    "free",    "frexp",
    "fscanf",   "fseek",    "ftell",   "fwrite",    "getc",    "getchar",  "isalnum", "isalpha",
    "iscntrl",  "isdigit",  "isgraph", "islower",   "isprint", "ispunct",  "isspace", "isupper",
    "isxdigit", "labs",     "ldexp",   "llabs",     "log",     "log10",    "log2",    "lround",
    "malloc",   "memchr",   "memcmp",  "memcpy",    "memmove", "memset",   "modf",    "pow",
    "printf",   "putc",     "putchar", "puts",      "qsort",   "rand",     "realloc", "remove",
    "rename",   "round",    "scanf",   "sin",       "sinh",    "snprintf", "sprintf", "sqrt",
    "srand",    "sscanf",   "strcat",  "strchr",    "strcmp",  "strcpy",   "strcspn", "strdup",
    "strlen",   "strncat",  "strncmp", "strncpy",   "strpbrk", "strrchr",  "strspn",  "strstr",
    "strtod",   "strtok",   "strtol",  "strtoul",   "tan",     "tanh",     "tolower", "toupper",
    "trunc",    "vfprintf", "vprintf", "vsnprintf", "vsprintf"};

std::string codeNameProblem(std::string_view name) {
    std::string quoted(1, '"');
    quoted.append(name).push_back('"');
    if (name.empty()) return "A name cannot be empty";
    if (!isIdentifier(name)) {
        return quoted + " is not an identifier: a letter or _ first, then letters, digits and _";
    }
    for (std::string_view word : TakenWords) {
        if (name == word) return quoted + " is a keyword or a name the code itself uses";
    }
    if (name.substr(0, 2) == "__" ||
        (name.size() > 1 && name[0] == '_' && std::isupper(static_cast<unsigned char>(name[1])))) {
        return quoted + " is reserved to the compiler (__ or _ and a capital first)";
    }
    if (endsWith(name, "_t") || isStdintMacro(name)) {
        return quoted + " is a name of <stdint.h> (or reserved to it: names ending in _t)";
    }
    for (std::string_view function : LibraryFunctions) {
        if (name == function) return quoted + " is a function of the C library";
    }
    return {};
}

std::vector<IdentifierClash> identifierClashes(const CodeJob& job, CodeFormat format) {
    std::vector<std::pair<std::string, int>> ids = identifiersOf(job, format);
    std::stable_sort(ids.begin(), ids.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<IdentifierClash> clashes;
    for (size_t i = 1; i < ids.size(); ++i) {
        if (ids[i].first == ids[i - 1].first) {
            clashes.push_back({ids[i].first, ids[i - 1].second, ids[i].second});
        }
    }
    return clashes;
}

Outcome checkCodeNames(const CodeJob& job, std::optional<CodeFormat> format) {
    if (const std::string problem = codeNameProblem(job.name); !problem.empty()) {
        return refused("The code's name cannot be used: " + problem + "; give another with --name");
    }
    for (const CodePattern& p : job.patterns) {
        if (const std::string problem = codeNameProblem(p.ident); !problem.empty()) {
            return refused("The name of pattern " + number(p.number) +
                           " cannot be used: " + problem);
        }
        // lvgl.h declares lv_* and defines LV_* and LVGL_*: an image of such
        // a name would meet one of them.
        if (format == CodeFormat::Lvgl &&
            (beginsNoCase(p.ident, "lv_") || beginsNoCase(p.ident, "lvgl"))) {
            return refused("The name of pattern " + number(p.number) + ", \"" + p.ident +
                           "\", begins as LVGL's own names do (lv_, LV_, LVGL); give another");
        }
    }
    for (CodeFormat f : AllCodeFormats) {
        if (format && f != *format) continue;
        const std::vector<IdentifierClash> clashes = identifierClashes(job, f);
        if (clashes.empty()) continue;
        const IdentifierClash& c = clashes.front();
        const std::string who = c.first == c.second ? owner(c.first) + " twice"
                                                    : owner(c.first) + " and " + owner(c.second);
        return refused("The names clash: " + who + " would both be \"" + c.identifier + "\" in " +
                       formatName(f) + "; rename one");
    }
    return {};
}

std::string patternNameProblem(const std::map<int, std::string>& names, int number,
                               const std::string& name, int count, const std::string& path) {
    if (std::string problem = codeNameProblem(name); !problem.empty()) return problem;
    // The file's patterns as one job of every pattern, named as they would
    // be with this name: the identifiers every format would write.
    CodeJob job;
    job.name = identifierFromFileName(path);
    job.animation = true;
    const auto pattern = [&](int n, std::string ident) {
        CodePattern p;
        p.number = n;
        p.ident = std::move(ident);
        job.patterns.push_back(std::move(p));
    };
    // The NAME_<number> of unnamed patterns matter only to a name that
    // begins like them (case aside, for Rust); two of them keep the tables.
    const std::string prefix = upper(job.name) + "_";
    const bool meetsDefaults = upper(name).compare(0, prefix.size(), prefix) == 0;
    int defaults = 0;
    for (int n = 1; n <= count; ++n) {
        const auto own = names.find(n);
        if (n == number) {
            pattern(n, name);
        } else if (own != names.end()) {
            pattern(n, own->second);
        } else if (meetsDefaults || defaults < 2) {
            pattern(n, job.name + "_" + std::to_string(n));
            ++defaults;
        }
    }
    for (CodeFormat f : AllCodeFormats) {
        for (const IdentifierClash& c : identifierClashes(job, f)) {
            if (c.first != number && c.second != number) continue;
            const int other = c.first == number ? c.second : c.first;
            const std::string user = other == number ? "its own other identifiers"
                                     : other == 0    ? "the file's tables"
                                                     : owner(other);
            return "\"" + name + "\" would give \"" + c.identifier + "\" in " + formatName(f) +
                   ", which " + user + (other && other != number ? " uses" : " use");
        }
    }
    return {};
}

std::optional<uint32_t> colourNamed(std::string_view text) {
    static constexpr NamedValue<uint32_t> Colours[] = {
        {0x000000, "black"}, {0xFFFFFF, "white"},   {0xFF0000, "red"},
        {0x00FF00, "green"}, {0x0000FF, "blue"},    {0xFFFF00, "yellow"},
        {0x00FFFF, "cyan"},  {0xFF00FF, "magenta"}, {0x808080, "gray"}};
    if (text.size() == 7 && text[0] == '#') {
        uint32_t rgb = 0;
        for (char c : text.substr(1)) {
            const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                              : c >= 'a' && c <= 'f'                      ? c - 'a' + 10
                              : c >= 'A' && c <= 'F'                      ? c - 'A' + 10
                                                                          : -1;
            if (digit < 0) return std::nullopt;
            rgb = rgb << 4 | static_cast<uint32_t>(digit);
        }
        return rgb;
    }
    return valueNamed(Colours, text);
}

const char* formatName(CodeFormat format) {
    return nameIn(FormatNames, format);
}

std::optional<CodeFormat> formatNamed(std::string_view name) {
    return valueNamed(FormatNames, name);
}

Outcome checkCodeFormat(const CodeJob& job, CodeFormat format) {
    if (job.patterns.empty()) return refused("No pattern is chosen");
    for (const CodePattern& p : job.patterns) {
        if (!p.offPanel.empty()) return refused(p.offPanel);
    }
    if (format == CodeFormat::Xbm) {
        if (job.layout != CodeLayout::RowsLsb) {
            return refused("XBM keeps its dots in the rows-lsb layout only");
        }
        if (job.patterns.size() > 1) {
            return refused("An XBM file holds one pattern; choose one");
        }
    }
    if (format == CodeFormat::Lvgl && job.layout != CodeLayout::RowsMsb) {
        return refused("LVGL images keep their dots in the rows-msb layout only");
    }
    if (format == CodeFormat::MicroPython && !frameBufferFormat(job.layout)) {
        return refused(std::string("MicroPython's frame buffer cannot read the ") +
                       layoutName(job.layout) + " layout; choose rows-msb, rows-lsb or pages-lsb");
    }
    return {};
}

Outcome writeCode(const CodeJob& job, CodeFormat format, const CodeSink& sink,
                  const LvglImageOptions& lvgl) {
    if (Outcome checked = checkCodeFormat(job, format); !checked.ok()) return checked;
    CodePieces o(&sink);
    switch (format) {
    case CodeFormat::C:
        writeC(job, o);
        break;
    case CodeFormat::Xbm:
        writeXbm(job, o);
        break;
    case CodeFormat::MicroPython:
        writeMicroPython(job, o);
        break;
    case CodeFormat::Rust:
        writeRust(job, o);
        break;
    case CodeFormat::Asm:
        writeAsm(job, o);
        break;
    case CodeFormat::Json:
        writeJson(job, o);
        break;
    case CodeFormat::Lvgl:
        writeLvgl(job, lvgl, o);
        break;
    }
    o.handOn(true);
    return {};
}

Outcome writeCode(const CodeJob& job, CodeFormat format, std::string& out) {
    out.clear();
    return writeCode(job, format, [&out](std::string_view piece) {
        out.append(piece);
        return true;
    });
}

} // namespace dedur
