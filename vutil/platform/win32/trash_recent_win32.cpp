// The shell's recycle bin and its list of recent documents.

#include <string>

#include "vutil/platform/file_ops.h"
#include "vutil/platform/win32/file_ops_internal.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

namespace vutil::platform {

using win32::Guarded;

namespace {

// The full path the shell wants (it takes no "\\?\" form); empty when the path is missing.
std::wstring ExistingFullPath(std::string_view path) {
    std::wstring wide = win32::Wide(path);
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    if (::GetFileAttributesW(win32::WidePath(path).c_str()) == INVALID_FILE_ATTRIBUTES) return {};
    std::wstring full(32768, L'\0');
    const ::DWORD n = ::GetFullPathNameW(wide.c_str(), static_cast<::DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size()) return {};
    full.resize(n);
    if (full.size() > 3 && full.back() == L'\\') full.pop_back();
    return full;
}

}  // namespace

bool MoveToTrash(std::string_view path) noexcept {
    return Guarded(false, [&] {
        // The shell would expand wildcards; a name never holds them.
        if (path.find_first_of("*?") != std::string_view::npos) return win32::Fail(ERROR_INVALID_NAME);
        std::wstring list = ExistingFullPath(path);
        if (list.empty()) return false;
        list.push_back(L'\0');  // the list ends with an empty name
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = list.c_str();
        op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        const int rc = ::SHFileOperationW(&op);
        if (rc == 0 && !op.fAnyOperationsAborted) return true;
        // The shell's own codes above 0x70 are no system errors.
        if (op.fAnyOperationsAborted) return win32::Fail(ERROR_CANCELLED);
        if (rc == 0x7C) return win32::Fail(ERROR_FILE_NOT_FOUND);
        return win32::Fail(rc > 0 && rc < 0x71 ? static_cast<::DWORD>(rc) : ERROR_ACCESS_DENIED);
    });
}

bool AddRecentDocument(std::string_view path) noexcept {
    return Guarded(false, [&] {
        const std::wstring full = ExistingFullPath(path);
        if (full.empty()) return false;
        // The shell writes a shortcut through COM; a thread without it gets it for the call.
        const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        ::SHAddToRecentDocs(SHARD_PATHW, full.c_str());
        if (SUCCEEDED(com)) ::CoUninitialize();
        return true;
    });
}

}  // namespace vutil::platform
