// CStringUtils: Windows-1252 to wide text and back, and the shell's string-return struct.

#include <cstring>
#include <cwchar>
#include <string>

#include "vutil/platform/codepage.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

char32_t FromAnsi(unsigned char b) { return platform::cp::Cp1252ToUnicode(b); }

// Code points the code page cannot hold become "?", the system's default character.
char ToAnsi(wchar_t w) { return platform::cp::UnicodeToCp1252(static_cast<char32_t>(w)); }

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
