#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

#include "vutil/platform/dir.h"
#include "vutil/platform/dir_attrib.h"
#include "vutil/platform/error.h"
#include "vutil/platform/path.h"
#include "vutil/platform/posix/file_ops_internal.h"
#include "vutil/platform/posix/sys_calls.h"

namespace vutil::platform {

namespace {

constexpr char kDosAttribName[] = "user.DOSATTRIB";

bool IsDotName(std::string_view host) {
    const std::size_t slash = host.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? host : host.substr(slash + 1);
    return name.size() > 1 && name[0] == '.' && name != "..";
}

// The attribute's bits; noUserXattrs tells that the file system keeps no user attributes.
DWORD DosBitsOf(const char* host, bool follow, bool* noUserXattrs = nullptr) {
    char buf[256];
    const auto& sys = posix::Sys();
    const ssize_t n = posix::RetryAfterSignal(
        [&] { return (follow ? sys.getxattr : sys.lgetxattr)(host, kDosAttribName, buf, sizeof buf); });
    if (n <= 0) {
        if (n < 0 && noUserXattrs && (errno == ENOTSUP || errno == EOPNOTSUPP)) *noUserXattrs = true;
        return 0;
    }
    return ParseDosAttrib(std::string_view(buf, static_cast<std::size_t>(n))) &
           (kAttrHidden | kAttrSystem | kAttrArchive);
}

DWORD AttributesOf(const struct stat& st, bool isLink, bool dotName, DWORD dosBits) {
    DWORD a = dosBits;
    if (S_ISDIR(st.st_mode)) a |= kAttrDirectory;
    if (!(st.st_mode & S_IWUSR)) a |= kAttrReadOnly;
    if (dotName) a |= kAttrHidden;
    if (isLink) a |= kAttrReparsePoint;
    return a ? a : kAttrNormal;
}

bool InfoOf(const std::string& host, EntryInfo& info) {
    struct stat lst {};
    if (::lstat(host.c_str(), &lst) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    const bool isLink = S_ISLNK(lst.st_mode);
    struct stat st = lst;
    if (isLink && ::stat(host.c_str(), &st) != 0) st = lst;  // a dangling link is still an entry
    info.attributes = AttributesOf(st, isLink, IsDotName(host), DosBitsOf(host.c_str(), !isLink));
    posix::FillEntryInfo(st, info);
    return true;
}

struct Dir {
    DIR* dir = nullptr;
    std::string host;  // ends with "/"
    // The directory's file system refused a user attribute: its plain files have none.
    bool noUserXattrs = false;
};

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return v && *v == '/' ? std::string(v) : fallback;
}

std::string Home() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/";
}

// An XDG user directory: the environment, then user-dirs.dirs, then the xdg-user-dir
// fallback ($HOME, or $HOME/Desktop for the desktop).
std::string XdgUserDir(const std::string& key, const std::string& fallback) {
    if (const char* v = std::getenv(("XDG_" + key + "_DIR").c_str()); v && *v == '/') return v;
    std::ifstream in(EnvOr("XDG_CONFIG_HOME", Home() + "/.config") + "/user-dirs.dirs");
    const std::string prefix = "XDG_" + key + "_DIR=\"";
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, prefix.size(), prefix) != 0) continue;
        std::string value = line.substr(prefix.size());
        const std::size_t quote = value.find('"');
        if (quote == std::string::npos) continue;
        value.resize(quote);
        if (value.compare(0, 5, "$HOME") == 0) value = Home() + value.substr(5);
        if (!value.empty() && value[0] == '/') return value;
    }
    return fallback;
}

std::string LibraryDir(const std::string& host) {
    if (host.empty()) return {};
    std::string p = FromHostPath(host);
    if (!p.empty() && p.back() != '\\') p += '\\';
    return p;
}

}  // namespace

DWORD GetAttributes(std::string_view path) noexcept {
    try {
        std::string host;
        EntryInfo info;
        if (!posix::HostOf(path, host) || !InfoOf(host, info)) return kInvalidAttributes;
        return info.attributes;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return kInvalidAttributes;
    }
}

