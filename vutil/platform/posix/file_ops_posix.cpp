#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "vutil/platform/clock.h"
#include "vutil/platform/error.h"
#include "vutil/platform/file_ops.h"
#include "vutil/platform/path.h"
#include "vutil/platform/posix/fd.h"
#include "vutil/platform/posix/file_ops_internal.h"
#include "vutil/platform/posix/sys_calls.h"

namespace vutil::platform {

namespace posix {

bool HostOf(std::string_view path, std::string& host) {
    auto h = ToHostPath(path);
    if (!h || h->empty()) {
        SetLastErrorCode(h ? kErrorFileNotFound : kErrorPathNotFound);
        return false;
    }
    host = std::move(*h);
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    return true;
}

std::string ParentOf(const std::string& host) {
    const std::size_t slash = host.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : host.substr(0, slash);
}

std::string BaseOf(const std::string& host) {
    const std::size_t slash = host.find_last_of('/');
    return slash == std::string::npos ? host : host.substr(slash + 1);
}

std::string UniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    char buf[40];
    std::snprintf(buf, sizeof buf, "%x.%x.%lx", static_cast<unsigned>(::getpid()), counter.fetch_add(1),
                  static_cast<unsigned long>(::time(nullptr)));
    return buf;
}

void SyncDirectory(const std::string& dir) {
    FileDescriptor fd(Open(dir.c_str(), O_RDONLY | O_DIRECTORY));
    if (fd) Sys().fsync(fd.Get());  // best effort: the rename itself already happened
}

bool WriteReplacing(const std::string& host, std::string_view bytes, const struct stat* like) {
    TempFile temp;
    if (!temp.Create(host)) return false;
    if (int err = WriteAll(temp.fd.Get(), bytes.data(), bytes.size())) return temp.Fail(err);
    if (like) {
        ::fchmod(temp.fd.Get(), like->st_mode & 07777);
        const struct timespec times[2] = {like->st_atim, like->st_mtim};
        ::futimens(temp.fd.Get(), times);
    }
    return temp.Commit();
}

bool TempFile::Create(const std::string& target) {
    m_target = target;
    const std::string dir = ParentOf(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_path = dir + "/." + BaseOf(target) + "." + UniqueSuffix() + ".tmp";
        fd.Reset(Open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600));
        if (fd) return true;
        if (errno != EEXIST) break;
    }
    SetLastErrorFromErrno(errno, ErrorContext::kCreateFile);
    m_path.clear();
    return false;
}

bool TempFile::Fail(int err) {
    SetLastErrorFromErrno(err);
    return false;
}

bool TempFile::Commit() {
    if (Sys().fsync(fd.Get()) != 0) return Fail(errno);
    if (int err = fd.Close()) return Fail(err);
    if (Sys().rename(m_path.c_str(), m_target.c_str()) != 0) return Fail(errno);
    m_path.clear();
    SyncDirectory(ParentOf(m_target));
    return true;
}

TempFile::~TempFile() {
    fd.Reset();
    if (!m_path.empty()) ::unlink(m_path.c_str());
}

}  // namespace posix

using posix::FileDescriptor;
using posix::HostOf;

