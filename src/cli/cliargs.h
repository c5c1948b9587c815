#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/numbertext.h"

namespace dedur::cli {

struct OptionInfo {
    const char* name; // without the leading "--"
    bool takesValue;
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;

    bool has(const std::string& name) const { return flags.count(name) || values.count(name); }
    std::optional<std::string> value(const std::string& name) const;
};

// A command of the tool: its name, usage text and options.
struct Command {
    const char* name;
    const char* summary;
    const char* usage; // full help text
    std::vector<OptionInfo> options;
    int minPositional;
    int maxPositional;
    int (*run)(const ParsedArgs& args);
};

// Splits arguments into positionals, flags and "--name VALUE" / "--name=VALUE"
// options; false with `error` set on an unknown or incomplete option.
bool parseArgs(const std::vector<std::string>& args, const std::vector<OptionInfo>& known,
               ParsedArgs& out, std::string& error);

// Exit status 2 after the message and the command's usage on stderr.
int usageError(const Command& command, const std::string& message);
// Exit status 1 after the message on stderr; control characters in it come
// out escaped, line breaks excepted.
int failure(const std::string& message);

// --NAME as a whole number in low..high, left as it is when the option is
// absent; false with `error` ("--NAME must be a whole number from LOW to
// HIGH") for anything else, so that no value wraps or saturates unseen.
bool numberOption(const ParsedArgs& args, const char* name, int low, int high, int& out,
                  std::string& error);
// --NAME as "WxH" (or "WXH"), each side in low..high; as numberOption.
bool sizeOption(const ParsedArgs& args, const char* name, int low, int high, int& width,
                int& height, std::string& error);
// "W x H" written as "12x12".
bool parseSize(const std::string& text, int& width, int& height);
// "X,Y".
bool parsePoint(const std::string& text, int& x, int& y);

} // namespace dedur::cli
