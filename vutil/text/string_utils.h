#pragma once
// CStringUtils: character classification tables and string functions.

#include "vutil/framework/cstring.h"

namespace vutil {

class CStringUtils {
public:
    // ---- Character classification tables ----
    // Filled once at library load (DoPreLoad) from the C runtime in the locale then in
    // force; zero until then. Indexed by byte value 0-255.
    static int m_tableLowercase[256];
    static int m_tableUppercase[256];
    static int m_tableIsSpace[256];
    static int m_tableIsDigit[256];
    static int m_tableIsAlpha[256];

    static void DoPreLoad();

    // Arguments outside 0-255 (a signed char from 0x80 up arrives negative) give 0 / false.
    static int ToLower(int c) noexcept { return InTable(c) ? m_tableLowercase[c] : 0; }
    static int ToUpper(int c) noexcept { return InTable(c) ? m_tableUppercase[c] : 0; }
    static bool IsLower(int c) noexcept { return InTable(c) && m_tableLowercase[c] == c; }
    static bool IsUpper(int c) noexcept { return InTable(c) && m_tableUppercase[c] == c; }
    static bool IsSpace(int c) noexcept { return InTable(c) && m_tableIsSpace[c] != 0; }
    static bool IsDigit(int c) noexcept { return InTable(c) && m_tableIsDigit[c] != 0; }
    static bool IsAlpha(int c) noexcept { return InTable(c) && m_tableIsAlpha[c] != 0; }
    static bool IsPunct(int c) noexcept;
    static bool IsSlash(char c) noexcept { return c == '\\' || c == '/'; }

private:
    static bool InTable(int c) noexcept { return c >= 0 && c <= 255; }
};

}  // namespace vutil
