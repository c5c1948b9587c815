#pragma once

#include <string>

#include "base/outcome.h"

namespace dedur {

// An advisory lock (flock) on a file the user keeps, held while a pattern
// file and its sidecar are read, changed and written, so that two programs
// changing the pair at once do not lose each other's change. The file is
// opened for reading only and never created.
class FileLock {
  public:
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    ~FileLock();

    // Locks `path` exclusively, waiting up to `waitMs` for another holder.
    // A file that is not there, or cannot be opened, or a file system without
    // locks, is no failure: the reader that follows says what is wrong, and
    // such a file has no rival to wait for. Refused only when another holder
    // keeps the lock longer than the wait.
    Outcome lock(const std::string& path, int waitMs);
    void unlock();
    bool held() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

} // namespace dedur
