#pragma once
// The advisory lock that serialises writers of one store file across processes.
// Internal to the POSIX backend.

#include <string>

#include "vutil/platform/error.h"  // DWORD and the codes
#include "vutil/platform/posix/fd.h"

namespace vutil::platform::settings {

// How long a writer waits for another before it gives up with 170 (busy): long
// enough for any healthy writer, short enough that a hung one cannot stall us.
inline constexpr unsigned kLockWaitSeconds = 10;

class StoreLock {
public:
    StoreLock() = default;
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    // Takes the lock on lockPath, creating the file; a symbolic link there is
    // refused (5) rather than followed. 0, 170 after kLockWaitSeconds, or an error.
    DWORD Acquire(const std::string& lockPath);

private:
    posix::FileDescriptor m_fd;
};

}  // namespace vutil::platform::settings