bool GetEntryInfo(std::string_view path, EntryInfo& info) noexcept {
    try {
        std::string host;
        return posix::HostOf(path, host) && InfoOf(host, info);
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

bool SetAttributes(std::string_view path, DWORD attributes) noexcept {
    try {
        std::string host;
        if (!posix::HostOf(path, host)) return false;
        struct stat st {};
        if (::stat(host.c_str(), &st) != 0) {
            SetLastErrorFromErrno(errno);
            return false;
        }
        // Only the read-only bit has a POSIX home; hidden follows the name.
        mode_t mode = st.st_mode & 07777;
        mode = (attributes & kAttrReadOnly) ? (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
        if (::chmod(host.c_str(), mode) != 0) {
            SetLastErrorFromErrno(errno);
            return false;
        }
        return true;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

bool PathExists(std::string_view path) noexcept {
    try {
        std::string host;
        if (!posix::HostOf(path, host)) return false;
        if (::access(host.c_str(), F_OK) == 0) return true;
        SetLastErrorFromErrno(errno);
        return false;
    } catch (...) {
        return false;
    }
}

DirHandle OpenDirectory(std::string_view dir) noexcept {
    try {
        auto d = std::make_unique<Dir>();
        if (!posix::HostOf(dir, d->host)) return nullptr;
        d->dir = ::opendir(d->host.c_str());
        if (!d->dir) {
            SetLastErrorFromErrno(errno);
            return nullptr;
        }
        if (d->host.back() != '/') d->host += '/';
        return d.release();
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return nullptr;
    }
}

bool ReadDirectory(DirHandle h, std::string& name, bool& isDir, bool& isLink) noexcept {
    auto* d = static_cast<Dir*>(h);
    if (!d) return false;
    try {
        errno = 0;
        const struct dirent* e = d->dir ? ::readdir(d->dir) : nullptr;
        if (!e) {
            const int err = errno;
            // Done reading: give the descriptor back, keep the path for entry queries.
            if (d->dir) ::closedir(d->dir);
            d->dir = nullptr;
            SetLastErrorCode(err ? ErrnoToError(err) : kErrorNoMoreFiles);
            return false;
        }
        name.assign(e->d_name);
        isLink = e->d_type == DT_LNK;
        isDir = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN || isLink) {
            struct stat st {};
            const int fd = ::dirfd(d->dir);
            if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                isLink = S_ISLNK(st.st_mode);
                if (isLink && ::fstatat(fd, e->d_name, &st, 0) != 0) st.st_mode = 0;
                isDir = S_ISDIR(st.st_mode);
            }
        }
        return true;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

bool GetDirectoryEntryInfo(DirHandle h, const std::string& name, EntryInfo& info) noexcept {
    auto* d = static_cast<Dir*>(h);
    if (!d) return false;
    try {
        return InfoOf(d->host + name, info);
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

DWORD GetDirectoryEntryDosBits(DirHandle h, const std::string& name, bool plainFile) noexcept {
    auto* d = static_cast<Dir*>(h);
    if (!d || (plainFile && d->noUserXattrs)) return 0;
    try {
        return DosBitsOf((d->host + name).c_str(), true, plainFile ? &d->noUserXattrs : nullptr);
    } catch (...) {
        return 0;
    }
}

void CloseDirectory(DirHandle h) noexcept {
    auto* d = static_cast<Dir*>(h);
    if (!d) return;
    if (d->dir) ::closedir(d->dir);
    delete d;
}

bool MakeDirectory(std::string_view path) noexcept {
    try {
        std::string host;
        if (!posix::HostOf(path, host)) return false;
        if (::mkdir(host.c_str(), 0777) == 0) return true;
        SetLastErrorFromErrno(errno, ErrorContext::kCreateDirectory);
        return false;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

bool RemoveEmptyDirectory(std::string_view path) noexcept {
    try {
        std::string host;
        if (!posix::HostOf(path, host)) return false;
        struct stat st {};
        if (::lstat(host.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
            if (::unlink(host.c_str()) == 0) return true;
        } else if (::rmdir(host.c_str()) == 0) {
            return true;
        }
        SetLastErrorFromErrno(errno, ErrorContext::kRemoveDirectory);
        return false;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

bool RemoveFile(std::string_view path) noexcept {
    try {
        std::string host;
        if (!posix::HostOf(path, host)) return false;
        if (::unlink(host.c_str()) == 0) return true;
        SetLastErrorFromErrno(errno == EISDIR ? EACCES : errno);
        return false;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

bool MovePath(std::string_view from, std::string_view to) noexcept {
    try {
        std::string src, dst;
        if (!posix::HostOf(from, src) || !posix::HostOf(to, dst)) return false;
        if (::renameat2(AT_FDCWD, src.c_str(), AT_FDCWD, dst.c_str(), RENAME_NOREPLACE) == 0) return true;
        int err = errno;
        if (err == EINVAL || err == ENOSYS) {
            // A file system without no-replace renames: check, then rename.
            if (::access(dst.c_str(), F_OK) == 0) {
                SetLastErrorCode(kErrorAlreadyExists);
                return false;
            }
            if (::rename(src.c_str(), dst.c_str()) == 0) return true;
            err = errno;
        }
        if (err == EEXIST || err == ENOTEMPTY) {
            SetLastErrorCode(kErrorAlreadyExists);
            return false;
        }
        SetLastErrorFromErrno(err);
        return false;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

std::string CreateTempFileName(std::string_view dir, std::string_view prefix, unsigned int unique,
                               unsigned int& used) noexcept {
    used = 0;
    try {
        std::string base(dir);
        if (base.empty() || (base.back() != '\\' && base.back() != '/')) base += '\\';
        base.append(prefix.substr(0, 3));
        char hex[16];
        if (unique != 0) {
            std::snprintf(hex, sizeof hex, "%X", unique & 0xFFFFu);
            used = unique & 0xFFFFu;
            return base + hex + ".tmp";
        }
        // Start somewhere that differs between processes, then take the first free number.
        const auto ticks = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
        unsigned n = ((ticks ^ static_cast<unsigned>(::getpid()) * 2654435761u) % 0xFFFFu) + 1;
        for (unsigned tries = 0; tries < 0xFFFFu; ++tries, n = n % 0xFFFFu + 1) {
            std::snprintf(hex, sizeof hex, "%X", n);
            std::string path = base + hex + ".tmp";
            std::string host;
            if (!posix::HostOf(path, host)) return {};
            const int fd = ::open(host.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
            if (fd >= 0) {
                ::close(fd);
                used = n;
                return path;
            }
            if (errno == EINTR) continue;
            if (errno != EEXIST) {
                SetLastErrorFromErrno(errno, ErrorContext::kCreateFile);
                return {};
            }
        }
        SetLastErrorCode(kErrorFileExists);
        return {};
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return {};
    }
}

std::string SpecialFolderPath(int folderId) {
    const std::string home = Home();
    const std::string config = EnvOr("XDG_CONFIG_HOME", home + "/.config");
    const std::string data = EnvOr("XDG_DATA_HOME", home + "/.local/share");
    std::string host;
    switch (folderId & 0xFF) {  // the high bits are creation flags
        case 0x00: case 0x10: host = XdgUserDir("DESKTOP", home + "/Desktop"); break;
        case 0x05: host = XdgUserDir("DOCUMENTS", home); break;
        case 0x0D: host = XdgUserDir("MUSIC", home); break;
        case 0x0E: host = XdgUserDir("VIDEOS", home); break;
        case 0x27: host = XdgUserDir("PICTURES", home); break;
        case 0x15: host = XdgUserDir("TEMPLATES", home); break;
        case 0x2E: host = XdgUserDir("PUBLICSHARE", home); break;
        case 0x1A: host = config; break;
        case 0x1C: host = data; break;
        case 0x20: host = EnvOr("XDG_CACHE_HOME", home + "/.cache"); break;
        case 0x23: host = "/etc/xdg"; break;
        case 0x14: host = data + "/fonts"; break;
        case 0x28: host = home; break;
        case 0x24: return WindowsDirectoryPath();
        case 0x25: return SystemDirectoryPath();
        default: return {};
    }
    return LibraryDir(host);
}

std::string LibraryPath(std::string_view path) {
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    if (!drive && !path.empty() && (path[0] == '/' || path[0] == '\\')) {
        if (auto host = ToHostPath(path)) return FromHostPath(*host);
    }
    std::string out(path);
    for (char& c : out)
        if (c == '/') c = '\\';
    return out;
}

std::string TempDirectoryPath() { return LibraryDir(EnvOr("TMPDIR", "/tmp")); }
std::string WindowsDirectoryPath() { return LibraryDir("/etc"); }
std::string SystemDirectoryPath() { return LibraryDir("/usr/bin"); }

std::string LongPathName(std::string_view path) {
    // Host names have no short forms: an existing path is already long.
    return PathExists(path) ? std::string(path) : std::string();
}

}  // namespace vutil::platform
