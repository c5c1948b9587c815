#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/message.h"
#include "base/outcome.h"
#include "base/safewrite.h"
#include "document/patternstore.h"

namespace dedur {

// The most pattern data a file may declare (2 GiB: some 230,000 patterns of
// 96 x 96); a header-only file could otherwise ask for far more memory than
// its own size.
inline constexpr size_t MaxPatternData = size_t{1} << 31;
// The largest pattern file read: room for that much data written out as rows
// of 96 dots with their line ends, and the headers.
inline constexpr size_t MaxPatternFileSize = MaxPatternData + MaxPatternData / 8;

// Reads a pattern file into the store. On success `patternCount` and the
// store change, nothing else; on failure the document is left as it was and
// the result carries the message to show (NotFound asks Retry/Cancel; the
// caller repeats the read on Retry).
// Told every few megabytes how far a read or write of a file is, in bytes.
using FileProgress = std::function<void(uint64_t done, uint64_t total)>;
Outcome readPatternFile(Document& doc, const std::string& path, const FileProgress& progress = {});
// The same on text already in memory; `path` only names the file in messages.
// `measureFirst` always takes the two passes that files of short patterns
// need (for tests: one pass must read every file as two would).
Outcome readPatternText(Document& doc, std::string_view text, const std::string& path,
                        bool measureFirst = false);

// Writes every record (up to the first with a side above 96) with
// writeFileSafely. Clears `modifiedFlag`.
Outcome writePatternFile(Document& doc, const std::string& path, const FileProgress& progress = {});
// The file's bytes, exactly as the writer puts them on disk: made while they
// are written, or all at once.
ByteStream patternFileStream(const Document& doc);
// Asked before a save when the file is no longer the one last read or written.
Message changedOnDiskQuestion(const std::string& path);
std::string formatPatternFile(const Document& doc);

Message patternFileNotFound(const std::string& path, const char* caption);
Message patternFileTooLarge(const std::string& path);
// A file whose size alone says it cannot be loaded (devices and pipes are
// only found out by reading them).
bool exceedsPatternFileSize(const std::string& path);
Message overwriteQuestion(const std::string& path);
bool fileExists(const std::string& path);
bool fileCanBeRead(const std::string& path);

} // namespace dedur
