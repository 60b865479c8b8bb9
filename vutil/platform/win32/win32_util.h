#pragma once
// What every file of the Windows backend shares: Windows-1252 <-> UTF-16 for the wide
// API (the library's texts are Windows-1252 whatever the system's code page), library
// paths to wide paths, and handles that close themselves.

#include <string>
#include <string_view>

// The seam's root keys first: after <windows.h> the same names are the system's macros.
#include "vutil/platform/settings.h"
#include "vutil/platform/types.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace vutil::platform::win32 {

// Windows-1252 bytes as UTF-16 (one unit per byte), and back (a character the code
// page lacks becomes '?').
std::wstring Wide(std::string_view text);
std::string Narrow(std::wstring_view text);

// A library path for the wide file API: forward slashes become backslashes, and an
// absolute path too long for the classic limit gets the "\\?\" prefix.
std::wstring WidePath(std::string_view path);

// Records `code` as the thread's last error and returns false, for one-line failures.
inline bool Fail(DWORD code) noexcept {
    ::SetLastError(code);
    return false;
}

// A kernel handle closed on scope exit (INVALID_HANDLE_VALUE and null both mean none).
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) noexcept : m_h(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& o) noexcept : m_h(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    HANDLE get() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return m_h && m_h != INVALID_HANDLE_VALUE; }
    HANDLE release() noexcept {
        HANDLE h = m_h;
        m_h = nullptr;
        return h;
    }
    void reset(HANDLE h = nullptr) noexcept {
        if (*this) ::CloseHandle(m_h);
        m_h = h;
    }

private:
    HANDLE m_h = nullptr;
};

}  // namespace vutil::platform::win32
