#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/outcome.h"

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

// Replaces the contents of `path` so that it holds either the old or the new
// bytes, whole: written to an unnamed (or exclusively created) temporary
// beside the file, synced and renamed over it, keeping mode, owner and group.
// A read-only file is refused. Every write and close is checked; a failure
// leaves no partial file behind.
Outcome writeFileSafely(const std::string& path, std::string_view bytes,
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
Outcome writeFileSafely(const std::string& path, const ByteStream& bytes,
                        FileRole role = FileRole::User);

// What writeFileSafely would refuse before writing a byte (a read-only
// file, a folder, a device, a link at a program's own name, a folder that
// takes no new file), checked beforehand so that a change of two files can
// be refused before either is touched.
Outcome checkWritable(const std::string& path, FileRole role = FileRole::User);

// Appends to a program's own file (created when missing, never through a
// link); a failed append cuts the file back to its old length.
Outcome appendToFile(const std::string& path, std::string_view bytes);

// Writes `size` bytes at `offset` of an existing file, in place (glyph
// records); the file must be writable.
Outcome writeFileRange(const std::string& path, uint64_t offset, const void* data, size_t size);

// Creates an empty file unless something, a link included, has the name.
bool createEmptyFile(const std::string& path);

// "Could not write "PATH": REASON": the message every failed write carries
// unless its caller puts one of its own.
Message writeFailureMessage(const std::string& path, const Outcome& outcome);

} // namespace dedur
