#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <sys/stat.h>

#include "base/textlines.h"

namespace dedur {

enum class FileReadStatus { Ok, CannotOpen, TooLarge, NotRegularFile };

// Reads a whole regular file into `out`, refusing one of more than `limit`
// bytes before reading it, so that no file can ask for more memory than its
// reader allows. Devices, pipes and folders are refused before a byte is read:
// a pipe could hang the program and a device never ends.
FileReadStatus readFileLimited(const std::string& path, size_t limit, std::string& out);

// Opens a regular file for reading without blocking on the way (a pipe opened
// for reading waits for a writer): the descriptor, or -1 with the reason;
// `opened` (when given) gets what fstat says of it.
int openRegularFile(const std::string& path, FileReadStatus& status, struct stat* opened = nullptr);

// Which file stood at a path and how it was then (the link followed):
// compared before a save, so that what another program or another editor
// saved meanwhile is not overwritten unseen.
struct FileStamp {
    bool known = false; // false: nothing readable stood there
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t modifiedNs = 0;

    bool operator==(const FileStamp&) const = default;
};
FileStamp fileStamp(const std::string& path);

// What openRegularFile would say of `path`, the file opened and closed again.
FileReadStatus probeRegularFile(const std::string& path);

// Why a read failed, for a person: "no such file", "too large", "not a
// regular file", "permission denied".
std::string readFailureReason(const std::string& path, FileReadStatus status);

// A regular file read front to back through a window of a few megabytes, so
// that a large file is never held whole in memory.
class FileTextSource : public TextSource {
  public:
    enum class Opened { Ok, CannotOpen, TooLarge, NotRegularFile };

    FileTextSource() = default;
    FileTextSource(const FileTextSource&) = delete;
    FileTextSource& operator=(const FileTextSource&) = delete;
    ~FileTextSource() override;

    // Opens `path` unless it is larger than `limit` bytes or not a regular
    // file.
    Opened open(const std::string& path, size_t limit);

    std::string_view bytesFrom(uint64_t from, size_t want) override;
    uint64_t expectedSize() const override { return size_; }

    // A read failed, or the file grew past the limit while it was read.
    bool failed() const { return failed_; }
    bool grewTooLarge() const { return tooLarge_; }

  private:
    void fill();

    int fd_ = -1;
    uint64_t size_ = 0;
    uint64_t limit_ = 0;
    std::unique_ptr<char[]> buffer_;
    uint64_t bufferStart_ = 0; // file offset of buffer_[0]
    size_t bufferLength_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    bool tooLarge_ = false;
};

} // namespace dedur
