#pragma once

#include <string>

namespace dedur {

inline constexpr const char* SettingsTempName = "~TMP001.TMP";

// Value of `key` in `section` (null: the whole file) of the settings text, at
// most capacity - 1 characters (capacity is clamped to 250). Keys match as a
// prefix, ignoring ASCII case; empty when absent. A null text reads nothing.
std::string readSetting(const std::string* text, const char* section, const std::string& key,
                        size_t capacity = 80);

// The settings text after writing `key` = `value` into `section`.
std::string rewriteSettings(const std::string& text, const char* section, const std::string& key,
                            const std::string& value);

// Rewrites the settings file at `path` through "~TMP001.TMP" in the current
// directory, which is then copied over it. Never creates the settings file.
void writeSetting(const std::string& path, const char* section, const std::string& key,
                  const std::string& value);

// Path of `name` in the start-up directory.
std::string makeWorkPath(const std::string& directory, const std::string& name);

} // namespace dedur
