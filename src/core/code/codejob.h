#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "code/codelayout.h"

namespace dedur {

struct Document;

// Takes code text a piece at a time; false stops the writing.
using CodeSink = std::function<bool(std::string_view piece)>;

// One pattern as the code output writes it.
struct CodePattern {
    int number = 0;    // 1-based, as the pattern list shows it
    std::string ident; // the identifier of its array
    int width = 0;
    int height = 0;
    int seg = 0;
    int com = 0;
    bool onPanel = true; // a pattern's place; a picture's frame or a glyph has none
    const char* noun = "Pattern";
    int lr = 0;
    int tb = 0;
    std::vector<uint8_t> bytes;
    // The dots as the store packs them (dot x of a row in bit x % 8 of the
    // row's byte x / 8), for drawing them.
    std::vector<uint8_t> packed;
    std::string offPanel; // why the panel layout cannot place it
    int delay = 100;      // as a frame of an animation, in ms
};

// Everything a format or a template needs.
struct CodeJob {
    std::string file; // the pattern file's name, without folders
    std::string name; // the identifier the output is named after
    // The file the code is written to, without folders, for its heading;
    // "" names the heading after the job.
    std::string output;
    CodeLayout layout = CodeLayout::RowsMsb;
    bool invert = false;
    bool progmem = false;
    // The patterns are the frames of an animation: the formats add the
    // frame count and the delays.
    bool animation = false;
    std::vector<CodePattern> patterns;
};

struct CodeOptions {
    std::string name; // "" takes it from the file's name
    CodeLayout layout = CodeLayout::RowsMsb;
    bool invert = false;
    bool progmem = false;
    bool animation = false;
    std::map<int, int> delays; // by pattern number; 100 ms for the others
    // The panel layout places each pattern by its own directions (the
    // command line) or by the panel definition's (the editor).
    bool ownDirections = true;
};

// Row y of the pattern drawn with '#' (set) and '.' (clear).
void appendArtRow(std::string& out, const CodePattern& pattern, int y);
std::string artRow(const CodePattern& pattern, int y);

// A C identifier: a letter or '_' first, then letters, digits and '_'.
bool isIdentifier(std::string_view text);
// An identifier made from a file's name: "battery-icons.pat" gives
// "battery_icons", "8x8.pat" gives "_8x8".
std::string identifierFromFileName(std::string_view path);

// Why a range text reaches past the last of `count` patterns ("4-9: the
// file has 5 patterns", `holder` naming the file), or "" when it does not.
std::string rangePastLast(std::string_view text, int count, std::string_view holder = "the file");

// The patterns flagged in `flags` (1 = wanted, by index) as the code output
// writes them. A lone pattern's array is named after the job (or its own name
// when the job's is the file's); several are NAME_<number> unless `names`
// gives one.
CodeJob makeCodeJob(const Document& doc, const std::vector<uint8_t>& flags,
                    const std::map<int, std::string>& names, const CodeOptions& options,
                    const std::string& path);

} // namespace dedur
