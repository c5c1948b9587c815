#include "cliargs.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iostream>

namespace dedur::cli {

std::optional<std::string> ParsedArgs::value(const std::string& name) const {
    const auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

bool parseArgs(const std::vector<std::string>& args, const std::vector<OptionInfo>& known,
               ParsedArgs& out, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            out.positional.push_back(arg);
            continue;
        }
        std::string name = arg.substr(2);
        std::optional<std::string> inlineValue;
        if (const size_t eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        const OptionInfo* option = nullptr;
        for (const OptionInfo& s : known) {
            if (name == s.name) option = &s;
        }
        if (!option) {
            error = "unknown option --" + name;
            return false;
        }
        if (!option->takesValue) {
            if (inlineValue) {
                error = "option --" + name + " takes no value";
                return false;
            }
            out.flags.insert(name);
        } else if (inlineValue) {
            out.values[name] = *inlineValue;
        } else if (i + 1 < args.size()) {
            out.values[name] = args[++i];
        } else {
            error = "option --" + name + " needs a value";
            return false;
        }
    }
    return true;
}

int usageError(const Command& command, const std::string& message) {
    std::cerr << "dedur-cli " << command.name << ": " << message << "\n\n" << command.usage;
    return 2;
}

int failure(const std::string& message) {
    std::cerr << message << "\n";
    return 1;
}

std::optional<int> parseInteger(const std::string& text) {
    if (text.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < INT_MIN || value > INT_MAX ||
        text.find_first_of(" \t\n") != std::string::npos) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

namespace {

bool parsePair(const std::string& text, char separator, int& a, int& b) {
    const size_t at = text.find(separator);
    if (at == std::string::npos) return false;
    const auto first = parseInteger(text.substr(0, at));
    const auto second = parseInteger(text.substr(at + 1));
    if (!first || !second) return false;
    a = *first;
    b = *second;
    return true;
}

} // namespace

bool parseSize(const std::string& text, int& width, int& height) {
    return parsePair(text, 'x', width, height) || parsePair(text, 'X', width, height);
}

bool parsePoint(const std::string& text, int& x, int& y) {
    return parsePair(text, ',', x, y);
}

} // namespace dedur::cli
