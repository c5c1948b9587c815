#pragma once

#include <cstddef>
#include <string>

namespace dedur {

enum class FileReadStatus { Ok, CannotOpen, TooLarge };

// Reads a whole file into `out`, refusing one of more than `limit` bytes
// before reading it (and a device or pipe once `limit` bytes have come), so
// that no file can ask for more memory than its reader allows.
FileReadStatus readFileLimited(const std::string& path, size_t limit, std::string& out);

} // namespace dedur
