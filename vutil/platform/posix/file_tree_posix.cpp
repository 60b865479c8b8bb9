#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

#include "vutil/platform/error.h"
#include "vutil/platform/file_tree.h"
#include "vutil/platform/path.h"
#include "vutil/platform/posix/fd.h"
#include "vutil/platform/posix/file_ops_internal.h"
#include "vutil/platform/posix/sys_calls.h"

namespace vutil::platform {

namespace {

int Fd(FileHandle h) { return static_cast<int>(h); }

bool BadPart(const std::string& p) {
    return p.empty() || p == "." || p == ".." || p.find('/') != std::string::npos ||
           p.find('\0') != std::string::npos;
}

}  // namespace

FileHandle OpenFolder(std::string_view path) noexcept {
    try {
        auto host = ToHostPath(path);
        if (!host || host->empty()) {
            SetLastErrorCode(kErrorPathNotFound);
            return kInvalidFile;
        }
        int fd = posix::Open(host->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            SetLastErrorFromErrno(errno == ENOENT ? ENOTDIR : errno);
            return kInvalidFile;
        }
        return fd;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return kInvalidFile;
    }
}

FileHandle OpenFolderBeneath(FileHandle dir, const std::vector<std::string>& parts, bool create) noexcept {
    posix::FileDescriptor cur(::fcntl(Fd(dir), F_DUPFD_CLOEXEC, 0));
    if (!cur) {
        SetLastErrorFromErrno(errno);
        return kInvalidFile;
    }
    for (const auto& part : parts) {
        if (BadPart(part)) {
            SetLastErrorCode(kErrorInvalidName);
            return kInvalidFile;
        }
        const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        int next = posix::RetryAfterSignal([&] { return ::openat(cur.Get(), part.c_str(), flags); });
        if (next < 0 && errno == ENOENT && create) {
            if (::mkdirat(cur.Get(), part.c_str(), 0777) != 0 && errno != EEXIST) {
                SetLastErrorFromErrno(errno, ErrorContext::kCreateDirectory);
                return kInvalidFile;
            }
            next = posix::RetryAfterSignal([&] { return ::openat(cur.Get(), part.c_str(), flags); });
        }
        if (next < 0) {
            // ELOOP / ENOTDIR: a link or a file sits where a folder should be.
            SetLastErrorFromErrno(errno == ELOOP ? EACCES : errno, ErrorContext::kCreateDirectory);
            return kInvalidFile;
        }
        cur.Reset(next);
    }
    return cur.Release();
}

FileHandle CreateTempFileIn(FileHandle dir, std::string& tempName) noexcept {
    static std::atomic<unsigned> counter{0};
    try {
        for (int attempt = 0; attempt < 100; ++attempt) {
            char name[64];
            std::snprintf(name, sizeof name, ".vutil-%d-%u.tmp", static_cast<int>(::getpid()), counter++);
            int fd = posix::RetryAfterSignal([&] {
                return ::openat(Fd(dir), name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            });
            if (fd >= 0) {
                tempName = name;
                return fd;
            }
            if (errno != EEXIST) break;
        }
        SetLastErrorFromErrno(errno, ErrorContext::kCreateFile);
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
    }
    return kInvalidFile;
}

bool CommitFileIn(FileHandle dir, const std::string& tempName, const std::string& name) noexcept {
    if (BadPart(name)) {
        SetLastErrorCode(kErrorInvalidName);
        return false;
    }
    if (::renameat(Fd(dir), tempName.c_str(), Fd(dir), name.c_str()) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    return true;
}

bool RemoveFileIn(FileHandle dir, const std::string& name) noexcept {
    if (::unlinkat(Fd(dir), name.c_str(), 0) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    return true;
}

bool SetFileWriteTime(FileHandle h, std::uint64_t fileTime) noexcept {
    const timespec times[2] = {posix::TimespecOf(fileTime), posix::TimespecOf(fileTime)};
    if (::futimens(Fd(h), times) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    return true;
}

bool GetHandleInfo(FileHandle h, EntryInfo& info, bool& diskFile) noexcept {
    struct stat st {};
    if (::fstat(Fd(h), &st) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    diskFile = S_ISREG(st.st_mode);
    info.attributes = S_ISDIR(st.st_mode) ? DWORD{kAttrDirectory} : DWORD{0};
    if (!(st.st_mode & S_IWUSR)) info.attributes |= kAttrReadOnly;
    posix::FillEntryInfo(st, info);
    return true;
}

}  // namespace vutil::platform
