#pragma once
// The system calls the POSIX backend makes, reached through one table that tests may
// replace entry by entry (a full disk, a failed rename, a busy lock), plus the one
// EINTR retry and the loops for whole reads and writes. Internal to the backend.

#include <fcntl.h>
#include <sys/types.h>

#include <cerrno>
#include <cstddef>
#include <string>

namespace vutil::platform::posix {

struct SysCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*read)(int fd, void* buffer, std::size_t count);
    ssize_t (*write)(int fd, const void* buffer, std::size_t count);
    int (*fsync)(int fd);
    int (*rename)(const char* from, const char* to);
    int (*flock)(int fd, int operation);
    // Pauses between attempts to take a busy lock.
    void (*sleepMs)(unsigned milliseconds);
    // Extended attributes, following a final link or not.
    ssize_t (*getxattr)(const char* path, const char* name, void* value, std::size_t size);
    ssize_t (*lgetxattr)(const char* path, const char* name, void* value, std::size_t size);
};

// The table in force; the defaults call the OS.
SysCalls& Sys() noexcept;
SysCalls DefaultSysCalls() noexcept;

// Puts the default table back when it goes (tests).
class ScopedSysCalls {
public:
    ScopedSysCalls() = default;
    ~ScopedSysCalls() { Sys() = DefaultSysCalls(); }
    ScopedSysCalls(const ScopedSysCalls&) = delete;
    ScopedSysCalls& operator=(const ScopedSysCalls&) = delete;
};

// Calls f until it fails with something other than EINTR; f reports failure as -1.
template <typename F>
auto RetryAfterSignal(F&& f) -> decltype(f()) {
    decltype(f()) r;
    do {
        r = f();
    } while (r == -1 && errno == EINTR);
    return r;
}

int Open(const char* path, int flags, mode_t mode = 0);
ssize_t Read(int fd, void* buffer, std::size_t count);
// Writes every byte; 0, or the errno of the failure.
int WriteAll(int fd, const void* data, std::size_t size);
// Reads to the end; 0, or the errno of the failure (EFBIG past limit bytes).
int ReadAll(int fd, std::string& out, std::size_t limit);

}  // namespace vutil::platform::posix
