#include "base/safewrite.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace dedur {

namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    void reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now; the errno of a failed close, else 0.
    int close() {
        const int fd = fd_;
        fd_ = -1;
        return fd >= 0 && ::close(fd) != 0 ? errno : 0;
    }

  private:
    int fd_;
};

Outcome failed(Failure step, int error) {
    return {step, error, {}};
}

// Every failed write carries its message.
Outcome told(const std::string& path, Outcome outcome) {
    if (!outcome.ok() && outcome.message.empty()) {
        outcome.message = writeFailureMessage(path, outcome);
    }
    return outcome;
}

// Every byte, through partial writes and interruptions; errno or 0.
int writeAll(int fd, const char* data, size_t size, off_t offset = -1) {
    while (size > 0) {
        const ssize_t n = offset < 0 ? ::write(fd, data, size) : ::pwrite(fd, data, size, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return ENOSPC;
        data += n;
        size -= static_cast<size_t>(n);
        if (offset >= 0) offset += n;
    }
    return 0;
}

// Writes the stream at the file's position, or from `offset` on; errno or 0.
// A stream that makes another number of bytes than it announced fails.
int writeStream(int fd, const ByteStream& bytes, off_t offset = -1) {
    int error = 0;
    uint64_t written = 0;
    bytes.produce([&](std::string_view piece) {
        const off_t at = offset < 0 ? -1 : offset + static_cast<off_t>(written);
        error = writeAll(fd, piece.data(), piece.size(), at);
        written += piece.size();
        return error == 0;
    });
    if (error == 0 && bytes.size != ByteStream::UnknownSize && written != bytes.size) error = EIO;
    return error;
}

// Root may write any file; a file without a write bit still counts as
// read-only for it, as it does for an editor's user.
int readOnlyError(const std::string& path, const struct stat& st) {
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        return errno == EACCES || errno == EPERM ? ReadOnlyFile : errno;
    }
    if (::geteuid() == 0 && (st.st_mode & 0222) == 0) return ReadOnlyFile;
    return 0;
}

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Temporaries are ".NAME.dedur-PID-XXXXXX.tmp"; older versions of the
// program left ".NAME.dedur-PID.tmp".
std::string temporaryPrefix(const std::string& name) {
    return "." + name + ".dedur-";
}

// Removes the temporaries of `name` left by saves whose process is gone, so
// that killed saves cannot pile up.
void removeStaleTemporaries(const std::string& directory, const std::string& name) {
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return;
    const std::string prefix = temporaryPrefix(name);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view entryName = entry->d_name;
        if (entryName.size() <= prefix.size() || entryName.compare(0, prefix.size(), prefix) != 0 ||
            entryName.substr(entryName.size() - 4) != ".tmp") {
            continue;
        }
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name + prefix.size(), &end, 10);
        if (end == entry->d_name + prefix.size() || (*end != '-' && *end != '.')) continue;
        if (pid <= 0 || pid > INT_MAX || pid == ::getpid()) continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

std::string randomSuffix() {
    static std::mt19937_64 generator{std::random_device{}()};
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(6, 'a');
    for (char& c : suffix) c = letters[generator() % (sizeof letters - 1)];
    return suffix;
}

std::string temporaryPath(const std::string& directory, const std::string& name) {
    return directory + "/" + temporaryPrefix(name) + std::to_string(::getpid()) + "-" +
           randomSuffix() + ".tmp";
}

// The file a save really goes to: for a user's symlink its target.
struct Target {
    std::string path;
    bool exists = false;
    struct stat status {};
};

Outcome resolveTarget(const std::string& path, FileRole role, Target& target) {
    target.path = path;
    if (::lstat(path.c_str(), &target.status) != 0) {
        if (errno == ENOENT) return {};
        return failed(Failure::Open, errno);
    }
    if (S_ISLNK(target.status.st_mode)) {
        if (role == FileRole::Program) return failed(Failure::Refused, PlantedLink);
        char* real = ::realpath(path.c_str(), nullptr);
        if (!real) return failed(Failure::Refused, errno == ENOENT ? DanglingLink : errno);
        target.path = real;
        std::free(real);
        if (::lstat(target.path.c_str(), &target.status) != 0) {
            return failed(Failure::Open, errno);
        }
    }
    if (S_ISDIR(target.status.st_mode)) return failed(Failure::Refused, EISDIR);
    if (!S_ISREG(target.status.st_mode)) return failed(Failure::Refused, NotRegularFile);
    if (const int error = readOnlyError(target.path, target.status)) {
        return failed(Failure::Refused, error);
    }
    target.exists = true;
    return {};
}

// Keeps owner, group and mode of the file being replaced, as far as we may.
void keepOwnership(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    (void)::fchmod(fd, old.st_mode & 07777);
}

void syncDirectory(const std::string& directory) {
    FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) (void)::fsync(dir.get());
}

