#include "vutil/platform/posix/settings_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "vutil/platform/error.h"
#include "vutil/platform/posix/sys_calls.h"

namespace vutil::platform::settings {

StoreLock::~StoreLock() {
    if (m_fd) posix::Sys().flock(m_fd.Get(), LOCK_UN);
}

DWORD StoreLock::Acquire(const std::string& lockPath) {
    posix::FileDescriptor fd(
        posix::Open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600));
    if (!fd) return errno == ELOOP ? kErrorAccessDenied : ErrnoToError(errno, ErrorContext::kCreateFile);
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) return ErrnoToError(errno);
    if (!S_ISREG(st.st_mode)) return kErrorAccessDenied;
    // Polling keeps the wait bounded; the pause grows so a long wait costs little.
    unsigned waitedMs = 0;
    unsigned pauseMs = 5;
    for (;;) {
        if (posix::Sys().flock(fd.Get(), LOCK_EX | LOCK_NB) == 0) break;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return ErrnoToError(errno);
        if (waitedMs >= kLockWaitSeconds * 1000) return kErrorBusy;
        posix::Sys().sleepMs(pauseMs);
        waitedMs += pauseMs;
        pauseMs = std::min(pauseMs * 2, 100u);
    }
    m_fd = std::move(fd);
    return 0;
}

}  // namespace vutil::platform::settings
