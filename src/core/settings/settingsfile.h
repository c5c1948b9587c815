#pragma once

#include <string>

#include "base/limits.h"

namespace dedur {

// The largest settings file read; a larger one counts as unreadable.
inline constexpr size_t MaxSettingsFileSize = limits::SettingsFileBytes;

// Value of `key` in `section` (null: the whole file) of the settings text, at
// most capacity - 1 characters (capacity is clamped to 250). Keys match as a
// prefix, ignoring ASCII case; empty when absent. A null text reads nothing.
std::string readSetting(const std::string* text, const char* section, const std::string& key,
                        size_t capacity = 80);

// The settings text after writing `key` = `value` into `section`.
std::string rewriteSettings(const std::string& text, const char* section, const std::string& key,
                            const std::string& value);

// Rewrites the settings file at `path` with writeFileSafely, so it is always
// the old or the new file, whole. Never creates the settings file; false when
// nothing was written.
bool writeSetting(const std::string& path, const char* section, const std::string& key,
                  const std::string& value);
// The settings text of `path`; false when it is missing, unreadable or too large.
bool readSettingsFile(const std::string& path, std::string& text);

// Path of `name` in the start-up directory.
std::string makeWorkPath(const std::string& directory, const std::string& name);

} // namespace dedur
