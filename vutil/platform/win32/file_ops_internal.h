#pragma once
// Pieces the file sources of the Windows backend share. Internal to the backend.

#include <cstdint>
#include <string>
#include <string_view>

#include "vutil/platform/dir.h"
#include "vutil/platform/file.h"
#include "vutil/platform/win32/win32_util.h"

namespace vutil::platform::win32 {

// A FileHandle is the system's handle value.
inline HANDLE NativeHandle(FileHandle h) noexcept { return reinterpret_cast<HANDLE>(h); }
inline FileHandle LibraryHandle(HANDLE h) noexcept { return reinterpret_cast<FileHandle>(h); }

inline std::uint64_t TicksOf(const FILETIME& ft) noexcept {
    return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
inline FILETIME FileTimeOf(std::uint64_t ticks) noexcept {
    FILETIME ft;
    ft.dwLowDateTime = static_cast<::DWORD>(ticks);
    ft.dwHighDateTime = static_cast<::DWORD>(ticks >> 32);
    return ft;
}

// Attributes, size (files only), times and identity (volume serial, file index).
void FillEntryInfo(const BY_HANDLE_FILE_INFORMATION& bi, EntryInfo& info);

// The folder part of a wide path, with its final separator ("C:\a\" for "C:\a\b").
std::wstring FolderOf(const std::wstring& path);

// Runs f, turning an allocation failure into ERROR_NOT_ENOUGH_MEMORY and `failed`.
template <class R, class F>
R Guarded(R failed, F&& f) noexcept {
    try {
        return f();
    } catch (...) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return failed;
    }
}

// A new file beside a target, written in full, flushed and then renamed over the
// target in one step; removed again unless the commit happened.
class TempBeside {
public:
    TempBeside() = default;
    ~TempBeside();
    TempBeside(const TempBeside&) = delete;
    TempBeside& operator=(const TempBeside&) = delete;

    bool Create(std::string_view target);
    bool Write(const void* data, std::size_t size);
    HANDLE Handle() const noexcept { return m_file.get(); }
    // Attributes to give the file once it is closed (0: leave them).
    void KeepAttributes(::DWORD attributes) noexcept { m_attributes = attributes; }
    // Flushes, closes and renames over the target.
    bool Commit();

private:
    UniqueHandle m_file;
    std::wstring m_path, m_target;
    ::DWORD m_attributes = 0;
};

}  // namespace vutil::platform::win32
