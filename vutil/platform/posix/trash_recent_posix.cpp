// The freedesktop.org Trash and the desktop's list of recent documents.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "vutil/platform/clock.h"
#include "vutil/platform/error.h"
#include "vutil/platform/file_ops.h"
#include "vutil/platform/posix/file_ops_internal.h"
#include "vutil/platform/posix/sys_calls.h"
#include "vutil/platform/recent_xbel.h"

namespace vutil::platform {

namespace {

using posix::BaseOf;
using posix::FileDescriptor;
using posix::ParentOf;

std::string DataHome() {
    if (const char* v = std::getenv("XDG_DATA_HOME"); v && *v == '/') return v;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "") + "/.local/share";
}

// mkdir -p with private folders; true when the folder is there.
bool MakeDirs(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (dir.size() > 1 && !MakeDirs(ParentOf(dir))) return false;
    return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string AbsoluteHost(const std::string& host) {
    // The folder is resolved, the name kept: a link is trashed as the link.
    char* real = ::realpath(ParentOf(host).c_str(), nullptr);
    if (!real) return host;
    std::string dir(real);
    std::free(real);
    return (dir == "/" ? "" : dir) + "/" + BaseOf(host);
}

// The folder where the mount holding dev starts: the last parent on the same device.
std::string MountTop(const std::string& absolute, dev_t dev) {
    std::string top = ParentOf(absolute);
    while (top != "/") {
        const std::string up = ParentOf(top);
        struct stat st {};
        if (::stat(up.c_str(), &st) != 0 || st.st_dev != dev) break;
        top = up;
    }
    return top;
}

// The volume's trash: $top/.Trash/$uid when the administrator made a sticky .Trash,
// else $top/.Trash-$uid.
bool VolumeTrash(const std::string& top, std::string& trash) {
    const std::string uid = std::to_string(::getuid());
    const std::string base = top == "/" ? "" : top;
    struct stat st {};
    if (::lstat((base + "/.Trash").c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        trash = base + "/.Trash/" + uid;
        if (MakeDirs(trash)) return true;
    }
    trash = base + "/.Trash-" + uid;
    if (::mkdir(trash.c_str(), 0700) != 0 && errno != EEXIST) return false;
    // Someone else's folder or a planted link is no place for our files.
    return ::lstat(trash.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

std::string LocalStamp() {
    TimeFields f;
    if (!LocalNow(f)) return "1970-01-01T00:00:00";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute,
                  f.second);
    return buf;
}

std::string Candidate(const std::string& name, int n) {
    if (n == 0) return name;
    const std::size_t dot = name.find_last_of('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string ext = dot == std::string::npos || dot == 0 ? "" : name.substr(dot);
    return stem + "." + std::to_string(n + 1) + ext;
}

bool FailErrno() {
    SetLastErrorFromErrno(errno);
    return false;
}

}  // namespace

bool MoveToTrash(std::string_view path) noexcept {
    try {
        std::string host;
        if (!posix::HostOf(path, host)) return false;
        struct stat st {};
        if (::lstat(host.c_str(), &st) != 0) return FailErrno();
        const std::string absolute = AbsoluteHost(host);

        std::string trash = DataHome() + "/Trash";
        std::string recorded = absolute;  // the home trash records absolute paths
        struct stat home {};
        if (!MakeDirs(trash) || ::stat(trash.c_str(), &home) != 0) return FailErrno();
        if (home.st_dev != st.st_dev) {
            const std::string top = MountTop(absolute, st.st_dev);
            if (!VolumeTrash(top, trash)) {
                SetLastErrorCode(kErrorAccessDenied);
                return false;
            }
            // A volume trash records the path from the volume's top, so it survives remounting.
            recorded = top == "/" ? absolute.substr(1) : absolute.substr(top.size() + 1);
        }
        if (!MakeDirs(trash + "/files") || !MakeDirs(trash + "/info")) return FailErrno();

        const std::string body = "[Trash Info]\nPath=" + PercentEncodePath(recorded) +
                                 "\nDeletionDate=" + LocalStamp() + "\n";
        const std::string name = BaseOf(absolute);
        for (int n = 0; n < 10000; ++n) {
            const std::string entry = Candidate(name, n);
            const std::string info = trash + "/info/" + entry + ".trashinfo";
            // The info file is made exclusively first: it reserves the name.
            FileDescriptor fd(posix::Open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600));
            if (!fd) {
                if (errno == EEXIST) continue;
                return FailErrno();
            }
            struct stat taken {};
            if (::lstat((trash + "/files/" + entry).c_str(), &taken) == 0) {
                fd.Reset();
                ::unlink(info.c_str());
                continue;
            }
            int err = posix::WriteAll(fd.Get(), body.data(), body.size());
            if (!err && posix::Sys().fsync(fd.Get()) != 0) err = errno;
            if (!err) err = fd.Close();
            if (!err && posix::Sys().rename(host.c_str(), (trash + "/files/" + entry).c_str()) != 0) err = errno;
            if (err) {
                fd.Reset();
                ::unlink(info.c_str());
                SetLastErrorFromErrno(err);
                return false;
            }
            return true;
        }
        SetLastErrorCode(kErrorFileExists);
        return false;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

bool AddRecentDocument(std::string_view path) noexcept {
    try {
        std::string host;
        if (!posix::HostOf(path, host)) return false;
        struct stat st {};
        if (::stat(host.c_str(), &st) != 0) return FailErrno();
        char* real = ::realpath(host.c_str(), nullptr);
        if (!real) return FailErrno();
        const std::string absolute(real);
        std::free(real);

        const std::string file = DataHome() + "/recently-used.xbel";
        if (!MakeDirs(DataHome())) return FailErrno();
        std::string old;
        {
            FileDescriptor fd(posix::Open(file.c_str(), O_RDONLY | O_NONBLOCK));
            struct stat fst {};
            if (fd && ::fstat(fd.Get(), &fst) == 0 && S_ISREG(fst.st_mode))
                posix::ReadAll(fd.Get(), old, std::size_t{64} << 20);
        }
        std::string program = HostProgramPath();
        const std::size_t slash = program.find_last_of('\\');
        if (slash != std::string::npos) program = program.substr(slash + 1);
        if (program.empty()) program = "vutil";

        Instant now = Now();
        TimeFields f;
        UtcToUtcFields(now.seconds, f);
        char stamp[48];
        std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d.%06dZ", f.year, f.month, f.day, f.hour,
                      f.minute, f.second, now.nanoseconds / 1000);
        RecentEntry entry{"file://" + PercentEncodePath(absolute), stamp, GuessMimeType(absolute), program};
        struct stat keep {};
        const bool existed = ::stat(file.c_str(), &keep) == 0;
        if (existed) keep.st_atim.tv_nsec = keep.st_mtim.tv_nsec = UTIME_NOW;
        return posix::WriteReplacing(file, AddRecentBookmark(old, entry), existed ? &keep : nullptr);
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

}  // namespace vutil::platform
