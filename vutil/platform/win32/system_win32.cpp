#include "vutil/platform/system.h"
#include "vutil/platform/system_internal.h"
#include "vutil/platform/win32/win32_util.h"

#include <knownfolders.h>
#include <shlobj.h>

namespace vutil::platform {

namespace {
using RtlGetVersionFn = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
}  // namespace

bool QueryOSVersion(unsigned int& major, unsigned int& minor) {
    if (auto o = SystemOverridesNow(); o && o->osVersion) {
        major = o->osVersion->first;
        minor = o->osVersion->second;
        return true;
    }
    // GetVersionEx answers what the manifest claims; the kernel's own call tells the truth.
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return false;
    auto fn = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, "RtlGetVersion")));
    if (!fn) return false;
    RTL_OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (fn(&info) != 0) return false;
    major = info.dwMajorVersion;
    minor = info.dwMinorVersion;
    return true;
}

bool QueryWheelScrollLines(int& lines) {
    if (auto o = SystemOverridesNow(); o && o->wheelScrollLines) {
        lines = *o->wheelScrollLines;
        return true;
    }
    UINT value = 0;
    if (!::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &value, 0)) return false;
    // WHEEL_PAGESCROLL (scroll a page) is all ones; it reads back as -1.
    lines = static_cast<int>(value);
    return true;
}

bool QueryVirtualScreenSize(int& width, int& height) {
    if (auto o = SystemOverridesNow(); o && o->virtualScreen) {
        width = o->virtualScreen->first;
        height = o->virtualScreen->second;
        return true;
    }
    const int w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (w <= 0 || h <= 0) return false;
    width = w;
    height = h;
    return true;
}

bool QueryIconSize(bool small, int& width, int& height) {
    if (auto o = SystemOverridesNow()) {
        const auto& size = small ? o->smallIconSize : o->iconSize;
        if (size) {
            width = size->first;
            height = size->second;
            return true;
        }
    }
    const int w = ::GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    const int h = ::GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON);
    if (w <= 0 || h <= 0) return false;
    width = w;
    height = h;
    return true;
}

short QueryKeyState(int virtualKey) {
    // Overridden key states stand for the whole keyboard: keys not named are up.
    if (auto o = SystemOverridesNow(); o && !o->keyStates.empty()) {
        auto it = o->keyStates.find(virtualKey);
        return it == o->keyStates.end() ? 0 : it->second;
    }
    return ::GetKeyState(virtualKey);
}

std::string UserAppDataFolder() {
    wchar_t* path = nullptr;
    std::string out;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path)) && path) {
        out = win32::Narrow(path);
        if (!out.empty() && out.back() != '\\') out += '\\';
    }
    ::CoTaskMemFree(path);
    return out;
}

}  // namespace vutil::platform
