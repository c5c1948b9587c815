#pragma once

#include <climits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/limits.h"
#include "base/outcome.h"
#include "document/patternstore.h"

namespace dedur {

// How code is made, kept under a name so that the command line can make it
// again as the dialog did.
struct CodeProfile {
    std::string format = "c"; // a built-in format, unless `templateFile` is set
    std::string templateFile;
    std::string layout = "rows-msb";
    bool invert = false;
    bool progmem = false;
    std::string name; // the identifier; "" takes the file's name
    // Which patterns: "" for all, "current" for pattern `pattern` (the one
    // shown when the profile was kept), else the export dialog's range text.
    std::string patterns;
    int pattern = 0;

    bool operator==(const CodeProfile&) const = default;
};
inline constexpr const char* CurrentPatternChoice = "current";

// A profile on one line, without its name and patterns, as the settings
// keep the export's last choices; parseCodeChoices takes back what it
// understands and leaves the rest as it was.
std::string codeChoicesText(const CodeProfile& profile);
void parseCodeChoices(std::string_view text, CodeProfile& profile);

// What a pattern file cannot hold, kept beside it in "NAME.pat.toml".
struct Sidecar {
    std::map<int, std::string> names; // pattern number (1-based) -> identifier
    std::map<int, int> delays;        // pattern number -> frame delay in ms (100 unless set)
    std::map<std::string, CodeProfile> profiles;
    std::optional<PanelDefinition> panel; // the definition last used with the file
    // An image's byte layout (a codelayout.h name), taken by code when none
    // is asked for; "" when the image has none.
    std::string layout;

    bool empty() const { return !chosen() && !panel; }
    // Something the user put there: names, delays, profiles or a layout.
    bool chosen() const {
        return !names.empty() || !delays.empty() || !profiles.empty() || !layout.empty();
    }
    // A pattern's delay as a frame of an animation, in milliseconds.
    int delayOf(int number) const {
        const auto found = delays.find(number);
        return found == delays.end() ? DefaultFrameDelay : found->second;
    }
    static constexpr int DefaultFrameDelay = 100;
    static constexpr int MaxFrameDelay = limits::FrameDelayMs;
    bool operator==(const Sidecar&) const = default;
};

std::string sidecarPath(const std::string& patternPath);

// A missing sidecar reads as an empty one. One that cannot be read whole is
// refused with the reason (and the line): malformed, larger than
// limits::SidecarBytes, nested deeper than limits::SidecarDepth (told from
// the raw text before the parser sees it), or numbering a pattern outside
// 1..patternCount. `out` is then left empty, and the file must not be
// written over. Without a count (a reader that only looks names up) any
// positive number is taken.
Outcome readSidecar(const std::string& patternPath, Sidecar& out, int patternCount = INT_MAX);
Outcome parseSidecar(std::string_view text, const std::string& path, Sidecar& out,
                     int patternCount = INT_MAX);
std::string formatSidecar(const Sidecar& sidecar);
// Written through the safe routine. Where there is no file, nothing is
// written unless the user put something there (a panel definition alone
// makes no file).
Outcome writeSidecar(const std::string& patternPath, const Sidecar& sidecar);

// Keeps the names and delays with their patterns when `count` patterns are inserted
// (count > 0) or deleted (count < 0) at 1-based `number`.
void shiftNames(Sidecar& sidecar, int number, int count);
// The names of the patterns flagged 1 (by index) go; the others close up.
void deleteNames(Sidecar& sidecar, const std::vector<uint8_t>& flags);
// Pattern `from` moved to place `to` (1-based) takes its name along.
void moveName(Sidecar& sidecar, int from, int to);

} // namespace dedur
