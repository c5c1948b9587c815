#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/outcome.h"
#include "code/codejob.h"

namespace dedur {

enum class CodeFormat { C, Xbm, MicroPython, Rust, Asm, Json, Lvgl };

inline constexpr CodeFormat AllCodeFormats[] = {
    CodeFormat::C,   CodeFormat::Xbm,  CodeFormat::MicroPython, CodeFormat::Rust,
    CodeFormat::Asm, CodeFormat::Json, CodeFormat::Lvgl};

// "c", "xbm", "micropython", "rust", "asm", "json", "lvgl".
const char* formatName(CodeFormat format);
std::optional<CodeFormat> formatNamed(std::string_view name);

// Refuses what a format cannot hold (XBM: one pattern in rows-lsb;
// MicroPython: the layouts its frame buffer reads; LVGL: rows-msb), saying
// why.
Outcome checkCodeFormat(const CodeJob& job, CodeFormat format);

// Why NAME cannot name a pattern or a job in code, or "" when it can: not
// an identifier, a keyword of C, C++, Rust or Python, a name reserved to the
// compiler or <stdint.h>, or one the outputs themselves use.
std::string codeNameProblem(std::string_view name);

// Two things of a job that the output of a format would give one identifier.
struct IdentifierClash {
    std::string identifier;
    int first = 0; // pattern numbers; 0 for the job's own tables
    int second = 0;
};
// Every clash among the identifiers `format` writes for the job (Rust's
// upper-cased names included).
std::vector<IdentifierClash> identifierClashes(const CodeJob& job, CodeFormat format);
// The refusal of a job whose names are bad or clash in `format` (in every
// format when there is none, as for a template), naming the patterns; ok
// otherwise.
Outcome checkCodeNames(const CodeJob& job, std::optional<CodeFormat> format);

// Why pattern NUMBER of a file of `count` patterns cannot be named NAME,
// given the other names, or "" when it can: every format must compile it
// beside the names and the identifiers made from the file's name.
std::string patternNameProblem(const std::map<int, std::string>& names, int number,
                               const std::string& name, int count, const std::string& path);

// LVGL's images beyond the job: the library's major version (9:
// lv_image_dsc_t in LV_COLOR_FORMAT_I1, 8: lv_img_dsc_t in
// LV_IMG_CF_INDEXED_1BIT) and the two colours of the palette as 0xRRGGBB,
// a set dot (palette index 1) in the foreground.
struct LvglImageOptions {
    int version = 9;
    uint32_t foreground = 0x000000;
    uint32_t background = 0xFFFFFF;
};

// A colour given as "#RRGGBB" or by name (black, white, red, green, blue,
// yellow, cyan, magenta, gray), as 0xRRGGBB.
std::optional<uint32_t> colourNamed(std::string_view text);

// The job written in `format`, checked first (nothing is handed on when it
// is refused): into `out` whole, or to `sink` a piece at a time.
Outcome writeCode(const CodeJob& job, CodeFormat format, std::string& out);
Outcome writeCode(const CodeJob& job, CodeFormat format, const CodeSink& sink,
                  const LvglImageOptions& lvgl = {});

} // namespace dedur
