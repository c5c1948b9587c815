#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/message.h"

namespace dedur {

// Whose file a write goes to, which decides how links are treated.
enum class FileRole {
    // A path the user chose: a symlink's target is saved and the link stays; a
    // hard-linked file (or one in a directory that refuses new files) is
    // written in place.
    User,
    // A fixed name the program keeps for itself ("bitmap.dat", tables, font
    // records): a link at that name is never written through.
    Program,
};

// Where a write went wrong; `Refused` and `Open` happen before any byte of the
// old file is touched.
enum class WriteStep { None, Refused, Open, Write, Sync, Close, Replace };

struct WriteOutcome {
    WriteStep step = WriteStep::None;
    int error = 0; // errno, or one of the refusal codes below

    bool ok() const { return step == WriteStep::None; }
    // Before anything was written: the callers' "could not open" messages.
    bool failedToOpen() const { return step == WriteStep::Refused || step == WriteStep::Open; }
    // What failed, for a person: "no space left on device", "it is a symbolic link".
    std::string reason() const;
};

// Refusal codes beside errno values: the file is read-only, a link stands at
// a program's own name, a user's link leads nowhere, the target is not a file.
inline constexpr int ReadOnlyFile = -1;
inline constexpr int PlantedLink = -2;
inline constexpr int DanglingLink = -3;
inline constexpr int NotRegularFile = -4;

// Replaces the contents of `path` so that it holds either the old or the new
// bytes, whole: written to an unnamed (or exclusively created) temporary
// beside the file, synced and renamed over it, keeping mode, owner and group.
// A read-only file is refused. Every write and close is checked; a failure
// leaves no partial file behind.
WriteOutcome writeFileSafely(const std::string& path, std::string_view bytes,
                             FileRole role = FileRole::User);

// Bytes made piece by piece while they are written, so that a large file is
// never built whole in memory: `produce` hands the pieces to `put` in order
// and stops when `put` returns false. `size` is what they add up to, when
// that is known beforehand.
struct ByteStream {
    using Put = std::function<bool(std::string_view piece)>;
    static constexpr uint64_t UnknownSize = ~uint64_t{0};
    uint64_t size = UnknownSize;
    std::function<void(const Put& put)> produce;
};
WriteOutcome writeFileSafely(const std::string& path, const ByteStream& bytes,
                             FileRole role = FileRole::User);

// Appends to a program's own file (created when missing, never through a
// link); a failed append cuts the file back to its old length.
WriteOutcome appendToFile(const std::string& path, std::string_view bytes);

// Writes `size` bytes at `offset` of an existing file, in place (glyph
// records); the file must be writable.
WriteOutcome writeFileRange(const std::string& path, uint64_t offset, const void* data,
                            size_t size);

// Creates an empty file unless something, a link included, has the name.
bool createEmptyFile(const std::string& path);

// "Could not write "PATH": REASON", for failures without a message of their own.
Message writeFailureMessage(const std::string& path, const WriteOutcome& outcome);

} // namespace dedur
