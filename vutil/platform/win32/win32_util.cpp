#include "vutil/platform/win32/win32_util.h"

#include "vutil/platform/codepage.h"

namespace vutil::platform::win32 {

std::wstring Wide(std::string_view text) {
    std::wstring out(text.size(), L'\0');
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    cp::Cp1252ToUtf16(text.data(), text.size(), reinterpret_cast<char16_t*>(out.data()));
    return out;
}

std::string Narrow(std::wstring_view text) {
    std::string out(text.size(), '\0');
    const std::size_t n = cp::Utf16ToCp1252(reinterpret_cast<const char16_t*>(text.data()), text.size(),
                                            out.data(), '?', nullptr);
    out.resize(n);
    return out;
}

std::wstring WidePath(std::string_view path) {
    std::wstring wide = Wide(path);
    for (wchar_t& c : wide) {
        if (c == L'/') c = L'\\';
    }
    // The classic limit counts the terminating zero; longer absolute paths need the
    // prefix, which also turns off the system's own path clean-up.
    const bool drive = wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\';
    const bool unc = wide.size() >= 2 && wide[0] == L'\\' && wide[1] == L'\\' && (wide.size() < 3 || wide[2] != L'?');
    if (wide.size() >= MAX_PATH - 12 && (drive || unc)) {
        if (unc) return L"\\\\?\\UNC\\" + wide.substr(2);
        return L"\\\\?\\" + wide;
    }
    return wide;
}

}  // namespace vutil::platform::win32
