// The clipboard on POSIX: a file named by VUTIL_CLIPBOARD, else the X display's.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <random>

#include "vutil/platform/clipboard.h"
#include "vutil/platform/error.h"
#include "vutil/platform/posix/fd.h"
#include "vutil/platform/posix/sys_calls.h"
#include "vutil/platform/posix/x11_internal.h"

namespace vutil::platform {

namespace {

constexpr std::size_t kMaxClipboardFile = 256u << 20;

const char* ClipboardFile() {
    const char* file = std::getenv("VUTIL_CLIPBOARD");
    return file && *file ? file : nullptr;
}

bool WriteClipboardFile(const std::string& path, const std::string& bytes) {
    // A reader sees the old clipboard or the new one, never a part.
    std::string temp = path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(std::random_device{}());
    posix::FileDescriptor fd(posix::Open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd) {
        SetLastErrorFromErrno(errno, ErrorContext::kCreateFile);
        return false;
    }
    int err = posix::WriteAll(fd.Get(), bytes.data(), bytes.size());
    if (err == 0) err = fd.Close();
    if (err == 0 && posix::Sys().rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        SetLastErrorFromErrno(err);
        return false;
    }
    return true;
}

}  // namespace

bool ClipboardPublish(const ClipboardFormats& formats) noexcept {
    try {
        if (const char* file = ClipboardFile()) return WriteClipboardFile(file, SerializeClipboard(formats));
        if (posix::X11Present()) return posix::X11ClipboardPublish(formats);
        SetLastErrorCode(kErrorNotSupported);
        return false;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

std::optional<std::string> ClipboardRead(std::string_view format) noexcept {
    try {
        if (const char* file = ClipboardFile()) {
            posix::FileDescriptor fd(posix::Open(file, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
            if (!fd) {
                // No file yet is an empty clipboard.
                SetLastErrorCode(errno == ENOENT ? 0 : SetLastErrorFromErrno(errno));
                return std::nullopt;
            }
            struct stat st {};
            std::string bytes;
            int err = ::fstat(fd.Get(), &st) != 0 ? errno : !S_ISREG(st.st_mode) ? EINVAL : 0;
            if (err == 0) err = posix::ReadAll(fd.Get(), bytes, kMaxClipboardFile);
            ClipboardFormats formats;
            if (err != 0 || !ParseClipboard(bytes, formats)) {
                SetLastErrorCode(err != 0 ? ErrnoToError(err) : kErrorInvalidData);
                return std::nullopt;
            }
            SetLastErrorCode(0);
            for (auto& [name, data] : formats)
                if (name == format) return std::move(data);
            return std::nullopt;
        }
        if (posix::X11Present()) return posix::X11ClipboardRead(format);
        SetLastErrorCode(kErrorNotSupported);
        return std::nullopt;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return std::nullopt;
    }
}

std::vector<TopWindow> ListTopWindows() {
    return posix::X11Present() ? posix::X11TopWindows() : std::vector<TopWindow>{};
}

std::string WindowTitle(std::uintptr_t id) { return posix::X11Present() ? posix::X11WindowTitle(id) : std::string{}; }

}  // namespace vutil::platform
