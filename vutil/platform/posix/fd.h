#pragma once
// One owned file descriptor, closed on every path. Internal to the POSIX backend.

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace vutil::platform::posix {

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) noexcept : m_fd(fd) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(FileDescriptor&& o) noexcept : m_fd(o.Release()) {}
    FileDescriptor& operator=(FileDescriptor&& o) noexcept {
        if (this != &o) Reset(o.Release());
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const noexcept { return m_fd; }
    bool Valid() const noexcept { return m_fd >= 0; }
    explicit operator bool() const noexcept { return Valid(); }
    int Release() noexcept { return std::exchange(m_fd, -1); }
    void Reset(int fd = -1) noexcept {
        // close() is not retried after EINTR: on Linux the descriptor is gone anyway.
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }
    // Closes now and reports the errno of a failed close (0 when it went well): the
    // last chance to hear about a delayed write error.
    int Close() noexcept {
        int fd = Release();
        return fd >= 0 && ::close(fd) != 0 && errno != EINTR ? errno : 0;
    }

private:
    int m_fd = -1;
};

}  // namespace vutil::platform::posix
