#include "vutil/platform/posix/sys_calls.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>

namespace vutil::platform::posix {

namespace {

int SysOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
void SysSleep(unsigned ms) {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

}  // namespace

SysCalls DefaultSysCalls() noexcept {
    return SysCalls{&SysOpen, &::read, &::write, &::fsync, &::rename, &::flock, &SysSleep, &::getxattr, &::lgetxattr};
}

SysCalls& Sys() noexcept {
    static SysCalls table = DefaultSysCalls();
    return table;
}

int Open(const char* path, int flags, mode_t mode) {
    return RetryAfterSignal([&] { return Sys().open(path, flags | O_CLOEXEC, mode); });
}

ssize_t Read(int fd, void* buffer, std::size_t count) {
    return RetryAfterSignal([&] { return Sys().read(fd, buffer, count); });
}

int WriteAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = RetryAfterSignal([&] { return Sys().write(fd, p, size); });
        if (n < 0) return errno;
        if (n == 0) return ENOSPC;  // no progress and no error: treat as a full disk
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

int ReadAll(int fd, std::string& out, std::size_t limit) {
    out.clear();
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        if (static_cast<std::uint64_t>(st.st_size) > limit) return EFBIG;
        out.reserve(static_cast<std::size_t>(st.st_size));
    }
    char buf[65536];
    for (;;) {
        ssize_t n = Read(fd, buf, sizeof buf);
        if (n < 0) return errno;
        if (n == 0) return 0;
        if (out.size() + static_cast<std::size_t>(n) > limit) return EFBIG;  // grew while we read
        out.append(buf, static_cast<std::size_t>(n));
    }
}

}  // namespace vutil::platform::posix