// Writes, syncs and closes the temporary; on failure the outcome says where.
Outcome fillTemporary(FileDescriptor& fd, const ByteStream& bytes, const Target& target) {
    if (const int error = writeStream(fd.get(), bytes)) {
        return failed(Failure::Write, error);
    }
    if (::fsync(fd.get()) != 0) return failed(Failure::Sync, errno);
    if (target.exists) keepOwnership(fd.get(), target.status);
    return {};
}

Outcome renameOver(const std::string& temporary, const Target& target) {
    if (::rename(temporary.c_str(), target.path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return failed(Failure::Replace, error);
    }
    syncDirectory(directoryOf(target.path));
    return {};
}

enum class TemporaryResult { Done, Unsupported, DirectoryRefused };

// Through an unnamed file that only gets a name once it is whole, so a kill
// before the rename leaves nothing behind.
TemporaryResult writeThroughUnnamed(const Target& target, const ByteStream& bytes,
                                    Outcome& outcome) {
    const std::string directory = directoryOf(target.path);
    FileDescriptor fd(::open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (!fd.valid()) {
        if (errno == EACCES || errno == EPERM) return TemporaryResult::DirectoryRefused;
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) {
            return TemporaryResult::Unsupported;
        }
        outcome = failed(Failure::Open, errno);
        return TemporaryResult::Done;
    }
    outcome = fillTemporary(fd, bytes, target);
    if (!outcome.ok()) return TemporaryResult::Done;
    const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
    std::string temporary;
    for (int attempt = 0;; ++attempt) {
        temporary = temporaryPath(directory, nameOf(target.path));
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            break;
        }
        if (errno != EEXIST || attempt == 8) {
            // No /proc to name the file by: the caller writes a named one.
            if (errno == ENOENT) return TemporaryResult::Unsupported;
            outcome = failed(Failure::Replace, errno);
            return TemporaryResult::Done;
        }
    }
    if (const int error = fd.close()) {
        ::unlink(temporary.c_str());
        outcome = failed(Failure::Close, error);
        return TemporaryResult::Done;
    }
    outcome = renameOver(temporary, target);
    return TemporaryResult::Done;
}

TemporaryResult writeThroughNamed(const Target& target, const ByteStream& bytes, Outcome& outcome) {
    std::string temporary = temporaryPath(directoryOf(target.path), nameOf(target.path));
    temporary.replace(temporary.size() - 10, 6, "XXXXXX");
    FileDescriptor fd(::mkostemps(temporary.data(), 4, O_CLOEXEC));
    if (!fd.valid()) {
        if (errno == EACCES || errno == EPERM) return TemporaryResult::DirectoryRefused;
        outcome = failed(Failure::Open, errno);
        return TemporaryResult::Done;
    }
    if (!target.exists) {
        // mkstemp makes 0600; a new file gets what the umask allows.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        (void)::fchmod(fd.get(), 0666 & ~mask);
    }
    outcome = fillTemporary(fd, bytes, target);
    if (outcome.ok()) {
        if (const int error = fd.close()) outcome = failed(Failure::Close, error);
    }
    if (!outcome.ok()) {
        ::unlink(temporary.c_str());
        return TemporaryResult::Done;
    }
    outcome = renameOver(temporary, target);
    return TemporaryResult::Done;
}

// Makes sure the disk has room for `size` bytes in the file before any of
// its old bytes are overwritten.
int reserveRoom(int fd, const struct stat& old, uint64_t size) {
    if (static_cast<off_t>(size) <= old.st_size) return 0;
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        size > limit.rlim_cur) {
        return EFBIG;
    }
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0) return 0;
    if (errno != EOPNOTSUPP && errno != ENOSYS) return errno;
    struct statvfs disk {};
    if (::fstatvfs(fd, &disk) != 0) return 0; // cannot tell: go on
    const unsigned long long free =
        static_cast<unsigned long long>(::geteuid() == 0 ? disk.f_bfree : disk.f_bavail) *
        disk.f_frsize;
    return size - static_cast<size_t>(old.st_size) > free ? ENOSPC : 0;
}

// A hard-linked file, or one in a directory that refuses new files: written
// where it is, as the format always was.
Outcome writeInPlace(const Target& target, const ByteStream& stream) {
    // The room is made before the first byte is overwritten, so the size
    // must be known: a stream that does not say is made in memory first.
    std::string made;
    if (stream.size == ByteStream::UnknownSize) {
        stream.produce([&made](std::string_view piece) {
            made.append(piece);
            return true;
        });
    }
    const ByteStream whole{made.size(), [&made](const ByteStream::Put& put) { put(made); }};
    const ByteStream& bytes = stream.size == ByteStream::UnknownSize ? whole : stream;
    FileDescriptor fd(::open(target.path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid()) return failed(Failure::Open, errno);
    if (const int error = reserveRoom(fd.get(), target.status, bytes.size)) {
        return failed(Failure::Open, error);
    }
    if (const int error = writeStream(fd.get(), bytes, 0)) {
        return failed(Failure::Write, error);
    }
    if (::ftruncate(fd.get(), static_cast<off_t>(bytes.size)) != 0) {
        return failed(Failure::Write, errno);
    }
    if (::fsync(fd.get()) != 0) return failed(Failure::Sync, errno);
    if (const int error = fd.close()) return failed(Failure::Close, error);
    return {};
}

} // namespace

