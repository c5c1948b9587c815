#pragma once

#include <string>

#include "code/sidecar.h"
#include "document/patternstore.h"

namespace dedur::cli {

// A pattern file and its sidecar change together. loadPatternFile holds an
// advisory lock on the pattern file from its read until the program ends, so
// that two commands changing the pair at once take turns and neither change
// is lost.

// The sidecar of a pattern file just loaded (empty when there is none),
// checked against its patterns; false after the message when it cannot be
// read whole, so that it is not written over.
bool readSidecarOf(const std::string& path, const Document& doc, Sidecar& sidecar);
// Writes the sidecar alone (the pattern file unchanged), the target checked
// first; false after the message.
bool writeSidecarOf(const std::string& path, const Sidecar& sidecar);
// Writes the pattern file and, when it changed from `before`, its sidecar:
// both targets are checked before either is written, and when the second
// write fails the first is put back, so that a refusal changes nothing.
bool savePatternPair(const std::string& path, Document& doc, const Sidecar& before,
                     const Sidecar& after);

} // namespace dedur::cli
