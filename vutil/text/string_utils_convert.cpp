// CStringUtils: Windows-1252 to wide text and back, and the shell's string-return struct.

#include <cstring>
#include <cwchar>
#include <string>

#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

// Windows-1252 0x80-0x9F. The five bytes the code page leaves undefined map to the C1
// control of the same value, as the system's conversion does, so they round-trip.
constexpr char32_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t FromAnsi(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) return kHigh1252[b - 0x80];
    return b;
}

// Code points the code page cannot hold become "?", the system's default character.
char ToAnsi(wchar_t w) {
    auto cp = static_cast<char32_t>(w);
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh1252[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

wchar_t* CStringUtils::ConvertToWCHAR(CString& text) {
    // The text ends at its first NUL, as a C string would.
    std::size_t n = std::strlen(text.GetString());
    auto* wide = new wchar_t[n + 1];
    const char* s = text.GetString();
    for (std::size_t i = 0; i < n; ++i) wide[i] = static_cast<wchar_t>(FromAnsi(static_cast<unsigned char>(s[i])));
    wide[n] = L'\0';
    return wide;
}

CString CStringUtils::STRRETToCString(const STRRET& str, ITEMIDLIST* pidl) {
    if (!pidl) return CString();
    switch (str.uType) {
        case STRRET_WSTR: {
            if (!str.pOleStr) return CString();
            std::size_t n = std::wcslen(str.pOleStr);
            std::string out(n, '\0');
            for (std::size_t i = 0; i < n; ++i) out[i] = ToAnsi(str.pOleStr[i]);
            return CString(std::move(out));
        }
        case STRRET_OFFSET:
            return CString(reinterpret_cast<const char*>(pidl) + str.uOffset);
        case STRRET_CSTR:
            // Bounded by the inline buffer in case the shell left it unterminated.
            return CString(str.cStr, static_cast<int>(strnlen(str.cStr, sizeof str.cStr)));
        default:
            return CString();
    }
}

}  // namespace vutil
