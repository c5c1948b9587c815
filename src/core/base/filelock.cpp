#include "base/filelock.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "base/message.h"

namespace dedur {

FileLock::FileLock(FileLock&& other) noexcept : fd_(other.fd_) {
    other.fd_ = -1;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        unlock();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

FileLock::~FileLock() {
    unlock();
}

void FileLock::unlock() {
    if (fd_ < 0) return;
    ::close(fd_); // closing the last descriptor drops the lock
    fd_ = -1;
}

Outcome FileLock::lock(const std::string& path, int waitMs) {
    unlock();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        // O_NONBLOCK: a FIFO at the name must not hang us here; the reader
        // refuses it afterwards.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) return {};
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(fd);
            return {};
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // A writer that held the lock may have replaced the file by a
            // new one (saves rename a whole file over the old): the lock must
            // be on the file that now has the name.
            struct stat named {};
            if (::stat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
                named.st_ino == opened.st_ino) {
                fd_ = fd;
                return {};
            }
            ::close(fd);
            continue;
        }
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK && error != EINTR) return {}; // no locks here
        if (std::chrono::steady_clock::now() >= deadline) {
            return {Failure::Refused, EWOULDBLOCK,
                    Message{quotedPath(path) +
                                " is being changed by another program; try again when it is done",
                            " ", MessageButtons::Ok, MessageIcon::Question}};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace dedur
