#pragma once

// Real file system faults for the tests: a full disk, a directory that
// refuses new files, files of other owners.

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "testsupport.h"

namespace dedur::test {

inline constexpr uid_t NobodyId = 65534;

// A directory where writes fail as on a full disk. As root it is a small
// tmpfs filled up while `whileFull` runs (ENOSPC); elsewhere a file size
// limit of a few bytes stands in for it (EFBIG), which fails the same writes.
class FullDisk {
  public:
    FullDisk() {
        std::signal(SIGXFSZ, SIG_IGN);
        mounted_ = ::geteuid() == 0 &&
                   ::mount("dedur-test", dir_.path().c_str(), "tmpfs", 0, "size=256k") == 0;
    }
    ~FullDisk() {
        if (mounted_) ::umount2(dir_.path().c_str(), MNT_DETACH);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    std::string file(const std::string& name) const { return dir_.file(name); }
    bool realFileSystem() const { return mounted_; }

    // Runs `action` with no room left for new bytes.
    void whileFull(const std::function<void()>& action) {
        if (mounted_) {
            const std::string filler = dir_.file(".filler");
            const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            static const char block[4096] = {};
            while (::write(fd, block, sizeof block) > 0) {
            }
            while (::write(fd, block, 1) > 0) {
            }
            ::close(fd);
            action();
            ::unlink(filler.c_str());
            return;
        }
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit tight = old;
        tight.rlim_cur = 8;
        ::setrlimit(RLIMIT_FSIZE, &tight);
        action();
        ::setrlimit(RLIMIT_FSIZE, &old);
    }

  private:
    TempDir dir_;
    bool mounted_ = false;
};

// Runs `action` in a child process as a user who owns none of the test's
// files (root drops to nobody); true when it returned true.
inline bool runAsOtherUser(const std::function<bool()>& action) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(NobodyId) != 0 || ::setuid(NobodyId) != 0)) ::_exit(3);
        ::_exit(action() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace dedur::test
