#include "cliargs.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iostream>

#include "base/message.h"

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
    std::cerr << "dedur-cli " << command.name << ": " << printable(message) << "\n\n"
              << command.usage;
    return 2;
}

int failure(const std::string& message) {
    size_t from = 0;
    for (size_t end; (end = message.find('\n', from)) != std::string::npos; from = end + 1) {
        std::cerr << printable(std::string_view(message).substr(from, end - from)) << "\n";
    }
    std::cerr << printable(std::string_view(message).substr(from)) << "\n";
    return 1;
}

bool numberOption(const ParsedArgs& args, const char* name, int low, int high, int& out,
                  std::string& error) {
    const auto text = args.value(name);
    if (!text) return true;
    const auto value = wholeNumber(*text);
    if (!value || *value < low || *value > high) {
        error = std::string("--") + name + " must be a whole number from " + std::to_string(low) +
                " to " + std::to_string(high);
        return false;
    }
    out = *value;
    return true;
}

bool sizeOption(const ParsedArgs& args, const char* name, int low, int high, int& width,
                int& height, std::string& error) {
    const auto text = args.value(name);
    if (!text) return true;
    int w = 0, h = 0;
    if (!parseSize(*text, w, h) || w < low || w > high || h < low || h > high) {
        error = std::string("--") + name + " must look like 12x12, each side " +
                std::to_string(low) + ".." + std::to_string(high);
        return false;
    }
    width = w;
    height = h;
    return true;
}

namespace {

bool parsePair(const std::string& text, char separator, int& a, int& b) {
    const size_t at = text.find(separator);
    if (at == std::string::npos) return false;
    const auto first = wholeNumber(text.substr(0, at));
    const auto second = wholeNumber(text.substr(at + 1));
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
