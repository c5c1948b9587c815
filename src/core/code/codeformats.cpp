#include "code/codeformats.h"

#include <cctype>

#include "base/nametable.h"
#include "base/numbertext.h"
#include "code/codepieces.h"

namespace dedur {

namespace {

constexpr NamedValue<CodeFormat> FormatNames[] = {
    {CodeFormat::C, "c"},       {CodeFormat::Xbm, "xbm"}, {CodeFormat::MicroPython, "micropython"},
    {CodeFormat::Rust, "rust"}, {CodeFormat::Asm, "asm"}, {CodeFormat::Json, "json"}};

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
    put(out, "Pattern ", number(p.number), ": ", number(p.width), " x ", number(p.height),
        " dots, SEG ", number(p.seg), ", COM ", number(p.com), "\n");
    for (int y = 0; y < p.height; ++y) {
        out += lead;
        appendArtRow(out, p, y);
        out += '\n';
    }
}

std::string heading(const CodeJob& job) {
    std::string text;
    put(text, "made by dedur from ", job.file, ", layout ", layoutName(job.layout),
        job.invert ? ", inverted" : "");
    return text;
}

void writeC(const CodeJob& job, CodePieces& o) {
    std::string& out = o.text;
    std::string guard = upper(job.name);
    guard += "_H";
    put(out, "/* ", job.name, ".h: ", heading(job), " */\n");
    put(out, "#ifndef ", guard, "\n#define ", guard, "\n\n#include <stdint.h>\n\n");
    if (job.progmem) {
        out += "#if defined(__AVR__)\n#include <avr/pgmspace.h>\n#endif\n"
               "#ifndef PROGMEM\n#define PROGMEM\n#endif\n\n";
    }
    const char* attribute = job.progmem ? " PROGMEM" : "";
    for (const CodePattern& p : job.patterns) {
        o.handOn();
        out += "/*\n";
        appendArt(out, p, " * ");
        out += " */\n";
        put(out, "#define ", p.ident, "_WIDTH ", number(p.width), "\n");
        put(out, "#define ", p.ident, "_HEIGHT ", number(p.height), "\n");
        put(out, "const uint8_t ", p.ident, "[", number(static_cast<long long>(p.bytes.size())),
            "]", attribute, " = {\n");
        appendByteLines(out, p.bytes, 12, "    ");
        out += "};\n\n";
    }
    if (job.patterns.size() > 1) {
        std::string count = job.name;
        count += "_COUNT";
        out +=
            "#define " + count + " " + number(static_cast<long long>(job.patterns.size())) + "\n";
        put(out, "const uint8_t* const ", job.name, "[", count, "] = {\n");
        for (const CodePattern& p : job.patterns) put(out, " ", p.ident, ",\n");
        out += "};\n";
        put(out, "const uint8_t ", job.name, "_WIDTHS[", count, "] = {");
        for (const CodePattern& p : job.patterns) put(out, " ", number(p.width), ",");
        out += " };\n";
        put(out, "const uint8_t ", job.name, "_HEIGHTS[", count, "] = {");
        for (const CodePattern& p : job.patterns) put(out, " ", number(p.height), ",");
        out += " };\n\n";
    }
    if (job.animation) {
        put(out, "/* The patterns as the frames of an animation, each shown for its delay. */\n");
        put(out, "#define ", job.name, "_FRAME_COUNT ",
            number(static_cast<long long>(job.patterns.size())), "\n");
        put(out, "const uint32_t ", job.name, "_DELAYS_MS[", job.name, "_FRAME_COUNT] = {");
        for (const CodePattern& p : job.patterns) put(out, " ", number(p.delay), ",");
        out += " };\n";
        if (job.patterns.size() == 1) {
            put(out, "const uint8_t* const ", job.name, "_FRAMES[1] = { ",
                job.patterns.front().ident, " };\n");
        }
        out += "\n";
    }
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
    put(out, "# ", job.name, ": ", heading(job), "\nimport framebuf\n\n");
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
    put(out, "// ", job.name, ": ", heading(job), "\n\n");
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
    put(out, "; ", job.name, ": ", heading(job), "\n");
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

Outcome refused(const std::string& why) {
    return Outcome::refused({why, " ", MessageButtons::Ok, MessageIcon::Question});
}

} // namespace

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
    if (format == CodeFormat::MicroPython && !frameBufferFormat(job.layout)) {
        return refused(std::string("MicroPython's frame buffer cannot read the ") +
                       layoutName(job.layout) + " layout; choose rows-msb, rows-lsb or pages-lsb");
    }
    return {};
}

Outcome writeCode(const CodeJob& job, CodeFormat format, const CodeSink& sink) {
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
