#include <cerrno>
#include <string>

#include "vutil/platform/error.h"
#include "vutil/platform/http.h"
#include "vutil/platform/win32/win32_util.h"

namespace vutil::platform {

// The thread's last error is the system's own, so API failures need no copying.
DWORD GetLastErrorCode() noexcept { return static_cast<DWORD>(::GetLastError()); }
void SetLastErrorCode(DWORD code) noexcept { ::SetLastError(code); }

// The C runtime's errno values, mapped as the POSIX backend maps them; the ones the
// runtime lacks simply have no case.

DWORD SetLastErrorFromErrno(int err, ErrorContext context) noexcept {
    const DWORD code = ErrnoToError(err, context);
    ::SetLastError(code);
    return code;
}

namespace {

// The message table's text as one line: line breaks (some messages have several
// lines) become single spaces, and the final full stop goes (callers add their own).
std::string OneLine(std::string text) {
    std::string out;
    out.reserve(text.size());
    bool space = false;
    for (char c : text) {
        const bool blank = c == '\r' || c == '\n' || c == ' ' || c == '\t';
        if (blank) {
            space = !out.empty();
            continue;
        }
        if (space) out += ' ';
        space = false;
        out += c;
    }
    if (!out.empty() && out.back() == '.') out.pop_back();
    return out;
}

}  // namespace

std::string GetErrorMessage(DWORD code) {
    // Asking for a text must not disturb the error it describes.
    const ::DWORD saved = ::GetLastError();
    wchar_t* buffer = nullptr;
    const ::DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (n > 0 && buffer) text = OneLine(win32::Narrow(std::wstring_view(buffer, n)));
    if (buffer) ::LocalFree(buffer);
    // The Internet error numbers live in the Internet service's own table.
    if (text.empty() && code > 12000 && code < 12200) text = HttpErrorText(code);
    ::SetLastError(saved);
    return text;
}

}  // namespace vutil::platform
