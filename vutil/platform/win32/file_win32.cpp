#include <algorithm>
#include <limits>

#include "vutil/platform/error.h"
#include "vutil/platform/file.h"
#include "vutil/platform/win32/win32_util.h"

namespace vutil::platform {

namespace {

HANDLE Handle(FileHandle h) noexcept { return reinterpret_cast<HANDLE>(h); }

// One ReadFile/WriteFile call moves at most a DWORD's worth; stay well below it.
constexpr std::size_t kChunk = 1u << 30;

::DWORD Disposition(unsigned flags) noexcept {
    if (flags & kFileCreate) {
        if (flags & kFileExclusive) return CREATE_NEW;
        return (flags & kFileTruncate) ? CREATE_ALWAYS : OPEN_ALWAYS;
    }
    return (flags & kFileTruncate) ? TRUNCATE_EXISTING : OPEN_EXISTING;
}

}  // namespace

FileHandle OpenFile(std::string_view path, unsigned flags) noexcept {
    try {
        ::DWORD access = 0;
        if (flags & kFileRead) access |= GENERIC_READ;
        if (flags & kFileWrite) access |= GENERIC_WRITE;
        if (access == 0) access = GENERIC_READ;
        // Others may read, write, rename and delete meanwhile, as on POSIX; a directory
        // fails with "access denied" because no backup semantics are asked for.
        HANDLE h = ::CreateFileW(win32::WidePath(path).c_str(), access,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, Disposition(flags),
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return kInvalidFile;
        // OPEN_ALWAYS and CREATE_ALWAYS report an existing file through the last error;
        // success leaves none behind.
        ::SetLastError(ERROR_SUCCESS);
        return reinterpret_cast<FileHandle>(h);
    } catch (...) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return kInvalidFile;
    }
}

std::int64_t ReadFile(FileHandle h, void* buffer, std::size_t count) noexcept {
    auto* out = static_cast<char*>(buffer);
    std::size_t total = 0;
    while (total < count) {
        const auto ask = static_cast<::DWORD>(std::min(count - total, kChunk));
        ::DWORD got = 0;
        if (!::ReadFile(Handle(h), out + total, ask, &got, nullptr)) {
            // A pipe whose writer has gone has simply ended.
            if (::GetLastError() == ERROR_BROKEN_PIPE) break;
            if (total > 0) break;  // what arrived is the answer; the error comes next call
            return -1;
        }
        total += got;
        // A short read is the end of the file or all a pipe had: do not wait for more.
        if (got < ask) break;
    }
    return static_cast<std::int64_t>(total);
}

std::int64_t WriteFile(FileHandle h, const void* buffer, std::size_t count) noexcept {
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const auto ask = static_cast<::DWORD>(std::min(count - done, kChunk));
        ::DWORD put = 0;
        if (!::WriteFile(Handle(h), in + done, ask, &put, nullptr)) return -1;
        if (put == 0) {
            ::SetLastError(ERROR_WRITE_FAULT);
            return -1;
        }
        done += put;
    }
    return static_cast<std::int64_t>(count);
}

std::int64_t SeekFile(FileHandle h, std::int64_t offset, SeekOrigin origin) noexcept {
    const ::DWORD method = origin == SeekOrigin::kBegin     ? FILE_BEGIN
                           : origin == SeekOrigin::kCurrent ? FILE_CURRENT
                                                            : FILE_END;
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    LARGE_INTEGER position{};
    if (!::SetFilePointerEx(Handle(h), distance, &position, method)) return -1;
    return position.QuadPart;
}

std::int64_t GetFileSize(FileHandle h) noexcept {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(Handle(h), &size)) return -1;
    return size.QuadPart;
}

bool SetFileSize(FileHandle h, std::int64_t size) noexcept {
    LARGE_INTEGER zero{}, here{}, target{};
    if (!::SetFilePointerEx(Handle(h), zero, &here, FILE_CURRENT)) return false;
    target.QuadPart = size;
    if (!::SetFilePointerEx(Handle(h), target, nullptr, FILE_BEGIN)) return false;
    const bool ok = ::SetEndOfFile(Handle(h)) != FALSE;
    // Like ftruncate, the position stays where it was, even past the new end.
    const ::DWORD error = ::GetLastError();
    ::SetFilePointerEx(Handle(h), here, nullptr, FILE_BEGIN);
    ::SetLastError(ok ? ERROR_SUCCESS : error);
    return ok;
}

bool FlushFile(FileHandle h) noexcept { return ::FlushFileBuffers(Handle(h)) != FALSE; }

bool CloseFile(FileHandle h) noexcept { return ::CloseHandle(Handle(h)) != FALSE; }

bool RenameReplacing(std::string_view from, std::string_view to) noexcept {
    try {
        return ::MoveFileExW(win32::WidePath(from).c_str(), win32::WidePath(to).c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    } catch (...) {
        return win32::Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

}  // namespace vutil::platform
