#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace dedur {

// A value and the name it goes by on the command line and in files.
template <typename Value> struct NamedValue {
    Value value;
    const char* name;
};

// The name of `value` in `table` ("" when it has none).
template <typename Value, size_t N>
const char* nameIn(const NamedValue<Value> (&table)[N], Value value) {
    for (const NamedValue<Value>& entry : table) {
        if (entry.value == value) return entry.name;
    }
    return "";
}

// The value named `name` in `table`, if there is one.
template <typename Value, size_t N>
std::optional<Value> valueNamed(const NamedValue<Value> (&table)[N], std::string_view name) {
    for (const NamedValue<Value>& entry : table) {
        if (name == entry.name) return entry.value;
    }
    return std::nullopt;
}

} // namespace dedur
