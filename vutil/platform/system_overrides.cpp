// The test overrides of the system queries, kept the same way on every backend.

#include <mutex>

#include "vutil/platform/system_internal.h"

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

std::optional<SystemOverrides> SystemOverridesNow() {
    std::lock_guard lock(g_overrideLock);
    return g_overrides;
}

}  // namespace vutil::platform
