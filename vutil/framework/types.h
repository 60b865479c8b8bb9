#pragma once
// Scalar types and small structs that the library's interfaces name.

#include <cstdint>

#include "vutil/platform/types.h"  // BYTE, WORD, DWORD, UINT, LONG, HKEY, ...

namespace vutil {

struct CRect {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(LONG l, LONG t, LONG r, LONG b) : left(l), top(t), right(r), bottom(b) {}
    constexpr LONG Width() const { return right - left; }
    constexpr LONG Height() const { return bottom - top; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool operator==(const CRect&) const = default;
};

// 100-nanosecond intervals since 1 January 1601 (UTC unless a function says local).
struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
    constexpr bool operator==(const FILETIME&) const = default;
};

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
    constexpr bool operator==(const SYSTEMTIME&) const = default;
};

}  // namespace vutil
