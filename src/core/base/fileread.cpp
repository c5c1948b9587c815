#include "base/fileread.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace dedur {

namespace {

// Reads until the end of the file into `out`, which starts with room for
// what the file is expected to hold, growing it only when more comes; at
// most limit + 1 bytes. False on a read error.
bool readRest(int fd, size_t limit, std::string& out) {
    constexpr size_t Chunk = size_t{1} << 16;
    size_t used = 0;
    for (;;) {
        if (used == out.size()) {
            if (used > limit) break;
            out.resize(std::min(std::max(used * 2, Chunk), limit + 1));
        }
        const ssize_t n = ::read(fd, out.data() + used, out.size() - used);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        used += static_cast<size_t>(n);
    }
    out.resize(used);
    return true;
}

} // namespace

namespace {

// Opens `path` for reading, refusing what is not a regular file and regular
// files of more than `limit` bytes before anything is read: the descriptor,
// or -1 with the reason in `status`.
int openLimited(const std::string& path, size_t limit, struct stat& st, FileReadStatus& status) {
    const int fd = openRegularFile(path, status, &st);
    if (fd >= 0 && static_cast<unsigned long long>(st.st_size) > limit) {
        status = FileReadStatus::TooLarge;
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

int openRegularFile(const std::string& path, FileReadStatus& status, struct stat* opened) {
    status = FileReadStatus::CannotOpen;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat own {};
    struct stat& st = opened ? *opened : own;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        status = FileReadStatus::NotRegularFile;
        ::close(fd);
        return -1;
    }
    // Regular files never block; reads go on in the usual mode.
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    status = FileReadStatus::Ok;
    return fd;
}

FileReadStatus probeRegularFile(const std::string& path) {
    FileReadStatus status;
    const int fd = openRegularFile(path, status);
    if (fd >= 0) ::close(fd);
    return status;
}

FileStamp fileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return {true, static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
            static_cast<uint64_t>(st.st_size),
            static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::string readFailureReason(const std::string& path, FileReadStatus status) {
    switch (status) {
    case FileReadStatus::Ok:
        return {};
    case FileReadStatus::TooLarge:
        return "it is too large";
    case FileReadStatus::NotRegularFile:
        return "it is not a regular file";
    case FileReadStatus::CannotOpen:
        break;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return errno == ENOENT ? "there is no such file" : std::strerror(errno);
    }
    if (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0) return "it is a link to nothing";
    if (::access(path.c_str(), R_OK) != 0) return "permission denied";
    return "it could not be opened";
}

FileReadStatus readFileLimited(const std::string& path, size_t limit, std::string& out) {
    out.clear();
    struct stat st {};
    FileReadStatus status;
    const int fd = openLimited(path, limit, st, status);
    if (fd < 0) return status;
    try {
        // One byte more than the file holds shows whether it grew meanwhile.
        out.resize(static_cast<size_t>(st.st_size) + 1);
        if (!readRest(fd, limit, out)) status = FileReadStatus::CannotOpen;
        if (out.size() > limit) status = FileReadStatus::TooLarge;
    } catch (const std::bad_alloc&) {
        status = FileReadStatus::TooLarge;
    }
    ::close(fd);
    if (status != FileReadStatus::Ok) std::string().swap(out);
    return status;
}

namespace {

constexpr size_t WindowSize = size_t{1} << 20;

} // namespace

FileTextSource::~FileTextSource() {
    if (fd_ >= 0) ::close(fd_);
}

FileTextSource::Opened FileTextSource::open(const std::string& path, size_t limit) {
    struct stat st {};
    FileReadStatus status;
    const int fd = openLimited(path, limit, st, status);
    if (fd < 0) {
        if (status == FileReadStatus::TooLarge) return Opened::TooLarge;
        return status == FileReadStatus::NotRegularFile ? Opened::NotRegularFile
                                                        : Opened::CannotOpen;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    fd_ = fd;
    size_ = static_cast<uint64_t>(st.st_size);
    limit_ = limit;
    buffer_.reset(new char[WindowSize]);
    return Opened::Ok;
}

void FileTextSource::fill() {
    while (bufferLength_ < WindowSize) {
        const ssize_t n = ::read(fd_, buffer_.get() + bufferLength_, WindowSize - bufferLength_);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = failed_ || n < 0;
            atEnd_ = true;
            return;
        }
        bufferLength_ += static_cast<size_t>(n);
        if (bufferStart_ + bufferLength_ > limit_) {
            failed_ = tooLarge_ = true;
            atEnd_ = true;
            return;
        }
    }
}

std::string_view FileTextSource::bytesFrom(uint64_t from, size_t want) {
    if (fd_ < 0 || failed_) return {};
    if (from >= bufferStart_ && from <= bufferStart_ + bufferLength_) {
        const size_t offset = static_cast<size_t>(from - bufferStart_);
        if (bufferLength_ - offset < want && !atEnd_) {
            // Keep the unread tail and read on after it.
            std::memmove(buffer_.get(), buffer_.get() + offset, bufferLength_ - offset);
            bufferStart_ = from;
            bufferLength_ -= offset;
            fill();
            return {buffer_.get(), bufferLength_};
        }
        return {buffer_.get() + offset, bufferLength_ - offset};
    }
    // Back to an earlier place (a second pass over the file).
    if (::lseek(fd_, static_cast<off_t>(from), SEEK_SET) < 0) {
        failed_ = true;
        return {};
    }
    bufferStart_ = from;
    bufferLength_ = 0;
    atEnd_ = false;
    fill();
    return {buffer_.get(), bufferLength_};
}

} // namespace dedur
