#include "fileread.h"

#include <algorithm>
#include <cerrno>
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

FileReadStatus readFileLimited(const std::string& path, size_t limit, std::string& out) {
    out.clear();
    // Non-blocking only for the open itself: a pipe without a writer must not
    // hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return FileReadStatus::CannotOpen;
    FileReadStatus status = FileReadStatus::Ok;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        status = FileReadStatus::CannotOpen;
    } else if (S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) > limit) {
        status = FileReadStatus::TooLarge;
    } else {
        try {
            // One byte more than the file holds shows whether it grew meanwhile.
            if (S_ISREG(st.st_mode)) out.resize(static_cast<size_t>(st.st_size) + 1);
            if (!readRest(fd, limit, out)) status = FileReadStatus::CannotOpen;
            if (out.size() > limit) status = FileReadStatus::TooLarge;
        } catch (const std::bad_alloc&) {
            status = FileReadStatus::TooLarge;
        }
    }
    ::close(fd);
    if (status != FileReadStatus::Ok) std::string().swap(out);
    return status;
}

} // namespace dedur
