#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/outcome.h"
#include "code/codejob.h"

namespace dedur {

enum class CodeFormat { C, Xbm, MicroPython, Rust, Asm, Json };

inline constexpr CodeFormat AllCodeFormats[] = {CodeFormat::C,           CodeFormat::Xbm,
                                                CodeFormat::MicroPython, CodeFormat::Rust,
                                                CodeFormat::Asm,         CodeFormat::Json};

// "c", "xbm", "micropython", "rust", "asm", "json".
const char* formatName(CodeFormat format);
std::optional<CodeFormat> formatNamed(std::string_view name);

// Refuses what a format cannot hold (XBM: one pattern in rows-lsb;
// MicroPython: the layouts its frame buffer reads), saying why.
Outcome checkCodeFormat(const CodeJob& job, CodeFormat format);

// The job written in `format`, checked first (nothing is handed on when it
// is refused): into `out` whole, or to `sink` a piece at a time.
Outcome writeCode(const CodeJob& job, CodeFormat format, std::string& out);
Outcome writeCode(const CodeJob& job, CodeFormat format, const CodeSink& sink);

} // namespace dedur
