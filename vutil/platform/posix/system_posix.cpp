#include <cstdlib>
#include <mutex>

#include "vutil/platform/path.h"
#include "vutil/platform/posix/system_root.h"
#include "vutil/platform/system.h"

namespace vutil::platform {

namespace {
std::mutex g_overrideLock;
std::optional<SystemOverrides> g_overrides;
}  // namespace

void SetSystemOverridesForTesting(const SystemOverrides* overrides) {
    std::lock_guard lock(g_overrideLock);
    if (overrides) g_overrides = *overrides;
    else g_overrides.reset();
}

bool QueryOSVersion(unsigned int& major, unsigned int& minor) {
    std::lock_guard lock(g_overrideLock);
    if (!g_overrides || !g_overrides->osVersion) return false;
    major = g_overrides->osVersion->first;
    minor = g_overrides->osVersion->second;
    return true;
}

bool QueryWheelScrollLines(int& lines) {
    std::lock_guard lock(g_overrideLock);
    if (!g_overrides || !g_overrides->wheelScrollLines) return false;
    lines = *g_overrides->wheelScrollLines;
    return true;
}

bool QueryVirtualScreenSize(int& width, int& height) {
    std::lock_guard lock(g_overrideLock);
    if (!g_overrides || !g_overrides->virtualScreen) return false;
    width = g_overrides->virtualScreen->first;
    height = g_overrides->virtualScreen->second;
    return true;
}

std::string posix::SystemRoot() {
    std::lock_guard lock(g_overrideLock);
    return g_overrides ? g_overrides->systemRoot : std::string();
}

bool QueryIconSize(bool small, int& width, int& height) {
    std::lock_guard lock(g_overrideLock);
    if (!g_overrides) return false;
    const auto& size = small ? g_overrides->smallIconSize : g_overrides->iconSize;
    if (!size) return false;
    width = size->first;
    height = size->second;
    return true;
}

short QueryKeyState(int virtualKey) {
    std::lock_guard lock(g_overrideLock);
    if (!g_overrides) return 0;
    auto it = g_overrides->keyStates.find(virtualKey);
    return it == g_overrides->keyStates.end() ? 0 : it->second;
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
