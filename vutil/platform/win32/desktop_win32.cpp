// Associations, handlers and windows on Windows: the shell's association queries,
// ShellExecuteEx for opening, the window manager's list of top-level windows.

#include "vutil/platform/win32/win32_util.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cstdlib>

#include "vutil/platform/desktop.h"
#include "vutil/platform/process.h"

namespace vutil::platform {

namespace {

constexpr ASSOCF kIsProtocol = 0x1000;  // ASSOCF_IS_PROTOCOL, newer than the headers' default target

// One answer of the association query; nothing when the association lacks it.
std::optional<std::wstring> Query(ASSOCF flags, ASSOCSTR what, const std::wstring& assoc, const std::wstring& verb) {
    ::DWORD size = 0;
    HRESULT hr = ::AssocQueryStringW(flags | ASSOCF_NOTRUNCATE, what, assoc.c_str(), verb.c_str(), nullptr, &size);
    if ((hr != S_OK && hr != S_FALSE) || size == 0) return std::nullopt;
    std::wstring text(size, L'\0');
    hr = ::AssocQueryStringW(flags | ASSOCF_NOTRUNCATE, what, assoc.c_str(), verb.c_str(), text.data(), &size);
    if (hr != S_OK) return std::nullopt;
    text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
    return text;
}

std::wstring RegistryText(HKEY root, const wchar_t* key, const wchar_t* value) {
    ::DWORD size = 0;
    if (::RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS || size < 2) return {};
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, text.data(), &size) != ERROR_SUCCESS) return {};
    text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
    return text;
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The association of an extension or a scheme (given without its colon).
std::optional<DesktopApp> Associated(const std::wstring& assoc, bool protocol, std::string_view verb) {
    const ASSOCF flags = ASSOCF_INIT_IGNOREUNKNOWN | (protocol ? kIsProtocol : 0);
    const std::wstring wideVerb = win32::Wide(verb);
    auto command = Query(flags, ASSOCSTR_COMMAND, assoc, wideVerb);
    // Systems before the protocol flag refuse it; the scheme's own class answers there.
    if (!command && protocol) return Associated(assoc, false, verb);
    if (!command) {
        ::SetLastError(ERROR_NO_ASSOCIATION);
        return std::nullopt;
    }
    DesktopApp app;
    app.command = win32::Narrow(*command);
    if (auto exe = Query(flags, ASSOCSTR_EXECUTABLE, assoc, wideVerb); exe && FileExists(*exe))
        app.program = win32::Narrow(*exe);
    if (auto name = Query(flags, ASSOCSTR_FRIENDLYAPPNAME, assoc, wideVerb)) app.name = win32::Narrow(*name);
    if (auto icon = Query(flags, ASSOCSTR_DEFAULTICON, assoc, wideVerb)) app.icon = win32::Narrow(*icon);
    // The registration's name: the program identifier the user chose or the class
    // names, else the extension or scheme itself.
    std::wstring id;
    if (assoc.empty() || assoc[0] != L'.') {
        const std::wstring choice =
            L"Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\" + assoc + L"\\UserChoice";
        id = RegistryText(HKEY_CURRENT_USER, choice.c_str(), L"ProgId");
    } else {
        id = RegistryText(HKEY_CLASSES_ROOT, assoc.c_str(), nullptr);
    }
    app.id = win32::Narrow(id.empty() ? assoc : id);
    return app;
}

// "http" of "http://x"; a drive letter or a plain path has no scheme.
std::string SchemeOf(std::string_view target) {
    const std::size_t c = target.find(':');
    if (c == std::string_view::npos || c < 2) return {};
    for (std::size_t i = 0; i < c; ++i) {
        const char ch = target[i];
        const bool alpha = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
        const bool more = (ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == '.';
        if (!alpha && !(i > 0 && more)) return {};
    }
    return std::string(target.substr(0, c));
}

DWORD Failed(::DWORD code) {
    ::SetLastError(code);
    return code;
}

// The shell's old instance codes as the system's error numbers.
::DWORD FromInstanceCode(INT_PTR code) {
    switch (code) {
        case 0: return ERROR_OUTOFMEMORY;
        case SE_ERR_FNF: return ERROR_FILE_NOT_FOUND;
        case SE_ERR_PNF: return ERROR_PATH_NOT_FOUND;
        case SE_ERR_ACCESSDENIED: return ERROR_ACCESS_DENIED;
        case SE_ERR_OOM: return ERROR_NOT_ENOUGH_MEMORY;
        case ERROR_BAD_FORMAT: return ERROR_BAD_FORMAT;
        case SE_ERR_SHARE: return ERROR_SHARING_VIOLATION;
        case SE_ERR_ASSOCINCOMPLETE:
        case SE_ERR_NOASSOC: return ERROR_NO_ASSOCIATION;
        case SE_ERR_DDETIMEOUT:
        case SE_ERR_DDEFAIL:
        case SE_ERR_DDEBUSY: return ERROR_DDE_FAIL;
        case SE_ERR_DLLNOTFOUND: return ERROR_DLL_NOT_FOUND;
        default: return ERROR_NO_ASSOCIATION;
    }
}

// The registered command with the target and parameters put in: %1 and %L are the
// target, %* the parameters; what the command does not place is appended.
std::string ExpandCommand(std::string_view command, std::string_view target, std::string_view parameters) {
    std::string line;
    bool placed = false, placedParameters = false;
    for (std::size_t i = 0; i < command.size(); ++i) {
        const char next = i + 1 < command.size() ? command[i + 1] : '\0';
        if (command[i] != '%' || next == '\0') {
            line += command[i];
            continue;
        }
        ++i;
        if (next == '1' || next == 'L' || next == 'l') {
            line += target;
            placed = true;
        } else if (next == '*') {
            line += parameters;
            placedParameters = true;
        } else if (next == '%') {
            line += '%';
        }
        // Other numbered places and the shell's own letters have nothing to fill them.
    }
    if (!placed) line += " " + JoinCommandLine({std::string(target)});
    if (!placedParameters && !parameters.empty()) line += " " + std::string(parameters);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

// Writes what would have run instead of running it (VUTIL_NO_OPEN names a file).
DWORD RecordInstead(const char* file, std::string_view target, std::string_view parameters, std::string_view verb) {
    const std::string scheme = SchemeOf(target);
    std::wstring assoc;
    if (!scheme.empty()) {
        assoc = win32::Wide(scheme);
    } else {
        const std::wstring path = win32::WidePath(target);
        const ::DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return Failed(::GetLastError());
        const wchar_t* ext = ::PathFindExtensionW(path.c_str());
        assoc = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? L"Folder" : ext;
    }
    auto app = Associated(assoc, !scheme.empty(), verb);
    if (!app || app->program.empty()) return Failed(ERROR_NO_ASSOCIATION);
    const std::string line = ExpandCommand(app->command, target, parameters) + "\r\n";
    win32::UniqueHandle h(::CreateFileW(win32::WidePath(file).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ::DWORD written = 0;
    if (h) ::WriteFile(h.get(), line.data(), static_cast<::DWORD>(line.size()), &written, nullptr);
    ::SetLastError(0);
    return 0;
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
    if (!::IsWindowVisible(hwnd)) return TRUE;
    auto* out = reinterpret_cast<std::vector<TopWindow>*>(param);
    wchar_t className[257] = {};
    ::GetClassNameW(hwnd, className, 257);
    const auto id = reinterpret_cast<std::uintptr_t>(hwnd);
    try {  // nothing may be thrown through the system's frames
        out->push_back({id, win32::Narrow(className), WindowTitle(id)});
    } catch (...) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::optional<DesktopApp> AppForExtension(std::string_view extension, std::string_view verb) {
    if (extension.size() > 1 && extension.back() == ':') {
        const std::string scheme(extension.substr(0, extension.size() - 1));
        if (SchemeOf(scheme + ":") != scheme) return std::nullopt;
        return Associated(win32::Wide(scheme), true, verb);
    }
    if (extension.size() < 2 || extension[0] != '.' || extension.find_first_of("\\/") != std::string_view::npos)
        return std::nullopt;
    return Associated(win32::Wide(extension), false, verb);
}

std::optional<DesktopApp> DefaultBrowser() { return Associated(L"http", true, "open"); }

DWORD OpenWithHandler(std::string_view target, std::string_view parameters, std::string_view dir,
                      std::string_view verb) {
    try {
        if (const char* noOpen = std::getenv("VUTIL_NO_OPEN"); noOpen && *noOpen) {
            const std::string_view file(noOpen);
            if (file.find_first_of("\\/:") == std::string_view::npos) {
                // Nothing runs; the target must still be there.
                if (SchemeOf(target).empty() && ::GetFileAttributesW(win32::WidePath(target).c_str()) == INVALID_FILE_ATTRIBUTES)
                    return Failed(::GetLastError());
                ::SetLastError(0);
                return 0;
            }
            return RecordInstead(noOpen, target, parameters, verb);
        }
        // An address goes to the shell as it is; a path gets the system's separators.
        const std::wstring file = SchemeOf(target).empty() ? win32::WidePath(target) : win32::Wide(target);
        const std::wstring wideVerb = win32::Wide(verb), wideParameters = win32::Wide(parameters),
                           wideDir = win32::WidePath(dir);
        // Some handlers are shell extensions that want a single-threaded apartment.
        const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        info.lpVerb = wideVerb.empty() ? nullptr : wideVerb.c_str();
        info.lpFile = file.c_str();
        info.lpParameters = wideParameters.empty() ? nullptr : wideParameters.c_str();
        info.lpDirectory = dir.empty() ? nullptr : wideDir.c_str();
        info.nShow = SW_SHOWNORMAL;
        const BOOL ok = ::ShellExecuteExW(&info);
        ::DWORD err = ok ? 0 : ::GetLastError();
        if (!ok && err == 0) err = FromInstanceCode(reinterpret_cast<INT_PTR>(info.hInstApp));
        if (SUCCEEDED(com)) ::CoUninitialize();
        return Failed(err);
    } catch (...) {
        return Failed(ERROR_NOT_ENOUGH_MEMORY);
    }
}

std::vector<TopWindow> ListTopWindows() {
    std::vector<TopWindow> windows;
    // The system walks them topmost first.
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string WindowTitle(std::uintptr_t id) {
    HWND hwnd = reinterpret_cast<HWND>(id);
    if (!hwnd || !::IsWindow(hwnd)) return {};
    const int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    title.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, title.data(), length + 1)));
    return win32::Narrow(title);
}

}  // namespace vutil::platform
