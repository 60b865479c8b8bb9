#include "vutil/platform/posix/settings_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "vutil/platform/error.h"
#include "vutil/platform/posix/fd.h"
#include "vutil/platform/posix/sys_calls.h"

namespace vutil::platform::settings {

namespace {

constexpr std::string_view kTempInfix = ".tmp.";

std::string BaseName(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Sixteen hex digits from the kernel's generator; the exclusive create is what makes
// the file safe, the name only keeps others from guessing it ahead of us.
std::string RandomSuffix() {
    unsigned char bytes[8] = {};
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        timespec ts{};
        ::clock_gettime(CLOCK_MONOTONIC, &ts);
        auto mix = static_cast<unsigned long long>(ts.tv_nsec) ^ (static_cast<unsigned long long>(::getpid()) << 32) ^
                   reinterpret_cast<std::uintptr_t>(&ts);
        for (unsigned char& b : bytes) {
            b = static_cast<unsigned char>(mix);
            mix = mix * 6364136223846793005ull + 1442695040888963407ull;
        }
    }
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (unsigned char b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

// Removes the temporary file unless the rename took it.
class TempFile {
public:
    explicit TempFile(std::string path) : m_path(std::move(path)) {}
    ~TempFile() {
        if (!m_committed) ::unlink(m_path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const noexcept { return m_path; }
    void Commit() noexcept { m_committed = true; }

private:
    std::string m_path;
    bool m_committed = false;
};

}  // namespace

bool Stamp::operator==(const Stamp& o) const {
    return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
}

Stamp MakeStamp(const struct stat& st) {
    Stamp s;
    s.exists = true;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime = st.st_mtim;
    s.ctime = st.st_ctim;
    return s;
}

DWORD StatStore(const std::string& path, Stamp& stamp) {
    struct stat st {};
    stamp = Stamp{};
    if (::stat(path.c_str(), &st) == 0) {
        stamp = MakeStamp(st);
        return 0;
    }
    return errno == ENOENT ? 0 : ErrnoToError(errno);
}

DWORD ReadStoreFile(const std::string& path, std::string& bytes, Stamp& stamp, mode_t* mode) {
    bytes.clear();
    stamp = Stamp{};
    // Non-blocking: opening a FIFO for reading would otherwise wait for a writer.
    posix::FileDescriptor fd(posix::Open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY));
    if (!fd) return errno == ENOENT ? 0 : ErrnoToError(errno);
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) return ErrnoToError(errno);
    if (!S_ISREG(st.st_mode)) return kErrorRegistryIoFailed;
    if (static_cast<std::uint64_t>(st.st_size) > kMaxStoreBytes) return kErrorRegistryCorrupt;
    if (int err = posix::ReadAll(fd.Get(), bytes, kMaxStoreBytes)) {
        bytes.clear();
        return err == EFBIG ? kErrorRegistryCorrupt : ErrnoToError(err);
    }
    stamp = MakeStamp(st);
    if (mode) *mode = st.st_mode;
    return 0;
}

DWORD ResolveWriteTarget(const std::string& path, std::string& target) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0) return errno == ENOENT ? 0 : ErrnoToError(errno);
        if (!S_ISLNK(st.st_mode)) return 0;
        char buf[4096];
        ssize_t n = ::readlink(target.c_str(), buf, sizeof buf);
        if (n < 0) return ErrnoToError(errno);
        if (static_cast<std::size_t>(n) >= sizeof buf) return kErrorFilenameExcedRange;
        std::string link(buf, static_cast<std::size_t>(n));
        if (link.empty()) return kErrorFileNotFound;
        target = link.front() == '/' ? link : FolderOf(target) + "/" + link;
    }
    return ErrnoToError(ELOOP);
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

DWORD CheckFolder(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return ErrnoToError(errno, ErrorContext::kCreateFile);
    if ((st.st_mode & S_IWOTH) && !(st.st_mode & S_ISVTX)) return kErrorAccessDenied;
    return 0;
}

void MakeParentFolders(const std::string& file) {
    for (std::size_t i = 1; i < file.size(); ++i) {
        if (file[i] != '/') continue;
        std::string dir = file.substr(0, i);
        ::mkdir(dir.c_str(), 0700);
    }
}

void RemoveStaleTemporaries(const std::string& target) {
    std::string folder = FolderOf(target);
    std::string prefix = BaseName(target) + std::string(kTempInfix);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (dirent* e = ::readdir(dir)) {
        std::string_view name(e->d_name);
        if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) continue;
        // unlinkat never follows a link and refuses folders; nothing else is touched.
        ::unlinkat(::dirfd(dir), e->d_name, 0);
    }
    ::closedir(dir);
}

DWORD ReplaceStoreFile(const std::string& target, const std::string& text, mode_t mode) {
    posix::FileDescriptor out;
    std::string tmpPath;
    for (int attempt = 0; attempt < 16 && !out; ++attempt) {
        tmpPath = target + std::string(kTempInfix) + RandomSuffix();
        out.Reset(posix::Open(tmpPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY, 0600));
        if (!out && errno != EEXIST) break;
    }
    if (!out) return ErrnoToError(errno, ErrorContext::kCreateFile);
    TempFile tmp(tmpPath);
    if (::fchmod(out.Get(), mode & 0777) != 0) return ErrnoToError(errno);
    if (int err = posix::WriteAll(out.Get(), text.data(), text.size())) return ErrnoToError(err);
    if (posix::Sys().fsync(out.Get()) != 0) return ErrnoToError(errno);
    if (int err = out.Close()) return ErrnoToError(err);
    if (posix::Sys().rename(tmp.Path().c_str(), target.c_str()) != 0) return ErrnoToError(errno);
    tmp.Commit();
    // The rename lives in the folder: without this a power cut may bring back the
    // old file after we answered success.
    posix::FileDescriptor folder(posix::Open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY));
    if (folder && posix::Sys().fsync(folder.Get()) != 0 && errno != EINVAL) return ErrnoToError(errno);
    return 0;
}

}  // namespace vutil::platform::settings
