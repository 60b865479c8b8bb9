#include <cstdlib>

#include "vutil/platform/path.h"
#include "vutil/platform/posix/system_root.h"
#include "vutil/platform/system.h"
#include "vutil/platform/system_internal.h"

namespace vutil::platform {

bool QueryOSVersion(unsigned int& major, unsigned int& minor) {
    const auto o = SystemOverridesNow();
    if (!o || !o->osVersion) return false;
    major = o->osVersion->first;
    minor = o->osVersion->second;
    return true;
}

bool QueryWheelScrollLines(int& lines) {
    const auto o = SystemOverridesNow();
    if (!o || !o->wheelScrollLines) return false;
    lines = *o->wheelScrollLines;
    return true;
}

bool QueryVirtualScreenSize(int& width, int& height) {
    const auto o = SystemOverridesNow();
    if (!o || !o->virtualScreen) return false;
    width = o->virtualScreen->first;
    height = o->virtualScreen->second;
    return true;
}

std::string posix::SystemRoot() {
    const auto o = SystemOverridesNow();
    return o ? o->systemRoot : std::string();
}

bool QueryIconSize(bool small, int& width, int& height) {
    const auto o = SystemOverridesNow();
    if (!o) return false;
    const auto& size = small ? o->smallIconSize : o->iconSize;
    if (!size) return false;
    width = size->first;
    height = size->second;
    return true;
}

short QueryKeyState(int virtualKey) {
    const auto o = SystemOverridesNow();
    if (!o) return 0;
    auto it = o->keyStates.find(virtualKey);
    return it == o->keyStates.end() ? 0 : it->second;
}

std::string UserAppDataFolder() {
    std::string host;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        host = xdg;
    } else {
        const char* home = std::getenv("HOME");
        host = std::string(home && *home ? home : "") + "/.config";
    }
    std::string path = FromHostPath(host);
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

}  // namespace vutil::platform
