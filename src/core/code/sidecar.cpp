#include "code/sidecar.h"

#include <climits>
#include <sstream>
#include <toml++/toml.h>

#include "base/fileread.h"
#include "base/limits.h"
#include "base/numbertext.h"
#include "base/safewrite.h"
#include "code/codejob.h"
#include "document/patternfile.h"

namespace dedur {

namespace {

Outcome malformed(const std::string& path, const std::string& why) {
    return Outcome::refused({quotedPath(sidecarPath(path)) + " is not a dedur sidecar (" + why +
                                 "); pattern names and code profiles are not read from it.",
                             " ", MessageButtons::Ok, MessageIcon::Question});
}

// The last character of the string that opens at `at` (one-line or
// multi-line; escapes only in basic strings), counting the lines it spans.
// A one-line string ends at the line's end at the latest.
size_t skipString(std::string_view text, size_t at, int& line) {
    const char quote = text[at];
    const std::string_view three = quote == '"' ? "\"\"\"" : "\'\'\'";
    const bool multi = text.substr(at, 3) == three;
    for (size_t j = at + (multi ? 3 : 1); j < text.size(); ++j) {
        if (text[j] == '\n') {
            if (!multi) return j - 1;
            ++line;
        } else if (quote == '"' && text[j] == '\\') {
            if (j + 1 < text.size() && text[j + 1] == '\n') {
                if (!multi) return j;
                ++line;
            }
            ++j;
        } else if (!multi && text[j] == quote) {
            return j;
        } else if (multi && text.substr(j, 3) == three) {
            return j + 2;
        }
    }
    return text.size();
}

// How deep the text nests and how many entries it has, told from the raw
// text: the parser recurses once per level, so a file of thousands of nested
// tables (headers, dotted keys, inline tables, arrays) would exhaust the
// stack before it said a word. Dots and brackets are counted outside strings
// and comments, a little more than the parser would nest, never less.
std::string nestingProblem(std::string_view text) {
    int line = 1;
    int brackets = 0;    // open [ and { in the statement
    int dots = 0;        // dots of the key (or value) since the last separator
    int headerDepth = 0; // the tables of the last [header] the keys below sit in
    bool inHeader = false;
    bool statementStart = true;
    long entries = 0;
    const auto tooDeep = [&] {
        return (inHeader ? 0 : headerDepth) + brackets + dots > limits::SidecarDepth;
    };
    const auto problem = [&line](const std::string& what) {
        return what + ", line " + std::to_string(line);
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            if (brackets == 0) {
                dots = 0;
                statementStart = true;
            }
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r') continue;
        const bool atStart = statementStart;
        statementStart = false;
        if (c == '#') {
            while (i + 1 < text.size() && text[i + 1] != '\n') ++i;
            statementStart = atStart;
        } else if (c == '"' || c == '\'') {
            i = skipString(text, i, line);
        } else if (c == '[' || c == '{') {
            if (atStart && c == '[' && brackets == 0) {
                inHeader = true;
                dots = 0;
                if (++entries > limits::SidecarEntries) break;
            }
            ++brackets;
            if (tooDeep())
                return problem("nested deeper than " + std::to_string(limits::SidecarDepth));
        } else if (c == ']' || c == '}') {
            if (brackets > 0) --brackets;
            if (inHeader && brackets == 0) {
                headerDepth = 1 + dots;
                inHeader = false;
                dots = 0;
            }
        } else if (c == '.') {
            ++dots;
            if (tooDeep())
                return problem("nested deeper than " + std::to_string(limits::SidecarDepth));
        } else if (c == ',') {
            dots = 0;
        } else if (c == '=') {
            if (++entries > limits::SidecarEntries) break;
        }
    }
    if (entries > limits::SidecarEntries) {
        return problem("more than " + std::to_string(limits::SidecarEntries) + " entries");
    }
    return {};
}

bool readProfile(const toml::table& t, CodeProfile& p, std::string& why) {
    for (const auto& [key, node] : t) {
        const std::string_view k = key.str();
        if (k == "pattern") {
            const auto* n = node.as_integer();
            if (!n || n->get() < 1 || n->get() > INT_MAX) {
                why = "pattern must be a pattern number";
                return false;
            }
            p.pattern = static_cast<int>(n->get());
            continue;
        }
        if (k == "invert" || k == "progmem") {
            if (!node.is_boolean()) {
                why = std::string(k) + " must be true or false";
                return false;
            }
            (k == "invert" ? p.invert : p.progmem) = node.as_boolean()->get();
            continue;
        }
        if (!node.is_string()) {
            why = std::string(k) + " must be a string";
            return false;
        }
        const std::string& value = node.as_string()->get();
        if (k == "format") {
            p.format = value;
        } else if (k == "template") {
            p.templateFile = value;
        } else if (k == "layout") {
            p.layout = value;
        } else if (k == "name") {
            p.name = value;
        } else if (k == "patterns") {
            p.patterns = value;
        } else {
            why = std::string("unknown profile key ").append(k);
            return false;
        }
    }
    return true;
}

bool readPanel(const toml::table& t, PanelDefinition& d, std::string& why) {
    const std::pair<const char*, int16_t*> fields[] = {
        {"seg", &d.beginSeg},  {"com", &d.beginCom},   {"width", &d.width},
        {"height", &d.height}, {"lr", &d.leftToRight}, {"tb", &d.topToBottom}};
    for (const auto& [key, field] : fields) {
        const auto value = t[key].value<int64_t>();
        if (!value || *value < 0 || *value > 255) {
            why = std::string("panel.") + key + " must be a number from 0 to 255";
            return false;
        }
        *field = static_cast<int16_t>(*value);
    }
    return true;
}

// A pattern number of [names] or [delays]: 1 up to the file's count.
std::optional<int> patternNumber(std::string_view key, int patternCount) {
    const auto number = wholeNumber(key);
    if (!number || *number < 1 || *number > patternCount) return std::nullopt;
    return number;
}

std::string numberRange(int patternCount) {
    return patternCount == INT_MAX ? "a pattern number"
                                   : "a pattern number from 1 to " + std::to_string(patternCount);
}

bool readNames(const toml::table& t, int patternCount, std::map<int, std::string>& names,
               std::string& why) {
    for (const auto& [key, node] : t) {
        const auto number = patternNumber(key.str(), patternCount);
        if (!number || !node.is_string() || !isIdentifier(node.as_string()->get())) {
            why = std::string("names.").append(key.str()) + " must be " +
                  numberRange(patternCount) + " given a C identifier";
            return false;
        }
        names[*number] = node.as_string()->get();
    }
    return true;
}

bool readDelays(const toml::table& t, int patternCount, std::map<int, int>& delays,
                std::string& why) {
    for (const auto& [key, node] : t) {
        const auto number = patternNumber(key.str(), patternCount);
        const auto ms = node.value<int64_t>();
        if (!number || !node.is_integer() || *ms < 1 || *ms > limits::FrameDelayMs) {
            why = std::string("delays.").append(key.str()) + " must be " +
                  numberRange(patternCount) + " given 1 to " +
                  std::to_string(limits::FrameDelayMs) + " milliseconds";
            return false;
        }
        delays[*number] = static_cast<int>(*ms);
    }
    return true;
}

} // namespace

std::string sidecarPath(const std::string& patternPath) {
    return patternPath + ".toml";
}

Outcome parseSidecar(std::string_view text, const std::string& path, Sidecar& out,
                     int patternCount) {
    out = {};
    if (text.size() > limits::SidecarBytes) return malformed(path, "it is too large");
    if (const std::string problem = nestingProblem(text); !problem.empty()) {
        return malformed(path, problem);
    }
    toml::table root;
    try {
        root = toml::parse(text, sidecarPath(path));
    } catch (const toml::parse_error& error) {
        return malformed(path, std::string(error.description()) + ", line " +
                                   std::to_string(error.source().begin.line));
    }
    Sidecar read;
    std::string why;
    for (const auto& [key, node] : root) {
        const std::string_view k = key.str();
        const toml::table* t = node.as_table();
        if (k == "layout") {
            const auto* value = node.as_string();
            if (!value || !layoutNamed(value->get())) {
                why = "layout must be a byte layout's name";
            } else {
                read.layout = value->get();
            }
        } else if (!t) {
            why = std::string(k) + " must be a table";
        } else if (k == "names") {
            readNames(*t, patternCount, read.names, why);
        } else if (k == "delays") {
            readDelays(*t, patternCount, read.delays, why);
        } else if (k == "panel") {
            PanelDefinition d;
            if (readPanel(*t, d, why)) read.panel = d;
        } else if (k == "profiles") {
            for (const auto& [name, profile] : *t) {
                CodeProfile p;
                if (!profile.is_table()) {
                    why = std::string("profiles.").append(name.str()) + " must be a table";
                } else if (readProfile(*profile.as_table(), p, why)) {
                    read.profiles[std::string(name.str())] = p;
                }
                if (!why.empty()) break;
            }
        } else {
            why = std::string("unknown table ").append(k);
        }
        if (!why.empty()) return malformed(path, why);
    }
    out = std::move(read);
    return {};
}

Outcome readSidecar(const std::string& patternPath, Sidecar& out, int patternCount) {
    out = {};
    std::string text;
    const std::string path = sidecarPath(patternPath);
    if (!fileExists(path)) return {};
    const FileReadStatus status = readFileLimited(path, limits::SidecarBytes, text);
    if (status != FileReadStatus::Ok)
        return malformed(patternPath, readFailureReason(path, status));
    return parseSidecar(text, patternPath, out, patternCount);
}

std::string formatSidecar(const Sidecar& sidecar) {
    toml::table root;
    if (!sidecar.layout.empty()) root.insert("layout", sidecar.layout);
    if (!sidecar.names.empty()) {
        toml::table names;
        for (const auto& [number, name] : sidecar.names) names.insert(std::to_string(number), name);
        root.insert("names", std::move(names));
    }
    if (!sidecar.delays.empty()) {
        toml::table delays;
        for (const auto& [number, ms] : sidecar.delays) delays.insert(std::to_string(number), ms);
        root.insert("delays", std::move(delays));
    }
    if (sidecar.panel) {
        const PanelDefinition& d = *sidecar.panel;
        root.insert("panel", toml::table{{"seg", d.beginSeg},
                                         {"com", d.beginCom},
                                         {"width", d.width},
                                         {"height", d.height},
                                         {"lr", d.leftToRight},
                                         {"tb", d.topToBottom}});
    }
    if (!sidecar.profiles.empty()) {
        toml::table profiles;
        for (const auto& [name, p] : sidecar.profiles) {
            toml::table t;
            if (p.templateFile.empty()) {
                t.insert("format", p.format);
            } else {
                t.insert("template", p.templateFile);
            }
            t.insert("layout", p.layout);
            t.insert("invert", p.invert);
            t.insert("progmem", p.progmem);
            if (!p.name.empty()) t.insert("name", p.name);
            if (!p.patterns.empty()) t.insert("patterns", p.patterns);
            if (p.patterns == CurrentPatternChoice) t.insert("pattern", p.pattern);
            profiles.insert(name, std::move(t));
        }
        root.insert("profiles", std::move(profiles));
    }
    std::ostringstream text;
    text << "# Kept by dedur beside the pattern file: what the pattern format cannot hold.\n"
         << root << "\n";
    return text.str();
}

Outcome writeSidecar(const std::string& patternPath, const Sidecar& sidecar) {
    const std::string path = sidecarPath(patternPath);
    // A panel definition alone is the classic program's business: it gets a
    // file beside the pattern file only when the user keeps extras there.
    if (!sidecar.chosen() && !fileExists(path)) return {};
    // The name is the program's choice: a link planted there is not written through.
    return writeFileSafely(path, formatSidecar(sidecar), FileRole::Program);
}

namespace {

template <typename Value>
void deleteNumbered(std::map<int, Value>& numbered, const std::vector<uint8_t>& flags) {
    std::map<int, Value> kept;
    int gone = 0;
    int last = 0;
    const auto flagged = [&flags](int index) {
        return static_cast<size_t>(index) < flags.size() && flags[static_cast<size_t>(index)] == 1;
    };
    for (auto& [n, value] : numbered) {
        for (; last < n - 1; ++last) gone += flagged(last);
        if (!flagged(n - 1)) kept[n - gone] = std::move(value);
    }
    numbered = std::move(kept);
}

template <typename Value> void moveNumbered(std::map<int, Value>& numbered, int from, int to) {
    if (from == to) return;
    std::map<int, Value> moved;
    for (auto& [n, value] : numbered) {
        int at = n;
        if (n == from) {
            at = to;
        } else if (from < to && n > from && n <= to) {
            at = n - 1;
        } else if (to < from && n >= to && n < from) {
            at = n + 1;
        }
        moved[at] = std::move(value);
    }
    numbered = std::move(moved);
}

template <typename Value>
void shiftNumbered(std::map<int, Value>& numbered, int number, int count) {
    std::map<int, Value> shifted;
    for (auto& [n, value] : numbered) {
        if (n < number) {
            shifted[n] = std::move(value);
        } else if (count > 0 || n >= number - count) {
            shifted[n + count] = std::move(value);
        }
    }
    numbered = std::move(shifted);
}

} // namespace

void deleteNames(Sidecar& sidecar, const std::vector<uint8_t>& flags) {
    deleteNumbered(sidecar.names, flags);
    deleteNumbered(sidecar.delays, flags);
}

void moveName(Sidecar& sidecar, int from, int to) {
    moveNumbered(sidecar.names, from, to);
    moveNumbered(sidecar.delays, from, to);
}

void shiftNames(Sidecar& sidecar, int number, int count) {
    shiftNumbered(sidecar.names, number, count);
    shiftNumbered(sidecar.delays, number, count);
}

std::string codeChoicesText(const CodeProfile& p) {
    // The format or template last: a template's path may hold blanks.
    std::string text = "layout=" + p.layout + (p.invert ? " invert=1" : " invert=0") +
                       (p.progmem ? " progmem=1" : " progmem=0");
    return text + (p.templateFile.empty() ? " format=" + p.format : " template=" + p.templateFile);
}

void parseCodeChoices(std::string_view text, CodeProfile& p) {
    while (!text.empty()) {
        const size_t blank = text.find(' ');
        std::string_view word = text.substr(0, blank);
        const size_t equals = word.find('=');
        const std::string_view key = word.substr(0, equals);
        if (key == "template") word = text; // a path, to the end of the line
        text = key == "template" || blank == std::string_view::npos ? std::string_view()
                                                                    : text.substr(blank + 1);
        if (equals == std::string_view::npos) continue;
        const std::string value(word.substr(equals + 1));
        if (key == "layout" && layoutNamed(value)) p.layout = value;
        if (key == "invert" || key == "progmem") {
            if (value != "0" && value != "1") continue;
            (key == "invert" ? p.invert : p.progmem) = value == "1";
        }
        if (key == "format" && !value.empty()) {
            p.format = value;
            p.templateFile.clear();
        }
        if (key == "template" && !value.empty()) p.templateFile = value;
    }
}

} // namespace dedur