bool CopyFileSafely(std::string_view source, std::string_view target) noexcept {
    try {
        std::string from, to;
        if (!HostOf(source, from) || !HostOf(target, to)) return false;
        // Opened without blocking, so a FIFO without a writer cannot hang the copy.
        FileDescriptor in(posix::Open(from.c_str(), O_RDONLY | O_NONBLOCK));
        if (!in) {
            SetLastErrorFromErrno(errno);
            return false;
        }
        struct stat st {};
        if (::fstat(in.Get(), &st) != 0) {
            SetLastErrorFromErrno(errno);
            return false;
        }
        if (!S_ISREG(st.st_mode)) {
            SetLastErrorCode(kErrorAccessDenied);
            return false;
        }
        ::fcntl(in.Get(), F_SETFL, ::fcntl(in.Get(), F_GETFL) & ~O_NONBLOCK);
        posix::TempFile temp;
        if (!temp.Create(to)) return false;
        std::vector<char> buffer(1 << 20);
        for (;;) {
            const ssize_t n = posix::Read(in.Get(), buffer.data(), buffer.size());
            if (n < 0) return temp.Fail(errno);
            if (n == 0) break;
            if (int err = posix::WriteAll(temp.fd.Get(), buffer.data(), static_cast<std::size_t>(n)))
                return temp.Fail(err);
        }
        // A copy keeps the source's mode and modification time, as the desktop's copy does.
        ::fchmod(temp.fd.Get(), st.st_mode & 07777);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(temp.fd.Get(), times);
        return temp.Commit();
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

bool ReplaceFileContents(std::string_view path, std::string_view bytes) noexcept {
    try {
        std::string host;
        if (!HostOf(path, host)) return false;
        struct stat st {};
        const bool existed = ::stat(host.c_str(), &st) == 0;
        if (existed) st.st_mtim.tv_nsec = UTIME_NOW;  // keep the mode, take a fresh time
        if (existed) st.st_atim.tv_nsec = UTIME_NOW;
        return posix::WriteReplacing(host, bytes, existed ? &st : nullptr);
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

bool SameFileSystem(std::string_view a, std::string_view b) noexcept {
    try {
        std::string ha, hb;
        if (!HostOf(a, ha) || !HostOf(b, hb)) return false;
        struct stat sa {}, sb {};
        // A path that does not exist yet is placed by its folder.
        if (::stat(ha.c_str(), &sa) != 0 && ::stat(posix::ParentOf(ha).c_str(), &sa) != 0) return false;
        if (::stat(hb.c_str(), &sb) != 0 && ::stat(posix::ParentOf(hb).c_str(), &sb) != 0) return false;
        return sa.st_dev == sb.st_dev;
    } catch (...) {
        return false;
    }
}

namespace posix {
std::uint64_t FileTimeOf(const struct timespec& ts) {
    const std::int64_t secs = static_cast<std::int64_t>(ts.tv_sec) + kFileTimeUnixEpoch / kFileTimeTicksPerSecond;
    if (secs < 0) return 0;
    return static_cast<std::uint64_t>(secs) * static_cast<std::uint64_t>(kFileTimeTicksPerSecond) +
           static_cast<std::uint64_t>(ts.tv_nsec / 100);
}

void FillEntryInfo(const struct stat& st, EntryInfo& info) {
    info.size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    info.writeTime = FileTimeOf(st.st_mtim);
    info.accessTime = FileTimeOf(st.st_atim);
    info.creationTime = FileTimeOf(st.st_ctim);
    info.device = static_cast<std::uint64_t>(st.st_dev);
    info.inode = static_cast<std::uint64_t>(st.st_ino);
}

struct timespec TimespecOf(std::uint64_t fileTime) {
    struct timespec ts {};
    const auto ticks = static_cast<std::int64_t>(fileTime) - kFileTimeUnixEpoch;
    std::int64_t secs = ticks / kFileTimeTicksPerSecond;
    std::int64_t rest = ticks % kFileTimeTicksPerSecond;
    if (rest < 0) {
        rest += kFileTimeTicksPerSecond;
        --secs;
    }
    ts.tv_sec = static_cast<time_t>(secs);
    ts.tv_nsec = static_cast<long>(rest * 100);
    return ts;
}
}  // namespace posix

bool SetFileTimes(std::string_view path, std::uint64_t /*creation*/, std::uint64_t access,
                  std::uint64_t write) noexcept {
    try {
        std::string host;
        if (!HostOf(path, host)) return false;
        // The birth time of a POSIX file cannot be set; access and write can.
        const struct timespec times[2] = {posix::TimespecOf(access), posix::TimespecOf(write)};
        if (::utimensat(AT_FDCWD, host.c_str(), times, 0) != 0) {
            SetLastErrorFromErrno(errno);
            return false;
        }
        return true;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

bool SetDosAttributeBits(std::string_view path, DWORD bits) noexcept {
    try {
        std::string host;
        if (!HostOf(path, host)) return false;
        bits &= 0x2u | 0x4u | 0x20u;
        int rc;
        if (bits == 0) {
            rc = ::removexattr(host.c_str(), "user.DOSATTRIB");
            if (rc != 0 && errno == ENODATA) rc = 0;
        } else {
            // The leading hex text, NUL-terminated, is what every reader of the attribute takes.
            char text[16];
            const int n = std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(bits));
            rc = ::setxattr(host.c_str(), "user.DOSATTRIB", text, static_cast<std::size_t>(n) + 1, 0);
        }
        if (rc != 0) {
            if (errno == ENOTSUP) SetLastErrorCode(kErrorNotSupported);
            else SetLastErrorFromErrno(errno);
            return false;
        }
        return true;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

std::string ExpandEnvironmentText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find('%', i);
        if (open == std::string_view::npos) break;
        out.append(text.substr(i, open - i));
        const std::size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) {
            i = open;
            break;
        }
        const std::string name(text.substr(open + 1, close - open - 1));
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (value) {
            out += value;
            i = close + 1;
        } else {
            // An unknown name stays; its closing sign may open the next reference.
            out += '%';
            out += name;
            i = close;
        }
    }
    if (i < text.size()) out.append(text.substr(i));
    return out;
}

namespace {
std::mutex& ViewLock() {
    static auto* lock = new std::mutex;
    return *lock;
}
std::map<void*, std::size_t>& Views() {
    static auto* views = new std::map<void*, std::size_t>;
    return *views;
}
}  // namespace

void* MapFileView(FileHandle h, std::size_t length, bool writable) noexcept {
    if (length == 0) {
        SetLastErrorCode(kErrorInvalidParameter);
        return nullptr;
    }
    void* view = ::mmap(nullptr, length, writable ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED,
                        static_cast<int>(h), 0);
    if (view == MAP_FAILED) {
        SetLastErrorFromErrno(errno);
        return nullptr;
    }
    try {
        std::lock_guard guard(ViewLock());
        Views()[view] = length;
    } catch (...) {
        ::munmap(view, length);
        SetLastErrorCode(kErrorNotEnoughMemory);
        return nullptr;
    }
    return view;
}

bool UnmapFileView(void* view) noexcept {
    std::size_t length = 0;
    {
        std::lock_guard guard(ViewLock());
        auto it = Views().find(view);
        if (it == Views().end()) {
            SetLastErrorCode(kErrorInvalidParameter);
            return false;
        }
        length = it->second;
        Views().erase(it);
    }
    if (::munmap(view, length) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    return true;
}

std::string HostProgramPath() {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buf) return {};
    return FromHostPath(std::string_view(buf, static_cast<std::size_t>(n)));
}

bool DeleteFileAtRestart(std::string_view) noexcept {
    SetLastErrorCode(kErrorNotSupported);
    return false;
}

}  // namespace vutil::platform
