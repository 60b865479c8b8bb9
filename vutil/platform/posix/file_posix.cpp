#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "vutil/platform/error.h"
#include "vutil/platform/file.h"
#include "vutil/platform/path.h"

namespace vutil::platform {

namespace {
int Fd(FileHandle h) { return static_cast<int>(h); }
}  // namespace

FileHandle OpenFile(std::string_view path, unsigned flags) noexcept {
    auto host = ToHostPath(path);
    if (!host || host->empty()) {
        SetLastErrorCode(host ? kErrorFileNotFound : kErrorPathNotFound);
        return kInvalidFile;
    }
    int oflags = O_CLOEXEC;
    if ((flags & kFileRead) && (flags & kFileWrite)) oflags |= O_RDWR;
    else if (flags & kFileWrite) oflags |= O_WRONLY;
    else oflags |= O_RDONLY;
    if (flags & kFileCreate) {
        oflags |= O_CREAT;
        if (flags & kFileTruncate) oflags |= O_TRUNC;
        if (flags & kFileExclusive) oflags |= O_EXCL;
    }
    int fd;
    do {
        fd = ::open(host->c_str(), oflags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        int err = errno;
        ErrorContext context = (flags & kFileCreate) ? ErrorContext::kCreateFile : ErrorContext::kGeneral;
        if (err == ENOENT && context == ErrorContext::kGeneral) {
            // Windows tells a missing directory (3) from a missing file (2).
            std::string parent = *host;
            std::size_t slash = parent.find_last_of('/');
            struct stat st {};
            if (slash != std::string::npos && slash > 0) {
                parent.resize(slash);
                if (::stat(parent.c_str(), &st) != 0) context = ErrorContext::kCreateFile;
            }
        }
        SetLastErrorFromErrno(err, context);
        return kInvalidFile;
    }
    // A directory opens read-only on POSIX; a file API must refuse it.
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        SetLastErrorCode(kErrorAccessDenied);
        return kInvalidFile;
    }
    return fd;
}

std::int64_t ReadFile(FileHandle h, void* buffer, std::size_t count) noexcept {
    ssize_t n;
    do {
        n = ::read(Fd(h), buffer, count);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        SetLastErrorFromErrno(errno);
        return -1;
    }
    return n;
}

std::int64_t WriteFile(FileHandle h, const void* buffer, std::size_t count) noexcept {
    const char* p = static_cast<const char*>(buffer);
    std::size_t left = count;
    while (left > 0) {
        ssize_t n = ::write(Fd(h), p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            SetLastErrorFromErrno(errno);
            return -1;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(count);
}

std::int64_t SeekFile(FileHandle h, std::int64_t offset, SeekOrigin origin) noexcept {
    int whence = origin == SeekOrigin::kBegin ? SEEK_SET : origin == SeekOrigin::kCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(Fd(h), static_cast<off_t>(offset), whence);
    if (r < 0) {
        SetLastErrorFromErrno(errno);
        return -1;
    }
    return r;
}

std::int64_t GetFileSize(FileHandle h) noexcept {
    struct stat st {};
    if (::fstat(Fd(h), &st) != 0) {
        SetLastErrorFromErrno(errno);
        return -1;
    }
    return st.st_size;
}

bool SetFileSize(FileHandle h, std::int64_t size) noexcept {
    if (::ftruncate(Fd(h), static_cast<off_t>(size)) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    return true;
}

bool FlushFile(FileHandle h) noexcept {
    if (::fsync(Fd(h)) != 0 && errno != EINVAL) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    return true;
}

bool CloseFile(FileHandle h) noexcept {
    if (::close(Fd(h)) != 0 && errno != EINTR) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    return true;
}

bool RenameReplacing(std::string_view from, std::string_view to) noexcept {
    auto hostFrom = ToHostPath(from);
    auto hostTo = ToHostPath(to);
    if (!hostFrom || !hostTo) {
        SetLastErrorCode(kErrorPathNotFound);
        return false;
    }
    if (std::rename(hostFrom->c_str(), hostTo->c_str()) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    return true;
}

}  // namespace vutil::platform