Outcome writeFileSafely(const std::string& path, std::string_view bytes, FileRole role) {
    return writeFileSafely(
        path, ByteStream{bytes.size(), [bytes](const ByteStream::Put& put) { put(bytes); }}, role);
}

namespace {

Outcome writeStream(const std::string& path, const ByteStream& bytes, FileRole role) {
    if (path.empty()) return failed(Failure::Open, ENOENT);
    Target target;
    if (Outcome outcome = resolveTarget(path, role, target); !outcome.ok()) return outcome;
    // A user's hard-linked file stays one file; our own names never share
    // their bytes with another file.
    if (target.exists && role == FileRole::User && target.status.st_nlink > 1) {
        return writeInPlace(target, bytes);
    }
    removeStaleTemporaries(directoryOf(target.path), nameOf(target.path));
    Outcome outcome;
    TemporaryResult result = writeThroughUnnamed(target, bytes, outcome);
    if (result == TemporaryResult::Unsupported) result = writeThroughNamed(target, bytes, outcome);
    if (result == TemporaryResult::DirectoryRefused) {
        if (!target.exists || role == FileRole::Program) return failed(Failure::Open, EACCES);
        return writeInPlace(target, bytes);
    }
    return outcome;
}

Outcome appendBytes(const std::string& path, std::string_view bytes) {
    constexpr int flags = O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC;
    bool created = true;
    FileDescriptor fd(::open(path.c_str(), flags | O_CREAT | O_EXCL, 0666));
    if (!fd.valid() && errno == EEXIST) {
        created = false;
        fd.reset(::open(path.c_str(), flags));
    }
    if (!fd.valid()) {
        return errno == ELOOP ? failed(Failure::Refused, PlantedLink)
                              : failed(Failure::Open, errno);
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) return failed(Failure::Open, errno);
    if (!S_ISREG(status.st_mode)) return failed(Failure::Refused, NotRegularFile);
    if (status.st_nlink > 1) return failed(Failure::Refused, PlantedLink);
    if (const int error = readOnlyError(path, status)) return failed(Failure::Refused, error);
    Outcome outcome;
    if (const int error = writeAll(fd.get(), bytes.data(), bytes.size())) {
        outcome = failed(Failure::Write, error);
    } else if (::fsync(fd.get()) != 0) {
        outcome = failed(Failure::Sync, errno);
    }
    if (!outcome.ok()) (void)::ftruncate(fd.get(), status.st_size);
    if (const int error = fd.close(); error && outcome.ok()) {
        outcome = failed(Failure::Close, error);
    }
    if (!outcome.ok() && created) ::unlink(path.c_str());
    return outcome;
}

Outcome writeRange(const std::string& path, uint64_t offset, const void* data, size_t size) {
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0) {
        return failed(Failure::Open, path.empty() ? ENOENT : errno);
    }
    if (!S_ISREG(status.st_mode)) return failed(Failure::Refused, NotRegularFile);
    if (const int error = readOnlyError(path, status)) return failed(Failure::Refused, error);
    // Not blocking: a pipe put in the file's place since the check would wait
    // for a reader.
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) return failed(Failure::Open, errno);
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return failed(Failure::Refused, NotRegularFile);
    }
    if (const int error =
            writeAll(fd.get(), static_cast<const char*>(data), size, static_cast<off_t>(offset))) {
        return failed(Failure::Write, error);
    }
    if (const int error = fd.close()) return failed(Failure::Close, error);
    return {};
}

} // namespace

Outcome writeFileSafely(const std::string& path, const ByteStream& bytes, FileRole role) {
    return told(path, writeStream(path, bytes, role));
}

Outcome checkWritable(const std::string& path, FileRole role) {
    Target target;
    if (Outcome refused = resolveTarget(path, role, target); !refused.ok()) {
        return told(path, refused);
    }
    if (!target.exists &&
        ::faccessat(AT_FDCWD, directoryOf(path).c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        return told(path, failed(Failure::Refused, errno));
    }
    return {};
}

Outcome appendToFile(const std::string& path, std::string_view bytes) {
    return told(path, appendBytes(path, bytes));
}

Outcome writeFileRange(const std::string& path, uint64_t offset, const void* data, size_t size) {
    return told(path, writeRange(path, offset, data, size));
}

bool createEmptyFile(const std::string& path) {
    FileDescriptor fd(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    return fd.valid() && fd.close() == 0;
}

Message writeFailureMessage(const std::string& path, const Outcome& outcome) {
    return {
        formatText("Could not write \"%s\": %s", printable(path).c_str(), outcome.reason().c_str()),
        " ", MessageButtons::Ok, MessageIcon::Question};
}

} // namespace dedur
